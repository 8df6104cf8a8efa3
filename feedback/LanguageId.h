// LanguageId: the user's language as a Windows language id (primary language in bits 0-9, sublanguage in
// bits 10-15), which is how a game's configuration states the language it requires. Linux names the
// language by its locale ("en_GB.UTF-8"); a table maps the common ones. An unknown language gives 0.
#pragma once
#include <cstdint>
#include <string_view>

class LanguageId {
public:
    static std::uint16_t FromLocaleName(std::string_view locale);
    // From LC_ALL, LC_MESSAGES or LANG, the first that is set; "C" and "POSIX" count as US English.
    static std::uint16_t UserDefault();
    static std::uint16_t Primary(std::uint16_t id) { return id & 0x3FF; }
    static std::uint16_t Sub(std::uint16_t id) { return id >> 10; }
};
