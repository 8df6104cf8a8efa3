// ConfigText: the text rules of configuration values: integers, decimals, GUIDs and file-name wildcards.
// Stateless; every parser takes any text and never fails harder than returning its "no value" result.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "feedback/ClientRecords.h"

class ConfigText {
public:
    // Decimal saturates at the 32-bit limits; "0x" hexadecimal keeps the 32-bit pattern and gives -1 past it.
    static std::int32_t ParseIntString(std::u16string_view text);
    // A leading decimal number ("10", "0.5", "2e1"); none when the text does not start with one.
    static std::optional<double> ParseDecimal(std::u16string_view text);
    // "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", with or without surrounding braces.
    static std::optional<Guid> ParseGuid(std::u16string_view text);
    static std::u16string FormatGuid(const Guid& guid, bool braces);  // upper-case hexadecimal
    static bool WildcardMatch(std::u16string_view pattern, std::u16string_view name, bool caseSensitive);
};
