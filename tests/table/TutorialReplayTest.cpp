// TutorialReplayTest.cpp: the table saved before a tutorial replay and given back exactly after it.
#include "PlayStateSupport.h"

#include "table/CAutoFinisher.h"

#include <functional>

using namespace tabletest;

namespace {
class LearnHost : public RecordingHost {
public:
    bool LoadLearnFile(const std::string& path) override
    {
        paths.push_back(path);
        return loads;
    }
    bool BeginReplay(int& from, int& card) override
    {
        ++begins;
        if (onBegin)
            onBegin();  // deals before the replay flag is up: the test has no recorded deal
        replaying = true;
        from = firstFrom;
        card = firstCard;
        return hasFirst;
    }
    void AimReplayHand(float x, float y, bool drag) override
    {
        aims.push_back({x, y});
        dragging = drag;
    }
    void EndReplay() override
    {
        replaying = false;
        ++ends;
    }
    void ReapplyPlaceSetup() override { ++setups; }
    void ShowTutorialEffect(bool show) override { effectShown = show; }

    bool loads = true, hasFirst = false, dragging = false, effectShown = false;
    int firstFrom = -1, firstCard = -1, begins = 0, ends = 0, setups = 0;
    std::vector<std::string> paths;
    std::vector<std::pair<float, float>> aims;
    std::function<void()> onBegin;
};

class LearnTest : public ::testing::Test {
protected:
    void SetUp() override { WriteAllLevels(m_fake.Get()); }

    ScopedFakeEngine m_fake;
    LearnHost m_host;
};
}  // namespace

TEST_F(LearnTest, WithoutARecordingTheTablePlaysOnAsBefore)
{
    m_host.loads = false;
    DealtTable t(m_fake.Get(), kKlondike, 3, &m_host);
    const auto before = Piles(t.table);
    t.table.StartLearn();
    EXPECT_TRUE(m_fake->HasLogLine("[E] Learn file data/learn/Klondike.dat not completely loaded"));
    EXPECT_EQ(m_host.paths, std::vector<std::string>{"data/learn/Klondike.dat"});
    EXPECT_EQ(m_host.begins, 0);
    EXPECT_FALSE(m_host.effectShown);
    EXPECT_EQ(Piles(t.table), before);
    EXPECT_EQ(t.table.SavedPlaceCount(), t.table.PlaceCount());  // the saved places are kept
}

TEST_F(LearnTest, ALevelNameThatLeavesItsFolderIsNeverOpened)
{
    DealtTable t(m_fake.Get(), kKlondike, 3, &m_host);
    EditValues(t.table, [](TableValues& v) { v.level.sName = "..\\..\\config"; });
    t.table.StartLearn();
    EXPECT_TRUE(m_host.paths.empty());
    EXPECT_EQ(m_host.begins, 0);
}

TEST_F(LearnTest, StoppingWithoutAReplayDoesNothing)
{
    DealtTable t(m_fake.Get(), kKlondike, 4, &m_host);
    t.table.SavePlaces();
    t.table.ClickPlace(0, t.table.GetPlace(0)->TopIndex(), false);
    Settle(t.table);
    const auto moved = Piles(t.table);
    t.table.StopLearn();
    EXPECT_EQ(Piles(t.table), moved);
    EXPECT_EQ(m_host.ends, 0);
}

TEST_F(LearnTest, AfterAReplayTheTableIsExactlyAsItWas)
{
    DealtTable t(m_fake.Get(), kKlondike, 5, &m_host);
    const auto before = Piles(t.table);
    const RequirementList clickReq = t.table.GetPlace(0)->click_req;
    // The replay deals the recording anew: new places, the same cards in other places.
    m_host.onBegin = [&] {
        ASSERT_TRUE(t.table.LoadLevel());
        t.deck.Reset();
        t.table.DealCards(t.deck, 7);
    };
    t.table.StartLearn();
    EXPECT_EQ(m_host.begins, 1);
    EXPECT_TRUE(m_host.effectShown);
    EXPECT_TRUE(t.table.IsReplaying());
    EXPECT_NE(Piles(t.table), before);

    // Replayed moves: cards dealt to the waste, one card still in the air, one in the hand.
    CPlace* stock = t.table.GetPlace(0);
    for (int i = 0; i < 3; ++i) {
        stock->MoveCard(-1, t.table.GetPlace(1), CardMove::Up(0.2f));
        Settle(t.table);
    }
    stock->MoveCard(-1, t.table.GetPlace(1), CardMove::Up(0.2f).JoiningAtOnce());
    ASSERT_TRUE(t.table.IsFlying());
    CPlace* column = t.table.GetPlace(12);
    column->MoveCard(-1, t.table.HandPlace(), CardMove::Up(0.0001f).JoiningAtOnce());

    t.table.StopLearn();
    EXPECT_EQ(Piles(t.table), before);
    EXPECT_FALSE(t.table.IsFlying());
    EXPECT_FALSE(t.table.IsHolding());
    EXPECT_FALSE(t.table.GetAutoFinisher()->IsRunning());
    EXPECT_FALSE(t.table.IsReplaying());
    EXPECT_FALSE(m_host.effectShown);
    EXPECT_EQ(m_host.ends, 1);
    EXPECT_GE(m_host.setups, 1);
    EXPECT_TRUE(t.table.NeedsMoveSearch());
    EXPECT_EQ(t.table.GetPlace(0)->type, kPlaceDeck);
    EXPECT_EQ(t.table.GetPlace(0)->click_req.size(), clickReq.size());
    for (int p = 0; p < t.table.PlaceCount(); ++p)
        for (const CCard* card : t.table.GetPlace(p)->pile)
            EXPECT_FALSE(card->InFly);
    EXPECT_TRUE(EveryCardOnce(t.table, t.deck));

    // The table plays on: a stock click deals as before the replay.
    t.table.ClickPlace(0, t.table.GetPlace(0)->TopIndex(), false);
    Settle(t.table);
    EXPECT_EQ(t.table.GetPlace(1)->Size(), 1);
    t.table.ClearSavedPlaces();
    EXPECT_EQ(t.table.SavedPlaceCount(), 0);
}

TEST_F(LearnTest, TheHandAimsAtTheFirstRecordedCardAndDragsOneBelowTheTop)
{
    struct Case {
        int from, card;
        bool dragging;
    };
    const std::vector<Case> cases = {{12, -1, false}, {12, 6, false}, {12, 3, true}, {0, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + "/" + std::to_string(c.card));
        LearnHost host;
        host.hasFirst = true;
        host.firstFrom = c.from;
        host.firstCard = c.card;
        DealtTable t(m_fake.Get(), kKlondike, 6, &host);
        t.table.StartLearn();
        ASSERT_EQ(host.aims.size(), 1u);
        EXPECT_EQ(host.dragging, c.dragging);
        int x = 0, y = 0;
        const CPlace* source = t.table.GetPlace(c.from);
        t.table.GetCardPosition(source, c.card, nullptr, x, y);
        if (c.dragging)
            t.table.RotateOffset(x, y, source->GetCard(c.card)->RenderAngle, x, y, 4);
        EXPECT_EQ(host.aims[0], std::make_pair(static_cast<float>(x), static_cast<float>(y)));
    }
}
