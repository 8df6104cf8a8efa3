#include "feedback/CNimbraServiceT.h"

#include "feedback/NimbraRequests.h"
#include "feedback/WideText.h"
#include "platform/http/WebAddress.h"

bool CNimbraServiceT::SetUrl(std::u16string_view url)
{
    if (url.empty()) {
        m_client.SetUrl(NimbraService::kDefaultEndpoint);
        return true;
    }
    if (url.size() > http_layer::kMaxWebAddressLength) return false;
    const std::string utf8 = WideText::ToUtf8(url);
    if (!http_layer::IsWebAddress(utf8)) return false;
    m_client.SetUrl(utf8);
    return true;
}

bool CNimbraServiceT::Call(std::string_view method, std::string xml, bool oneWay)
{
    m_lastRequest = std::move(xml);
    m_lastError = SoapError::None;
    const auto outcome = m_client.SendRequest(NimbraRequests::SoapAction(method), m_lastRequest);
    using Outcome = CDelvinSoapSocketClientT::Outcome;
    if (outcome == Outcome::Failed) {
        m_lastError = m_client.LastError();
        return false;
    }
    if (outcome == Outcome::Accepted) return true;
    // A 200 answer: a one-way method expects none, a two-way one its own response element.
    if (oneWay) {
        m_lastError = SoapError::UnexpectedStatus;
        return false;
    }
    if (!m_client.LastAnswer().IsResponseTo(method)) {
        m_lastError = SoapError::BadAnswer;
        return false;
    }
    return true;
}

bool CNimbraServiceT::BeginSession(const BeginSessionParams& params, std::int64_t startClientTime,
                                   BeginSessionResult& result)
{
    result = BeginSessionResult();
    if (!Call("BeginSession", NimbraRequests::BeginSession(params, startClientTime), false)) return false;
    // A 202 carries no answer, and so no session id to go on with.
    if (!SoapAnswerReader::ReadBeginSessionResult(m_client.LastAnswer(), result)) {
        m_lastError = SoapError::BadAnswer;
        return false;
    }
    return true;
}

bool CNimbraServiceT::RecordSessionEventsChunk(std::u16string_view sessionId, const std::vector<SessionEvent>& events,
                                               std::int32_t chunkSerial, std::int32_t gameSerial, bool insideGame)
{
    const char* method = "RecordSessionEventsChunk";
    return Call(method, NimbraRequests::RecordSessionEventsChunk(method, sessionId, events, chunkSerial, gameSerial, insideGame),
                false);
}

bool CNimbraServiceT::RecordSessionEventsChunkNow(std::u16string_view sessionId, const std::vector<SessionEvent>& events,
                                                  std::int32_t chunkSerial, std::int32_t gameSerial, bool insideGame)
{
    const char* method = "RecordSessionEventsChunkNow";
    return Call(method, NimbraRequests::RecordSessionEventsChunk(method, sessionId, events, chunkSerial, gameSerial, insideGame),
                true);
}

bool CNimbraServiceT::RecordSystemInfo(std::u16string_view userId, std::u16string_view systemInfoData)
{
    const char* method = "RecordSystemInfo";
    return Call(method, NimbraRequests::RecordSystemInfo(method, userId, systemInfoData), false);
}

bool CNimbraServiceT::RecordSystemInfoNow(std::u16string_view userId, std::u16string_view systemInfoData)
{
    const char* method = "RecordSystemInfoNow";
    return Call(method, NimbraRequests::RecordSystemInfo(method, userId, systemInfoData), true);
}

bool CNimbraServiceT::EndSession(std::u16string_view sessionId, std::u16string_view finishReason,
                                 std::int64_t finishClientTime)
{
    const char* method = "EndSession";
    return Call(method, NimbraRequests::EndSession(method, sessionId, finishReason, finishClientTime), false);
}

bool CNimbraServiceT::EndSessionNow(std::u16string_view sessionId, std::u16string_view finishReason,
                                    std::int64_t finishClientTime)
{
    const char* method = "EndSessionNow";
    return Call(method, NimbraRequests::EndSession(method, sessionId, finishReason, finishClientTime), true);
}
