// ProgressRules.h: the rules that turn a player record into medals, ranks, trophies, the story
// map's slots and the arguments of a game start, as plain functions over the record.
//
// Nothing here draws, plays or saves: the story map, the classic selection, the trophy room and
// the result popups call these and do the showing themselves. Every function takes indices from
// outside (tags, locations, selections) as untrusted and answers "none" for one out of range.
#pragma once

#include "progress/PlayerRecord.h"

#include <array>
#include <string>
#include <vector>

namespace progress {

constexpr int kLevelsPerLocation = 5;
constexpr int kSlots = 7;          // five story levels, the bonus level, the hardcore level
constexpr int kBonusSlot = 5;
constexpr int kHardcoreSlot = 6;
constexpr int kTopRank = PlayerRecord::kRanks - 1;
constexpr int kMaxMedalPoints = 105;
constexpr int kClassicEntries = 30;
constexpr int kClassicHardcoreFirst = 25;  // classic entries 25..29 play the hardcore tables

// ---- Story entries ------------------------------------------------------------------------------
// One of the 35 playable story entries in the form of the record's three selection fields: at
// most one is not -1. Its number (0..34) names the level section, the level name and the preview.
struct StoryEntry {
    int story = -1;     // story level 0..24
    int bonus = -1;     // location of a bonus level
    int hardcore = -1;  // location of a hardcore level

    static StoryEntry Story(int level) { return {level, -1, -1}; }
    static StoryEntry Bonus(int location) { return {-1, location, -1}; }
    static StoryEntry Hardcore(int location) { return {-1, -1, location}; }

    bool IsNone() const { return story < 0 && bonus < 0 && hardcore < 0; }
    int Number() const;  // 0..24 story, 25 + L bonus, 30 + L hardcore; -1 none or out of range
    bool operator==(const StoryEntry& other) const
    {
        return story == other.story && bonus == other.bonus && hardcore == other.hardcore;
    }
    bool operator!=(const StoryEntry& other) const { return !(*this == other); }
};

// The level file's section of a game: a bonus level L plays section 25 + L, a hardcore level
// 30 + L, any other its own number. The entry numbers above are these sections.
int SectionNumber(int level, bool bonusLevel, bool hardcoreLevel);

StoryEntry GetSelection(const PlayerRecord& record);
void SetSelection(PlayerRecord& record, const StoryEntry& entry);
int GetEntryState(const PlayerRecord& record, const StoryEntry& entry);  // LevelState; 0 for none
// Stores a medal (2..4) when it is higher than the entry's state; false when nothing changed.
bool StoreMedal(PlayerRecord& record, const StoryEntry& entry, int medal);
// The level name or preview index of an entry number, "" for a number outside the list.
const std::string& EntryName(const std::vector<std::string>& names, int number);

// ---- The story map's slots ----------------------------------------------------------------------
// Slot s carries tag 4 - s for the story levels (slot 0 is the location's last level), 5 the
// bonus level and 6 the hardcore level.
int SlotTag(int slot);
int SlotOfEntry(const StoryEntry& entry);           // -1 for none
StoryEntry EntryOfTag(int location, int tag);       // none for a location or tag out of range
// The state the map shows for a tag: before the first Play only the game's first level counts.
int GetSlotState(const PlayerRecord& record, int location, int tag);
// The entry chosen on arriving at an open location: its lowest story level, unless the bonus or
// (preferred) the hardcore level is opened and lower still. None for a location out of range.
StoryEntry SelectDefaultLevel(const PlayerRecord& record, int location);
// The cheat that opens a whole location and selects its first level.
void OpenLocationCompletely(PlayerRecord& record, int location);

// ---- Map animation names and part paths ---------------------------------------------------------
const char* LocationKey(int location);               // "bora-bora" .. "monaco"; null out of range
const char* LevelStateSection(int state);            // "closed" .. "gold"; "closed" out of range
const char* HelmSection(int from, int to);           // the helm turns "left" or "right"
std::string MapEffect(int previousLocation, int location);  // "0-%d" or the journey "%d-%dz"
struct SlotPaths {
    std::string button;  // the part the slot button shows ("....enter_level.all")
    std::string level;   // the part whose sections show the entry's state ("....level.all")
};
// keyLocation: the location whose buttons are bound (the one arrived at, or the one left when a
// journey starts). previousLocation -1: no journey, the paths start at the location's own part.
SlotPaths MapSlotPaths(int slot, int keyLocation, int previousLocation, int location);

// ---- Starting games -------------------------------------------------------------------------------
struct GameStart {
    int level = 0;
    int mode = 0;
    int extra = -1;
};
// The story map's Play: false when the selection is none or out of range.
bool StoryGameStart(const StoryEntry& selection, GameStart& start);
// The classic selection's entry tag 0..29 on the chosen location's look; false for a tag out of
// range. A location out of range takes location 0.
bool ClassicGameStart(int tag, int location, GameStart& start);
int ClassicEntryNumber(int tag);  // the entry number whose name and preview the tag shows; -1 out of range

// ---- Medals and ranks -------------------------------------------------------------------------------
int MedalFromHints(int hints);                       // 4 gold, 3 silver, 2 bronze
const wchar_t* MedalName(int medal);                 // the trace log's word for a medal: "Gold", ..., "None"
// A won story or hardcore level's medal: stored when higher, and the run of golds counted.
void AwardLevelMedal(PlayerRecord& record, int level, bool hardcore, int medal);
int MedalPoints(const PlayerRecord& record);         // state - 1 over every state above open
// Medal points that reach rank index 1..12, ended by -1.
extern const std::array<int, PlayerRecord::kRanks> RankThresholds;

struct RankStep {
    int reached = 0;        // ranks whose threshold the points reach
    float fraction = 0.0f;  // of the way from the reached threshold to the next (1 when risen)
    int targetFrame = 0;    // rank bar frame to play to: fraction x 101
    int previousRank = 0;
    int rank = 0;           // rank index after the step (never lower than before)
    int progress = 0;       // percent toward the next rank after the step
    bool topRankNow = false;  // this step found the top rank and set "top rank reached"
    bool moveBar = false;     // below the top rank and not in master mode: the bar moves
};
RankStep ComputeRankStep(int medalPoints, int rankIndex);
RankStep ApplyRankStep(PlayerRecord& record);        // the result popup's rank step
int RankBarFrame(const PlayerRecord& record, int frameCount);  // the bar as a result popup opens

// ---- Trophies --------------------------------------------------------------------------------------
bool TrophyConditionHolds(const PlayerRecord& record, int trophy);  // trophy 0..9
bool IsTrophyDue(const PlayerRecord& record, int trophy);            // holds, not earned, not shown
int FirstDueTrophy(const PlayerRecord& record);                      // -1 none
bool IsTrophyDue(const PlayerRecord& record);
// The trophy room's award pass: earns every trophy whose condition holds. Returns the last one
// earned now, -1 none.
int AwardTrophies(PlayerRecord& record);

struct MedalCounts {
    int gold = 0;
    int silver = 0;
    int bronze = 0;
};
MedalCounts CountMedals(const PlayerRecord& record);
int CompletionPercent(const MedalCounts& counts);    // 0..100, 100 only when everything is gold

}  // namespace progress
