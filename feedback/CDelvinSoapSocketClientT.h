// CDelvinSoapSocketClientT.h: sends one SOAP request over HTTP POST to the service endpoint and
// sorts the answer by its status: 200 answer to parse, 202 accepted without a body, 500 fault,
// anything else (or a transport failure) a failure. The body is deflated unless compression is off.
#pragma once

#include "feedback/NimbraMessages.h"
#include "feedback/SoapAnswerReader.h"
#include "platform/http/HttpClient.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class SoapError {
    None,
    BadUrl,            // the endpoint is not an http(s) address of at most 2083 characters
    Deflate,           // compressing the body failed (out of memory)
    Connect,           // no connection to the host
    TimedOut,          // nothing moved for longer than the time-out, or the deadline passed
    Aborted,           // the send callback stopped the request
    AnswerTooLarge,
    Transport,         // dropped connection or another transfer failure
    UnexpectedStatus,  // a status other than 200, 202 and 500, or the wrong one for the method
    Fault,             // status 500 (the fault, when readable, is in LastFault)
    BadAnswer          // an answer that is not the expected SOAP document
};

const char* SoapErrorName(SoapError error);

class CDelvinSoapSocketClientT {
public:
    enum class Outcome { Answer, Accepted, Failed };  // 200 with a parsed envelope, 202, anything else

    static constexpr std::size_t kMaxAnswerBytes = SoapAnswerReader::kMaxAnswerBytes;

    void SetUrl(const std::string& url) { m_url = url; }
    const std::string& Url() const { return m_url; }
    void SetTimeout(unsigned milliseconds) { m_nTimeoutMs = milliseconds; }
    void SetDeadline(unsigned milliseconds) { m_nDeadlineMs = milliseconds; }  // whole request; 0: none
    // All requests of this client together; 0: none. Each request gets what is left (at most its
    // own deadline), and once nothing is left a request fails as timed out without being sent.
    // As for one request, time spent in the send callback (the caller's throttling) does not count.
    void SetTotalDeadline(unsigned milliseconds) { m_nTotalDeadlineMs = milliseconds; }
    void SetCompression(bool on) { m_bCompression = on; }
    void SetSendBlockSize(std::size_t bytes) { m_nBlockSize = bytes ? bytes : 1; }
    void SetSendCallback(std::function<bool(std::size_t bytes)> callback) { m_onBlockSent = std::move(callback); }
    void SetMaxSendBytesPerSecond(std::uint64_t bytes) { m_nMaxSendRate = bytes; }

    // Sends `xml` with the SOAPAction header value `soapAction` (already quoted).
    Outcome SendRequest(const std::string& soapAction, const std::string& xml);

    SoapError LastError() const { return m_lastError; }
    int LastStatus() const { return m_nLastStatus; }
    const SoapAnswer& LastAnswer() const { return m_answer; }
    const SoapFault& LastFault() const { return m_fault; }
    const std::string& LastTransportError() const { return m_http.LastErrorText(); }

private:
    using Clock = std::chrono::steady_clock;

    Outcome Fail(SoapError error);
    bool BuildRequest(const std::string& soapAction, const std::string& xml, http_layer::HttpRequest& request);
    bool LimitToTotalDeadline(http_layer::HttpRequest& request) const;
    http_layer::HttpResult Post(const http_layer::HttpRequest& request, http_layer::HttpResponse& response);

    std::string m_url = NimbraService::kDevelopmentEndpoint;
    unsigned m_nTimeoutMs = 30000;
    unsigned m_nDeadlineMs = 120000;
    unsigned m_nTotalDeadlineMs = 0;
    Clock::duration m_spent{};  // by all requests so far, against the total deadline
    bool m_bCompression = true;
    std::size_t m_nBlockSize = 4096;
    std::function<bool(std::size_t)> m_onBlockSent;
    std::uint64_t m_nMaxSendRate = 0;

    http_layer::HttpClient m_http;
    SoapError m_lastError = SoapError::None;
    int m_nLastStatus = 0;
    SoapAnswer m_answer;
    SoapFault m_fault;
};
