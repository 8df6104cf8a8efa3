// ProgressRules.cpp: medals, ranks, trophies, story map slots and game starts over a player record.
#include "progress/ProgressRules.h"

#include <algorithm>
#include <cstddef>

namespace progress {

namespace {

constexpr int kStoryEntries = PlayerRecord::kStoryLevels;
constexpr int kLocations = PlayerRecord::kLocations;
constexpr int kBonusFirst = 25;
constexpr int kHardcoreFirst = 30;

// Mode words of a game start: the kind in the low three bits, 8 marks a hardcore table.
constexpr int kModeStory = 0;
constexpr int kModeClassic = 1;
constexpr int kModeBonus = 2;
constexpr int kModeHardcore = 8;

constexpr int kTrophyScoreHigh = 50000;
constexpr int kTrophyScoreLow = 20000;

bool ValidLocation(int location)
{
    return location >= 0 && location < kLocations;
}

bool ValidStoryLevel(int level)
{
    return level >= 0 && level < kStoryEntries;
}

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

template <std::size_t N>
bool AllGold(const std::array<std::int32_t, N>& states)
{
    return std::all_of(states.begin(), states.end(), [](std::int32_t state) { return state == kLevelGold; });
}

template <std::size_t N>
void AddPoints(const std::array<std::int32_t, N>& states, int& points)
{
    for (std::int32_t state : states)
        points += state > kLevelOpen ? state - 1 : 0;
}

template <std::size_t N>
void AddMedals(const std::array<std::int32_t, N>& states, MedalCounts& counts)
{
    for (std::int32_t state : states) {
        counts.gold += state == kLevelGold ? 1 : 0;
        counts.silver += state == kLevelSilver ? 1 : 0;
        counts.bronze += state == kLevelBronze ? 1 : 0;
    }
}

// The state field an entry lives in, or null for none or out of range.
template <typename Record>
auto StateField(Record& record, const StoryEntry& entry) -> decltype(&record.m_storyLevels[0])
{
    if (entry.story >= 0)
        return ValidStoryLevel(entry.story) ? &record.m_storyLevels[At(entry.story)] : nullptr;
    if (entry.bonus >= 0)
        return ValidLocation(entry.bonus) ? &record.m_bonusLevels[At(entry.bonus)] : nullptr;
    if (entry.hardcore >= 0)
        return ValidLocation(entry.hardcore) ? &record.m_hardcoreLevels[At(entry.hardcore)] : nullptr;
    return nullptr;
}

void RaiseClosed(std::int32_t& state)
{
    if (state == kLevelClosed)
        state = kLevelOpen;
}

}  // namespace

// ---- Story entries ------------------------------------------------------------------------------

int StoryEntry::Number() const
{
    if (story >= 0)
        return ValidStoryLevel(story) ? story : -1;
    if (bonus >= 0)
        return ValidLocation(bonus) ? SectionNumber(bonus, true, false) : -1;
    if (hardcore >= 0)
        return ValidLocation(hardcore) ? SectionNumber(hardcore, false, true) : -1;
    return -1;
}

int SectionNumber(int level, bool bonusLevel, bool hardcoreLevel)
{
    if (bonusLevel)
        return kBonusFirst + level;
    if (hardcoreLevel)
        return kHardcoreFirst + level;
    return level;
}

StoryEntry GetSelection(const PlayerRecord& record)
{
    return {record.m_nSelectedStory, record.m_nSelectedBonus, record.m_nSelectedHardcore};
}

void SetSelection(PlayerRecord& record, const StoryEntry& entry)
{
    record.m_nSelectedStory = entry.story;
    record.m_nSelectedBonus = entry.bonus;
    record.m_nSelectedHardcore = entry.hardcore;
}

int GetEntryState(const PlayerRecord& record, const StoryEntry& entry)
{
    const std::int32_t* state = StateField(record, entry);
    return state != nullptr ? *state : kLevelClosed;
}

bool StoreMedal(PlayerRecord& record, const StoryEntry& entry, int medal)
{
    std::int32_t* state = StateField(record, entry);
    if (state == nullptr || medal > kLevelGold || medal <= *state)
        return false;
    *state = medal;
    return true;
}

const std::string& EntryName(const std::vector<std::string>& names, int number)
{
    static const std::string kNone;
    return number >= 0 && At(number) < names.size() ? names[At(number)] : kNone;
}

// ---- The story map's slots ----------------------------------------------------------------------

int SlotTag(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return -1;
    return slot < kLevelsPerLocation ? kLevelsPerLocation - 1 - slot : slot;
}

int SlotOfEntry(const StoryEntry& entry)
{
    if (entry.story >= 0)
        return ValidStoryLevel(entry.story) ? kLevelsPerLocation - 1 - entry.story % kLevelsPerLocation : -1;
    if (entry.bonus >= 0)
        return ValidLocation(entry.bonus) ? kBonusSlot : -1;
    if (entry.hardcore >= 0)
        return ValidLocation(entry.hardcore) ? kHardcoreSlot : -1;
    return -1;
}

StoryEntry EntryOfTag(int location, int tag)
{
    if (!ValidLocation(location) || tag < 0 || tag >= kSlots)
        return {};
    if (tag < kLevelsPerLocation)
        return StoryEntry::Story(location * kLevelsPerLocation + tag);
    return tag == kBonusSlot ? StoryEntry::Bonus(location) : StoryEntry::Hardcore(location);
}

int GetSlotState(const PlayerRecord& record, int location, int tag)
{
    const StoryEntry entry = EntryOfTag(location, tag);
    if (entry.IsNone())
        return -1;
    const bool started = record.m_bStoryLevelPlayed != 0;
    if (!started && (entry.story < 0 || entry.story > 0))
        return kLevelClosed;
    return GetEntryState(record, entry);
}

StoryEntry SelectDefaultLevel(const PlayerRecord& record, int location)
{
    if (!ValidLocation(location) || record.m_locationOpened[At(location)] == 0)
        return {};
    const int first = location * kLevelsPerLocation;
    int lowest = first;
    for (int level = first + 1; level < first + kLevelsPerLocation; ++level) {
        if (record.m_storyLevels[At(level)] < record.m_storyLevels[At(lowest)])
            lowest = level;
    }
    const std::int32_t lowestState = record.m_storyLevels[At(lowest)];
    const std::int32_t bonus = record.m_bonusLevels[At(location)];
    const std::int32_t hardcore = record.m_hardcoreLevels[At(location)];
    if (hardcore > kLevelClosed && hardcore < lowestState)
        return StoryEntry::Hardcore(location);
    if (bonus > kLevelClosed && bonus < lowestState)
        return StoryEntry::Bonus(location);
    return StoryEntry::Story(lowest);
}

void OpenLocationCompletely(PlayerRecord& record, int location)
{
    if (!ValidLocation(location))
        return;
    // Only closed levels open: a cheat that takes medals away would lose real progress.
    RaiseClosed(record.m_bonusLevels[At(location)]);
    RaiseClosed(record.m_hardcoreLevels[At(location)]);
    for (int i = 0; i < kLevelsPerLocation; ++i)
        RaiseClosed(record.m_storyLevels[At(location * kLevelsPerLocation + i)]);
    record.m_locationOpened[At(location)] = 1;
    SetSelection(record, StoryEntry::Story(location * kLevelsPerLocation));
}

// ---- Map animation names and part paths ---------------------------------------------------------

const char* LocationKey(int location)
{
    static const char* const kKeys[kLocations] = {"bora-bora", "barbados", "fregate", "dubai", "monaco"};
    return ValidLocation(location) ? kKeys[location] : nullptr;
}

const char* LevelStateSection(int state)
{
    static const char* const kSections[] = {"closed", "opened", "bronze", "silver", "gold"};
    return state >= kLevelClosed && state <= kLevelGold ? kSections[state] : kSections[0];
}

const char* HelmSection(int from, int to)
{
    // The helm turns the way the ship sails on the map; the locations do not lie in index order.
    switch (from) {
    case 0:
        return "right";
    case 1:
        return to == 0 ? "left" : "right";
    case 3:
        return to == 2 ? "right" : "left";
    case 4:
        return to == 2 || to == 3 ? "right" : "left";
    default:
        return "left";
    }
}

std::string MapEffect(int previousLocation, int location)
{
    if (previousLocation < 0)
        return "0-" + std::to_string(location + 1);
    return std::to_string(previousLocation + 1) + "-" + std::to_string(location + 1) + "z";
}

SlotPaths MapSlotPaths(int slot, int keyLocation, int previousLocation, int location)
{
    const char* key = LocationKey(keyLocation);
    if (key == nullptr || slot < 0 || slot >= kSlots)
        return {};
    const char* kind = slot < kLevelsPerLocation ? "level" : slot == kBonusSlot ? "bonus" : "hardcore";
    std::string prefix;
    if (previousLocation >= 0)
        prefix = std::to_string(previousLocation + 1) + "-" + std::to_string(location + 1) + ".#0.";
    const std::string enter = prefix + key + "_b.#0." + key + ".#" + std::to_string(slot + 2) + ".enter_" + kind;
    return {enter + ".all", enter + ".#0." + kind + ".all"};
}

// ---- Starting games -------------------------------------------------------------------------------

bool StoryGameStart(const StoryEntry& selection, GameStart& start)
{
    if (selection.story >= 0) {
        start = {selection.story, kModeStory, -1};
        return ValidStoryLevel(selection.story);
    }
    if (selection.bonus >= 0) {
        start = {selection.bonus, kModeBonus, selection.bonus + 1};
        return ValidLocation(selection.bonus);
    }
    if (selection.hardcore >= 0) {
        start = {selection.hardcore, kModeHardcore, selection.hardcore};
        return ValidLocation(selection.hardcore);
    }
    return false;
}

bool ClassicGameStart(int tag, int location, GameStart& start)
{
    if (tag < 0 || tag >= kClassicEntries)
        return false;
    const int look = ValidLocation(location) ? location : 0;
    if (tag < kClassicHardcoreFirst)
        start = {tag, kModeClassic, look};
    else
        start = {tag - kClassicHardcoreFirst, kModeClassic | kModeHardcore, look};
    return true;
}

int ClassicEntryNumber(int tag)
{
    if (tag < 0 || tag >= kClassicEntries)
        return -1;
    return tag < kClassicHardcoreFirst ? tag : tag + (kHardcoreFirst - kClassicHardcoreFirst);
}

// ---- Medals and ranks -------------------------------------------------------------------------------

int MedalFromHints(int hints)
{
    if (hints <= 0)
        return kLevelGold;
    return hints <= 3 ? kLevelSilver : kLevelBronze;
}

const wchar_t* MedalName(int medal)
{
    switch (medal) {
    case kLevelBronze:
        return L"Bronze";
    case kLevelSilver:
        return L"Silver";
    case kLevelGold:
        return L"Gold";
    default:
        return L"None";
    }
}

void AwardLevelMedal(PlayerRecord& record, int level, bool hardcore, int medal)
{
    StoreMedal(record, hardcore ? StoryEntry::Hardcore(level) : StoryEntry::Story(level), medal);
    record.m_nConsecutiveGolds = medal == kLevelGold ? record.m_nConsecutiveGolds + 1 : 0;
}

int MedalPoints(const PlayerRecord& record)
{
    int points = 0;
    AddPoints(record.m_storyLevels, points);
    AddPoints(record.m_hardcoreLevels, points);
    AddPoints(record.m_bonusLevels, points);
    return points;
}

const std::array<int, PlayerRecord::kRanks> RankThresholds = {4, 9, 16, 25, 34, 43, 52, 61, 70, 79, 90, 105, -1};

RankStep ComputeRankStep(int medalPoints, int rankIndex)
{
    RankStep step;
    int low = 0;
    int high = RankThresholds[0];
    for (std::size_t i = 0; RankThresholds[i] != -1; ++i) {
        const int threshold = RankThresholds[i];
        if (threshold > medalPoints)
            continue;
        ++step.reached;
        low = threshold;
        high = RankThresholds[i + 1] != -1 ? RankThresholds[i + 1] : threshold;
    }
    step.fraction = high == low ? 1.0f : static_cast<float>(medalPoints - low) / static_cast<float>(high - low);
    if (step.reached > rankIndex)
        step.fraction = 1.0f;
    step.targetFrame = static_cast<int>(step.fraction * 101.0f);
    step.previousRank = rankIndex;
    step.rank = rankIndex;
    step.progress = static_cast<int>(step.fraction * 100.0f);
    if (step.reached > rankIndex) {
        step.progress = 0;
        step.rank = step.reached;
    }
    return step;
}

RankStep ApplyRankStep(PlayerRecord& record)
{
    RankStep step = ComputeRankStep(MedalPoints(record), record.m_nRank);
    if (record.m_nRank == kTopRank && record.m_bTopRankReached == 0) {
        record.m_bTopRankReached = 1;
        step.topRankNow = true;
    }
    step.moveBar = record.m_nRank < kTopRank && record.m_bMasterMode == 0;
    record.m_nRankProgress = step.progress;
    record.m_nRank = step.rank;
    return step;
}

int RankBarFrame(const PlayerRecord& record, int frameCount)
{
    if (frameCount < 1)
        return 0;
    if (record.m_bTopRankReached != 0 || record.m_bMasterMode != 0)
        return frameCount - 1;
    return (frameCount - 1) * std::clamp(record.m_nRankProgress, 0, 100) / 100;
}

// ---- Trophies --------------------------------------------------------------------------------------

bool TrophyConditionHolds(const PlayerRecord& r, int trophy)
{
    switch (trophy) {
    case 0:
        return r.m_nStoryScore >= kTrophyScoreHigh;
    case 1:
        return r.m_nLastMaxCombo >= 4;
    case 2:
        return r.m_nStoryScore >= kTrophyScoreLow && r.m_nStoryScore < kTrophyScoreHigh;
    case 3:
        return r.m_nBonusesUsed >= 6;
    case 4:
        return r.m_nConsecutiveGolds == 3;
    case 5:
        return r.m_nConsecutiveGolds >= 5;
    case 6:
        return AllGold(r.m_storyLevels);
    case 7:
        return r.m_bGoldenCard != 0;
    case 8:
        return AllGold(r.m_hardcoreLevels) && AllGold(r.m_bonusLevels);
    case 9:
        return AllGold(r.m_storyLevels) && AllGold(r.m_hardcoreLevels) && AllGold(r.m_bonusLevels);
    default:
        return false;
    }
}

bool IsTrophyDue(const PlayerRecord& record, int trophy)
{
    if (trophy < 0 || trophy >= PlayerRecord::kTrophies)
        return false;
    return record.m_trophyEarned[At(trophy)] == 0 && record.m_trophyShown[At(trophy)] == 0 &&
           TrophyConditionHolds(record, trophy);
}

int FirstDueTrophy(const PlayerRecord& record)
{
    for (int trophy = 0; trophy < PlayerRecord::kTrophies; ++trophy) {
        if (IsTrophyDue(record, trophy))
            return trophy;
    }
    return -1;
}

bool IsTrophyDue(const PlayerRecord& record)
{
    return FirstDueTrophy(record) >= 0;
}

int AwardTrophies(PlayerRecord& record)
{
    int last = -1;
    for (int trophy = 0; trophy < PlayerRecord::kTrophies; ++trophy) {
        if (record.m_trophyEarned[At(trophy)] == 0 && TrophyConditionHolds(record, trophy)) {
            record.m_trophyEarned[At(trophy)] = 1;
            last = trophy;
        }
    }
    return last;
}

MedalCounts CountMedals(const PlayerRecord& record)
{
    MedalCounts counts;
    AddMedals(record.m_storyLevels, counts);
    AddMedals(record.m_bonusLevels, counts);
    AddMedals(record.m_hardcoreLevels, counts);
    return counts;
}

int CompletionPercent(const MedalCounts& counts)
{
    // In whole numbers, so 35 golds give exactly 100 and nothing rounds up past a truncation.
    const int points = 3 * counts.gold + 2 * counts.silver + counts.bronze;
    return std::clamp(points * 100 / kMaxMedalPoints, 0, 100);
}

}  // namespace progress
