#include "feedback/XxteaCipher.h"

#include <gtest/gtest.h>

#include <vector>

static std::vector<std::uint8_t> Pattern(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(XxteaCipher, StreamsRoundTripAcrossPieceBoundaries)
{
    XxteaCipher::Key key = XxteaCipher::BaseKey();
    XxteaCipher::MixKey(key, u"libNimbraClientData-solitaire.so");
    const std::size_t sizes[] = {8, 12, 4096, 65536, 65536 + 4, 65536 + 8, 65536 + 11, 3 * 65536 + 100};
    for (std::size_t size : sizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        const std::vector<std::uint8_t> plain = Pattern(size);
        std::vector<std::uint8_t> data = plain;
        XxteaCipher::EncipherStream(data.data(), data.size(), key);
        EXPECT_NE(data, plain);
        XxteaCipher::DecipherStream(data.data(), data.size(), key);
        EXPECT_EQ(data, plain);
    }
}

TEST(XxteaCipher, PiecesWithoutTwoWholeWordsStayPlain)
{
    // A last piece of one word, and the 1-3 bytes after the last whole word, are not enciphered.
    const XxteaCipher::Key key = XxteaCipher::BaseKey();
    std::vector<std::uint8_t> data = Pattern(65536 + 4);
    const std::vector<std::uint8_t> plain = data;
    XxteaCipher::EncipherStream(data.data(), data.size(), key);
    EXPECT_TRUE(std::equal(data.end() - 4, data.end(), plain.end() - 4));

    data = Pattern(11);
    XxteaCipher::EncipherStream(data.data(), data.size(), key);
    EXPECT_TRUE(std::equal(data.end() - 3, data.end(), Pattern(11).end() - 3));
}

TEST(XxteaCipher, MixKeyChangesTheKeyExceptForEmptyOrStar)
{
    const XxteaCipher::Key base = XxteaCipher::BaseKey();
    XxteaCipher::Key key = base;
    XxteaCipher::MixKey(key, u"");
    EXPECT_EQ(key, base);
    XxteaCipher::MixKey(key, u"*");
    EXPECT_EQ(key, base);
    XxteaCipher::MixKey(key, u"A");
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(key[k], (0x41u + base[k]) * 1664525u + 1013904223u);
}

TEST(XxteaCipher, ChecksumXorsWordsThenTheHalfWordThenTheByte)
{
    const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x10, 0x20, 0x30, 0x40, 0xAA, 0xBB, 0xCC};
    EXPECT_EQ(XxteaCipher::Checksum(bytes, 0), 0u);
    EXPECT_EQ(XxteaCipher::Checksum(bytes, 4), 0x04030201u);
    EXPECT_EQ(XxteaCipher::Checksum(bytes, 8), 0x04030201u ^ 0x40302010u);
    EXPECT_EQ(XxteaCipher::Checksum(bytes, 9), 0x04030201u ^ 0x40302010u ^ 0xAAu);
    EXPECT_EQ(XxteaCipher::Checksum(bytes, 10), 0x04030201u ^ 0x40302010u ^ 0xBBAAu);
    EXPECT_EQ(XxteaCipher::Checksum(bytes, 11), 0x04030201u ^ 0x40302010u ^ 0xBBAAu ^ 0xCCu);
}
