// OwnedHandleTest.cpp: an owned engine texture is freed exactly once, by whoever holds it last.
#include "table/OwnedHandle.h"

#include "support/FakeEngine.h"

#include <gtest/gtest.h>

#include <utility>

TEST(COwnedHandle, MovesHandTheTextureOnAndOnlyTheLastHolderFreesIt)
{
    ScopedFakeEngine fake;
    const std::size_t before = fake->TextureCount();
    {
        COwnedTexture first(&fake.Get(), fake->TextureCreate(4, 4));
        ASSERT_TRUE(first);
        COwnedTexture second(std::move(first));
        EXPECT_FALSE(first);  // a moved-from owner holds nothing
        EXPECT_EQ(fake->TextureCount(), before + 1);

        COwnedTexture third(&fake.Get(), fake->TextureCreate(4, 4));
        third = std::move(second);  // the texture third held is freed now
        EXPECT_EQ(fake->TextureCount(), before + 1);
        third.Reset();
        EXPECT_EQ(fake->TextureCount(), before);
        third.Reset();  // nothing left to free twice
    }
    EXPECT_EQ(fake->TextureCount(), before);
    COwnedTexture none(nullptr, 7);  // without an engine nothing is held
    EXPECT_FALSE(none);
}
