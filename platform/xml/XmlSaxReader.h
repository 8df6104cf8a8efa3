// XmlSaxReader.h: event-based parsing of one untrusted XML document held in memory, with
// namespaces resolved. Document type declarations are refused outright, so no entity (internal or
// external) is ever expanded or fetched; input size and element depth are capped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xml_layer {

struct XmlName {
    std::string namespaceUri;  // empty for names in no namespace
    std::string localName;
};

struct XmlAttribute {
    XmlName name;
    std::string value;  // UTF-8
};

// Receives the document's events in order. Returning false stops the parse (it then fails).
class IXmlSaxHandler {
public:
    virtual ~IXmlSaxHandler() = default;
    virtual bool StartElement(const XmlName& name, const std::vector<XmlAttribute>& attributes) = 0;
    virtual bool EndElement(const XmlName& name) = 0;
    virtual bool Characters(std::string_view utf8) = 0;  // may arrive in several pieces
};

class XmlSaxReader {
public:
    enum class Result { Ok, TooLarge, TooDeep, Doctype, Malformed, StoppedByHandler };

    std::size_t maxBytes = 1u << 20;
    unsigned maxDepth = 64;

    Result Parse(const std::uint8_t* data, std::size_t size, IXmlSaxHandler& handler);
    Result Parse(std::string_view text, IXmlSaxHandler& handler)
    {
        return Parse(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), handler);
    }
    const std::string& ErrorText() const { return m_error; }  // for diagnostics only

private:
    std::string m_error;
};

}  // namespace xml_layer
