#include "table/LevelFileCheck.h"

#include "app/CIniFile.h"
#include "framework/StringUtils.h"
#include "platform/Engine.h"
#include "platform/IniKeyIndex.h"
#include "platform/IniText.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace level_check {
namespace {

// The range of a number read from the file, and what replaces a value outside it. Integers and
// decimals share it: every bound is a small whole number or a short decimal.
struct KeyRange {
    const char* name;
    double min, max, fallback;
    bool belowIsMin = false;  // a value below min means the same as min and is no fault
};

// Level keys. A missing zoom reads 0 as before; a bad one becomes the cards' own size. The deck
// and place counts are bounded by the table's limits, which refuse the level instead.
constexpr KeyRange kLevelRanges[] = {
    {"level_zoom", 0.0, 4.0, 1.0},
    {"level_difficulty", 0, 100, 0}, {"level_skill", 0, 100, 0}, {"level_chance", 0, 100, 0},
    {"level_h_offset_visible", -300, 300, 0}, {"level_v_offset_visible", -300, 300, 0},  // pixels a card
    {"level_h_offset_hidden", -300, 300, 0}, {"level_v_offset_hidden", -300, 300, 0},
    {"level_suits", 0, 15, 0},           // one bit a suit
    {"level_bonuses", -1, 24, -1},       // special action codes; -1 arms nothing
};
// Every bar_ and score_ key. Points stay small enough that no sum of a game's moves comes near
// the 32 bits the stores keep; the keeper clamps the total besides.
constexpr KeyRange kGaugeRange{"bar_", -10000, 10000, 0};
constexpr KeyRange kPointsRange{"score_", -100000, 100000, 0};
// Place keys, after their "place%d_". Anchors may lie a whole view off the 800 x 600 table, never
// further; angles one turn either way, in radians.
constexpr KeyRange kPlaceRanges[] = {
    {"x", -800, 1600, 0}, {"y", -600, 1200, 0}, {"rotate", -6.2832, 6.2832, 0},
    {"h_offset", -10, 10, 0}, {"v_offset", -10, 10, 0},  // factors of the fan steps
    // Any negative limit means no limit; it reads as -1, which each use may lower without ever
    // coming near the end of the integer.
    {"rank", 0, 255, 0}, {"click_empty_limit", -1, 1000, 0, true},
    {"max_bottom_pos", 0, 1200, 0}, {"type", 0, 7, 0},
};
constexpr KeyRange kWholeRange{"", INT_MIN, INT_MAX, 0};

constexpr std::size_t kListedItems = 8;
// Tokens read of one list: a deal takes at most 208 cards and a rule list holds a few tuples, while
// a file may hold millions of tokens, each of which would cost tens of bytes once read.
constexpr std::size_t kMaxListTokens = 256;
constexpr std::size_t kShownBytes = 60;  // of a value quoted in a line: it may be megabytes

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The text as a line quotes it: its start, and its length when that is all.
std::string Shown(const std::string& text)
{
    if (text.size() <= kShownBytes)
        return text;
    return text.substr(0, kShownBytes) + "... (" + std::to_string(text.size()) + " bytes)";
}

// Splits at "," dropping empty tokens, as SplitString does, keeping the first kMaxListTokens;
// returns how many the text holds.
std::size_t SplitList(const std::string& text, std::vector<std::string>& tokens)
{
    std::size_t count = 0;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find(',', begin);
        end = end == std::string::npos ? text.size() : end;
        if (end > begin && count++ < kMaxListTokens)
            tokens.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return count;
}

std::string Trim(const std::string& text)
{
    std::size_t i = 0, end = text.size();
    while (i < end && IsBlank(text[i]))
        ++i;
    while (end > i && IsBlank(text[end - 1]))
        --end;
    return text.substr(i, end - i);
}

// The decimal whole number that the text starts with, an optional sign and its digits, as the
// engine's integer read takes it; `used` is how many characters it took, 0 when there are no
// digits. One too long for 64 bits saturates, so that it is told as out of range.
bool ParseLeadingWhole(const std::string& text, long long& value, std::size_t& used)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        i = 1;
    const std::size_t digits = i;
    value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < 100000000000000000LL)
            value = value * 10 + (text[i] - '0');
    }
    value = negative ? -value : value;
    used = i;
    return i > digits;
}

// A decimal whole number with an optional sign and nothing else.
bool ParseWhole(const std::string& text, long long& value)
{
    std::size_t used = 0;
    return ParseLeadingWhole(text, value, used) && used == text.size();
}

