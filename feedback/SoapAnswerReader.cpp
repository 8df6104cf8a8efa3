#include "feedback/SoapAnswerReader.h"

#include "feedback/WideText.h"
#include "platform/xml/XmlSaxReader.h"

#include <limits>

namespace {

using xml_layer::XmlAttribute;
using xml_layer::XmlName;

const char* const kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNil(const std::vector<XmlAttribute>& attributes)
{
    for (const XmlAttribute& a : attributes) {
        if (a.name.namespaceUri == kXsiNamespace && a.name.localName == "nil") {
            return a.value == "1" || a.value == "true";
        }
    }
    return false;
}

// Walks Envelope > [Header] > Body > one element > fields, refusing any other shape.
class AnswerHandler : public xml_layer::IXmlSaxHandler {
public:
    explicit AnswerHandler(SoapAnswer& answer) : m_answer(answer) {}

    bool StartElement(const XmlName& name, const std::vector<XmlAttribute>& attributes) override
    {
        const bool soap = name.namespaceUri == NimbraService::kSoapEnvelopeNamespace;
        ++m_depth;
        m_leafOpen = false;
        if (m_depth == 1) return soap && name.localName == "Envelope";
        if (m_inHeader) return true;  // headers are not ours to read
        if (m_depth == 2) return StartEnvelopeChild(soap, name.localName);
        if (m_depth == 3) return StartBodyChild(name);
        if (m_path.size() >= 8) return false;
        m_path.push_back(name.localName);
        m_text.clear();
        m_nil = IsNil(attributes);
        m_leafOpen = true;
        return true;
    }

    bool EndElement(const XmlName&) override
    {
        const int depth = m_depth--;
        if (m_inHeader) {
            m_inHeader = depth > 2;
            return true;
        }
        if (depth <= 3) return true;
        if (m_leafOpen && !StoreLeaf()) return false;
        m_leafOpen = false;
        m_path.pop_back();
        return true;
    }

    bool Characters(std::string_view utf8) override
    {
        if (m_leafOpen) {
            if (m_text.size() + utf8.size() > SoapAnswerReader::kMaxFieldChars * 3) return false;
            m_text.append(utf8);
            return true;
        }
        for (char c : utf8) {
            if (!IsXmlSpace(c) && !m_inHeader && m_depth <= 3) return false;  // stray text in the frame
        }
        return true;
    }

    bool Complete() const { return m_sawBody && m_answer.BodyElement.size() > 0; }

private:
    bool StartEnvelopeChild(bool soap, const std::string& localName)
    {
        if (!soap || m_sawBody) return false;
        if (localName == "Header") {
            m_inHeader = true;
            return true;
        }
        m_sawBody = localName == "Body";
        return m_sawBody;
    }

    bool StartBodyChild(const XmlName& name)
    {
        if (!m_answer.BodyElement.empty()) return false;  // one element per body
        m_answer.BodyNamespace = name.namespaceUri;
        m_answer.BodyElement = name.localName;
        return true;
    }

    bool StoreLeaf()
    {
        std::string key;
        for (const std::string& part : m_path) key += (key.empty() ? "" : "/") + part;
        if (m_answer.Fields.count(key)) return true;
        if (m_answer.Fields.size() >= SoapAnswerReader::kMaxFields) return false;
        m_answer.Fields[key] = m_nil ? std::u16string() : WideText::FromUtf8(m_text);
        return true;
    }

    SoapAnswer& m_answer;
    int m_depth = 0;
    bool m_inHeader = false;
    bool m_sawBody = false;
    bool m_leafOpen = false;  // the innermost open field has no child elements so far
    bool m_nil = false;
    std::vector<std::string> m_path;
    std::string m_text;
};

std::u16string_view TrimXmlSpace(std::u16string_view text)
{
    while (!text.empty() && text.front() < 0x80 && IsXmlSpace(static_cast<char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && text.back() < 0x80 && IsXmlSpace(static_cast<char>(text.back()))) text.remove_suffix(1);
    return text;
}

bool ParseDigits(std::u16string_view text, std::uint64_t limit, std::uint64_t& value)
{
    if (text.empty()) return false;
    value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - u'0');
        if (value > limit) return false;
    }
    return true;
}

const std::u16string* Field(const SoapAnswer& answer, const std::string& key)
{
    const auto it = answer.Fields.find(key);
    return it == answer.Fields.end() ? nullptr : &it->second;
}

}  // namespace

bool SoapAnswer::IsFault() const
{
    return BodyNamespace == NimbraService::kSoapEnvelopeNamespace && BodyElement == "Fault";
}

bool SoapAnswer::IsResponseTo(std::string_view method) const
{
    return BodyNamespace == NimbraService::kNamespace && BodyElement == std::string(method) + "Response";
}

bool SoapAnswerReader::Read(const std::vector<std::uint8_t>& bytes, SoapAnswer& answer)
{
    answer = SoapAnswer();
    AnswerHandler handler(answer);
    xml_layer::XmlSaxReader reader;
    reader.maxBytes = kMaxAnswerBytes;
    reader.maxDepth = 16;
    const bool ok = reader.Parse(bytes.data(), bytes.size(), handler) == xml_layer::XmlSaxReader::Result::Ok
                    && handler.Complete();
    if (!ok) answer = SoapAnswer();
    return ok;
}

bool SoapAnswerReader::ParseUnsigned32(std::u16string_view text, std::uint32_t& value)
{
    std::uint64_t v = 0;
    if (!ParseDigits(TrimXmlSpace(text), std::numeric_limits<std::uint32_t>::max(), v)) return false;
    value = static_cast<std::uint32_t>(v);
    return true;
}

bool SoapAnswerReader::ParseInt32(std::u16string_view text, std::int32_t& value)
{
    text = TrimXmlSpace(text);
    const bool negative = !text.empty() && text.front() == u'-';
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) text.remove_prefix(1);
    std::uint64_t v = 0;
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (!ParseDigits(text, limit, v)) return false;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(v)) : static_cast<std::int32_t>(v);
    return true;
}

bool SoapAnswerReader::ReadBeginSessionResult(const SoapAnswer& answer, BeginSessionResult& result)
{
    result = BeginSessionResult();
    if (!answer.IsResponseTo("BeginSession")) return false;
    const std::u16string* flags = Field(answer, "BeginSessionResult/ServerFlags");
    const std::u16string* level = Field(answer, "BeginSessionResult/FeedbackLevel");
    const std::u16string* session = Field(answer, "BeginSessionResult/SessionId");
    if (!flags || !level || !session || !ParseUnsigned32(*flags, result.ServerFlags)
        || !ParseInt32(*level, result.FeedbackLevel)) {
        result = BeginSessionResult();
        return false;
    }
    // Every later call names the session; without an id there is nothing to send to.
    result.SessionId = *session;
    if (TrimXmlSpace(result.SessionId).empty()) {
        result = BeginSessionResult();
        return false;
    }
    if (const std::u16string* beta = Field(answer, "BeginSessionResult/BetaUrl")) result.BetaUrl = *beta;
    if (const std::u16string* user = Field(answer, "BeginSessionResult/UserId")) result.UserId = *user;
    return true;
}

bool SoapAnswerReader::ReadFault(const SoapAnswer& answer, SoapFault& fault)
{
    fault = SoapFault();
    if (!answer.IsFault()) return false;
    if (const std::u16string* code = Field(answer, "faultcode")) fault.Code = *code;
    if (const std::u16string* text = Field(answer, "faultstring")) fault.Text = *text;
    return true;
}
