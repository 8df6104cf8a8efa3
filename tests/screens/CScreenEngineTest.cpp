// CScreenEngineTest.cpp: the screens' sound calls on a fake engine: the player's effect volume,
// centred, and a looping sound never frozen by a pitch of 0.
#include "screens/CScreenEngine.h"

#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

TEST(CScreenEngine, SoundsPlayCentredAndALoopAskedForAtPitchZeroPlaysAtNormalPitch)
{
    ScopedFakeEngine fake;
    CScreenEngine engine;
    const HEffect effect = engine.LoadSound("sfx/sounds/game_scores.ogg");
    ASSERT_NE(effect, 0u);
    struct Case {
        bool loop;
        float pitch;
        float played;
    };
    const Case cases[] = {{true, 0.0f, 1.0f}, {true, -2.0f, 1.0f}, {false, 0.0f, 1.0f}, {true, 1.5f, 1.5f}};
    for (const Case& c : cases) {
        SCOPED_TRACE("pitch " + std::to_string(c.pitch));
        const HChannel channel = engine.PlaySound(effect, c.loop, c.pitch);
        ASSERT_EQ(fake->channels.count(channel), 1u);
        const FakeEngine::Channel& played = fake->channels[channel];
        EXPECT_EQ(played.pitch, c.played);
        EXPECT_EQ(played.loop, c.loop);
        EXPECT_EQ(played.pan, 0);
        EXPECT_EQ(played.volume, 100) << "no player: full volume";
    }
    EXPECT_EQ(engine.PlaySound(0, true, 0.0f), 0u) << "no sound, no channel";
}
