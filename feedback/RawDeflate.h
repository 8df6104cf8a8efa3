// RawDeflate.h: compresses a request body as a bare deflate stream (no zlib header or trailer),
// which is what the feedback service inflates.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Compresses in one pass; when the output buffer (1024 bytes at first) is too small it is doubled
// and the whole input compressed again. False only when memory runs out or zlib fails.
[[nodiscard]] bool RawDeflate(std::string_view input, std::vector<std::uint8_t>& output);
