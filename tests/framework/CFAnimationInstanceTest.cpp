// Animation instances on the headless engine: ranges, loops, sections, keys, parts, frame events.
#include "framework/CFAnimationInstance.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFResource.h"
#include "framework/CParticleManager.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

namespace {

// One key of a track, x/alpha/rotation varying, everything else plain.
void AddKey(CFResource& res, float x, int alpha = 255, float rotation = 0, int interpolate = 0, float y = 0)
{
    res.AddFrameGfx(-1, -1, alpha, 255, 255, 255, x, y, 100, 100, rotation, 0, 0, interpolate, 0, 0);
}

std::string PsiBytes()
{
    std::string bytes(128, '\0');
    const std::int32_t emission = 50;
    const float lifetime = 10.0f, lifeMin = 1.0f, lifeMax = 1.0f, sizeStart = 1.0f;
    std::memcpy(&bytes[4], &emission, 4);
    std::memcpy(&bytes[8], &lifetime, 4);
    std::memcpy(&bytes[12], &lifeMin, 4);
    std::memcpy(&bytes[16], &lifeMax, 4);
    std::memcpy(&bytes[64], &sizeStart, 4);
    return bytes;
}

class CFAnimationInstanceTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        WriteDataFile("gfx/test.psi", PsiBytes());
        // No script: the test declares its module through the script methods themselves.
        m_res = std::make_unique<CFResource>("effects/none.as");
        CFResource& res = *m_res;
        res.AddPsiFile("test", "gfx/test.psi");
        res.CreateModule("test");

        res.CreateEffect("walk", 10, 1000);  // 0.1 s a frame
        res.AddNamedPart("open", 2, 5, 0);
        res.AddNamedPart("close", 6, 9, 0);
        res.CreateObjectGfx("body", 0);
        for (int f = 0; f < 10; ++f)
            AddKey(res, static_cast<float>(f * 10));

        res.CreateEffect("slide", 4, 400);
        res.CreateObjectGfx("body", 0);
        AddKey(res, 0, 0, 0, 1);
        AddKey(res, 0, 0, 0, 1);
        AddKey(res, 10, 0, 0, 1);
        AddKey(res, 20, 255, 0, 1);

        res.CreateEffect("fx", 4, 400);
        res.CreateObjectParticle("emitter", 0, -1, 0, 1);
        AddKey(res, 0);
        AddKey(res, 0);
        AddKey(res, 0);
        res.AddParticleCommand(1);  // at frame 2, the last key so far
        AddKey(res, 0);

        res.CreateEffect("knob", 4, 400);
        res.AddNamedPart("open", 1, 3, 0);
        res.CreateObjectGfx("metal", 0);
        for (int f = 0; f < 4; ++f)
            AddKey(res, 10, 255, 0, 0);

        res.CreateEffect("door", 2, 200);
        res.CreateObjectGfx("frame", 0);
        AddKey(res, 0);
        AddKey(res, 0);
        res.CreateObjectGfx("leaf", 0);
        res.SubstituteAnimation("test", "knob");
        AddKey(res, 0);
        AddKey(res, 0);

        res.CreateEffect("house", 1, 100);
        res.CreateObjectGfx("wall", 0);
        res.SubstituteAnimation("test", "door");
        AddKey(res, 0, 255, 90.0f);

        res.CreateEffect("self", 1, 100);
        res.CreateObjectGfx("mirror", 0);
        res.SubstituteAnimation("test", "self");
        AddKey(res, 0);

        // Declared through the methods directly, so nothing repairs them: no frames, no length,
        // and fewer keys than frames.
        res.CreateEffect("empty", 0, 0);
        res.CreateObjectGfx("nothing", 0);
        res.CreateEffect("sparse", 5, 500);
        res.CreateObjectGfx("two keys", 0);
        AddKey(res, 1, 255, 0, 1);
        AddKey(res, 2, 255, 0, 1);
        ClearLog();
    }

    void TearDown() override
    {
        m_res.reset();
        HeadlessEngineTest::TearDown();
    }

    std::unique_ptr<CFAnimationInstance> Make(const char* effect)
    {
        auto inst = std::make_unique<CFAnimationInstance>(&m_group, CFAnimationInstance::kUnsetPosition, 0.0f);
        EXPECT_TRUE(inst->LoadEffect(m_res.get(), "test", effect));
        inst->SetVisible(true);
        return inst;
    }

    std::unique_ptr<CFResource> m_res;
    CFAnimationGroup m_group;
};

