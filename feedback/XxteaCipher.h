// XxteaCipher: the cipher and checksum of the companion data library's configuration text: Corrected Block TEA
// (XXTEA) over 65536-byte pieces, a 128-bit key derived at run time, and an XOR checksum of the plain text.
// Works in place on caller-owned bytes; never reads or writes past the given length.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

class XxteaCipher {
public:
    using Key = std::array<std::uint32_t, 4>;
    static constexpr std::size_t kPieceBytes = 65536;

    // The library's four base words, before the data library's original file name is mixed in.
    static Key BaseKey();
    // Empty text or "*" leaves the key as it is.
    static void MixKey(Key& key, std::u16string_view text);

    // n words; n below 2 is left unchanged, as the published algorithm does.
    static void EncipherBlock(std::uint32_t* words, std::size_t n, const Key& key);
    static void DecipherBlock(std::uint32_t* words, std::size_t n, const Key& key);

    // Piece by piece: each piece's whole words form one block; the 1-3 bytes after them stay plain.
    static void EncipherStream(std::uint8_t* data, std::size_t size, const Key& key);
    static void DecipherStream(std::uint8_t* data, std::size_t size, const Key& key);

    // XOR of the first size/4 little-endian words, then of a 16-bit unit when size has bit 1, then of a byte.
    static std::uint32_t Checksum(const std::uint8_t* data, std::size_t size);
};
