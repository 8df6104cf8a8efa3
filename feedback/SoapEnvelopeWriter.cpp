#include "feedback/SoapEnvelopeWriter.h"

#include "feedback/WideText.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// XML 1.0 allows tab, line feed, carriage return and everything from U+0020 except the
// surrogate range (only as proper pairs) and U+FFFE/U+FFFF.
bool IsXmlChar(char16_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c < 0xD800) || (c > 0xDFFF && c < 0xFFFE);
}

}  // namespace

SoapEnvelopeWriter::SoapEnvelopeWriter(std::string_view method, std::string_view serviceNamespace)
    : m_method(method)
{
    m_xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
            " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
            " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
            " xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\">"
            "<soap:Body>";
    m_xml += "<" + m_method + " xmlns=\"" + std::string(serviceNamespace) + "\">";
}

void SoapEnvelopeWriter::BeginElement(std::string_view name)
{
    m_xml += "<";
    m_xml += name;
    m_xml += ">";
}

void SoapEnvelopeWriter::EndElement(std::string_view name)
{
    m_xml += "</";
    m_xml += name;
    m_xml += ">";
}

void SoapEnvelopeWriter::Leaf(std::string_view name, std::string_view text)
{
    BeginElement(name);
    m_xml += text;
    EndElement(name);
}

void SoapEnvelopeWriter::String(std::string_view name, std::u16string_view value)
{
    Leaf(name, EscapeText(value));
}

void SoapEnvelopeWriter::OptionalString(std::string_view name, const std::optional<std::u16string>& value)
{
    if (value) return String(name, *value);
    m_xml += "<";
    m_xml += name;
    m_xml += " xsi:nil=\"1\"/>";
}

void SoapEnvelopeWriter::UnsignedInt(std::string_view name, std::uint32_t value)
{
    Leaf(name, std::to_string(value));
}

void SoapEnvelopeWriter::Int(std::string_view name, std::int32_t value)
{
    Leaf(name, std::to_string(value));
}

void SoapEnvelopeWriter::Long(std::string_view name, std::int64_t value)
{
    Leaf(name, std::to_string(value));
}

void SoapEnvelopeWriter::Boolean(std::string_view name, bool value)
{
    Leaf(name, value ? "true" : "false");
}

std::string SoapEnvelopeWriter::Finish()
{
    EndElement(m_method);
    m_xml += "</soap:Body></soap:Envelope>";
    return std::move(m_xml);
}

std::string SoapEnvelopeWriter::EscapeText(std::u16string_view text)
{
    std::u16string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            clean += c;
            clean += text[++i];
            continue;
        }
        clean += IsXmlChar(c) ? c : kReplacement;
    }
    std::string escaped;
    const std::string utf8 = WideText::ToUtf8(clean);
    escaped.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '\r': escaped += "&#xD;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}
