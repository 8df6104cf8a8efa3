// TableRenderTest.cpp: what covers what on the table: places, flights in their layers, the cascade,
// the held cards on top; shadows and the bonus frame only where they belong.
#include "TableTestSupport.h"

#include "framework/CSprite.h"
#include "table/CBonusCardFrame.h"
#include "table/CCardFlight.h"
#include "table/CRainEffect.h"

#include <memory>

using namespace tabletest;

namespace {
class ShadowHost : public RecordingHost {
public:
    bool IsHighDetail() const override { return highDetail; }
    CSprite* GetShadowSprite(int size) const override { return shadows[size].get(); }
    bool BonusesSwitchedOff() const override { return bonusesOff; }
    bool highDetail = false, bonusesOff = false;
    std::unique_ptr<CSprite> shadows[3];
};

class TableRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteAllLevels(m_fake.Get());
        WriteBare(m_fake.Get(), 5);
        m_fake->AddTextureFile("GFX/Interface/GENERAL/CARDS/bonus_frame.png", 80, 107);
        m_table = std::make_unique<CCardTable>(kBare, kModeStory, &m_host);
        ASSERT_TRUE(m_table->LoadLevel());
        m_table->SetCardSize(70, 100);
        const int types[5] = {kPlaceDeck, kPlacePop, kPlaceColumn, kPlaceColumn, kPlaceColumn};
        for (int i = 0; i < 5; ++i) {
            m_table->GetPlace(i)->type = types[i];
            m_table->GetPlace(i)->visible = true;
        }
        for (auto& s : m_host.shadows)
            s = Sprite();
    }

    std::unique_ptr<CSprite> Sprite()
    {
        return std::make_unique<CSprite>(m_fake->TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
    }

    // A card on a place with its own face and back pictures, named by the texture of its face.
    CCard* Card(int place, int rank, bool faceUp)
    {
        CCard* card = Lay(m_deck, m_table->GetPlace(place), rank, 0, faceUp);
        m_sprites.push_back(Sprite());
        card->SetUpSprite(m_sprites.back().get());
        m_sprites.push_back(Sprite());
        card->SetBackSprite(m_sprites.back().get());
        card->SetFaceUp(faceUp ? 1.0f : 0.0f);
        return card;
    }
    static HTexture Face(const CCard* c) { return c->GetUpSprite()->GetTexture(); }
    static HTexture Back(const CCard* c) { return c->GetBackSprite()->GetTexture(); }

    // A long flight of the top card of `from` to `to`, the card not yet in the target pile.
    void Fly(int from, int to, bool faceUp)
    {
        m_table->GetPlace(from)->MoveCard(-1, m_table->GetPlace(to), CardMove::Face(faceUp, 5.0f));
    }

    std::vector<HTexture> Drawn()
    {
        std::vector<HTexture> t;
        for (const EngineQuad& q : m_fake->quads)
            t.push_back(q.tex);
        return t;
    }

    ScopedFakeEngine m_fake;
    ShadowHost m_host;
    CDeck m_deck;
    std::vector<std::unique_ptr<CSprite>> m_sprites;
    std::unique_ptr<CCardTable> m_table;
};
}  // namespace

TEST_F(TableRenderTest, PlacesLieBelowFlightsWhichLieInTheirLayersBelowTheHeldCards)
{
    CCard* still = Card(2, 1, true);
    // Laid on place 4 in reverse of their flights: the top card flies first.
    CCard* toOther = Card(4, 2, true);
    CCard* popUp = Card(4, 3, true);
    CCard* deckUp2 = Card(4, 4, true);
    CCard* deckUp1 = Card(4, 5, true);
    CCard* deckDown2 = Card(4, 6, false);
    CCard* deckDown1 = Card(4, 7, false);
    Fly(4, 0, false);  // deckDown1
    Fly(4, 0, false);  // deckDown2
    Fly(4, 0, true);   // deckUp1
    Fly(4, 0, true);   // deckUp2
    Fly(4, 1, true);   // popUp
    Fly(4, 3, true);   // toOther
    CCard* held = Card(3, 8, true);
    m_table->HandPlace()->pile.push_back(held);
    m_table->GetPlace(3)->pile.clear();

    m_fake->quads.clear();
    m_table->Render();
    const std::vector<HTexture> expected = {Face(still),                         // places
                                            Back(deckDown1), Back(deckDown2),    // into the deck, face down, in order
                                            Face(deckUp2), Face(deckUp1),        // face up, reversed
                                            Face(popUp),                         // onto the pop place
                                            Face(toOther),                       // every other flight
                                            Face(held)};                         // the hand on top
    EXPECT_EQ(Drawn(), expected);
    m_table->HandPlace()->pile.clear();
}

