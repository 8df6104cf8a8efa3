// PlayerRecord.h: one player's profile: progress, settings and the card table's own values.
//
// A plain record that screens and the card table change in place. In "save.dat" it is a
// 348-byte image (Serialize/Parse, field by field, little-endian, padding written as zeros).
// Level states: 0 closed, 1 open, 2 bronze, 3 silver, 4 gold.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CByteReader;
class CByteWriter;

enum LevelState : std::int32_t {
    kLevelClosed = 0,
    kLevelOpen = 1,
    kLevelBronze = 2,
    kLevelSilver = 3,
    kLevelGold = 4,
};

struct PlayerRecord {
    static constexpr std::size_t kSize = 348;
    static constexpr int kLocations = 5;
    static constexpr int kStoryLevels = 25;
    static constexpr int kLevelNumbers = 35;  // story 0..24, bonus 25..29, hardcore 30..34
    static constexpr int kTrophies = 10;
    static constexpr int kRanks = 13;
    static constexpr std::size_t kNameBytes = 16;

    std::uint8_t m_bReserved = 1;                   // the celebration flag: a won level may end in bursts
    std::uint8_t m_bUseBonusAdvice = 1;             // the table opens the use-bonuses dialog while set
    std::array<std::uint8_t, kLevelNumbers> m_introShown{};  // per level number: introduction seen
    std::int32_t m_nRank = 0;                       // 0..12
    std::int32_t m_nRankProgress = 0;               // percent towards the next rank
    std::array<std::uint8_t, kLocations> m_locationOpened{1, 0, 0, 0, 0};
    std::array<std::int32_t, kStoryLevels> m_storyLevels{1, 1, 1, 1, 1};
    std::array<std::int32_t, kLocations> m_hardcoreLevels{};
    std::array<std::int32_t, kLocations> m_bonusLevels{};
    std::int32_t m_nSelectedStory = 0;              // story level or -1
    std::int32_t m_nSelectedBonus = -1;             // location or -1
    std::int32_t m_nSelectedHardcore = -1;          // location or -1
    std::int32_t m_nPendingNewLocation = -1;        // location or -1
    std::int32_t m_nPendingNewBonus = -1;           // location or -1
    std::int32_t m_nPendingNewHardcore = -1;        // location or -1
    std::array<std::int32_t, 4> m_pendingCongrats{-1, -1, -1, -1};  // 0 due, -1 none
    std::int32_t m_nFinaleState = -1;               // -1 none, 0 all-gold check just succeeded, 1 all gold
    std::uint8_t m_bTopRankReached = 0;
    std::uint8_t m_bMasterWindowShown = 0;
    std::int32_t m_nStoryScore = 0;
    std::int32_t m_nClassicScore = 0;
    std::array<char, kNameBytes> m_szName{};        // always NUL-terminated
    std::int32_t m_nClassicLocation = 0;            // 0..4
    std::uint8_t m_nTableBackground = 0;            // the table view of the in-game menus
    std::uint8_t m_bHints = 1;
    std::int32_t m_nEffectVolume = 100;             // percent
    std::int32_t m_nMusicVolume = 60;
    std::int32_t m_nAmbientVolume = 40;
    std::int32_t m_nConsecutiveGolds = 0;
    std::array<std::uint8_t, kTrophies> m_trophyEarned{};
    std::array<std::uint8_t, kTrophies> m_trophyShown{};
    std::int32_t m_nLastMaxCombo = 0;
    std::int32_t m_nBonusesUsed = 0;                // in the level being played: each new card table clears it
    std::uint8_t m_bGoldenCard = 0;
    std::uint8_t m_bTableFlag = 0;                  // the card table's own: the first full gauge was explained
    std::int32_t m_nTableValue1 = 0;                // the card table's own (move indicator counters)
    std::int32_t m_nTableValue2 = 0;
    std::uint8_t m_bMapVisited = 0;
    std::uint8_t m_bStoryLevelPlayed = 0;
    std::int32_t m_nCardBack = -1;                  // 0..2; -1 until the first game screen
    std::uint8_t m_bCardBackRotation = 1;
    std::uint8_t m_bUseBonuses = 0;
    std::uint8_t m_bAllGoldButOne = 0;
    std::uint8_t m_bAllStoryCompleted = 0;
    std::uint8_t m_bAllStoryGold = 0;
    std::uint8_t m_bEverythingGold = 0;
    std::uint8_t m_bMasterMode = 0;

    // Not in the file image (it has no place for it), so kept for the session only:
    std::int32_t m_nTakenRunsDropped = 0;           // runs the take-cards bonus lifted and dropped elsewhere

    std::string GetName() const;
    void SetName(const std::string& name);          // keeps at most 15 characters

    void Serialize(CByteWriter& out) const;         // exactly kSize bytes
    bool Parse(CByteReader& in);                    // false when fewer than kSize bytes remain
    // Repairs what a damaged or edited file could hold: the name is terminated, level states
    // are kept to 0..4, and every selection or choice that indexes a table to its range.
    void Sanitize();
};
