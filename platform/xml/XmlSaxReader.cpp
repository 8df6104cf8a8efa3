#include "platform/xml/XmlSaxReader.h"

#include <expat.h>

#include <climits>

namespace xml_layer {

namespace {

// expat joins the namespace URI and the local name with this character. A local name can never
// contain it, so the last one splits the pair even if a URI holds it.
constexpr char kNamespaceSeparator = '\x01';

XmlName SplitName(const XML_Char* joined)
{
    const std::string text(joined);
    const std::size_t at = text.rfind(kNamespaceSeparator);
    if (at == std::string::npos) return {std::string(), text};
    return {text.substr(0, at), text.substr(at + 1)};
}

// Owns one expat parser.
class Parser {
public:
    Parser() : m_pParser(XML_ParserCreateNS("UTF-8", kNamespaceSeparator)) {}
    ~Parser() { if (m_pParser) XML_ParserFree(m_pParser); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
    XML_Parser Get() const { return m_pParser; }

private:
    XML_Parser m_pParser;
};

struct ParseState {
    XML_Parser parser = nullptr;
    IXmlSaxHandler* handler = nullptr;
    unsigned maxDepth = 0;
    unsigned depth = 0;
    XmlSaxReader::Result failure = XmlSaxReader::Result::Ok;
};

void Stop(ParseState& s, XmlSaxReader::Result why)
{
    if (s.failure == XmlSaxReader::Result::Ok) s.failure = why;
    XML_StopParser(s.parser, XML_FALSE);
}

void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** attributes)
{
    ParseState& s = *static_cast<ParseState*>(user);
    if (s.failure != XmlSaxReader::Result::Ok) return;
    if (++s.depth > s.maxDepth) return Stop(s, XmlSaxReader::Result::TooDeep);
    std::vector<XmlAttribute> list;
    for (std::size_t i = 0; attributes[i] && attributes[i + 1]; i += 2) {
        list.push_back({SplitName(attributes[i]), attributes[i + 1]});
    }
    if (!s.handler->StartElement(SplitName(name), list)) Stop(s, XmlSaxReader::Result::StoppedByHandler);
}

void XMLCALL OnEnd(void* user, const XML_Char* name)
{
    ParseState& s = *static_cast<ParseState*>(user);
    if (s.failure != XmlSaxReader::Result::Ok) return;
    --s.depth;
    if (!s.handler->EndElement(SplitName(name))) Stop(s, XmlSaxReader::Result::StoppedByHandler);
}

void XMLCALL OnText(void* user, const XML_Char* text, int length)
{
    ParseState& s = *static_cast<ParseState*>(user);
    if (s.failure != XmlSaxReader::Result::Ok || length <= 0) return;
    if (!s.handler->Characters(std::string_view(text, static_cast<std::size_t>(length)))) {
        Stop(s, XmlSaxReader::Result::StoppedByHandler);
    }
}

// A DOCTYPE is how entities get declared; an answer of ours never needs one.
void XMLCALL OnDoctype(void* user, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    Stop(*static_cast<ParseState*>(user), XmlSaxReader::Result::Doctype);
}

int XMLCALL RefuseExternalEntity(XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
{
    return XML_STATUS_ERROR;
}

}  // namespace

XmlSaxReader::Result XmlSaxReader::Parse(const std::uint8_t* data, std::size_t size, IXmlSaxHandler& handler)
{
    m_error.clear();
    if (size > maxBytes || size > static_cast<std::size_t>(INT_MAX)) {
        m_error = "document too large";
        return Result::TooLarge;
    }
    Parser parser;
    if (!parser.Get()) {
        m_error = "out of memory";
        return Result::Malformed;
    }
    ParseState state;
    state.parser = parser.Get();
    state.handler = &handler;
    state.maxDepth = maxDepth;
    XML_SetUserData(parser.Get(), &state);
    XML_SetElementHandler(parser.Get(), &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(parser.Get(), &OnText);
    XML_SetStartDoctypeDeclHandler(parser.Get(), &OnDoctype);
    XML_SetExternalEntityRefHandler(parser.Get(), &RefuseExternalEntity);
    XML_SetParamEntityParsing(parser.Get(), XML_PARAM_ENTITY_PARSING_NEVER);

    const char* bytes = reinterpret_cast<const char*>(data ? data : reinterpret_cast<const std::uint8_t*>(""));
    const XML_Status status = XML_Parse(parser.Get(), bytes, static_cast<int>(size), XML_TRUE);
    if (state.failure != Result::Ok) {
        m_error = state.failure == Result::Doctype ? "document type declaration refused"
                : state.failure == Result::TooDeep ? "elements nested too deep"
                                                   : "stopped by handler";
        return state.failure;
    }
    if (status != XML_STATUS_OK) {
        m_error = XML_ErrorString(XML_GetErrorCode(parser.Get()));
        return Result::Malformed;
    }
    return Result::Ok;
}

}  // namespace xml_layer