TEST_F(CFAnimationInstanceTest, SectionPlaysFromItsFirstFrameAndStopsOnItsLast)
{
    auto inst = Make("walk");
    inst->PlayCommandSection("open", false);
    std::vector<int> frames;
    for (int i = 0; i < 12 && inst->IsPlaying(); ++i) {
        m_group.Update(i == 0 ? 0.0f : 0.05f);
        frames.push_back(inst->GetCurrentFrame());
    }
    EXPECT_FALSE(inst->IsPlaying());
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), 2);
    EXPECT_EQ(frames.back(), 5);
    EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end()));
    m_group.Update(0.5f);
    EXPECT_EQ(inst->GetCurrentFrame(), 5);  // a stopped instance keeps its last frame
    EXPECT_FLOAT_EQ(inst->GetTrackState(0)->x, 50.0f);

    inst->PlayCommandSection("no such section", true);  // does nothing
    EXPECT_FALSE(inst->IsPlaying());
}

TEST_F(CFAnimationInstanceTest, LoopingShowsFirstToLastButOneAndPlainPlayEndsOnLast)
{
    const struct {
        const char* name;
        int first, last;
        bool loop;
        std::set<int> seen;
        bool playingAfter;
    } cases[] = {
        {"whole effect looped", 0, 9, true, {0, 1, 2, 3, 4, 5, 6, 7, 8}, true},
        {"whole effect once", 0, 9, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, false},
        {"one frame looped cannot wrap", 5, 5, true, {5}, false},
        {"one frame once", 5, 5, false, {5}, false},
        {"range past the end is cut", 7, 40, true, {7, 8}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto inst = Make("walk");
        inst->PlayRange(c.first, c.last, c.loop);
        std::set<int> seen;
        for (int i = 0; i < 60; ++i) {
            m_group.Update(0.03f);
            seen.insert(inst->GetCurrentFrame());
        }
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(inst->IsPlaying(), c.playingAfter);
    }
}

TEST_F(CFAnimationInstanceTest, KeysInterpolateTowardTheNextKeyWithinAFrame)
{
    auto inst = Make("slide");
    inst->Play(false);
    m_group.Update(0.25f);  // frame 2, halfway to frame 3
    ASSERT_EQ(inst->GetCurrentFrame(), 2);
    EXPECT_FLOAT_EQ(inst->GetTrackState(0)->x, 15.0f);
    EXPECT_EQ(inst->GetTrackState(0)->alpha, 127);  // truncated toward zero
    m_group.Update(1.0f);  // past the end: the last frame shows its own key
    EXPECT_EQ(inst->GetCurrentFrame(), 3);
    EXPECT_FLOAT_EQ(inst->GetTrackState(0)->x, 20.0f);
    EXPECT_EQ(inst->GetTrackState(0)->alpha, 255);

    inst->SetColor(static_cast<int>(0xFF808080u));
    inst->Play(false);
    m_group.Update(0.25f);
    EXPECT_EQ(inst->GetTrackState(0)->alpha, 255);
    EXPECT_EQ(inst->GetTrackState(0)->red, 128);
    EXPECT_EQ(inst->GetTrackState(0)->green, 128);
    EXPECT_EQ(inst->GetTrackState(0)->blue, 128);
}

TEST_F(CFAnimationInstanceTest, PartsAreFoundByPathAndInheritTheirTrack)
{
    auto house = Make("house");
    ASSERT_EQ(house->GetPartCount(), 1);
    CFAnimationInstance* door = house->GetPartInstance(0, 0);
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->GetName(), "door");
    EXPECT_EQ(house->GetPartInstance(0, 1), nullptr);

    CFAnimationInstance* knob = house->FindPart(0, "door.#1.knob.open");
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->GetName(), "knob");
    EXPECT_EQ(house->FindPart(1, "door.#1.knob.open"), nullptr);  // door hangs on track 0
    EXPECT_EQ(house->FindPart(0, "door"), nullptr);               // no command component

    house->PlayCommand(0, "door.#1.knob.open", true);
    EXPECT_TRUE(knob->IsPlaying());
    EXPECT_EQ(knob->GetFirstFrame(), 1);
    EXPECT_EQ(knob->GetLastFrame(), 3);
    house->PlayCommand(0, "window.open", false);
    EXPECT_TRUE(LogHasLine("[E] (house).PlayCommand: part 'window.open' not found in object 0!"));

    // The knob stands 10 to the right on the door's track 1, whose key is not turned; the door
    // stands on the house's track 0, turned by 90 degrees: the knob ends 10 below the house.
    house->Play(false);
    m_group.Update(0.01f);
    const CFTrackState* state = knob->GetTrackState(0);
    ASSERT_NE(state, nullptr);
    EXPECT_NEAR(state->x, 0.0f, 1e-4);
    EXPECT_NEAR(state->y, 10.0f, 1e-4);
    EXPECT_NEAR(state->rotation, static_cast<float>(M_PI / 2), 1e-5);
}

