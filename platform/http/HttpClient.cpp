#include "platform/http/HttpClient.h"

#include "platform/http/WebAddress.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

namespace http_layer {

namespace {

using Clock = std::chrono::steady_clock;

// State shared with libcurl's callbacks during one request.
struct Transfer {
    const HttpRequest* request = nullptr;
    HttpResponse* response = nullptr;
    std::size_t sent = 0;
    Clock::time_point start;
    Clock::duration callerTime{};  // spent in onBlockSent
    Clock::time_point lastActivity;
    curl_off_t lastUp = 0, lastDown = 0;
    bool aborted = false;
    bool timedOut = false;
    bool tooLarge = false;
};

std::size_t ReadBody(char* buffer, std::size_t size, std::size_t count, void* user)
{
    Transfer& t = *static_cast<Transfer*>(user);
    const std::vector<std::uint8_t>& body = t.request->body;
    const std::size_t block = std::max<std::size_t>(1, t.request->blockSize);
    const std::size_t n = std::min({size * count, block, body.size() - t.sent});
    if (n == 0) return 0;
    std::memcpy(buffer, body.data() + t.sent, n);
    t.sent += n;
    const Clock::time_point before = Clock::now();
    const bool goOn = !t.request->onBlockSent || t.request->onBlockSent(n);
    t.callerTime += Clock::now() - before;
    if (!goOn) {
        t.aborted = true;
        return CURL_READFUNC_ABORT;
    }
    // A callback that sleeps (throttling) must not count as a stalled connection.
    t.lastActivity = Clock::now();
    return n;
}

std::size_t WriteAnswer(char* data, std::size_t size, std::size_t count, void* user)
{
    Transfer& t = *static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    std::vector<std::uint8_t>& body = t.response->body;
    if (n > t.request->maxAnswerBytes - body.size()) {
        t.tooLarge = true;
        return 0;  // makes libcurl stop with a write error
    }
    body.insert(body.end(), data, data + n);
    t.lastActivity = Clock::now();
    return n;
}

bool PastDeadline(const Transfer& t, Clock::time_point now)
{
    const unsigned deadline = t.request->deadlineMs;
    return deadline != 0 && now - t.start - t.callerTime > std::chrono::milliseconds(deadline);
}

// Our own inactivity time-out and deadline: libcurl's total time-out would also count the time
// our throttling sleeps, and its low-speed check only counts whole seconds.
int CheckProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    Transfer& t = *static_cast<Transfer*>(user);
    const Clock::time_point now = Clock::now();
    if (PastDeadline(t, now)) {
        t.timedOut = true;
        return 1;
    }
    if (uploaded != t.lastUp || downloaded != t.lastDown) {
        t.lastUp = uploaded;
        t.lastDown = downloaded;
        t.lastActivity = now;
        return 0;
    }
    if (now - t.lastActivity > std::chrono::milliseconds(t.request->timeoutMs)) {
        t.timedOut = true;
        return 1;
    }
    return 0;
}

// Owns the header list handed to libcurl.
class HeaderList {
public:
    ~HeaderList() { curl_slist_free_all(m_pList); }
    bool Add(const std::string& line)
    {
        curl_slist* next = curl_slist_append(m_pList, line.c_str());
        if (!next) return false;
        m_pList = next;
        return true;
    }
    curl_slist* Get() const { return m_pList; }

private:
    curl_slist* m_pList = nullptr;
};

// Owns one easy handle.
class EasyHandle {
public:
    EasyHandle() : m_pCurl(curl_easy_init()) {}
    ~EasyHandle() { if (m_pCurl) curl_easy_cleanup(m_pCurl); }
    EasyHandle(const EasyHandle&) = delete;
    EasyHandle& operator=(const EasyHandle&) = delete;
    CURL* Get() const { return m_pCurl; }

private:
    CURL* m_pCurl;
};

bool GlobalInit()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

bool HasHeaderLineBreak(const std::string& line)
{
    return line.find_first_of("\r\n") != std::string::npos;
}

HttpResult Classify(CURLcode code, const Transfer& t)
{
    if (t.timedOut) return HttpResult::TimedOut;
    if (t.aborted) return HttpResult::Aborted;
    if (t.tooLarge) return HttpResult::AnswerTooLarge;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return HttpResult::ConnectFailed;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpResult::TimedOut;
    default:
        return HttpResult::Failed;
    }
}

}  // namespace

const char* HttpResultName(HttpResult result)
{
    switch (result) {
    case HttpResult::Ok: return "ok";
    case HttpResult::BadUrl: return "bad url";
    case HttpResult::ConnectFailed: return "connect failed";
    case HttpResult::TimedOut: return "timed out";
    case HttpResult::Aborted: return "aborted";
    case HttpResult::AnswerTooLarge: return "answer too large";
    case HttpResult::Failed: return "failed";
    }
    return "failed";
}

HttpResult HttpClient::Post(const HttpRequest& request, HttpResponse& response)
{
    response = HttpResponse();
    m_lastError.clear();
    if (!IsWebAddress(request.url)) {
        m_lastError = "not an http or https address";
        return HttpResult::BadUrl;
    }
    if (!GlobalInit()) {
        m_lastError = "curl_global_init failed";
        return HttpResult::Failed;
    }
    EasyHandle easy;
    HeaderList headers;
    CURL* curl = easy.Get();
    bool ok = curl != nullptr;
    for (const std::string& line : request.headers) {
        ok = ok && !HasHeaderLineBreak(line) && headers.Add(line);
    }
    // No "Expect: 100-continue" round trip: the body follows the headers at once.
    ok = ok && headers.Add("Expect:");
    if (!ok) {
        m_lastError = "bad request headers";
        return HttpResult::Failed;
    }

    Transfer t;
    t.request = &request;
    t.response = &response;
    t.start = Clock::now();
    t.lastActivity = t.start;
    char errorText[CURL_ERROR_SIZE] = {};
    const long timeoutMs = static_cast<long>(std::max(1u, request.timeoutMs));

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &ReadBody);
    curl_easy_setopt(curl, CURLOPT_READDATA, &t);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteAnswer);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CheckProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.Get());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    if (request.maxSendBytesPerSecond > 0) {
        curl_easy_setopt(curl, CURLOPT_MAX_SEND_SPEED_LARGE,
                         static_cast<curl_off_t>(request.maxSendBytesPerSecond));
    }

    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        m_lastError = errorText[0] ? errorText : curl_easy_strerror(code);
        response.body.clear();
        return Classify(code, t);
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    response.status = static_cast<int>(status);
    char* contentType = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType) {
        response.contentType = contentType;
    }
    return HttpResult::Ok;
}

}  // namespace http_layer
