// EngineRefTest.cpp: the owned engine reference and the handle owners give back exactly once.
#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"

#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// Counts the frees of each texture, so a second free of one handle shows.
class FreeCountingEngine : public FakeEngine {
public:
    void TextureFree(HTexture texture) override
    {
        ++frees[texture];
        FakeEngine::TextureFree(texture);
    }
    std::map<HTexture, int> frees;
};

}  // namespace

TEST(CEngineRef, EveryReferenceIsGivenBackOnceAndLogLinesArriveWhole)
{
    ScopedFakeEngine fake;
    {
        CEngineRef a;
        CEngineRef b;
        ASSERT_EQ(a.Get(), &fake.Get());
        a.Log("[I] %s %d", "line", 7);
        b.Reset();
        EXPECT_EQ(b, nullptr);
        EXPECT_EQ(fake->releaseCount, 1);
    }
    EXPECT_EQ(fake->releaseCount, 2);
    EXPECT_TRUE(fake->HasLogLine("[I] line 7"));
}

TEST(CTextureOwner, EachTextureIsFreedExactlyOnceAcrossMovesHandOverAndReset)
{
    FreeCountingEngine engine;
    const HTexture kept = engine.TextureCreate(4, 4);
    const HTexture handed = engine.TextureCreate(4, 4);
    const HTexture replaced = engine.TextureCreate(4, 4);
    {
        CTextureOwner first(&engine, kept);
        CTextureOwner moved(std::move(first));
        EXPECT_EQ(first.Get(), 0u);
        CTextureOwner other(&engine, replaced);
        other = std::move(moved);  // frees what `other` held, takes `kept`
        EXPECT_EQ(engine.frees[replaced], 1);
        CTextureOwner lent(&engine, handed);
        EXPECT_EQ(lent.Release(), handed);
        CTextureOwner none;  // empty owners free nothing
        CTextureOwner nullEngine(nullptr, 5);
        EXPECT_EQ(nullEngine.Get(), 0u);
    }
    EXPECT_EQ(engine.frees[kept], 1);
    EXPECT_EQ(engine.frees[handed], 0);
    EXPECT_EQ(engine.frees[replaced], 1);
    EXPECT_EQ(engine.frees.count(0), 0u);
}
