// SoapEnvelopeWriter.h: writes one SOAP 1.1 request (document/literal, UTF-8) field by field.
// Text is escaped so that any UTF-16 input gives well-formed XML that reads back the same:
// markup characters become references, a carriage return becomes "&#xD;" (a parser would
// otherwise fold "\r\n" to "\n"), and characters XML 1.0 cannot carry become U+FFFD.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class SoapEnvelopeWriter {
public:
    // Opens the envelope and body and the method element, which declares the service namespace.
    SoapEnvelopeWriter(std::string_view method, std::string_view serviceNamespace);

    void BeginElement(std::string_view name);
    void EndElement(std::string_view name);
    void String(std::string_view name, std::u16string_view value);
    void OptionalString(std::string_view name, const std::optional<std::u16string>& value);  // none: xsi:nil
    void UnsignedInt(std::string_view name, std::uint32_t value);
    void Int(std::string_view name, std::int32_t value);
    void Long(std::string_view name, std::int64_t value);
    void Boolean(std::string_view name, bool value);

    std::string Finish();  // closes the method, body and envelope and hands over the text

    static std::string EscapeText(std::u16string_view text);

private:
    void Leaf(std::string_view name, std::string_view text);

    std::string m_method;
    std::string m_xml;
};
