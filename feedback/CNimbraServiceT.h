// CNimbraServiceT.h: the feedback web service proxy. One call per web method; each writes its
// request, sends it through CDelvinSoapSocketClientT and checks the answer. A two-way method
// succeeds on 200 with its response element or on 202; a one-way ("Now") method only on 202.
// Every failure returns false and leaves the reason in LastError().
#pragma once

#include "feedback/CDelvinSoapSocketClientT.h"
#include "feedback/NimbraMessages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CNimbraServiceT {
public:
    // Starts on the development endpoint with compression on.
    CNimbraServiceT() = default;

    // False (and the endpoint unchanged) unless the address is http(s) with a host and has at
    // most 2083 characters. An empty address selects the default endpoint.
    [[nodiscard]] bool SetUrl(std::u16string_view url);
    const std::string& Url() const { return m_client.Url(); }
    void SetTimeout(unsigned milliseconds) { m_client.SetTimeout(milliseconds); }
    void SetDeadline(unsigned milliseconds) { m_client.SetDeadline(milliseconds); }
    void SetTotalDeadline(unsigned milliseconds) { m_client.SetTotalDeadline(milliseconds); }  // all calls together
    void SetCompression(bool on) { m_client.SetCompression(on); }
    void SetSendBlockSize(std::size_t bytes) { m_client.SetSendBlockSize(bytes); }
    // Called after each block of a request body; false aborts the request (LastError Aborted).
    void SetSendCallback(std::function<bool(std::size_t bytes)> callback) { m_client.SetSendCallback(std::move(callback)); }
    void SetMaxSendBytesPerSecond(std::uint64_t bytes) { m_client.SetMaxSendBytesPerSecond(bytes); }

    [[nodiscard]] bool BeginSession(const BeginSessionParams& params, std::int64_t startClientTime,
                                    BeginSessionResult& result);
    [[nodiscard]] bool RecordSessionEventsChunk(std::u16string_view sessionId, const std::vector<SessionEvent>& events,
                                                std::int32_t chunkSerial, std::int32_t gameSerial, bool insideGame);
    [[nodiscard]] bool RecordSessionEventsChunkNow(std::u16string_view sessionId, const std::vector<SessionEvent>& events,
                                                   std::int32_t chunkSerial, std::int32_t gameSerial, bool insideGame);
    [[nodiscard]] bool RecordSystemInfo(std::u16string_view userId, std::u16string_view systemInfoData);
    [[nodiscard]] bool RecordSystemInfoNow(std::u16string_view userId, std::u16string_view systemInfoData);
    [[nodiscard]] bool EndSession(std::u16string_view sessionId, std::u16string_view finishReason,
                                  std::int64_t finishClientTime);
    [[nodiscard]] bool EndSessionNow(std::u16string_view sessionId, std::u16string_view finishReason,
                                     std::int64_t finishClientTime);

    SoapError LastError() const { return m_lastError; }
    int LastStatus() const { return m_client.LastStatus(); }
    const SoapFault& LastFault() const { return m_client.LastFault(); }
    const std::string& LastRequestXml() const { return m_lastRequest; }  // the body before deflating

private:
    bool Call(std::string_view method, std::string xml, bool oneWay);

    CDelvinSoapSocketClientT m_client;
    SoapError m_lastError = SoapError::None;
    std::string m_lastRequest;
};
