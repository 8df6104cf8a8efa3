#include "feedback/LanguageId.h"

#include <cstdlib>
#include <string>

namespace {

struct Language {
    const char* Code;      // ISO 639-1
    std::uint16_t Primary;
    std::uint16_t DefaultSub;
};

struct Region {
    const char* Code;      // language_TERRITORY
    std::uint16_t Sub;
};

const Language kLanguages[] = {
    {"ar", 0x01, 1}, {"bg", 0x02, 1}, {"ca", 0x03, 1}, {"zh", 0x04, 2}, {"cs", 0x05, 1}, {"da", 0x06, 1},
    {"de", 0x07, 1}, {"el", 0x08, 1}, {"en", 0x09, 1}, {"es", 0x0A, 3}, {"fi", 0x0B, 1}, {"fr", 0x0C, 1},
    {"he", 0x0D, 1}, {"hu", 0x0E, 1}, {"is", 0x0F, 1}, {"it", 0x10, 1}, {"ja", 0x11, 1}, {"ko", 0x12, 1},
    {"nl", 0x13, 1}, {"nb", 0x14, 1}, {"no", 0x14, 1}, {"pl", 0x15, 1}, {"pt", 0x16, 2}, {"ro", 0x18, 1},
    {"ru", 0x19, 1}, {"hr", 0x1A, 1}, {"sk", 0x1B, 1}, {"sv", 0x1D, 1}, {"th", 0x1E, 1}, {"tr", 0x1F, 1},
    {"uk", 0x22, 1}, {"sl", 0x24, 1}, {"et", 0x25, 1}, {"lv", 0x26, 1}, {"lt", 0x27, 1}, {"vi", 0x2A, 1},
};

const Region kRegions[] = {
    {"en_US", 1}, {"en_GB", 2}, {"en_AU", 3}, {"en_CA", 4}, {"en_NZ", 5}, {"en_IE", 6}, {"en_ZA", 7},
    {"de_DE", 1}, {"de_CH", 2}, {"de_AT", 3}, {"de_LU", 4}, {"de_LI", 5},
    {"fr_FR", 1}, {"fr_BE", 2}, {"fr_CA", 3}, {"fr_CH", 4}, {"fr_LU", 5},
    {"es_MX", 2}, {"es_ES", 3}, {"es_AR", 11}, {"it_IT", 1}, {"it_CH", 2},
    {"nl_NL", 1}, {"nl_BE", 2}, {"pt_BR", 1}, {"pt_PT", 2}, {"sv_SE", 1}, {"sv_FI", 2},
    {"zh_TW", 1}, {"zh_CN", 2}, {"zh_HK", 3}, {"zh_SG", 4},
};

std::uint16_t Make(std::uint16_t primary, std::uint16_t sub)
{
    return static_cast<std::uint16_t>(sub << 10 | primary);
}

}  // namespace

std::uint16_t LanguageId::FromLocaleName(std::string_view locale)
{
    // "ll_TT.codeset@modifier": the codeset and modifier do not change the language.
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale.empty() || locale == "C" || locale == "POSIX")
        return Make(0x09, 1);
    const std::string_view language = locale.substr(0, locale.find('_'));
    for (const Language& entry : kLanguages) {
        if (language != entry.Code)
            continue;
        for (const Region& region : kRegions) {
            if (locale == region.Code)
                return Make(entry.Primary, region.Sub);
        }
        return Make(entry.Primary, entry.DefaultSub);
    }
    return 0;
}

std::uint16_t LanguageId::UserDefault()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0')
            return FromLocaleName(value);
    }
    return FromLocaleName("C");
}
