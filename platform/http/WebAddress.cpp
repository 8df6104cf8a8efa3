#include "platform/http/WebAddress.h"

#include "platform/http/ChildProcess.h"

#include <curl/curl.h>

namespace http_layer {

namespace {

// Owns one parsed URL handle of libcurl.
class CurlUrl {
public:
    CurlUrl() : m_pUrl(curl_url()) {}
    ~CurlUrl() { if (m_pUrl) curl_url_cleanup(m_pUrl); }
    CurlUrl(const CurlUrl&) = delete;
    CurlUrl& operator=(const CurlUrl&) = delete;

    bool Parse(const std::string& url)
    {
        return m_pUrl && curl_url_set(m_pUrl, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
    }
    std::string Part(CURLUPart part) const
    {
        char* text = nullptr;
        if (curl_url_get(m_pUrl, part, &text, 0) != CURLUE_OK || !text) return {};
        std::string result(text);
        curl_free(text);
        return result;
    }

private:
    CURLU* m_pUrl;
};

bool HasControlOrSpace(const std::string& text)
{
    for (unsigned char c : text) {
        if (c <= 0x20 || c == 0x7F) return true;
    }
    return false;
}

}  // namespace

bool IsWebAddress(const std::string& url)
{
    if (url.empty() || url.size() > kMaxWebAddressLength || HasControlOrSpace(url)) return false;
    CurlUrl parsed;
    if (!parsed.Parse(url)) return false;
    const std::string scheme = parsed.Part(CURLUPART_SCHEME);
    if (scheme != "http" && scheme != "https") return false;
    // curl guesses a scheme for "host/path"; we want the scheme written out.
    const std::string prefix = scheme + "://";
    if (url.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = url[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != prefix[i]) return false;
    }
    // curl reads "http:///x" as host "x"; an address of ours names its host right after "//".
    if (url.size() == prefix.size() || url[prefix.size()] == '/') return false;
    return !parsed.Part(CURLUPART_HOST).empty();
}

bool OpenWebAddress(const std::string& url)
{
    if (!IsWebAddress(url)) return false;
    ChildProcess opener;
    if (!opener.Start("xdg-open", {url})) return false;
    // xdg-open hands the address to the browser and returns; give it a moment so it is reaped.
    if (opener.Wait(10000) != ChildProcess::WaitResult::Exited) {
        opener.Detach();
        return true;
    }
    return opener.ExitCode() == 0;
}

}  // namespace http_layer
