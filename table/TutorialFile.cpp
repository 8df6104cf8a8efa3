// TutorialFile.cpp: byte-exact reading and writing of the recorded game and its learn windows.
#include "table/TutorialFile.h"

#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"

#include <algorithm>

namespace {
constexpr int kMaxRank = 12;
constexpr int kMaxSuit = 3;
constexpr std::uint8_t kEmptyPlaceClick = 0xFF;

template <std::size_t N>
void PutBytes(CByteWriter& out, const std::array<std::uint8_t, N>& bytes)
{
    out.WriteBytes(bytes.data(), N);
}

void PutText(CByteWriter& out, const std::string& text)
{
    const std::size_t n = std::min<std::size_t>(text.size(), 255);  // the length is one byte
    out.WriteU8(static_cast<std::uint8_t>(n));
    out.WriteBytes(text.data(), n);
}

template <std::size_t N>
bool GetBytes(CByteReader& in, std::array<std::uint8_t, N>& bytes)
{
    return in.ReadBytes(bytes.data(), N);
}

bool ReadText(CByteReader& in, std::string& text)
{
    std::uint8_t n = 0;
    if (!in.ReadU8(n))
        return false;
    text.assign(n, '\0');
    return in.ReadBytes(&text[0], n);
}

bool ReadMessage(CByteReader& in, TutorialMessageData& message)
{
    std::uint16_t x = 0, y = 0;
    if (!ReadText(in, message.effect) || !ReadText(in, message.section) || !in.ReadU16(x) || !in.ReadU16(y))
        return false;
    message.x = static_cast<std::int16_t>(x);
    message.y = static_cast<std::int16_t>(y);
    return true;
}

bool CheckCounts(const TutorialRecord& r, std::string& why)
{
    if (r.dealCount > TutorialRecord::kMaxDeals || r.moveCount > TutorialRecord::kMaxMoves) {
        why = "counts " + std::to_string(r.dealCount) + "/" + std::to_string(r.moveCount) + " out of range";
        return false;
    }
    return true;
}

void FindDamage(const TutorialRecord& r, int placeCount, TutorialDamage& damage)
{
    damage = TutorialDamage();
    for (std::uint32_t i = 0; i < r.dealCount; ++i) {
        if (r.dealA[i] > kMaxRank || r.dealB[i] > kMaxSuit)
            damage.deals.push_back(i);
    }
    for (std::uint32_t i = 0; i < r.moveCount; ++i) {
        // No pile holds more cards than the deal record: a higher index names no card.
        const bool cardOk = r.moveCard[i] < TutorialRecord::kMaxDeals || r.moveCard[i] == kEmptyPlaceClick;
        if (r.moveFrom[i] >= placeCount || r.moveTo[i] >= placeCount || !cardOk)
            damage.moves.push_back(i);
    }
}
}  // namespace

namespace tutorial_file {

void WriteRecord(const TutorialRecord& r, std::vector<std::uint8_t>& out)
{
    out.reserve(out.size() + TutorialRecord::kSize);
    CByteWriter w(out);
    w.WriteU32(r.dealCount);
    w.WriteU32(r.moveCount);
    PutBytes(w, r.dealA);
    PutBytes(w, r.dealB);
    PutBytes(w, r.moveFrom);
    PutBytes(w, r.moveTo);
    PutBytes(w, r.moveCard);
    PutBytes(w, r.moveFlags);
}

void WriteMessages(const std::vector<TutorialMessageData>& messages, std::vector<std::uint8_t>& out)
{
    CByteWriter w(out);
    for (const TutorialMessageData& m : messages) {
        PutText(w, m.effect);
        PutText(w, m.section);
        w.WriteU16(static_cast<std::uint16_t>(static_cast<std::int16_t>(m.x)));
        w.WriteU16(static_cast<std::uint16_t>(static_cast<std::int16_t>(m.y)));
    }
}

bool Read(const std::uint8_t* data, std::size_t size, int placeCount, TutorialRecord& r,
          std::vector<TutorialMessageData>& messages, TutorialDamage& damage, std::string& why)
{
    messages.clear();
    if (size < TutorialRecord::kSize) {
        why = "shorter than its record";
        return false;
    }
    if (size > kMaxFileSize) {
        why = "too long";
        return false;
    }
    CByteReader in(data, size);
    const bool ok = in.ReadU32(r.dealCount) && in.ReadU32(r.moveCount) && GetBytes(in, r.dealA) &&
                    GetBytes(in, r.dealB) && GetBytes(in, r.moveFrom) && GetBytes(in, r.moveTo) &&
                    GetBytes(in, r.moveCard) && GetBytes(in, r.moveFlags);
    if (!ok) {
        why = "shorter than its record";
        return false;
    }
    if (!CheckCounts(r, why))
        return false;
    FindDamage(r, placeCount, damage);
    while (in.Remaining() > 0) {
        if (messages.size() >= kMaxMessages) {
            why = "more windows than moves fit";
            return false;
        }
        TutorialMessageData message;
        if (!ReadMessage(in, message))
            break;  // cut off by the end of the file: the windows end here
        messages.push_back(std::move(message));
    }
    if (messages.size() < r.moveCount)
        messages.resize(r.moveCount);
    return true;
}

}  // namespace tutorial_file
