#include "app/CEffectsUnpacker.h"
#include "app/J2kTextureLoader.h"
#include "image/CPixImage.h"
#include "platform/FileSystem.h"
#include "platform/StopSignals.h"
#include "solvers/FakeEngine.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

std::string FixturePath(const std::string& name)
{
    std::string dir = __FILE__;
    dir.erase(dir.find_last_of('/') + 1);
    return dir + "../j2k/data/" + name;
}

std::vector<std::uint8_t> ReadBytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A temporary game root with a "gfx/effects" folder; the previous root comes back afterwards.
class EffectsFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousRoot = fs_layer::GetRootFolder();
        m_root = UniqueTempPath(std::string("effects_root_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root + "/gfx/effects");
        fs_layer::SetRootFolder(m_root);
    }
    void TearDown() override
    {
        fs_layer::SetRootFolder(m_previousRoot);
        std::filesystem::remove_all(m_root);
    }
    void CopyIn(const std::string& fixture, const std::string& name)
    {
        std::filesystem::copy_file(FixturePath(fixture), m_root + "/gfx/effects/" + name);
    }
    void WriteFile(const std::string& name, const std::string& bytes)
    {
        std::ofstream(m_root + "/gfx/effects/" + name, std::ios::binary) << bytes;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(m_root + "/gfx/effects/" + name); }
    std::string Host(const std::string& name) const { return m_root + "/gfx/effects/" + name; }

    ScopedFakeEngine m_fake;
    std::string m_root, m_previousRoot;
};

}  // namespace

TEST_F(EffectsFolderTest, PairBecomesTgaWithMaskAlphaAndSourcesGo)
{
    CopyIn("colour.jp2", "spark.jp2");
    CopyIn("mask.gif", "spark.gif");
    CEffectsUnpacker unpacker("Palmora");
    EXPECT_EQ(unpacker.FileCount(), 1);
    ASSERT_TRUE(unpacker.Run());
    EXPECT_FALSE(Exists("spark.jp2"));
    EXPECT_FALSE(Exists("spark.gif"));
    ASSERT_TRUE(Exists("spark.png"));

    CPixImage written(kPixTypeUnknown);
    ASSERT_TRUE(written.ReadFromFile(Host("spark.png").c_str(), kPixTypeTga));
    ASSERT_TRUE(written.HasAlpha());
    const std::vector<std::uint8_t> colours = ReadBytesOf(FixturePath("colour.rgba"));
    const std::vector<std::uint8_t> mask = ReadBytesOf(FixturePath("mask.idx"));
    for (int row = 0; row < 4; ++row) {
        for (int x = 0; x < 6; ++x) {
            SCOPED_TRACE("row " + std::to_string(row) + " x " + std::to_string(x));
            const std::size_t i = static_cast<std::size_t>(row * 6 + x);
            const PixQuad c = written.PixelColor(x, 3 - row, false);
            EXPECT_EQ(c.red, colours[4 * i]);
            EXPECT_EQ(c.blue, colours[4 * i + 2]);
            EXPECT_EQ(written.AlphaAt(x, 3 - row), mask[i]);
        }
    }
    EXPECT_TRUE(m_fake->HasLogLine("===[+] Unpacking resources... 100%"));
}

// A mask that is no regular file counts as missing: a pipe would hold the conversion (and the
// start) until someone wrote to it.
TEST_F(EffectsFolderTest, MissingMaskGivesAnOpaqueImage)
{
    CopyIn("colour.jp2", "glow.jp2");
    CopyIn("colour.jp2", "piped.jp2");
    ASSERT_EQ(::mkfifo(Host("piped.gif").c_str(), 0600), 0);
    CEffectsUnpacker unpacker;
    ASSERT_TRUE(unpacker.Run());
    for (const char* name : {"glow.png", "piped.png"}) {
        CPixImage written(kPixTypeUnknown);
        ASSERT_TRUE(written.ReadFromFile(Host(name).c_str(), kPixTypeTga)) << name;
        EXPECT_TRUE(written.HasAlpha());
        EXPECT_EQ(written.AlphaAt(2, 2), 255);
    }
}

