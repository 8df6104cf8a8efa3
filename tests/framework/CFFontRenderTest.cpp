#include "framework/CFFont.h"

#include "framework/CFResource.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class CFFontRenderTest : public HeadlessEngineTest {
protected:
    // Copies the generated font1 with its pages into this test's root folder.
    bool CopyGeneratedFont()
    {
        namespace fs = std::filesystem;
        const fs::path from = fs::path(BundledDataFolder()) / "data" / "fonts";
        if (!fs::exists(from / "font1.fgchst11"))
            return false;
        const fs::path to = fs::path(m_root) / "data" / "fonts";
        fs::create_directories(to);
        for (const auto& entry : fs::directory_iterator(from))
            if (entry.path().filename().string().rfind("font1", 0) == 0)
                fs::copy_file(entry.path(), to / entry.path().filename(), fs::copy_options::overwrite_existing);
        return true;
    }

    struct Channels {
        int red = 0, green = 0;
    };

    // The brightest red and green within a rectangle of the target.
    Channels Brightest(HTexture texture, int x, int y, int w, int h)
    {
        Channels out;
        for (std::uint32_t argb : ReadTexturePixels(texture, x, y, w, h)) {
            out.red = std::max(out.red, static_cast<int>((argb >> 16) & 0xFF));
            out.green = std::max(out.green, static_cast<int>((argb >> 8) & 0xFF));
        }
        return out;
    }
};

TEST_F(CFFontRenderTest, ColourMarkupDrawsWordInItsColourAndRestInFontColour)
{
    if (!CopyGeneratedFont())
        GTEST_SKIP() << "the generated data set is not built";
    CFFont font("DATA/FONTS/font1.fgchst11");
    ASSERT_GT(font.GetTextWidth(L"II"), 0);
    font.SetColor(0xFFFF0000);

    const HTarget target = m_pEngine->TargetCreate(128, 64, false);
    ASSERT_NE(target, 0u);
    ASSERT_TRUE(m_pEngine->BeginScene(target));
    m_pEngine->Clear(0xFF000000);
    font.DrawText(10, 30, L"@c00FF00II, II", 2);
    m_pEngine->EndScene();

    const HTexture texture = m_pEngine->TargetGetTexture(target);
    const int word = font.GetTextWidth(L"II");
    const int second = 10 + font.GetTextWidth(L"II, ");
    const Channels green = Brightest(texture, 10, 30 - font.GetLineHeight(), word, font.GetLineHeight());
    const Channels red = Brightest(texture, second, 30 - font.GetLineHeight(), word, font.GetLineHeight());
    EXPECT_GT(green.green, 150);
    EXPECT_LT(green.red, 60);
    EXPECT_GT(red.red, 150);
    EXPECT_LT(red.green, 60);
    const Channels below = Brightest(texture, 10, 40, 100, 20);  // nothing under the baseline
    EXPECT_LT(below.red + below.green, 60);
    m_pEngine->TargetFree(target);
}

TEST_F(CFFontRenderTest, GeneratedDataSetLoadsWithoutErrors)
{
    namespace fs = std::filesystem;
    if (!CopyBundledData(m_root))
        GTEST_SKIP() << "the generated data set is not built";
    fs::remove(fs::path(m_root) / "effects" / "effects.bc");
    ClearLog();
    CFResource res("effects/effects.as");
    EXPECT_EQ(ProblemLines(LogLines()), std::vector<std::string>());
    EXPECT_NE(res.GetFont("font1"), nullptr);
    EXPECT_STREQ(res.GetText("version"), L"1.0");
    EXPECT_NE(res.GetSprite("particle_dot"), nullptr);
    ASSERT_GE(res.GetModuleCount(), 1);
    for (int i = 0; i < res.GetModuleCount(); ++i) {
        SCOPED_TRACE(res.GetModuleName(i));
        EXPECT_TRUE(res.LoadModule(res.GetModuleName(i), -1));
        EXPECT_TRUE(res.FindModule(res.GetModuleName(i)));
    }
    for (const std::string& line : LogLines())
        EXPECT_TRUE(line.rfind("[E]", 0) != 0 && line.rfind("[W]", 0) != 0) << line;
}

}  // namespace
