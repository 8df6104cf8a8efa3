// CHiScoreTable.h: the best-of-ten tables of the story (0) and classic (1) modes ("data\hiscores.dat").
//
// One instance lives from start-up to teardown. Every change is saved at once, so a crash never
// loses a recorded result; a file that is not exactly 480 bytes is moved aside as
// "hiscores.dat.bad.<n>" and the default tables are used. Names are kept to 12 characters wherever
// they enter a table, and a longer name finds its rows by its first 12.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class CHiScoreTable {
public:
    static constexpr int kTables = 2;
    static constexpr int kRows = 10;
    static constexpr std::size_t kNameBytes = 16;
    static constexpr std::size_t kMaxNameLength = 12;
    static constexpr std::size_t kEntrySize = 24;
    static constexpr std::size_t kFileSize = kTables * kRows * kEntrySize;  // 480

    CHiScoreTable();   // defaults, then the file
    ~CHiScoreTable();  // saves
    CHiScoreTable(const CHiScoreTable&) = delete;
    CHiScoreTable& operator=(const CHiScoreTable&) = delete;

    void Reset();      // every entry {rank 1, score 0, "Player"}
    bool Load();       // false when the file is missing or damaged (the defaults stay)
    bool Save();

    int RemoveName(int table, const std::string& name);  // entries removed; saves when any
    // Records a player's result, replacing the player's earlier entry even when it was higher.
    // Returns the row it was stored in, or -1 (then the earlier entry is gone as well).
    int AddScore(int table, const std::string& name, int rank, int score);

    const char* GetName(int table, int row) const;  // null outside the tables
    int GetRank(int table, int row) const;           // -1 outside the tables
    int GetScore(int table, int row) const;          // -1 outside the tables

private:
    struct Entry {
        std::int32_t rank = 1;
        std::int32_t score = 0;
        std::array<char, kNameBytes> name{'P', 'l', 'a', 'y', 'e', 'r'};
    };
    using Table = std::array<Entry, kRows>;

    static bool IsValid(int table, int row);
    int RemoveNameFrom(Table& table, const std::string& name);

    std::array<Table, kTables> m_tables;
};
