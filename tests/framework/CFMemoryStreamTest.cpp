#include "framework/CFMemoryStream.h"

#include "ResourceTestRoot.h"

#include <gtest/gtest.h>

namespace {

class CFMemoryStreamTest : public ResourceTestRoot {};

TEST_F(CFMemoryStreamTest, ReadsBackWhatWasWrittenAndNeverPastTheEnd)
{
    CFMemoryStream stream;
    EXPECT_EQ(stream.Write("abc", 3), 0);
    EXPECT_EQ(stream.Write("de", 2), 0);
    EXPECT_EQ(stream.GetSize(), 5u);
    char out[4] = {};
    EXPECT_EQ(stream.Read(out, 3), 0);
    EXPECT_EQ(std::string(out, 3), "abc");
    char tail[4] = {'x', 'x', 'x', 'x'};
    EXPECT_LT(stream.Read(tail, 4), 0);  // only two bytes left
    EXPECT_EQ(std::string(tail, 4), std::string("de\0\0", 4));
    EXPECT_LT(stream.Read(tail, 1), 0);
    EXPECT_EQ(stream.GetReadPosition(), 5u);
}

TEST_F(CFMemoryStreamTest, FileRoundTripRestartsReading)
{
    CFMemoryStream stream;
    stream.Write("\x00\x01\xFF", 3);
    ASSERT_TRUE(fs_layer::CreateDirectory("effects"));  // the cache sits beside its script
    ASSERT_TRUE(stream.SaveToFile("effects/x.bc"));
    CFMemoryStream loaded;
    ASSERT_TRUE(loaded.LoadFromFile("EFFECTS\\X.BC"));
    EXPECT_EQ(loaded.GetBytes(), stream.GetBytes());
    EXPECT_EQ(loaded.GetReadPosition(), 0u);
    EXPECT_FALSE(loaded.LoadFromFile("effects/none.bc"));
}

}  // namespace
