// CProfileStore.h: every player profile and the machine-wide display settings ("data\save.dat").
//
// One instance lives from start-up to teardown (start-up owns it; g_pProfileStore points to it).
// Screens and the card table change the current record in place; operations that change the list
// of players save at once, and screens call Save at their own commit points. Loading checks the
// file and moves a damaged one aside as "save.dat.bad.<n>"; a file of another version is left alone
// until the first save, which moves it aside the same way. Saving replaces the file in one rename.
#pragma once

#include "progress/PlayerRecord.h"

#include <cstdint>
#include <string>
#include <vector>

class CProfileStore {
public:
    static constexpr std::uint32_t kVersion = 285;
    static constexpr std::size_t kHeaderSize = 24;
    static constexpr int kMaxPlayers = 1000;   // far above what the selection screen offers

    CProfileStore();   // loads; falls back to one unsaved player "PLAYER"
    ~CProfileStore();  // saves
    CProfileStore(const CProfileStore&) = delete;
    CProfileStore& operator=(const CProfileStore&) = delete;

    bool Load();       // false when the file is missing, of another version or damaged
    bool Save();       // true when there was nothing to write or the file was replaced

    void NewPlayer(const std::string& name, bool save);
    bool SelectPlayer(int index);   // false for an index outside the list
    bool DeletePlayer(int index);   // false for an index outside the list or the last player

    void GetPlayerNames(std::vector<std::string>& names) const;
    int FindPlayer(const std::string& name) const;  // exact match, or -1
    int GetPlayerCount() const { return static_cast<int>(m_players.size()); }
    static std::string BuildDataPath(const std::string& fileName);  // "data\<fileName>"

    // The card table asks this when a level is won, naming the level in play in the matching
    // argument (-1 in the others). True once every level is gold, the named one counting as gold.
    bool CheckAllGold(int skipStory, int skipBonus, int skipHardcore);
    int UpdateUnlocks();            // the location opened now, or -1
    int GetCurrentLocation() const;

    // Start-up: folds the options screen's pending display changes into the settings.
    void ApplyPendingDisplayChanges();
    // Start-up on a desktop no larger than 800x600: full-screen only, no fitting.
    void ForceFullScreenOnly();

    PlayerRecord m_current;                 // the live copy of the selected player
    std::uint32_t m_nVersion = kVersion;
    std::vector<PlayerRecord> m_players;
    std::int32_t m_nCurrentIndex = 0;
    std::uint8_t m_bHighDetail = 1;
    std::uint8_t m_bSoftwareCursor = 0;
    std::uint8_t m_bFullScreen = 1;
    std::uint8_t m_bFitToDesktop = 0;
    std::int32_t m_nPendingFullScreen = 0;  // 1 on, -1 off, 0 none: applied at the next start
    std::int32_t m_nPendingFit = 0;

private:
    void ResetToDefaults();
    bool ParseFile(const std::vector<std::uint8_t>& bytes);  // false: damaged
    void StoreCurrent();

    std::uint32_t m_nVersionOnDisk = kVersion;  // another one is kept aside by the first save
};
