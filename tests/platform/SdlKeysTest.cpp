// Key codes of the window system mapped to the Windows virtual-key codes the game expects.
#include "platform/SdlKeys.h"

#include <gtest/gtest.h>

namespace {

TEST(SdlKeys, PrintableAndControlKeysMapToTheirVirtualKeyCodes)
{
    // SDL's key codes of these keys are their ASCII codes; the scan code does not matter then.
    const struct {
        int keycode, vk;
    } cases[] = {{'a', 65}, {'z', 90}, {'0', 48}, {'9', 57}, {'\r', 13}, {27, 27}, {' ', 32},
                 {'\b', 8},  {'\t', 9},  {127, 46}, {';', 186}, {'-', 189}, {'/', 191}, {'[', 219}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keycode);
        EXPECT_EQ(VirtualKeyFromSdl(c.keycode, 0), c.vk);
    }
}

TEST(SdlKeys, LettersOfNonLatinLayoutsFallBackOnTheKeyPosition)
{
    // A Cyrillic letter's key code is its code point; scan code 4 is the key at 'A'.
    EXPECT_EQ(VirtualKeyFromSdl(0x0444, 4), 'A');
    EXPECT_EQ(VirtualKeyFromSdl(0x0444, 0), 0);
}

TEST(SdlKeys, MouseButtonsMapToTheirVirtualKeys)
{
    EXPECT_EQ(VirtualKeyFromSdlButton(1), 1);  // left
    EXPECT_EQ(VirtualKeyFromSdlButton(2), 4);  // middle
    EXPECT_EQ(VirtualKeyFromSdlButton(3), 2);  // right
    EXPECT_EQ(VirtualKeyFromSdlButton(99), 0);
}

TEST(SdlKeys, TypedTextDecodesToCodePointsAndSkipsBrokenSequences)
{
    EXPECT_EQ(CodePointsFromUtf8("aé€😀"), (std::vector<int>{'a', 0xE9, 0x20AC, 0x1F600}));
    EXPECT_EQ(CodePointsFromUtf8("\x80z\xC3"), std::vector<int>{'z'});
    EXPECT_TRUE(CodePointsFromUtf8("").empty());
}

}  // namespace
