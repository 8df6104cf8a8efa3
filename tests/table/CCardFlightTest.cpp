// CCardFlightTest.cpp: what a landing plays, and the flight pose written for drawing.
#include "TableTestSupport.h"

#include "framework/CSprite.h"
#include "table/CCardFlight.h"

using namespace tabletest;

namespace {
int PlayedCount(const FakeEngine& fake, HEffect effect)
{
    int n = 0;
    for (const auto& kv : fake.channels)
        n += kv.second.source == effect ? 1 : 0;
    return n;
}
}  // namespace

TEST(CCardFlight, CardsLandingInTheHousesTogetherSoundOnceEveryFifthOfASecond)
{
    ScopedFakeEngine fake;
    WriteBare(fake.Get(), 4);
    CCardTable table(kBare, kModeStory, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    table.SetCardSize(70, 100);
    table.GetPlace(2)->type = kPlaceHouse;
    table.GetPlace(3)->type = kPlaceHouse;
    CDeck deck;
    for (int i = 0; i < 4; ++i)
        Lay(deck, table.GetPlace(0), i, 0);
    struct Step {
        float time;   // engine time of the landing
        int target;
        int sounds;   // house sounds played so far
    };
    const Step steps[] = {{10.0f, 2, 1}, {10.0f, 3, 1}, {10.1f, 2, 1}, {10.25f, 3, 2}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.time);
        fake->time = s.time;
        table.GetPlace(0)->MoveCard(-1, table.GetPlace(s.target), CardMove::Up(0.05f));
        Settle(table);
        EXPECT_EQ(PlayedCount(fake.Get(), table.Sounds().m_hSndCardFix.Get()), s.sounds);
    }
}

TEST(CCardFlight, StackedFlightsCastOneShadow)
{
    ScopedFakeEngine fake;  // first in, last out: the host's sprite holds an engine reference
    struct ShadowHost : RecordingHost {
        bool IsHighDetail() const override { return true; }
        CSprite* GetShadowSprite(int) const override { return shadow.get(); }
        std::unique_ptr<CSprite> shadow;
    } host;
    host.shadow = std::make_unique<CSprite>(fake->TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
    WriteBare(fake.Get(), 3);
    CCardTable table(kBare, kModeStory, &host);
    ASSERT_TRUE(table.LoadLevel());
    table.SetCardSize(70, 100);
    CDeck deck;
    Lay(deck, table.GetPlace(0), 1, 0);
    Lay(deck, table.GetPlace(0), 2, 0);
    Lay(deck, table.GetPlace(1), 3, 0)->RenderX = 500;
    for (int p = 0; p < 2; ++p)
        table.GetPlace(p)->MoveCard(-1, table.GetPlace(2), CardMove::Up(1.0f));
    table.GetPlace(0)->MoveCard(-1, table.GetPlace(2), CardMove::Up(1.0f));
    fake->quads.clear();
    for (const auto& f : table.Flights())
        f->PlaceCardAndShadow();
    // The first two start together at the same spot; the third starts 440 pixels away.
    EXPECT_EQ(fake->quads.size(), 2u);
}