TEST_F(EffectsFolderTest, EmptyFolderDeletesStrayMasksAndSucceeds)
{
    CopyIn("mask.gif", "orphan.gif");
    CEffectsUnpacker unpacker;
    EXPECT_EQ(unpacker.FileCount(), 0);
    EXPECT_TRUE(unpacker.Run());
    EXPECT_FALSE(Exists("orphan.gif"));
    EXPECT_TRUE(m_fake->HasLogLine("===[+] Unpacking resources... 100%"));
}

TEST_F(EffectsFolderTest, BrokenSourceKeepsItsFilesAndTheRunGoesOn)
{
    WriteFile("broken.jp2", "not a picture");
    CopyIn("mask.gif", "broken.gif");
    CopyIn("colour.jp2", "good.jp2");
    CEffectsUnpacker unpacker;
    ASSERT_TRUE(unpacker.Run());
    EXPECT_TRUE(Exists("broken.jp2"));
    EXPECT_TRUE(Exists("broken.gif"));
    EXPECT_FALSE(Exists("broken.png"));
    EXPECT_TRUE(Exists("good.png"));
    EXPECT_FALSE(Exists("good.jp2"));
}

// An abort, or a stop signal (which ends the program as its exit does), stops the run.
TEST_F(EffectsFolderTest, AbortOrAStopSignalStopsAfterTheCurrentFile)
{
    for (bool bySignal : {false, true}) {
        SCOPED_TRACE(bySignal ? "SIGTERM" : "Abort");
        CopyIn("colour.jp2", "a.jp2");
        CopyIn("colour.jp2", "b.jp2");
        CStopSignals stopSignals;
        CEffectsUnpacker unpacker;
        if (bySignal)
            std::raise(SIGTERM);
        else
            unpacker.Abort();
        EXPECT_FALSE(unpacker.Run());
        EXPECT_TRUE(Exists("a.png"));
        EXPECT_FALSE(Exists("b.png"));
        EXPECT_TRUE(Exists("a.jp2"));  // sources go only at the end of a whole run
        std::filesystem::remove_all(m_root + "/gfx/effects");
        std::filesystem::create_directories(m_root + "/gfx/effects");
    }
}

TEST_F(EffectsFolderTest, TextureTakesMaskAlphaAsTheConversionDoes)
{
    CopyIn("colour.jp2", "fx.jp2");
    CopyIn("mask.gif", "fx.gif");
    std::string error;
    const HTexture plain = LoadJ2kTexture(m_fake.Get(), "gfx/effects/fx.jp2", "", error);
    const HTexture masked = LoadJ2kTexture(m_fake.Get(), "gfx/effects/fx.jp2", "gfx/effects/fx.gif", error);
    ASSERT_NE(plain, 0u);
    ASSERT_NE(masked, 0u);
    const std::vector<std::uint8_t> colours = ReadBytesOf(FixturePath("colour.rgba"));
    const std::vector<std::uint8_t> mask = ReadBytesOf(FixturePath("mask.idx"));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            SCOPED_TRACE("y " + std::to_string(y) + " x " + std::to_string(x));
            const std::size_t i = static_cast<std::size_t>(y * 6 + x);
            const std::uint32_t rgb = static_cast<std::uint32_t>(colours[4 * i]) << 16 | colours[4 * i + 1] << 8 | colours[4 * i + 2];
            EXPECT_EQ(m_fake->Pixel(plain, x, y), 0xFF000000u | rgb);
            // Mask row height - 1 - y counted from the bottom is the picture's row y from the top.
            EXPECT_EQ(m_fake->Pixel(masked, x, y), static_cast<std::uint32_t>(mask[i]) << 24 | rgb);
        }
    }
    EXPECT_EQ(LoadJ2kTexture(m_fake.Get(), "gfx/effects/none.jp2", "", error), 0u);
    EXPECT_EQ(error, "Cannot read the file: gfx/effects/none.jp2");
}
