// CCountUpTest.cpp: the result popups' count-up on a clock of the test's own: when batches start
// and end, what the score shows on the way, when phases run, short batches and fast-forward.
#include "screens/CCountUp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// A client whose phases are a script: phase p asks for a batch of points[p] over seconds[p]
// (none when points is CCountUp::kNoBatch) and then for phase p + 1 after pause[p]. The last
// phase waits. Every call is written down with the clock's time.
class ScriptedClient : public CCountUp::IClient {
public:
    struct Phase {
        int points;
        float seconds;
        float pause;
    };

    ScriptedClient(CCountUp& count, std::vector<Phase> phases) : m_count(count), m_phases(std::move(phases)) {}

    void ShowScore(int displayed) override { shown.push_back(displayed); }
    void OnCountEnded(int total) override { ended.push_back({total, time}); }
    void RunPhase(int phase) override
    {
        ran.push_back({phase, time});
        if (phase >= static_cast<int>(m_phases.size()))
            return;  // waits
        const Phase& p = m_phases[static_cast<std::size_t>(phase)];
        if (p.points != CCountUp::kNoBatch)
            m_count.Count(p.points, p.seconds);
        m_count.Next(phase + 1, p.pause);
    }

    // Steps the count by dt until the clock reaches `until` (the fake clock).
    void Run(float dt, float until)
    {
        while (time < until - 1e-6f) {
            time += dt;
            m_count.Step(dt, *this);
        }
    }

    struct Event {
        int value;
        float time;
    };
    std::vector<int> shown;
    std::vector<Event> ended;
    std::vector<Event> ran;
    float time = 0.0f;

private:
    CCountUp& m_count;
    std::vector<Phase> m_phases;
};

}  // namespace

TEST(CCountUp, BatchesClimbOverTheirLengthAndPhasesWaitForThemAndTheirPause)
{
    CCountUp count(1000);
    // Phase 0 counts 600 over 1.5 s then pauses 0.3 s; phase 1 counts 200 over 0.8 s; phase 2 waits.
    ScriptedClient client(count, {{600, 1.5f, 0.3f}, {200, 0.8f, 0.3f}});
    const float dt = 1.0f / 64.0f;
    std::vector<std::pair<float, int>> displayed;
    while (client.time < 4.0f) {
        client.Run(dt, client.time + dt);
        displayed.push_back({client.time, count.GetDisplayed()});
    }
    ASSERT_GE(client.ran.size(), 3u);
    ASSERT_EQ(client.ended.size(), 2u);
    // Phase 0 after the first pause; its batch lands 1.5 s later; phase 1 after its pause of 0.3 s.
    EXPECT_NEAR(client.ran[0].time, 0.3f, dt);
    EXPECT_NEAR(client.ended[0].time, client.ran[0].time + 1.5f, 2 * dt);
    EXPECT_EQ(client.ended[0].value, 1600);
    EXPECT_EQ(client.ran[1].value, 1);
    EXPECT_NEAR(client.ran[1].time, client.ended[0].time + 0.3f, dt);
    EXPECT_NEAR(client.ended[1].time, client.ran[1].time + 0.8f, 2 * dt);
    EXPECT_EQ(client.ended[1].value, 1800);
    EXPECT_EQ(count.GetPhase(), 2);
    EXPECT_GT(client.ran.back().time, 3.9f) << "the waiting phase runs on every step";

    // Half way through the first batch the score shows about half of it, and it only climbs.
    for (const auto& [time, value] : displayed) {
        if (std::abs(time - (client.ran[0].time + 0.75f)) < dt / 2) {
            EXPECT_NEAR(value, 1300, 10);
        }
    }
    for (std::size_t i = 1; i < displayed.size(); ++i)
        EXPECT_GE(displayed[i].second, displayed[i - 1].second);
    // The score was shown every time it changed, never twice in a row the same.
    ASSERT_FALSE(client.shown.empty());
    EXPECT_EQ(client.shown.back(), 1800);
    for (std::size_t i = 1; i < client.shown.size(); ++i)
        EXPECT_NE(client.shown[i], client.shown[i - 1]);
}

TEST(CCountUp, ABatchUnderTenPointsLandsOnTheNextStepUnseen)
{
    const float dt = 1.0f / 64.0f;
    for (int points : {9, 1, 0, -40}) {
        SCOPED_TRACE("points " + std::to_string(points));
        CCountUp count(500);
        ScriptedClient client(count, {{points, 1.5f, 0.3f}});
        while (client.ran.empty())
            client.Run(dt, client.time + dt);
        client.Run(dt, client.time + dt);
        ASSERT_EQ(client.ended.size(), 1u);
        EXPECT_EQ(client.ended[0].value, 500 + points);
        EXPECT_EQ(count.GetDisplayed(), 500 + points);
        EXPECT_FALSE(count.IsCounting());
        EXPECT_TRUE(client.shown.empty() || client.shown.back() == 500 + points) << "no step in between";
    }
}

TEST(CCountUp, ATotalStopsAtEitherEndOfItsThirtyTwoBits)
{
    struct Case { int base, points, total; };
    const Case cases[] = {{INT32_MAX - 100, 2000000000, INT32_MAX}, {INT32_MIN + 5, -40, INT32_MIN},
                          {-2000000000, 2000000000, 0}};
    const float dt = 1.0f / 64.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.base) + " + " + std::to_string(c.points));
        CCountUp count(c.base);
        ScriptedClient client(count, {{c.points, 1.5f, 0.3f}});
        int last = c.base;
        while (client.ended.empty() && client.time < 3.0f) {
            client.Run(dt, client.time + dt);
            if (count.GetDisplayed() != last)
                EXPECT_EQ(count.GetDisplayed() > last, c.points > 0) << "counts one way only";
            last = count.GetDisplayed();
        }
        ASSERT_EQ(client.ended.size(), 1u);
        EXPECT_EQ(client.ended[0].value, c.total);
        EXPECT_EQ(count.GetDisplayed(), c.total);
    }
}

TEST(CCountUp, FastForwardLandsTheBatchAtOnceAndRunsEveryLaterPhaseOnePerStep)
{
    CCountUp count(0);
    ScriptedClient client(count, {{1000, 1.5f, 0.3f}, {CCountUp::kNoBatch, 0.0f, 0.9f}, {50, 0.8f, 0.3f}});
    const float dt = 1.0f / 64.0f;
    client.Run(dt, 0.5f);
    ASSERT_TRUE(count.IsCounting());
    EXPECT_GT(count.GetDisplayed(), 0);
    EXPECT_LT(count.GetDisplayed(), 1000);
    count.FastForward();
    auto step = [&] { client.Run(dt, client.time + dt); };
    step();
    ASSERT_EQ(client.ended.size(), 1u);
    EXPECT_EQ(client.ended[0].value, 1000);
    // Phase 1 (whose pause is 0.9 s) and phase 2 follow on the next steps; phase 2's batch takes one more.
    step();
    EXPECT_EQ(client.ran.back().value, 1);
    step();
    EXPECT_EQ(client.ran.back().value, 2);
    step();
    ASSERT_EQ(client.ended.size(), 2u);
    EXPECT_EQ(client.ended[1].value, 1050);
    step();
    EXPECT_EQ(count.GetPhase(), 3);
    EXPECT_EQ(count.GetDisplayed(), 1050) << "the same total as without fast-forward";
}
