// TutorialFile.h: the recorded game ("save/%s.dat") and the learn file ("data/learn/%s.dat").
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The fixed record of a recorded game: the dealt cards and every move. On disk it is 16808 bytes,
// little-endian, field by field in this order; entries past the counts are 0 in a fresh record.
struct TutorialRecord {
    static constexpr std::size_t kSize = 16808;
    static constexpr std::uint32_t kMaxDeals = 208;    // four 52-card decks
    static constexpr std::uint32_t kMoveSlots = 4096;
    static constexpr std::uint32_t kMaxMoves = 4095;   // the last slot is never used

    std::uint32_t dealCount = 0;
    std::uint32_t moveCount = 0;
    std::array<std::uint8_t, kMaxDeals> dealA{};       // rank of each dealt card, in deal order
    std::array<std::uint8_t, kMaxDeals> dealB{};       // its suit
    std::array<std::uint8_t, kMoveSlots> moveFrom{};
    std::array<std::uint8_t, kMoveSlots> moveTo{};
    std::array<std::uint8_t, kMoveSlots> moveCard{};   // 0xFF: a click on an empty place
    std::array<std::uint8_t, kMoveSlots> moveFlags{};  // (b & 15) * 16 + (a & 15), read signed
};

// One window of the learn file, shown before the move of the same index.
struct TutorialMessageData {
    std::string effect;   // animation effect of module "learn"; empty: no window
    std::string section;  // command section played when the window opens
    int x = 0, y = 0;     // offset from the screen centre
};

// Entries of a record that name no card or no place of the table. The file is still played: the
// reader's caller logs them and the replay skips them.
struct TutorialDamage {
    std::vector<std::uint32_t> deals;  // deal entries that are no card
    std::vector<std::uint32_t> moves;  // moves that name no place of the table, or a card no pile holds
};

namespace tutorial_file {

// The learn file holds at most this many windows, so a file may be at most this long.
constexpr std::size_t kMaxMessages = TutorialRecord::kMoveSlots;
constexpr std::size_t kMaxFileSize = TutorialRecord::kSize + kMaxMessages * (1 + 255 + 1 + 255 + 2 + 2);

void WriteRecord(const TutorialRecord& record, std::vector<std::uint8_t>& out);  // appends kSize bytes
void WriteMessages(const std::vector<TutorialMessageData>& messages, std::vector<std::uint8_t>& out);

// Reads a learn file or a bare record (whose windows are then all empty). The record's counts must
// fit its arrays. Dealt cards that are no real card, and moves that name a place from placeCount
// on, are listed in `damage`. Windows are read up to the end of the data; a window cut off by the
// end is dropped; the list is then filled with empty windows up to the move count. False with
// `why` filled when the data is refused; `record`, `messages` and `damage` are then unspecified.
bool Read(const std::uint8_t* data, std::size_t size, int placeCount, TutorialRecord& record,
          std::vector<TutorialMessageData>& messages, TutorialDamage& damage, std::string& why);

}  // namespace tutorial_file
