// EventKey: the (event name, sub-key) pair that filters and rollups are kept under. Both parts are stored
// lower-cased, so matching ignores case; a missing sub-key is the empty string.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "feedback/WideText.h"

struct EventKey {
    std::u16string Name;
    std::u16string SubKey;

    static EventKey Make(std::u16string_view name, std::u16string_view subKey)
    {
        return EventKey{WideText::Lower(name), WideText::Lower(subKey)};
    }
    bool operator==(const EventKey& other) const { return Name == other.Name && SubKey == other.SubKey; }
};

// h(sub-key) + h(name), h = h * 33 + c over the UTF-16 units, in wrapping 32-bit arithmetic.
struct EventKeyHash {
    static std::uint32_t Hash(std::u16string_view text)
    {
        std::uint32_t h = 0;
        for (char16_t c : text)
            h = h * 33u + c;
        return h;
    }
    std::size_t operator()(const EventKey& key) const { return Hash(key.SubKey) + Hash(key.Name); }
};
