// test-labels: untrusted
// INI reading and writing with Windows profile semantics, on files this test writes.
#include "platform/FileSystem.h"
#include "platform/IniStore.h"
#include "support/HeadlessEngine.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class IniFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = MakeTempRoot();
        ASSERT_FALSE(m_root.empty());
        fs_layer::SetRootFolder(m_root);
        m_ini.SetFile("config.ini");  // a file made by a write keeps the case given
    }
    void TearDown() override
    {
        fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
        RemoveTree(m_root);
    }
    void Write(const std::string& text)
    {
        std::ofstream(m_root + "/config.ini", std::ios::binary | std::ios::trunc) << text;
    }
    std::string Read() const
    {
        std::ifstream in(m_root + "/config.ini", std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    std::string m_root;
    IniStore m_ini;
};

TEST_F(IniFileOnDisk, NamesMatchWithoutCaseAndValuesLoseBlanksAndQuotes)
{
    Write("; comment\r\n[System]\r\n  CNV = 0  \r\nname=\"Anna Lee\"\r\nempty=\r\n[system]\r\ncnv=7\r\n");
    EXPECT_EQ(m_ini.GetInt("system", "cnv", 1), 0);  // the first of duplicate sections wins
    EXPECT_EQ(m_ini.GetString("SYSTEM", "Name", "x"), "Anna Lee");
    EXPECT_EQ(m_ini.GetString("System", "empty", "x"), "");
    EXPECT_EQ(m_ini.GetString("System", "; comment", "x"), "x");
}

TEST_F(IniFileOnDisk, NumbersReadLeadingDigitsAndMissingOrEmptyGiveTheDefault)
{
    Write("[N]\nplain=42\ntrailing=12abc\nneg=-5\nword=abc\nempty=\nf=2.5x\nbig=99999999999\n");
    const struct {
        const char* key;
        int expected;
    } ints[] = {{"plain", 42}, {"trailing", 12}, {"neg", -5}, {"word", 0}, {"empty", 77}, {"missing", 77},
                {"big", 2147483647}};
    for (const auto& c : ints) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(m_ini.GetInt("N", c.key, 77), c.expected);
    }
    EXPECT_FLOAT_EQ(m_ini.GetFloat("n", "F", 1.0f), 2.5f);
    EXPECT_FLOAT_EQ(m_ini.GetFloat("n", "empty", 1.5f), 1.5f);
    EXPECT_EQ(m_ini.GetInt("Other", "plain", 3), 3);
}

TEST_F(IniFileOnDisk, MissingFileGivesDefaultsAndAWriteCreatesIt)
{
    EXPECT_EQ(m_ini.GetInt("System", "cnv", 1), 1);
    EXPECT_TRUE(m_ini.SetString("System", "cnv", "0"));
    EXPECT_EQ(Read(), "[System]\r\ncnv=0\r\n");
    EXPECT_EQ(m_ini.GetInt("system", "CNV", 1), 0);
}

TEST_F(IniFileOnDisk, WriteChangesOnlyTheOneValueAndKeepsEveryOtherByte)
{
    const struct {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* after;
    } cases[] = {
        {"replace keeps blanks and comments", "; top\n[A]\nkey = old ; not a comment\nx=1\n", "a", "KEY",
         "; top\n[A]\nkey = new\nx=1\n"},
        {"new key after the section's last line", "[A]\nx=1\n\n[B]\ny=2\n", "A", "k", "[A]\nx=1\nk=new\n\n[B]\ny=2\n"},
        {"new section at the end", "[A]\nx=1", "B", "k", "[A]\nx=1\n[B]\nk=new\n"},
        {"new key in a last section without a line break", "[A]\r\nx=1", "A", "k", "[A]\r\nx=1\r\nk=new\r\n"},
        {"line break in the value is dropped", "[A]\n", "A", "k", "[A]\nk=new\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(c.before);
        m_ini.SetFile("config.ini");
        EXPECT_TRUE(m_ini.SetString(c.section, c.key, std::string(c.name).find("break in") != std::string::npos
                                                          ? "ne\nw"
                                                          : "new"));
        EXPECT_EQ(Read(), c.after);
    }
}

TEST_F(IniFileOnDisk, ChangesByOtherWritersAreSeen)
{
    Write("[A]\nx=1\n");
    EXPECT_EQ(m_ini.GetInt("A", "x", 0), 1);
    Write("[A]\nx=22\n");  // same file, new size
    EXPECT_EQ(m_ini.GetInt("A", "x", 0), 22);
}

TEST_F(IniFileOnDisk, RebindingTheSameFileStillSeesEveryReplacement)
{
    Write("[A]\nx=1\n");
    for (int value = 2; value <= 9; ++value) {
        SCOPED_TRACE(value);
        m_ini.SetFile("config.ini");
        EXPECT_EQ(m_ini.GetInt("A", "x", 0), value - 1);
        // Same size, replaced by a rename within the same clock tick, as editors and installers do.
        std::ofstream(m_root + "/new.ini", std::ios::binary) << "[A]\nx=" << value << "\n";
        std::filesystem::rename(m_root + "/new.ini", m_root + "/config.ini");
        m_ini.SetFile("config.ini");
        EXPECT_EQ(m_ini.GetInt("A", "x", 0), value);
    }
    const std::string other = MakeTempRoot();  // the same name under another root is another file
    std::ofstream(other + "/config.ini", std::ios::binary) << "[A]\nx=42\n";
    fs_layer::SetRootFolder(other);
    m_ini.SetFile("config.ini");
    EXPECT_EQ(m_ini.GetInt("A", "x", 0), 42);
    RemoveTree(other);
}

TEST_F(IniFileOnDisk, EngineIniCallsUseTheCurrentFile)
{
    Write("[System]\n32bits=1\n");
    EngineSetOptions(EngineOptions());
    {
        EngineOptions options;
        EnginePtr engine = CreateHeadlessEngine(m_root, options);
        ASSERT_NE(engine, nullptr);
        EXPECT_EQ(engine->IniGetInt("System", "32bits", 0), 0);  // no file chosen yet
        engine->SetState(EState::IniFile, "CONFIG.INI");
        EXPECT_EQ(engine->IniGetInt("System", "32bits", 0), 1);
        engine->IniSetInt("System", "cnv", 0);
        EXPECT_EQ(engine->IniGetString("system", "CNV", "x"), "0");
        EXPECT_EQ(engine->IniGetString("system", "none", "dflt"), "dflt");
    }
    EngineSetOptions(EngineOptions());
    EXPECT_EQ(Read(), "[System]\n32bits=1\ncnv=0\n");
}

// "--root data" names the folder from where the program starts; the first-run flag written there
// must be read back there, or the conversion would run on every start.
TEST_F(IniFileOnDisk, ARelativeRootFolderWorksAsAnAbsoluteOne)
{
    Write("[System]\ncnv=1\n");
    const std::filesystem::path root(m_root);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(root.parent_path());
    fs_layer::SetRootFolder(root.filename().string());
    m_ini.SetFile("config.ini");
    EXPECT_EQ(m_ini.GetInt("System", "cnv", 1), 1);
    EXPECT_TRUE(m_ini.SetString("System", "cnv", "0"));
    std::filesystem::current_path("/");  // and it stays that folder when the working folder changes
    EXPECT_EQ(fs_layer::GetRootFolder(), m_root);
    IniStore again;
    again.SetFile("config.ini");
    EXPECT_EQ(again.GetInt("System", "cnv", 1), 0);
    std::filesystem::current_path(before);
    EXPECT_EQ(Read(), "[System]\ncnv=0\n");
}

}  // namespace
