// LevelFuzzer.cpp: one input is the level file. Section "Solitaire0" is loaded as the game loads a
// level, the cards of its decks are made and dealt, and the table is played: random mouse frames
// and random legal moves, with layout, flights and drawing running in between.
#include "FuzzSupport.h"
#include "framework/CFMouse.h"
#include "framework/CSprite.h"
#include "framework/ScriptedMouse.h"
#include "support/FileIniEngine.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CDeck.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <memory>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// Cards as the in-game controller makes them: each deck brings 13 cards of every suit whose bit
// is set, each with a face and a back picture.
struct Cards {
    Cards(FakeEngine& engine, const LevelValues& level)
    {
        face = std::make_unique<CSprite>(engine.TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
        back = std::make_unique<CSprite>(engine.TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
        for (int d = 0; d < level.nDecksCount; ++d)
            for (int s = 0; s < 4; ++s)
                if ((level.nSuits & (8 >> s)) != 0)
                    for (int r = 0; r < 13; ++r)
                        if (CCard* card = deck.AddCard(r, s)) {
                            card->SetUpSprite(face.get());
                            card->SetBackSprite(back.get());
                        }
    }
    std::unique_ptr<CSprite> face, back;
    CDeck deck;
};

// One legal move of the move finder, carried out as the hint and the replay do.
void PlayListedMove(CCardTable& table, fuzz::ByteSource& choice)
{
    CMoveFinder& finder = *table.GetMoveFinder();
    table.RequestMoveSearch();
    if (!finder.Refresh() || finder.Moves().empty())
        return;
    const std::vector<MoveRecord> moves = finder.Moves();
    const MoveRecord& m = moves[static_cast<std::size_t>(choice.Below(static_cast<int>(moves.size())))];
    if (m.kind == 0) {
        table.ClickPlace(m.fromPlace, m.fromCard, false);
        return;
    }
    CPlace* src = table.GetPlace(m.fromPlace);
    CPlace* dst = table.GetPlace(m.toPlace);
    if (src == nullptr || dst == nullptr || table.IsHolding() || !finder.CanPick(m.fromPlace, m.fromCard))
        return;
    CCursorHand& hand = *table.GetCursorHand();
    CPlace* held = hand.place.get();
    hand.srcPlace = src;
    for (int slot = 0; src->Size() > m.fromCard && m.fromCard >= 0; ++slot)
        src->MoveCard(m.fromCard, held, CardMove::Up(0.1f).After(kAtOnce).Into(slot).JoiningAtOnce());
    if (!finder.CanDrop(m.toPlace, dst->TopIndex(), held, src)) {
        hand.Release();
        return;
    }
    while (held->Size() > 0)
        held->MoveCard(0, dst, CardMove::Up(0.2f).After(kAtOnce).Into(dst->Size()).JoiningAtOnce());
}

void Play(FakeEngine& engine, CCardTable& table, fuzz::ByteSource& choice)
{
    CFMouse mouse;
    ScriptedMouse script(engine, mouse);
    for (int step = 0; step < 24; ++step) {
        const int what = choice.Below(8);
        if (what == 0) {
            PlayListedMove(table, choice);
        } else {
            const float x = static_cast<float>(choice.Next()) * 800.0f / 255.0f;
            const float y = static_cast<float>(choice.Next()) * 600.0f / 255.0f;
            const auto action = static_cast<ScriptedMouse::EAction>(what % 3);
            script.Frame(x, y, action, what == 7 ? 2 : 1);
        }
        for (int frame = 0; frame < 3; ++frame)
            table.Update(kFrame * static_cast<float>(1 + choice.Below(6)));
        table.Render();
    }
    table.CheckNoMoves(1.0f);
    (void)table.PassesWinConditions();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The tail of the input chooses the moves; the whole of it is the level file.
    fuzz::ByteSource choice(data, size);
    fuzz::WriteFile(fuzz::UseAsRoot("sol_max.ini"), data, size);
    FileIniEngine engine;
    engine2dOverride(&engine);
    {
        std::unique_ptr<Cards> cards;  // outlives the table, whose places point to the cards
        CCardTable table(0, 0, nullptr);
        if (table.LoadLevel()) {
            const float zoom = table.Level().fZoom;
            table.SetCardSize(static_cast<int>(70 * zoom), static_cast<int>(100 * zoom));
            cards = std::make_unique<Cards>(engine, table.Level());
            engine.RandomSeed(choice.Next());
            table.DealCards(cards->deck, engine.RandomInt(0, 12));
            Play(engine, table, choice);
        }
    }
    engine2dOverride(nullptr);
    return 0;
}
