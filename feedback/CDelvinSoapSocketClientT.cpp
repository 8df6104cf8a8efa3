#include "feedback/CDelvinSoapSocketClientT.h"

#include "feedback/RawDeflate.h"

namespace {

SoapError FromHttp(http_layer::HttpResult result)
{
    using http_layer::HttpResult;
    switch (result) {
    case HttpResult::Ok: return SoapError::None;
    case HttpResult::BadUrl: return SoapError::BadUrl;
    case HttpResult::ConnectFailed: return SoapError::Connect;
    case HttpResult::TimedOut: return SoapError::TimedOut;
    case HttpResult::Aborted: return SoapError::Aborted;
    case HttpResult::AnswerTooLarge: return SoapError::AnswerTooLarge;
    case HttpResult::Failed: return SoapError::Transport;
    }
    return SoapError::Transport;
}

}  // namespace

const char* SoapErrorName(SoapError error)
{
    switch (error) {
    case SoapError::None: return "none";
    case SoapError::BadUrl: return "bad url";
    case SoapError::Deflate: return "deflate";
    case SoapError::Connect: return "connect";
    case SoapError::TimedOut: return "timed out";
    case SoapError::Aborted: return "aborted";
    case SoapError::AnswerTooLarge: return "answer too large";
    case SoapError::Transport: return "transport";
    case SoapError::UnexpectedStatus: return "unexpected status";
    case SoapError::Fault: return "fault";
    case SoapError::BadAnswer: return "bad answer";
    }
    return "unknown";
}

CDelvinSoapSocketClientT::Outcome CDelvinSoapSocketClientT::Fail(SoapError error)
{
    m_lastError = error;
    return Outcome::Failed;
}

bool CDelvinSoapSocketClientT::BuildRequest(const std::string& soapAction, const std::string& xml,
                                            http_layer::HttpRequest& request)
{
    request.url = m_url;
    request.headers = {"SOAPAction: " + soapAction, "Accept: text/xml", "User-Agent: NimbraClient-Native/1.0"};
    if (m_bCompression) {
        if (!RawDeflate(xml, request.body)) return false;
        request.headers.push_back("Content-Type: application/octet-stream; type=NimbraClient-DeflateData");
        request.headers.push_back("Content-Encoding: identity");
    } else {
        request.body.assign(xml.begin(), xml.end());
        request.headers.push_back("Content-Type: text/xml; charset=utf-8");
    }
    request.blockSize = m_nBlockSize;
    request.onBlockSent = m_onBlockSent;
    request.timeoutMs = m_nTimeoutMs;
    request.deadlineMs = m_nDeadlineMs;
    request.maxSendBytesPerSecond = m_nMaxSendRate;
    request.maxAnswerBytes = kMaxAnswerBytes;
    return true;
}

// False when the total deadline is spent; otherwise the request's deadline is at most what is left.
bool CDelvinSoapSocketClientT::LimitToTotalDeadline(http_layer::HttpRequest& request) const
{
    if (m_nTotalDeadlineMs == 0)
        return true;
    const auto left = std::chrono::milliseconds(m_nTotalDeadlineMs) - std::chrono::ceil<std::chrono::milliseconds>(m_spent);
    if (left.count() <= 0)
        return false;
    if (request.deadlineMs == 0 || left.count() < request.deadlineMs)
        request.deadlineMs = static_cast<unsigned>(left.count());
    return true;
}

// Posts the request and adds its time, less the time spent in the send callback, to m_spent.
http_layer::HttpResult CDelvinSoapSocketClientT::Post(const http_layer::HttpRequest& request,
                                                      http_layer::HttpResponse& response)
{
    Clock::duration callbackTime{};
    http_layer::HttpRequest timed = request;
    if (request.onBlockSent) {
        timed.onBlockSent = [&request, &callbackTime](std::size_t bytes) {
            const Clock::time_point before = Clock::now();
            const bool goOn = request.onBlockSent(bytes);
            callbackTime += Clock::now() - before;
            return goOn;
        };
    }
    const Clock::time_point start = Clock::now();
    const http_layer::HttpResult result = m_http.Post(timed, response);
    m_spent += Clock::now() - start - callbackTime;
    return result;
}

CDelvinSoapSocketClientT::Outcome CDelvinSoapSocketClientT::SendRequest(const std::string& soapAction,
                                                                        const std::string& xml)
{
    m_lastError = SoapError::None;
    m_nLastStatus = 0;
    m_answer = SoapAnswer();
    m_fault = SoapFault();

    http_layer::HttpRequest request;
    if (!BuildRequest(soapAction, xml, request)) return Fail(SoapError::Deflate);
    if (!LimitToTotalDeadline(request)) return Fail(SoapError::TimedOut);
    http_layer::HttpResponse response;
    const http_layer::HttpResult result = Post(request, response);
    if (result != http_layer::HttpResult::Ok) return Fail(FromHttp(result));

    m_nLastStatus = response.status;
    switch (response.status) {
    case 200:
        return SoapAnswerReader::Read(response.body, m_answer) ? Outcome::Answer : Fail(SoapError::BadAnswer);
    case 202:
        return Outcome::Accepted;
    case 500:
        if (SoapAnswerReader::Read(response.body, m_answer)) {
            (void)SoapAnswerReader::ReadFault(m_answer, m_fault);
        }
        return Fail(SoapError::Fault);
    default:
        return Fail(SoapError::UnexpectedStatus);
    }
}
