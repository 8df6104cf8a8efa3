// BuildVersionTest.cpp: the build text that cheat mode shows, read from "data/build" (a file a
// user may have edited): its first line only, and never more than the menu can show.
// test-labels: untrusted
#include "screens/CMenuScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(BuildVersion, TheFirstLineUpToItsBreakAndAtMost128Characters)
{
    struct Case {
        const char* name;
        std::string file;
        std::string line;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"one line", "1.4 beta", "1.4 beta"},
        {"Windows break", "1.4\r\nsecond", "1.4"},
        {"Unix break", "1.4\nsecond", "1.4"},
        {"break first", "\n1.4", ""},
        {"long line", std::string(5000, 'x'), std::string(128, 'x')},
        {"high bytes", "\xff\xfe" "1", "\xff\xfe" "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CMenuScreen::BuildVersionLine(Bytes(c.file)), c.line);
    }
}

}  // namespace
