#include "app/CIniFile.h"

#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <cstring>

class CIniFileTest : public ::testing::Test {
protected:
    ScopedFakeEngine m_fake;

    void SetUp() override
    {
        m_fake->SetIni("sol_max.ini", "Solitaire1", "level_name", "Klondike");
        m_fake->SetIni("sol_max.ini", "Solitaire1", "level_place_count", "13");
        m_fake->SetIni("sol_max.ini", "Solitaire1", "bar_length", "2.5");
        m_fake->SetIni("Logic.ini", "Interface", "level_name", "logic value");
        m_fake->SetIni("Logic.ini", "Interface", "hint_delay", "7");
        m_fake->SetIni("Logic.ini", "Interface", "show_hints", "1");
        m_fake->SetIni("Logic.ini", "Interface", "no_hints", "0");
    }
};

TEST_F(CIniFileTest, MissingKeyOrSectionReadsAsEmptyOrZero)
{
    CIniFile ini("sol_max.ini");
    for (const char* section : {"Solitaire1", "NoSuchSection", ""}) {
        SCOPED_TRACE(section);
        ini.SetSection(section);
        EXPECT_STREQ(ini.GetString("missing"), "");
        EXPECT_EQ(ini.GetInt("missing"), 0);
        EXPECT_EQ(ini.GetFloat("missing"), 0.0f);
        EXPECT_FALSE(ini.GetBool("missing"));
    }
    CIniFile noFile("nothing.ini");
    noFile.SetSection("Solitaire1");
    EXPECT_STREQ(noFile.GetString("level_name"), "");
}

TEST_F(CIniFileTest, ReadsEveryTypeFromItsSection)
{
    CIniFile ini("sol_max.ini");
    ini.SetSection("Solitaire1");
    EXPECT_STREQ(ini.GetString("level_name"), "Klondike");
    EXPECT_EQ(ini.GetInt("level_place_count"), 13);
    EXPECT_FLOAT_EQ(ini.GetFloat("bar_length"), 2.5f);
    EXPECT_TRUE(ini.GetBool("level_place_count"));
}

TEST_F(CIniFileTest, TwoFilesReadInAlternationGiveEachTheirOwnValues)
{
    CIniFile level("sol_max.ini");
    CIniFile logic("Logic.ini");
    level.SetSection("Solitaire1");
    logic.SetSection("Interface");
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_STREQ(level.GetString("level_name"), "Klondike");
        EXPECT_STREQ(logic.GetString("level_name"), "logic value");
        EXPECT_EQ(level.GetInt("level_place_count"), 13);
        EXPECT_EQ(logic.GetInt("hint_delay"), 7);
        EXPECT_TRUE(logic.GetBool("show_hints"));
        EXPECT_FALSE(logic.GetBool("no_hints"));
        EXPECT_EQ(m_fake->CurrentIniFile(), "Logic.ini");
    }
}

TEST_F(CIniFileTest, ReadsAreNotCached)
{
    CIniFile logic("Logic.ini");
    logic.SetSection("Interface");
    EXPECT_EQ(logic.GetInt("hint_delay"), 7);
    m_fake->SetIni("Logic.ini", "Interface", "hint_delay", "9");
    EXPECT_EQ(logic.GetInt("hint_delay"), 9);
}

TEST_F(CIniFileTest, StringStaysValidUntilTheNextStringRead)
{
    CIniFile level("sol_max.ini");
    CIniFile logic("Logic.ini");
    level.SetSection("Solitaire1");
    logic.SetSection("Interface");
    const char* name = level.GetString("level_name");
    EXPECT_EQ(logic.GetInt("hint_delay"), 7);
    EXPECT_STREQ(logic.GetString("level_name"), "logic value");
    EXPECT_EQ(level.GetInt("level_place_count"), 13);
    EXPECT_STREQ(name, "Klondike");
}

TEST_F(CIniFileTest, ConstructionBindsAndEveryReferenceIsGivenBack)
{
    {
        CIniFile ini("config.ini");
        EXPECT_EQ(m_fake->CurrentIniFile(), "config.ini");
        CIniFile copy(ini);
        copy.SetSection("System");
        EXPECT_EQ(copy.GetInt("cnv"), 0);
    }
    EXPECT_EQ(m_fake->releaseCount, 2);
}
