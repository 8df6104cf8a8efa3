// CHiScoreTable.cpp: ranking, removal and the 480-byte file image.
#include "progress/CHiScoreTable.h"

#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"
#include "progress/CProfileStore.h"
#include "progress/StoreFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
const char* const kHiScoreFile = "hiscores.dat";
}

CHiScoreTable::CHiScoreTable()
{
    Reset();
    Load();
}

CHiScoreTable::~CHiScoreTable()
{
    Save();
}

void CHiScoreTable::Reset()
{
    for (Table& table : m_tables)
        table.fill(Entry());
}

bool CHiScoreTable::Load()
{
    const std::string path = CProfileStore::BuildDataPath(kHiScoreFile);
    std::vector<std::uint8_t> bytes;
    const store_file::ReadResult result = store_file::Read(path, bytes, kFileSize);
    if (result == store_file::ReadResult::Missing)
        return false;
    if (result == store_file::ReadResult::Damaged || bytes.size() != kFileSize) {
        store_file::KeepAside(path);
        return false;
    }
    CByteReader in(bytes.data(), bytes.size());
    for (Table& table : m_tables) {
        for (Entry& entry : table) {
            in.ReadI32(entry.rank);
            in.ReadI32(entry.score);
            in.ReadBytes(entry.name.data(), entry.name.size());
            std::fill(entry.name.begin() + kMaxNameLength, entry.name.end(), '\0');  // as AddScore stores them
        }
    }
    return !in.Failed();
}

bool CHiScoreTable::Save()
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kFileSize);
    CByteWriter out(bytes);
    for (const Table& table : m_tables) {
        for (const Entry& entry : table) {
            out.WriteI32(entry.rank);
            out.WriteI32(entry.score);
            out.WriteBytes(entry.name.data(), entry.name.size());
        }
    }
    return store_file::Write(CProfileStore::BuildDataPath(kHiScoreFile), bytes);
}

int CHiScoreTable::RemoveNameFrom(Table& table, const std::string& name)
{
    // Rows hold names cut to their first characters: a longer name is found by what was stored.
    const std::string stored = name.substr(0, kMaxNameLength);
    int removed = 0;
    for (int row = 0; row < kRows; ++row) {
        if (stored != table[static_cast<std::size_t>(row)].name.data())
            continue;
        ++removed;
        for (int later = row; later + 1 < kRows; ++later)
            table[static_cast<std::size_t>(later)] = table[static_cast<std::size_t>(later + 1)];
        table[kRows - 1] = Entry();
        // The entry that moved up into this row is not looked at again in this pass.
    }
    return removed;
}

int CHiScoreTable::RemoveName(int table, const std::string& name)
{
    if (!IsValid(table, 0))
        return 0;
    const int removed = RemoveNameFrom(m_tables[static_cast<std::size_t>(table)], name);
    if (removed > 0)
        Save();
    return removed;
}

int CHiScoreTable::AddScore(int table, const std::string& name, int rank, int score)
{
    if (!IsValid(table, 0))
        return -1;
    Table& rows = m_tables[static_cast<std::size_t>(table)];
    const int removed = RemoveNameFrom(rows, name);
    int at = 0;
    while (at < kRows && rows[static_cast<std::size_t>(at)].score >= score)
        ++at;
    if (at == kRows) {
        if (removed > 0)
            Save();
        return -1;
    }
    for (int row = kRows - 1; row > at; --row)
        rows[static_cast<std::size_t>(row)] = rows[static_cast<std::size_t>(row - 1)];
    Entry& entry = rows[static_cast<std::size_t>(at)];
    entry.rank = rank;
    entry.score = score;
    entry.name.fill(0);
    std::memcpy(entry.name.data(), name.data(), std::min(name.size(), kMaxNameLength));
    Save();
    return at;
}

bool CHiScoreTable::IsValid(int table, int row)
{
    return table >= 0 && table < kTables && row >= 0 && row < kRows;
}

const char* CHiScoreTable::GetName(int table, int row) const
{
    if (!IsValid(table, row))
        return nullptr;
    return m_tables[static_cast<std::size_t>(table)][static_cast<std::size_t>(row)].name.data();
}

int CHiScoreTable::GetRank(int table, int row) const
{
    if (!IsValid(table, row))
        return -1;
    return m_tables[static_cast<std::size_t>(table)][static_cast<std::size_t>(row)].rank;
}

int CHiScoreTable::GetScore(int table, int row) const
{
    if (!IsValid(table, row))
        return -1;
    return m_tables[static_cast<std::size_t>(table)][static_cast<std::size_t>(row)].score;
}
