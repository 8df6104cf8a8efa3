// test-labels: untrusted
#include "feedback/RegistryStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "FeedbackTestFolder.h"

namespace {

const std::u16string kBase = u"Software\\Quenlo Games\\Feedback Services\\1.0";
const std::u16string kGame = kBase + u"\\Games\\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(RegistryStore, TypedValuesRoundTripThroughTheDocumentedText)
{
    FeedbackTestFolder folder;
    RegistryStore store(folder.File("cfg/NimbraClient/registry.txt"));  // the folder is created
    const std::uint8_t user[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                   0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    ASSERT_TRUE(store.CreateKey(kBase));
    ASSERT_TRUE(store.Write(kGame, u"Enabled", RegistryStore::Dword(1)));
    ASSERT_TRUE(store.Write(kGame, u"First Run", RegistryStore::Qword(0x01DA0B1C2D3E4F50ull)));
    ASSERT_TRUE(store.Write(kGame, u"User", RegistryStore::Binary(user, 16)));
    ASSERT_TRUE(store.Write(kGame, u"Note", RegistryStore::String(u"say \"hi\" \\ caf\u00E9")));

    EXPECT_EQ(FileText(store.Path()),
              "; NimbraClient per-user settings. Keys in brackets; values dword:, qword:, hex: or quoted text.\n"
              "[Software\\Quenlo Games\\Feedback Services\\1.0]\n"
              "[Software\\Quenlo Games\\Feedback Services\\1.0\\Games\\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9]\n"
              "\"Enabled\"=dword:00000001\n"
              "\"First Run\"=qword:01DA0B1C2D3E4F50\n"
              "\"User\"=hex:00,11,22,33,44,55,66,77,88,99,AA,BB,CC,DD,EE,FF\n"
              "\"Note\"=\"say \\\"hi\\\" \\\\ caf\xC3\xA9\"\n");

    RegistryStore again(store.Path());
    EXPECT_TRUE(again.KeyExists(kBase));
    EXPECT_EQ(again.ReadDword(kGame, u"enabled"), 1u);  // names compare without case
    EXPECT_EQ(again.ReadQword(kGame, u"FIRST RUN"), 0x01DA0B1C2D3E4F50ull);
    EXPECT_EQ(again.ReadBinary(kGame, u"User", 16), std::vector<std::uint8_t>(user, user + 16));
    const auto note = again.Read(kGame, u"Note");
    ASSERT_TRUE(note);
    EXPECT_EQ(note->Data, RegistryStore::String(u"say \"hi\" \\ caf\u00E9").Data);
}

TEST(RegistryStore, ValueOfAnotherTypeOrSizeCountsAsAbsent)
{
    FeedbackTestFolder folder;
    const std::string path = folder.Write("registry.txt", std::string(
        "[" "Software\\Quenlo Games\\Feedback Services\\1.0\\Games\\G" "]\n"
        "\"First Run\"=hex:01,02,03,04,05,06,07,08\n"
        "\"Enabled\"=qword:0000000000000001\n"
        "\"User\"=hex:00,11,22\n"
        "\"Short\"=dword:0001\n"));
    RegistryStore store(path);
    const std::u16string key = kBase + u"\\Games\\G";
    EXPECT_FALSE(store.ReadQword(key, u"First Run"));
    EXPECT_FALSE(store.ReadDword(key, u"Enabled"));
    EXPECT_FALSE(store.ReadBinary(key, u"User", 16));
    EXPECT_FALSE(store.Read(key, u"Short"));  // malformed: skipped
    EXPECT_FALSE(store.ReadDword(u"Missing", u"Enabled"));
}

TEST(RegistryStore, MalformedLinesAreSkippedAndGoodOnesKeptOnWrite)
{
    FeedbackTestFolder folder;
    const std::string path = folder.Write("registry.txt", std::string(
        "garbage before any key\n"
        "\"Orphan\"=dword:00000001\n"
        "[Keep]\r\n"
        "\"A\"=dword:0000000G\n"
        "\"B\"=dword:0000002a\r\n"
        "\"C\"=hex:1,2\n"
        "\"D\"=\"unterminated\n"
        "\"E\"\n"
        "[Broken\n"
        "\"F\"=dword:00000003\n"));
    RegistryStore store(path);
    EXPECT_EQ(store.ReadDword(u"keep", u"B"), 42u);
    for (const char16_t* name : {u"A", u"C", u"D", u"E", u"F"})
        EXPECT_FALSE(store.Read(u"Keep", name));
    ASSERT_TRUE(store.Write(u"Other", u"X", RegistryStore::Dword(7)));
    EXPECT_EQ(store.ReadDword(u"Keep", u"B"), 42u);
    EXPECT_EQ(store.ReadDword(u"Other", u"X"), 7u);
}

TEST(RegistryStore, AFileTooLargeToReadIsNeverOverwritten)
{
    FeedbackTestFolder folder;
    std::string text = "[Keep]\n\"B\"=dword:0000002a\n";
    text += std::string(RegistryStore::kMaxFileBytes, ';');
    const std::string path = folder.Write("registry.txt", text);
    RegistryStore store(path);
    EXPECT_FALSE(store.ReadDword(u"Keep", u"B"));
    EXPECT_FALSE(store.Write(u"Other", u"X", RegistryStore::Dword(7)));
    EXPECT_FALSE(store.CreateKey(u"Other"));
    EXPECT_FALSE(store.Delete(u"Keep", u"B"));
    EXPECT_EQ(std::filesystem::file_size(path), text.size());
}

TEST(RegistryStore, RandomFilesNeverCrashTheReader)
{
    FeedbackTestFolder folder;
    std::mt19937 random(13);
    const char pieces[] = "[]\"=\\:,\n0123456789abcdefxhqwordsz";
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 600, '\0');
        for (char& b : bytes)
            b = random() % 3 == 0 ? static_cast<char>(random()) : pieces[random() % (sizeof pieces - 1)];
        RegistryStore store(folder.Write("registry.txt", bytes));
        (void)store.Read(u"a", u"b");
        EXPECT_TRUE(store.Write(u"k", u"v", RegistryStore::Dword(1)));
        EXPECT_EQ(store.ReadDword(u"k", u"v"), 1u);
    }
}

TEST(RegistryStore, ConcurrentWritersLoseNoUpdate)
{
    FeedbackTestFolder folder;
    const std::string path = folder.File("registry.txt");
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&path, t] {
            RegistryStore store(path);  // each writer has its own store, as separate processes would
            for (int k = 0; k < 20; ++k) {
                const std::u16string name = u"v" + std::u16string(1, static_cast<char16_t>(u'a' + t)) +
                                            std::u16string(1, static_cast<char16_t>(u'a' + k));
                EXPECT_TRUE(store.Write(u"Key", name, RegistryStore::Dword(static_cast<std::uint32_t>(k))));
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    RegistryStore store(path);
    for (int t = 0; t < 4; ++t) {
        for (int k = 0; k < 20; ++k) {
            const std::u16string name = u"v" + std::u16string(1, static_cast<char16_t>(u'a' + t)) +
                                        std::u16string(1, static_cast<char16_t>(u'a' + k));
            EXPECT_EQ(store.ReadDword(u"Key", name), static_cast<std::uint32_t>(k));
        }
    }
}