TEST_F(TableRenderTest, DuringTheCascadeOnlyTheCascadeAndTheHandAreDrawn)
{
    CCard* a = Card(2, 1, true);
    CCard* b = Card(3, 2, true);
    Card(4, 3, true);
    Fly(4, 2, true);
    CCard* held = Card(4, 4, true);
    m_table->GetPlace(4)->pile.clear();
    m_table->HandPlace()->pile.push_back(held);
    m_table->StartCascade(CRainEffect::kShower, 100, 0, 0.0f);
    ASSERT_TRUE(m_table->GetRain()->IsRunning());
    EXPECT_EQ(m_table->GetRain()->Cards().size(), 2u);  // the cards lying on places, not the flying one

    m_fake->quads.clear();
    m_table->Render();
    const std::vector<HTexture> expected = {Face(a), Face(b), Face(held)};  // faces up: flip starts at 1
    EXPECT_EQ(Drawn(), expected);

    m_table->StopCascade();
    EXPECT_FALSE(m_table->GetRain()->IsRunning());
    m_fake->quads.clear();
    m_table->Render();
    // Stopped, the cascade still draws its cards above the places and the flight.
    EXPECT_EQ(Drawn().size(), 2u + 1u + 2u + 1u);
    m_table->HandPlace()->pile.clear();
}

TEST_F(TableRenderTest, ShadowsNeedHighDetailAndFollowThePileShape)
{
    CPlace* stacked = m_table->GetPlace(2);  // no fan: one shadow under the whole pile, sized by it
    for (int i = 0; i < 30; ++i)
        Card(2, i % 13, false);
    CPlace* fan = m_table->GetPlace(3);
    fan->v_offset = 1.0f;
    for (int i = 0; i < 4; ++i)
        Card(3, i, true);
    const HTexture small = m_host.shadows[0]->GetTexture(), mid = m_host.shadows[1]->GetTexture();

    m_fake->quads.clear();
    m_table->Render();
    for (HTexture t : Drawn())
        EXPECT_TRUE(t != small && t != mid) << "a shadow without the high-detail setting";

    m_host.highDetail = true;
    m_fake->quads.clear();
    m_table->Render();
    const std::vector<HTexture> drawn = Drawn();
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_EQ(drawn[0], mid);    // 30 cards: the middle shadow, under the top card only
    EXPECT_EQ(drawn[1], small);  // the fan: its bottom card ...
    EXPECT_EQ(drawn[2], small);  // ... and its top card
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), small), 2);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), mid), 1);
    EXPECT_FLOAT_EQ(m_fake->quads[0].v[0].x, static_cast<float>(stacked->x + 1));  // at the anchor, 1 pixel off
}

TEST_F(TableRenderTest, AMarkedCardIsFramedUnlessBonusesAreSwitchedOff)
{
    ASSERT_TRUE(m_table->GetBonusFrame()->HasSprite());
    CCard* marked = Card(2, 1, true);
    Card(3, 2, true);
    const std::size_t plain = [&] {
        m_fake->quads.clear();
        m_table->Render();
        return m_fake->quads.size();
    }();
    marked->CardState = kCardBonus;
    m_fake->quads.clear();
    m_table->Render();
    ASSERT_EQ(m_fake->quads.size(), plain + 1);
    EXPECT_EQ(m_fake->quads[0].tex, Face(marked));
    EXPECT_NE(m_fake->quads[1].tex, Face(marked));  // the frame, right over its card
    EXPECT_FLOAT_EQ(m_table->GetBonusFrame()->x, marked->RenderX_curr);

    m_host.bonusesOff = true;
    m_fake->quads.clear();
    m_table->Render();
    EXPECT_EQ(m_fake->quads.size(), plain);
}

TEST_F(TableRenderTest, AWinThrowsTheTableCardsAndTheCascadeStopsByItselfUnlessAllGold)
{
    struct Case {
        int choice;      // what the host chooses for this win
        bool showers;
        bool stopsAfterSevenSeconds;
    };
    const Case cases[] = {{ITableHost::kCascadeShower, true, true}, {ITableHost::kCascadeBursts, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        struct ChoosingHost : ShadowHost {
            int ChooseCascade() const override { return choice; }
            int choice = kCascadeShower;
        } host;
        host.choice = c.choice;
        CCardTable table(kBare, kModeStory, &host);
        ASSERT_TRUE(table.LoadLevel());
        table.SetCardSize(70, 100);
        Lay(m_deck, table.GetPlace(2), 1, 0);
        Lay(m_deck, table.GetPlace(3), 2, 0);
        table.Update(0.05f);  // no place asks anything to win: won at once
        ASSERT_TRUE(table.IsWon());
        EXPECT_EQ(host.wins, 1);
        ASSERT_TRUE(table.GetRain()->IsRunning());
        EXPECT_EQ(table.GetRain()->IsShower(), c.showers);
        EXPECT_GE(table.GetRain()->Cards().size(), 2u);
        for (int i = 0; i < 141; ++i)
            table.Update(0.05f);
        EXPECT_EQ(table.GetRain()->IsRunning(), !c.stopsAfterSevenSeconds);
        m_deck.Reset();
    }
}
