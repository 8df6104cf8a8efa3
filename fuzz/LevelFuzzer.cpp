// LevelFuzzer.cpp: one input is the level file. Section "Solitaire0" is loaded as the game loads a
// level, the cards of its decks are made and dealt, and the table is played: random mouse frames
// and random legal moves, with layout, flights and drawing running in between.
//
// The engine and the cards' two pictures are made once for the process: made for every input,
// they cost more than a small level's whole game. Each input leaves an empty record of what the
// engine drew and logged, and the next reads the level file anew.
#include "FuzzSupport.h"
#include "framework/CFMouse.h"
#include "framework/CSprite.h"
#include "framework/ScriptedMouse.h"
#include "platform/IniStore.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CDeck.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// The level file as the engine's own reader reads it, served to the table from memory: read
// through the file, every one of a level's thousand key reads first looks at the file's stamp.
class LevelFuzzEngine : public FakeEngine {
public:
    void SetLevelFile(const std::uint8_t* data, std::size_t size)
    {
        fuzz::WriteFile(fuzz::UseAsRoot(kFile), data, size);
        const std::string text(reinterpret_cast<const char*>(data), size);
        IniStore file;
        file.SetFile(kFile);
        for (const std::string& key : IniStore::SectionKeys(text, kSection))
            SetIni(kFile, kSection, key, file.GetString(kSection, key, ""));
        AddResource(kFile, text);
    }

private:
    static constexpr const char* kFile = "sol_max.ini";
    static constexpr const char* kSection = "Solitaire0";  // the section of level 0 in story mode
};

// What lives across inputs: the engine, and a face and a back picture that every card shows.
struct Process {
    Process()
    {
        engine2dOverride(&engine);
        face = std::make_unique<CSprite>(engine.TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
        back = std::make_unique<CSprite>(engine.TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
    }
    // Forgets what this input drew, logged and read, so that no input sees another's. Everything
    // an input made is freed before it ends: libFuzzer takes memory kept past a run for a leak and
    // runs the input again to look for it.
    void EndInput()
    {
        Free(engine.quads);
        Free(engine.transforms);
        Free(engine.clips);
        Free(engine.clears);
        Free(engine.scenes);
        Free(engine.logLines);
        Free(engine.loadedEffects);
        Free(engine.loadedStreams);
        engine.channels.clear();
        engine.ForgetFiles();
    }
    template <typename T>
    static void Free(std::vector<T>& items)
    {
        std::vector<T>().swap(items);
    }
    LevelFuzzEngine engine;
    std::unique_ptr<CSprite> face, back;
};

// Cards as the in-game controller makes them: each deck brings 13 cards of every suit whose bit
// is set, each with a face and a back picture.
struct Cards {
    Cards(Process& process, const LevelValues& level)
    {
        for (int d = 0; d < level.nDecksCount; ++d)
            for (int s = 0; s < 4; ++s)
                if ((level.nSuits & (8 >> s)) != 0)
                    for (int r = 0; r < 13; ++r)
                        if (CCard* card = deck.AddCard(r, s)) {
                            card->SetUpSprite(process.face.get());
                            card->SetBackSprite(process.back.get());
                        }
    }
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
    static Process process;
    LevelFuzzEngine& engine = process.engine;
    // The tail of the input chooses the moves; the whole of it is the level file.
    fuzz::ByteSource choice(data, size);
    engine.SetLevelFile(data, size);
    {
        std::unique_ptr<Cards> cards;  // outlives the table, whose places point to the cards
        CCardTable table(0, 0, nullptr);
        if (table.LoadLevel()) {
            const bool playable = table.CheckPlayable();
            const float zoom = table.Level().fZoom;
            table.SetCardSize(static_cast<int>(70 * zoom), static_cast<int>(100 * zoom));
            cards = std::make_unique<Cards>(process, table.Level());
            engine.RandomSeed(choice.Next());
            table.DealCards(cards->deck, engine.RandomInt(0, 12));
            Play(engine, table, choice);
            if (!playable && table.IsWon())
                std::abort();  // a level without places or a win condition is never won
        }
    }
    process.EndInput();
    return 0;
}
