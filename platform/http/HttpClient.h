// HttpClient.h: one blocking HTTP request at a time, with an inactivity time-out and an overall
// deadline, block-wise sending that the caller can stop, an optional send-rate limit and a cap on
// the answer's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace http_layer {

enum class HttpResult {
    Ok,              // an answer with a status line arrived (any status)
    BadUrl,          // not an http or https address
    ConnectFailed,   // name lookup or connection refused
    TimedOut,        // nothing moved for longer than the time-out, or the deadline passed
    Aborted,         // the send callback said stop
    AnswerTooLarge,  // the answer passed maxAnswerBytes; the rest was not read
    Failed           // dropped connection, broken answer or any other transfer failure
};

struct HttpRequest {
    std::string url;                        // http:// or https:// only
    std::vector<std::string> headers;       // "Name: value", without line ends
    std::vector<std::uint8_t> body;         // sent with POST
    std::size_t blockSize = 4096;           // the body goes out in pieces of at most this size
    // Called after each piece is handed to the connection; false stops the request (Aborted).
    std::function<bool(std::size_t bytes)> onBlockSent;
    unsigned timeoutMs = 30000;             // longest time without any progress
    // Longest time the whole request may take, 0: none. A server that sends or takes one byte at a
    // time never trips the time-out; this ends it. Time spent in onBlockSent (the caller's own
    // throttling) does not count.
    unsigned deadlineMs = 0;
    std::uint64_t maxSendBytesPerSecond = 0;  // 0: no limit
    std::size_t maxAnswerBytes = 1u << 20;
};

struct HttpResponse {
    int status = 0;
    std::string contentType;
    std::vector<std::uint8_t> body;
};

// Not thread-safe: one request at a time per object. Objects on different threads are fine.
class HttpClient {
public:
    HttpResult Post(const HttpRequest& request, HttpResponse& response);
    const std::string& LastErrorText() const { return m_lastError; }  // for diagnostics only

private:
    std::string m_lastError;
};

const char* HttpResultName(HttpResult result);

}  // namespace http_layer
