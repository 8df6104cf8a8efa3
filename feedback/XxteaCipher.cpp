#include "feedback/XxteaCipher.h"

#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"

#include <algorithm>
#include <vector>

static constexpr std::uint32_t kDelta = 0x9E3779B9u;

XxteaCipher::Key XxteaCipher::BaseKey()
{
    return Key{0x4E696D62u, 0x72614366u, 0x2D445A31u, 0x6B7C3F05u};
}

void XxteaCipher::MixKey(Key& key, std::u16string_view text)
{
    if (text.empty() || text == u"*")
        return;
    for (std::uint32_t& word : key) {
        for (char16_t c : text)
            word = (static_cast<std::uint32_t>(c) + word) * 1664525u + 1013904223u;
    }
}

static std::uint32_t Mx(std::uint32_t y, std::uint32_t z, std::uint32_t sum, std::size_t p, std::uint32_t e,
                        const XxteaCipher::Key& key)
{
    return (((z >> 5) ^ (y << 2)) + ((y >> 3) ^ (z << 4))) ^ ((sum ^ y) + (key[(p & 3) ^ e] ^ z));
}

void XxteaCipher::EncipherBlock(std::uint32_t* v, std::size_t n, const Key& key)
{
    if (n < 2)
        return;
    std::uint32_t rounds = 6 + 52 / static_cast<std::uint32_t>(n);
    std::uint32_t sum = 0, z = v[n - 1], y = 0;
    do {
        sum += kDelta;
        const std::uint32_t e = (sum >> 2) & 3;
        std::size_t p = 0;
        for (; p < n - 1; ++p) {
            y = v[p + 1];
            z = v[p] += Mx(y, z, sum, p, e, key);
        }
        y = v[0];
        z = v[n - 1] += Mx(y, z, sum, p, e, key);
    } while (--rounds != 0);
}

void XxteaCipher::DecipherBlock(std::uint32_t* v, std::size_t n, const Key& key)
{
    if (n < 2)
        return;
    std::uint32_t rounds = 6 + 52 / static_cast<std::uint32_t>(n);
    std::uint32_t sum = rounds * kDelta, y = v[0], z = 0;
    do {
        const std::uint32_t e = (sum >> 2) & 3;
        std::size_t p = n - 1;
        for (; p > 0; --p) {
            z = v[p - 1];
            y = v[p] -= Mx(y, z, sum, p, e, key);
        }
        z = v[n - 1];
        y = v[0] -= Mx(y, z, sum, p, e, key);
        sum -= kDelta;
    } while (--rounds != 0);
}

// Words are loaded and stored byte by byte: the cipher is defined on little-endian words whatever the host.
template <typename Transform>
static void ForEachPiece(std::uint8_t* data, std::size_t size, Transform transform)
{
    std::vector<std::uint32_t> words;
    std::vector<std::uint8_t> bytes;
    for (std::size_t offset = 0; offset < size; offset += XxteaCipher::kPieceBytes) {
        const std::size_t n = std::min(XxteaCipher::kPieceBytes, size - offset) / 4;
        CByteReader in(data + offset, n * 4);
        words.resize(n);
        for (std::uint32_t& word : words)
            in.ReadU32(word);
        transform(words.data(), n);
        bytes.clear();
        CByteWriter out(bytes);
        for (std::uint32_t word : words)
            out.WriteU32(word);
        std::copy(bytes.begin(), bytes.end(), data + offset);
    }
}

void XxteaCipher::EncipherStream(std::uint8_t* data, std::size_t size, const Key& key)
{
    ForEachPiece(data, size, [&key](std::uint32_t* words, std::size_t n) { EncipherBlock(words, n, key); });
}

void XxteaCipher::DecipherStream(std::uint8_t* data, std::size_t size, const Key& key)
{
    ForEachPiece(data, size, [&key](std::uint32_t* words, std::size_t n) { DecipherBlock(words, n, key); });
}

std::uint32_t XxteaCipher::Checksum(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t sum = 0;
    CByteReader in(data, size);
    for (std::uint32_t word = 0; in.Remaining() >= 4 && in.ReadU32(word);)
        sum ^= word;
    std::uint16_t half = 0;
    if (size & 2 && in.ReadU16(half))
        sum ^= half;
    std::uint8_t byte = 0;
    if (size & 1 && in.ReadU8(byte))
        sum ^= byte;
    return sum;
}
