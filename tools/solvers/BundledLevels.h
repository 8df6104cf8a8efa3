// BundledLevels.h: the bundled level file read for tests and for the tutorial recorder, and tables
// dealt from its sections.
#pragma once
#include "platform/FileSystem.h"
#include "solvers/FakeEngine.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CDeck.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace levels {

constexpr int kSections = 35;
constexpr int kCardWidth = 80;    // the card picture at zoom 1.0
constexpr int kCardHeight = 107;

// One section of the file: its keys in file order (lower case) with their values.
struct Section {
    std::vector<std::pair<std::string, std::string>> keys;
    const std::string* Find(const std::string& key) const
    {
        for (const auto& kv : keys)
            if (kv.first == key)
                return &kv.second;
        return nullptr;
    }
};

inline std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

inline std::string Trim(const std::string& text)
{
    const std::size_t b = text.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    return text.substr(b, text.find_last_not_of(" \t\r") - b + 1);
}

// The level file of the data set as the build made it (never the one a game was played on).
inline std::string BundledPath()
{
    return std::string(SOL_BUNDLED_DATA_DIR) + "/sol_max.ini";
}

// Sections by lower-case name. Lines that are neither a section, a key nor a ';' comment are
// reported in `bad`.
inline std::map<std::string, Section> ReadLevelFile(const std::string& path, std::vector<std::string>& bad)
{
    std::map<std::string, Section> sections;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        const std::string text = Trim(line);
        if (text.empty() || text[0] == ';')
            continue;
        if (text.front() == '[' && text.back() == ']') {
            current = &sections[Lower(text.substr(1, text.size() - 2))];
            continue;
        }
        const std::size_t eq = text.find('=');
        if (eq == std::string::npos || current == nullptr) {
            bad.push_back(text);
            continue;
        }
        current->keys.emplace_back(Lower(Trim(text.substr(0, eq))), Trim(text.substr(eq + 1)));
    }
    return sections;
}

// Level number and mode word of the game that reads a section (story, bonus or hardcore).
inline std::pair<int, unsigned> LevelOfSection(int section)
{
    if (section >= 30)
        return {section - 30, 8u};
    if (section >= 25)
        return {section - 25, 2u};
    return {section, 0u};
}

// A host that never interrupts: no replay, no dialogs, no automatic finish (the caller runs the
// automatic moves itself, so a search and its replay see the same ones).
class QuietHost : public ITableHost {
public:
    bool IsBusy() const override { return true; }
    bool NoMovesRequested() const override { return false; }
};

// Whether the in-game controller makes card (rank, suit) for the bonus level of a location: half
// of each deck at 0, aces at 1, each rank once per deck from 2 on (not the two at 2, no ace at 3
// and 4). The game draws the suits of locations 2 to 4; here the card keeps the first suit.
inline bool MakesBonusCard(int location, int rank, int suit, std::set<int>& ranksOfDeck)
{
    switch (location) {
    case 0: return ((suit & 1) ^ rank) == 1;
    case 1: return rank == 0;
    default: return rank != (location == 2 ? 1 : 0) && ranksOfDeck.insert(rank).second;
    }
}

// A table of one bundled section in a fake engine, dealt with a seed. The deck holds the cards
// the level's decks and suits make, as the in-game controller makes them. The table reports to
// `host` when one is given (it must outlive the table), else to a quiet host of its own.
class DealtLevel {
public:
    DealtLevel(FakeEngine& engine, const std::map<std::string, Section>& file, int section, std::uint32_t seed,
               ITableHost* host = nullptr)
    {
        const auto it = file.find("solitaire" + std::to_string(section));
        if (it != file.end())
            for (const auto& kv : it->second.keys)
                engine.SetIni("sol_max.ini", it->first, kv.first, kv.second);
        const auto level = LevelOfSection(section);
        m_pTable = std::make_unique<CCardTable>(level.first, level.second, host != nullptr ? host : &m_host);
        loaded = m_pTable->LoadLevel();
        if (!loaded)
            return;
        const LevelValues& lv = m_pTable->Level();
        m_pTable->SetCardSize(static_cast<int>(kCardWidth * lv.fZoom), static_cast<int>(kCardHeight * lv.fZoom));
        for (int d = 0; d < lv.nDecksCount; ++d) {
            std::set<int> ranksOfDeck;
            for (int s = 0; s < 4; ++s)
                if ((lv.nSuits & (8 >> s)) != 0)
                    for (int r = 0; r < 13; ++r)
                        if (level.second != 2u || MakesBonusCard(level.first, r, s, ranksOfDeck))
                            m_deck.AddCard(r, s);
        }
        engine.RandomSeed(seed);
        m_pTable->DealCards(m_deck, engine.RandomInt(0, 12));
    }

    CCardTable& Table() { return *m_pTable; }
    CDeck& Deck() { return m_deck; }
    bool loaded = false;

private:
    QuietHost m_host;
    CDeck m_deck;  // declared before the table: the table's places point to its cards
    std::unique_ptr<CCardTable> m_pTable;
};

}  // namespace levels