TEST_F(CFAnimationInstanceTest, FrameCommandStartsTheTracksParticleObject)
{
    auto inst = Make("fx");
    inst->Play(false);
    m_group.Update(0.15f);  // frame 1: not yet
    EXPECT_EQ(m_res->GetParticleObject(0), nullptr);
    m_group.Update(0.1f);   // frame 2: the command fires
    CFParticleObject* object = m_res->GetParticleObject(0);
    ASSERT_NE(object, nullptr);
    ASSERT_NE(object->system, nullptr);
    EXPECT_TRUE(object->manager->IsPSAlive(object->system));
    m_group.Update(0.1f);
    EXPECT_GT(object->system->GetParticlesAlive(), 0);
    // A second instance of the same effect starts a particle object of its own.
    auto other = Make("fx");
    other->Play(false);
    m_group.Update(0.25f);
    EXPECT_NE(m_res->GetParticleObject(1), nullptr);
}

TEST_F(CFAnimationInstanceTest, FrameEventsRepeatOnEveryPassOnlyWhenAskedTo)
{
    // Each instance's track starts a particle object of its own: 0 for the first to fire.
    auto repeating = Make("fx");
    repeating->Play(true);
    m_group.Update(0.25f);
    auto once = Make("fx");
    once->SetRepeatFrameEvents(false);
    once->Play(true);
    m_group.Update(0.0f);
    m_group.Update(0.25f);
    ASSERT_NE(m_res->GetParticleObject(1), nullptr);
    int fires[2] = {1, 1};
    float lastAge[2] = {-1.0f, -1.0f};
    for (int i = 0; i < 40; ++i) {  // five passes of the loop
        m_group.Update(0.05f);
        for (int k = 0; k < 2; ++k) {
            const float age = m_res->GetParticleObject(k)->system->GetAge();
            if (age < lastAge[k])
                ++fires[k];  // Fire set the age back to 0
            lastAge[k] = age;
        }
    }
    EXPECT_GE(fires[0], 5);
    EXPECT_EQ(fires[1], 1);
}

TEST_F(CFAnimationInstanceTest, SelfSubstitutionStopsAtTheNestingLimit)
{
    auto inst = Make("self");
    int depth = 0;
    for (CFAnimationInstance* p = inst.get(); p->GetPartCount() > 0; p = p->GetPartInstance(0, 0))
        ++depth;
    EXPECT_EQ(depth, CFAnimationInstance::kMaxNesting);
    EXPECT_TRUE(LogHasLine("[E] animation self: parts nest deeper than 8 levels, test.self left out"));
    inst->Play(true);
    m_group.Update(0.05f);
    m_group.Render();
}

TEST_F(CFAnimationInstanceTest, EffectsWithoutFramesOrWithMissingKeysStayInBounds)
{
    auto empty = Make("empty");
    empty->Play(true);
    for (int i = 0; i < 3; ++i)
        m_group.Update(0.1f);
    EXPECT_EQ(empty->GetCurrentFrame(), 0);
    EXPECT_FALSE(empty->IsPlaying());
    empty->SetFrame(3.0f);
    float x = 0, y = 0, w = 1, h = 1;
    empty->GetBounds(&x, &y, &w, &h);
    EXPECT_EQ(w, 0.0f);

    auto sparse = Make("sparse");
    sparse->Play(true);
    std::set<int> seen;
    for (int i = 0; i < 30; ++i) {
        m_group.Update(0.07f);
        seen.insert(sparse->GetCurrentFrame());
        EXPECT_TRUE(std::isfinite(sparse->GetTrackState(0)->x));
    }
    EXPECT_EQ(seen.count(3), 1u);  // frames beyond the keys show the last key
    sparse->SetFrame(4.0f);
    EXPECT_FLOAT_EQ(sparse->GetTrackState(0)->x, 2.0f);
    sparse->GetPartPosition(&x, &y, 0, 99);
    EXPECT_FLOAT_EQ(x, 402.0f);
    m_group.Render();
}

TEST_F(CFAnimationInstanceTest, LoadFailuresAreLoggedAndKeepTheOldEffect)
{
    auto inst = Make("walk");
    EXPECT_FALSE(inst->LoadEffect(m_res.get(), "nowhere", "walk"));
    EXPECT_FALSE(inst->LoadEffect(m_res.get(), "test", "run"));
    EXPECT_TRUE(LogHasLine("[E] module nowhere not found"));
    EXPECT_TRUE(LogHasLine("[E] effect run not found in module test"));
    EXPECT_EQ(inst->GetName(), "walk");
    EXPECT_EQ(inst->GetFrameCount(), 10);
}

TEST_F(CFAnimationInstanceTest, UnsetPositionIsTheViewCentre)
{
    CFAnimationInstance unset(&m_group, CFAnimationInstance::kUnsetPosition, 17.0f);
    CFAnimationInstance placed(&m_group, 10.0f, 20.0f);
    float x = 0, y = 0;
    unset.GetPosition(x, y);
    EXPECT_EQ(x, 400.0f);
    EXPECT_EQ(y, 300.0f);
    placed.GetPosition(x, y);
    EXPECT_EQ(x, 10.0f);
    EXPECT_EQ(y, 20.0f);
}

}  // namespace