// A whole number of 32 bits with an optional sign and blanks around it, and nothing else.
bool IsWholeNumber(const std::string& text)
{
    long long value = 0;
    return ParseWhole(Trim(text), value) && value >= INT_MIN && value <= INT_MAX;
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

const KeyRange& RangeOf(const std::string& key)
{
    if (PlaceOfKey(key) >= 0) {
        const std::string name = key.substr(key.find('_') + 1);
        for (const KeyRange& range : kPlaceRanges)
            if (name == range.name)
                return range;
        return kWholeRange;
    }
    for (const KeyRange& range : kLevelRanges)
        if (key == range.name)
            return range;
    if (key.compare(0, 4, kGaugeRange.name) == 0)
        return kGaugeRange;
    if (key.compare(0, 6, kPointsRange.name) == 0)
        return kPointsRange;
    return kWholeRange;
}

std::string Bounds(const KeyRange& range)
{
    std::ostringstream text;
    text << range.min << ".." << range.max;
    return text.str();
}

// The decimal number that the text starts with, as strtof reads it; `used` is how many characters
// it took, 0 when there is none. A hexadecimal form is no decimal number: of "0x1p3" only the "0"
// counts.
bool ParseLeadingDecimal(const std::string& text, float& value, std::size_t& used)
{
    const std::size_t sign = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    const bool hex = text.size() > sign + 1 && text[sign] == '0' && (text[sign + 1] == 'x' || text[sign + 1] == 'X');
    const std::string decimal = hex ? text.substr(0, sign + 1) : text;
    char* end = nullptr;
    value = std::strtof(decimal.c_str(), &end);
    used = static_cast<std::size_t>(end - decimal.c_str());
    return used > 0;
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

// "a, b, c", cut after a few of the `count` items with "and N more": one log line stays readable.
std::string JoinList(const std::vector<std::string>& items, std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < items.size() && i < kListedItems; ++i)
        out += (i == 0 ? "" : ", ") + items[i];
    if (count > kListedItems)
        out += " and " + std::to_string(count - kListedItems) + " more";
    return out;
}

// Tells what one section gave that the loader cannot use: each kind is logged once for the
// section, not dropped in silence.
class SectionChecker {
public:
    SectionChecker(IEngine* engine, const std::string& section) : m_pEngine(engine), m_section(section) {}

    void CheckRequirements(const SectionReader& reader)
    {
        Report("requirements that do not parse", reader.BadTokens(), reader.BadTokens().size());
    }

    // Keys can only be listed from the file's text; an engine that cannot load it skips this.
    // Unknown keys are counted, not kept: a file may hold millions of them, each once or over
    // and over. Only the first few names are kept for the line.
    void CheckKeys(int placeCount)
    {
        std::vector<std::uint8_t> bytes;
        if (m_pEngine == nullptr || !m_pEngine->ResourceLoad(kLevelFile, bytes))
            return;
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        const std::string_view section(m_section);
        IniKeyIndex firstLines;  // a key repeated is told once, at its first line
        firstLines.Build(text, &section);
        std::vector<std::string> unknown;
        std::size_t unknownCount = 0;
        std::vector<bool> present(static_cast<std::size_t>(placeCount), false);
        const int occurrences = ini_text::ForEachSectionKey(text, section, [&](std::string_view name, std::size_t line) {
            const std::string key(name);
            if (IsKnownKey(key, placeCount)) {
                const int place = PlaceOfKey(key);
                if (place >= 0)
                    present[static_cast<std::size_t>(place)] = true;
            } else if (firstLines.Find(section, name) == line && unknownCount++ < kListedItems) {
                unknown.push_back(key);
            }
        });
        if (occurrences > 1)
            Warn("the file has " + std::to_string(occurrences) +
                 " sections of this name, read as one (the first value of each key wins)");
        std::vector<std::string> missing;
        for (int i = 0; i < placeCount; ++i)
            if (!present[static_cast<std::size_t>(i)])
                missing.push_back(std::to_string(i));
        Report("unknown keys", unknown, unknownCount);
        Report("places missing", missing, missing.size());
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

    // The first items of `count`.
    void Report(const char* what, const std::vector<std::string>& items, std::size_t count)
    {
        if (count > 0)
            Warn(std::string(what) + ": " + JoinList(items, count));
    }

    IEngine* m_pEngine;
    const std::string& m_section;
};

}  // namespace

SectionReader::SectionReader(IEngine* engine, CIniFile& file, const std::string& section)
    : m_pEngine(engine), m_file(file), m_section(section)
{
}

bool SectionReader::Present(const std::string& key, std::string& text)
{
    if (!m_file.Find(key.c_str(), text))
        return false;
    ++m_nKeysFound;
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    std::size_t begin = 0;
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    text.erase(end).erase(0, begin);  // in place: the value may be megabytes
    return true;
}

void SectionReader::Warn(const std::string& key, const std::string& what, double fallback)
{
    if (m_pEngine == nullptr)
        return;
    std::ostringstream line;
    line << key << " = " << what << ", " << fallback << " used";
    m_pEngine->Log("[W] Level %s: %s", m_section.c_str(), line.str().c_str());
}

int SectionReader::Int(const std::string& key)
{
    std::string text;
    return Present(key, text) ? Whole(key, text) : 0;
}

// As the engine reads a number, the leading one counts ("12abc" is 12), so that a loosely written
// value plays as its author meant; the text after it is still told.
int SectionReader::Whole(const std::string& key, const std::string& text)
{
    const KeyRange& range = RangeOf(key);
    long long value = 0;
    std::size_t used = 0;
    if (!ParseLeadingWhole(text, value, used)) {
        Warn(key, "\"" + Shown(text) + "\" is not a whole number", range.fallback);
        return static_cast<int>(range.fallback);
    }
    if (value < range.min && range.belowIsMin)
        value = static_cast<long long>(range.min);
    if (value < range.min || value > range.max) {
        Warn(key, Shown(text) + " is out of range " + Bounds(range), range.fallback);
        return static_cast<int>(range.fallback);
    }
    if (used < text.size())
        Warn(key, "\"" + Shown(text) + "\" is not a whole number", static_cast<double>(value));
    return static_cast<int>(value);
}

float SectionReader::Float(const std::string& key)
{
    std::string text;
    if (!Present(key, text))
        return 0.0f;
    const KeyRange& range = RangeOf(key);
    float value = 0.0f;
    std::size_t used = 0;
    if (!ParseLeadingDecimal(text, value, used)) {
        Warn(key, "\"" + Shown(text) + "\" is not a number", range.fallback);
        return static_cast<float>(range.fallback);
    }
    // NaN and infinities never are in range.
    if (!std::isfinite(value) || value < static_cast<float>(range.min) || value > static_cast<float>(range.max)) {
        std::ostringstream shown;
        shown << value;
        Warn(key, shown.str() + " is out of range " + Bounds(range), range.fallback);
        return static_cast<float>(range.fallback);
    }
    if (used < text.size())
        Warn(key, "\"" + Shown(text) + "\" is not a number", value);
    return value;
}

bool SectionReader::Bool(const std::string& key)
{
    return Int(key) != 0;
}

std::vector<int> SectionReader::IntList(const std::string& key)
{
    const std::vector<std::string> tokens = List(key);
    std::vector<int> values;
    for (const std::string& token : tokens)
        values.push_back(Whole(key, Trim(token)));
    return values;
}

std::vector<std::string> SectionReader::Tokens(const std::string& key)
{
    std::vector<std::string> tokens = List(key);
    for (const std::string& token : tokens)
        if (!IsRequirementText(token))
            m_badTokens.push_back(key + " \"" + Shown(token) + "\"");
    return tokens;
}

std::vector<std::string> SectionReader::List(const std::string& key)
{
    std::vector<std::string> tokens;
    const std::size_t count = SplitList(Text(key), tokens);
    if (count > tokens.size() && m_pEngine != nullptr)
        m_pEngine->Log("[W] Level %s: %s holds %zu items, only the first %zu are read", m_section.c_str(), key.c_str(),
                       count, tokens.size());
    return tokens;
}

std::string SectionReader::Text(const std::string& key)
{
    std::string text;
    if (!m_file.Find(key.c_str(), text))
        return std::string();
    ++m_nKeysFound;
    return text;
}

bool HasWinCondition(const std::vector<PlaceDef>& places)
{
    for (const PlaceDef& def : places)
        for (const PlaceRequirement& req : def.win_cond)
            if (req.a == WinCode::kHolds || req.a == WinCode::kSorted || req.a == WinCode::kHoldsSorted)
                return true;
    return false;
}

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

void CheckSection(IEngine* engine, const SectionReader& reader, const std::string& section,
                  const LevelValues& level, const std::vector<PlaceDef>& places)
{
    SectionChecker check(engine, section);
    check.CheckRequirements(reader);
    check.CheckKeys(level.nPlaceCount);
    check.CheckDeal(level, places);
}

}  // namespace level_check
