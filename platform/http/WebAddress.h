// WebAddress.h: checks and opens web addresses that come from a server or a configuration file.
// Only http and https addresses with a host pass; anything else (file:, javascript:, a bare
// path, a command line) is refused, so such text can never start a local program.
#pragma once

#include <cstddef>
#include <string>

namespace http_layer {

constexpr std::size_t kMaxWebAddressLength = 2083;  // longer addresses are refused

bool IsWebAddress(const std::string& url);  // http(s)://host[...], at most the length above

// Opens the address in the user's browser through "xdg-open" with the address as its one
// argument (never through a shell). False when the address is refused or the opener fails.
bool OpenWebAddress(const std::string& url);

}  // namespace http_layer
