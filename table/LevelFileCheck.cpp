#include "table/LevelFileCheck.h"

#include "app/CIniFile.h"
#include "framework/StringUtils.h"
#include "platform/Engine.h"
#include "platform/IniStore.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace level_check {
namespace {

// A range of a value read from the file, and what replaces a value outside it.
struct IntRange {
    int min, max, fallback;
};
struct FloatRange {
    float min, max, fallback;
};

// Anchors may lie a whole view off the 800 x 600 table, never further.
constexpr IntRange kPlaceX{-800, 1600, 0};
constexpr IntRange kPlaceY{-600, 1200, 0};
constexpr IntRange kFanStep{-300, 300, 0};         // level_h/v_offset_visible/hidden, pixels a card
constexpr IntRange kMaxBottomPos{0, 1200, 0};
constexpr FloatRange kFanFactor{-10.0f, 10.0f, 0.0f};  // place%d_h/v_offset
constexpr FloatRange kRotate{-6.2832f, 6.2832f, 0.0f};  // radians, one turn either way
// A missing zoom reads 0 as before; a bad one becomes the cards' own size.
constexpr FloatRange kZoom{0.0f, 4.0f, 1.0f};

constexpr std::size_t kListedItems = 8;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A whole number of 32 bits with an optional sign and blanks around it, and nothing else.
bool IsWholeNumber(const std::string& text)
{
    std::size_t i = 0, end = text.size();
    while (i < end && IsBlank(text[i]))
        ++i;
    while (end > i && IsBlank(text[end - 1]))
        --end;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i == end || end - i > 11)
        return false;
    for (std::size_t k = i; k < end; ++k)
        if (text[k] < '0' || text[k] > '9')
            return false;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return value >= INT_MIN && value <= INT_MAX;
}

bool InRange(int value, const IntRange& range)
{
    return value >= range.min && value <= range.max;
}

// NaN and infinities never are.
bool InRange(float value, const FloatRange& range)
{
    return std::isfinite(value) && value >= range.min && value <= range.max;
}


// The place number of a key "place%d_<name>" as the loader writes it, or -1.
int PlaceOfKey(const std::string& key)
{
    const std::string lower = Lower(key);
    if (lower.compare(0, 5, "place") != 0)
        return -1;
    std::size_t end = 5;
    while (end < lower.size() && end < 12 && std::isdigit(static_cast<unsigned char>(lower[end])))
        ++end;
    if (end == 5 || end >= lower.size() || lower[end] != '_')
        return -1;
    const std::string digits = lower.substr(5, end - 5);
    const int index = std::atoi(digits.c_str());
    // The loader asks for "place7_x": "place07_x" is never read.
    return std::to_string(index) == digits ? index : -1;
}

// Cards that the places' card tokens ask the deal for (a random draw counts its count).
long long CardsAsked(const std::vector<std::vector<std::string>>& placeCards)
{
    long long asked = 0;
    for (const std::vector<std::string>& cards : placeCards) {
        for (const std::string& token : cards) {
            PlaceRequirement req;
            ParseRequirement(token, req);
            asked += req.a == -1 ? std::max(req.b, 0) : 1;
        }
    }
    return asked;
}

// "a, b, c", cut after a few items with "and N more": one log line stays readable.
std::string JoinList(const std::vector<std::string>& items)
{
    std::string out;
    for (std::size_t i = 0; i < items.size() && i < kListedItems; ++i)
        out += (i == 0 ? "" : ", ") + items[i];
    if (items.size() > kListedItems)
        out += " and " + std::to_string(items.size() - kListedItems) + " more";
    return out;
}

std::string PlaceKey(int place, const char* name)
{
    char key[64];
    std::snprintf(key, sizeof key, "place%d_%s", place, name);
    return key;
}

const char* const kRequirementKeys[] = {"cards", "empty_drop_req", "drop_req", "pick_req", "click_req",
                                        "win_cond", "click_card", "click_empty", "sort_req"};

// Holds what one section gave to what the table can use: a value out of its range is logged with
// its key and replaced, and each kind of thing the loader cannot use is logged once for the
// section, not dropped in silence.
class SectionChecker {
public:
    SectionChecker(IEngine* engine, CIniFile& file, const std::string& section)
        : m_pEngine(engine), m_file(file), m_section(section)
    {
    }

    void CheckValues(LevelValues& lv, std::vector<PlaceDef>& defs)
    {
        Hold("level_zoom", lv.fZoom, kZoom);
        Hold("level_h_offset_visible", lv.nHOffsetVisible, kFanStep);
        Hold("level_v_offset_visible", lv.nVOffsetVisible, kFanStep);
        Hold("level_h_offset_hidden", lv.nHOffsetHidden, kFanStep);
        Hold("level_v_offset_hidden", lv.nVOffsetHidden, kFanStep);
        for (std::size_t i = 0; i < defs.size(); ++i) {
            PlaceDef& def = defs[i];
            const int n = static_cast<int>(i);
            Hold(PlaceKey(n, "x"), def.x, kPlaceX);
            Hold(PlaceKey(n, "y"), def.y, kPlaceY);
            Hold(PlaceKey(n, "rotate"), def.rotate, kRotate);
            Hold(PlaceKey(n, "h_offset"), def.h_offset, kFanFactor);
            Hold(PlaceKey(n, "v_offset"), def.v_offset, kFanFactor);
            Hold(PlaceKey(n, "max_bottom_pos"), def.max_bottom_pos, kMaxBottomPos);
        }
    }

