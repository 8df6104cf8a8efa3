// CByteReaderTest.cpp: bounded little-endian reads, the writer that mirrors them, and the keyed hash.
// test-labels: untrusted
#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"
#include "platform/bytes/SipHash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

TEST(CByteReader, EveryTruncatedInputFailsWithoutReadingPastTheEnd)
{
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        CByteReader in(bytes.data(), size);
        std::uint8_t a = 0;
        std::uint16_t b = 0;
        std::uint32_t c = 0;
        std::uint64_t d = 0;
        EXPECT_FALSE(in.ReadU8(a) && in.ReadU16(b) && in.ReadU32(c) && in.ReadU64(d));
        EXPECT_TRUE(in.Failed());
        EXPECT_EQ(in.Remaining(), 0u);
        EXPECT_FALSE(in.ReadU8(a));  // after one miss every read fails, even one that would fit
    }
}

TEST(CByteReader, HugeCountsAndPositionsFailInsteadOfWrappingAround)
{
    const std::vector<std::uint8_t> bytes(8, 0xAB);
    const std::uint64_t huge[] = {9, std::numeric_limits<std::size_t>::max(), std::numeric_limits<std::uint64_t>::max()};
    for (std::uint64_t n : huge) {
        SCOPED_TRACE(n);
        const std::uint8_t* view = nullptr;
        std::uint8_t copy[8] = {};
        CByteReader skipper(bytes.data(), bytes.size());
        EXPECT_TRUE(skipper.Skip(1));
        EXPECT_FALSE(skipper.Skip(n));
        CByteReader viewer(bytes.data(), bytes.size());
        EXPECT_TRUE(viewer.ReadBytes(copy, 1));
        EXPECT_FALSE(viewer.View(n, view));
        EXPECT_EQ(view, nullptr);
        CByteReader seeker(bytes.data(), bytes.size());
        EXPECT_FALSE(seeker.Seek(n));
    }
    CByteReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(in.Seek(8));  // the end itself is a position
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(CByteWriter, EveryFieldIsWrittenLittleEndianAndReadsBackTheSame)
{
    std::vector<std::uint8_t> bytes;
    CByteWriter out(bytes);
    out.WriteU8(0x81);
    out.WriteU16(0xA1B2);
    out.WriteU32(0xC1D2E3F4u);
    out.WriteI32(-2);
    out.WriteU64(0x0102030405060708ull);
    out.WriteF32(-1.5f);
    out.WriteBytes("xy", 2);
    out.WriteZeros(3);
    const std::vector<std::uint8_t> expected = {0x81, 0xB2, 0xA1, 0xF4, 0xE3, 0xD2, 0xC1, 0xFE, 0xFF, 0xFF, 0xFF,
                                                8,    7,    6,    5,    4,    3,    2,    1,    0x00, 0x00, 0xC0,
                                                0xBF, 'x',  'y',  0,    0,    0};
    EXPECT_EQ(bytes, expected);

    CByteReader in(bytes.data(), bytes.size());
    std::uint8_t u8 = 0;
    std::uint16_t u16 = 0;
    std::uint32_t u32 = 0;
    int i32 = 0, i8 = 0;
    std::uint64_t u64 = 0;
    float f32 = 0;
    char text[2] = {};
    ASSERT_TRUE(in.ReadI8(i8) && in.ReadU16(u16) && in.ReadU32(u32) && in.ReadI32(i32) && in.ReadU64(u64) &&
                in.ReadF32(f32) && in.ReadBytes(text, 2) && in.Skip(3));
    EXPECT_EQ(i8, -127);
    EXPECT_EQ(u16, 0xA1B2);
    EXPECT_EQ(u32, 0xC1D2E3F4u);
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(u64, 0x0102030405060708ull);
    EXPECT_EQ(f32, -1.5f);
    EXPECT_EQ(std::string(text, 2), "xy");
    EXPECT_FALSE(in.ReadU8(u8));
}

// The published values of SipHash-2-4 (key 00..0f, message 00..n-1): a slip in a round or in
// the last block's length byte still "works" as a hash, so only these catch it.
TEST(SipHashTest, MatchesThePublishedValues)
{
    SipKey key{};
    std::uint8_t message[16];
    for (std::uint8_t i = 0; i < 16; ++i)
        key[i] = message[i] = i;
    const struct {
        std::size_t size;
        std::uint64_t hash;
    } cases[] = {{0, 0x726fdb47dd0e0e31ull}, {8, 0x93f5f5799a932462ull}, {15, 0xa129ca6149be45e5ull}};
    for (const auto& c : cases)
        EXPECT_EQ(SipHash24(key, message, c.size), c.hash) << c.size << " bytes";
    EXPECT_TRUE(SameTag(0x0102030405060708ull, 0x0102030405060708ull));
    EXPECT_FALSE(SameTag(0x0102030405060708ull, 0x8102030405060708ull));
}
