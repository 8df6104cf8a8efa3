// test-labels: untrusted
// LevelFileNameTest.cpp: level names from the file never lead out of their folder.
#include "solvers/FakeEngine.h"
#include "table/LevelFileName.h"

#include <gtest/gtest.h>

TEST(LevelFileName, PlainNamesFillThePattern)
{
    ScopedFakeEngine fake;
    std::string out;
    ASSERT_TRUE(MakeLevelFileName("data/learn/%s.dat", "Spider Easy", out));
    EXPECT_EQ(out, "data/learn/Spider Easy.dat");
}

TEST(LevelFileName, NamesThatCouldLeaveTheFolderAreRefused)
{
    const char* names[] = {"", "..", "../save", "a/b", "a\\b", "C:evil", "x..y", "tab\tname",
                           "0123456789012345678901234567890123456789012345678901234567890123456789"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ScopedFakeEngine fake;
        std::string out = "stale";
        EXPECT_FALSE(MakeLevelFileName("save/%s.dat", name, out));
        EXPECT_TRUE(out.empty());
        EXPECT_TRUE(fake->HasLogLine(std::string("[E] Level name {") + name + "} cannot name a file"));
    }
}
