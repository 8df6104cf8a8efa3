#include "platform/http/WebAddress.h"

#include <gtest/gtest.h>

#include <string>

using namespace http_layer;

TEST(WebAddress, OnlyHttpAndHttpsAddressesWithAHostPass)
{
    const struct {
        std::string url;
        bool ok;
    } cases[] = {
        {"http://example.com", true},
        {"https://example.com/beta?x=1&y=%20", true},
        {"HTTPS://Example.com/", true},
        {"http://127.0.0.1:8080/data/dataservice.asmx", true},
        {"http://[::1]:80/", true},
        {"", false},
        {"example.com", false},
        {"//example.com/x", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"mailto:a@example.com", false},
        {"ftp://example.com/", false},
        {"http://", false},
        {"http:///path", false},
        {"http://exa mple.com/", false},
        {"http://example.com/\n", false},
        {"https://example.com/$(id)", true},  // harmless: never given to a shell
        {"--help", false},
        {"http://example.com/" + std::string(kMaxWebAddressLength - 19, 'a'), true},
        {"http://example.com/" + std::string(kMaxWebAddressLength - 18, 'a'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url.substr(0, 60));
        EXPECT_EQ(IsWebAddress(c.url), c.ok);
    }
}

TEST(WebAddress, RefusedAddressesAreNeverOpened)
{
    for (const char* url : {"file:///etc/passwd", "xdg-open", "--version", "/usr/bin/id"}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(OpenWebAddress(url));
    }
}