    void CheckRequirements(int placeCount)
    {
        std::vector<std::string> bad;
        CollectBadTokens("level_combos", bad);
        for (int i = 0; i < placeCount; ++i)
            for (const char* name : kRequirementKeys)
                CollectBadTokens(PlaceKey(i, name), bad);
        Report("requirements that do not parse", bad);
    }

    // Keys can only be listed from the file's text; an engine that cannot load it skips this.
    void CheckKeys(int placeCount)
    {
        std::vector<std::uint8_t> bytes;
        if (m_pEngine == nullptr || !m_pEngine->ResourceLoad(kLevelFile, bytes))
            return;
        const std::vector<std::string> keys =
            IniStore::SectionKeys(std::string(bytes.begin(), bytes.end()), m_section);
        std::vector<std::string> unknown, missing;
        std::vector<bool> present(static_cast<std::size_t>(placeCount), false);
        for (const std::string& key : keys) {
            if (!IsKnownKey(key, placeCount)) {
                if (std::find(unknown.begin(), unknown.end(), key) == unknown.end())
                    unknown.push_back(key);
                continue;
            }
            const int place = PlaceOfKey(key);
            if (place >= 0)
                present[static_cast<std::size_t>(place)] = true;
        }
        for (int i = 0; i < placeCount; ++i)
            if (!present[static_cast<std::size_t>(i)])
                missing.push_back(std::to_string(i));
        Report("unknown keys", unknown);
        Report("places missing", missing);
    }

    void CheckDeal(const LevelValues& lv, const std::vector<PlaceDef>& defs)
    {
        // Each deck brings 13 cards of every suit whose bit (8 >> s) is set: the low four bits.
        const auto suits = static_cast<long long>(std::bitset<4>(static_cast<unsigned>(lv.nSuits) & 15u).count());
        const long long poolCards = static_cast<long long>(lv.nDecksCount) * suits * 13;
        std::vector<std::vector<std::string>> cards;
        for (const PlaceDef& def : defs)
            cards.push_back(def.cards);
        const long long asked = CardsAsked(cards);
        if (asked > poolCards)
            Warn("the deal asks for " + std::to_string(asked) + " cards, the " + std::to_string(lv.nDecksCount) +
                 " decks hold " + std::to_string(poolCards));
    }

private:
    void Warn(const std::string& text)
    {
        if (m_pEngine != nullptr)
            m_pEngine->Log("[W] Level %s: %s", m_section.c_str(), text.c_str());
    }

    template <typename Value, typename Range>
    void Hold(const std::string& key, Value& value, const Range& range)
    {
        if (InRange(value, range))
            return;
        std::ostringstream text;
        text << key << " = " << value << " is out of range " << range.min << ".." << range.max << ", "
             << range.fallback << " used";
        Warn(text.str());
        value = range.fallback;
    }

    void CollectBadTokens(const std::string& key, std::vector<std::string>& bad)
    {
        std::vector<std::string> tokens;
        SplitString(m_file.GetString(key.c_str()), tokens, ",");
        for (const std::string& token : tokens)
            if (!IsRequirementText(token))
                bad.push_back(key + " \"" + token + "\"");
    }

    void Report(const char* what, const std::vector<std::string>& items)
    {
        if (!items.empty())
            Warn(std::string(what) + ": " + JoinList(items));
    }

    IEngine* m_pEngine;
    CIniFile& m_file;
    const std::string& m_section;
};

}  // namespace

// One to four decimal whole numbers of 32 bits separated by ":", each with an optional sign.
bool IsRequirementText(const std::string& token)
{
    // Split keeping empty parts: the parser drops them and would read "1::2" as 1:2.
    std::size_t parts = 0, start = 0;
    for (;;) {
        const std::size_t colon = token.find(':', start);
        const std::string part = token.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (++parts > 4 || !IsWholeNumber(part))
            return false;
        if (colon == std::string::npos)
            return true;
        start = colon + 1;
    }
}

bool IsKnownKey(const std::string& key, int placeCount)
{
    const std::string lower = Lower(key);
    if (std::find(std::begin(kLevelKeys), std::end(kLevelKeys), lower) != std::end(kLevelKeys))
        return true;
    const int place = PlaceOfKey(lower);
    if (place < 0 || place >= placeCount)
        return false;
    const std::string name = lower.substr(lower.find('_') + 1);
    return std::find(std::begin(kPlaceKeys), std::end(kPlaceKeys), name) != std::end(kPlaceKeys);
}

void CheckSection(IEngine* engine, CIniFile& file, const std::string& section, LevelValues& level,
                  std::vector<PlaceDef>& places)
{
    SectionChecker check(engine, file, section);
    check.CheckValues(level, places);
    check.CheckRequirements(level.nPlaceCount);
    check.CheckKeys(level.nPlaceCount);
    check.CheckDeal(level, places);
}

}  // namespace level_check
