// TableDealTest.cpp: dealing every test level conserves the deck and lays the faces the tokens ask for.
#include "TableTestSupport.h"

using namespace tabletest;

namespace {
// The faces, bottom first, that a place's "-1:n:f" tokens lay.
std::vector<bool> ExpectedFaces(const CPlace& place)
{
    std::vector<bool> faces;
    for (const std::string& token : place.cards) {
        PlaceRequirement req;
        ParseRequirement(token, req);
        const int count = req.a == -1 ? req.b : 1;
        for (int i = 0; i < count; ++i)
            faces.push_back(req.c == 1);
    }
    return faces;
}

const int kLevels[] = {kKlondike, kFreeCell, kSpider, kPyramid, kGolf};
}  // namespace

TEST(TableDeal, EveryLevelDealsEachCardOnceWithTheTokensFaces)
{
    ScopedFakeEngine fake;
    WriteAllLevels(fake.Get());
    for (int level : kLevels) {
        SCOPED_TRACE("level " + std::to_string(level));
        RecordingHost host;
        DealtTable t(fake.Get(), level, 7, &host);
        EXPECT_EQ(t.deck.Available(), 0u);
        EXPECT_TRUE(EveryCardOnce(t.table, t.deck));
        EXPECT_EQ(host.deals.size(), t.deck.Size());
        for (int p = 0; p < t.table.PlaceCount(); ++p) {
            SCOPED_TRACE("place " + std::to_string(p));
            const CPlace& place = *t.table.GetPlace(p);
            const std::vector<bool> faces = ExpectedFaces(place);
            ASSERT_EQ(place.Size(), static_cast<int>(faces.size()));
            for (int i = 0; i < place.Size(); ++i)
                EXPECT_EQ(place.pile[static_cast<std::size_t>(i)]->IsFaceUp(), faces[static_cast<std::size_t>(i)]);
        }
    }
}

TEST(TableDeal, TheSameSeedDealsTheSameCards)
{
    ScopedFakeEngine fake;
    WriteAllLevels(fake.Get());
    auto order = [&](std::uint32_t seed) {
        DealtTable t(fake.Get(), kSpider, seed);
        std::vector<std::pair<int, int>> cards;
        for (int p = 0; p < t.table.PlaceCount(); ++p)
            for (const CCard* c : t.table.GetPlace(p)->pile)
                cards.emplace_back(c->Rank, c->Suit);
        return cards;
    };
    EXPECT_EQ(order(99), order(99));
    EXPECT_NE(order(99), order(100));
}

TEST(TableDeal, OneBonusCardIsMarkedOutsideBonusLevelsAndGolfStockIsSkipped)
{
    ScopedFakeEngine fake;
    WriteAllLevels(fake.Get());
    for (int level : kLevels) {
        SCOPED_TRACE("level " + std::to_string(level));
        DealtTable t(fake.Get(), level, 3);
        int marked = 0;
        for (int p = 0; p < t.table.PlaceCount(); ++p) {
            for (const CCard* c : t.table.GetPlace(p)->pile) {
                if (c->CardState == kCardBonus) {
                    ++marked;
                    const int type = t.table.GetPlace(p)->type;
                    EXPECT_TRUE(type == kPlaceColumn || type == kPlaceSideColumn ||
                                (type == kPlaceDeck && level != kGolf));
                }
            }
        }
        EXPECT_EQ(marked, 1);
    }
}

TEST(TableDeal, BaseRankTokensGoWhereTheEmptyDropRuleSays)
{
    ScopedFakeEngine fake;
    LevelWriter w(fake.Get(), 13);
    WriteCommon(w, "Canfield", 1, 5);
    for (int i = 0; i < 4; ++i)
        w.Place(i, {{"type", "0"}, {"empty_drop_req", i == 0 ? "1:-1:4:1" : (i == 3 ? "1:-1:4:0" : "1:-1:-1:0")}});
    w.Place(4, {{"type", "3"}, {"cards", "-1:3:0"}});
    CCardTable table(13, kModeStory, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    CDeck deck;
    MakeCards(deck, 1);
    table.DealCards(deck, 9);
    ASSERT_EQ(table.GetPlace(0)->Size(), 1);  // d = 1 appends the base-rank token
    EXPECT_EQ(table.GetPlace(0)->pile[0]->Rank, 9);
    EXPECT_TRUE(table.GetPlace(0)->pile[0]->IsFaceUp());
    EXPECT_EQ(table.GetPlace(1)->empty_drop_req[0].b, 9);
    ASSERT_EQ(table.GetPlace(4)->Size(), 4);  // the fourth rule (counter 3) puts one in front at place 4
    EXPECT_EQ(table.GetPlace(4)->pile[0]->Rank, 9);
    EXPECT_EQ(table.GetPlace(4)->iRankMat, -1);
    EXPECT_EQ(table.GetPlace(2)->iRankMat, 9);
}

TEST(TableDeal, ARedealNeverKeepsCardsOfTheLastDeal)
{
    ScopedFakeEngine fake;
    WriteAllLevels(fake.Get());
    DealtTable t(fake.Get(), kKlondike, 5);
    t.table.DealCards(t.deck, 0);
    EXPECT_TRUE(EveryCardOnce(t.table, t.deck));
}
