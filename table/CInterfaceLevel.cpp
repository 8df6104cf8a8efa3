// The level start, the dealing animation and the restart of the in-game controller.
#include "table/CInterface.h"

#include "app/CFlyingEffects.h"
#include "app/CScreenFactory.h"
#include "framework/CFButton.h"
#include "progress/PlayerRecord.h"
#include "table/CAutoFinisher.h"
#include "table/CBonusClock.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CDeck.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"
#include "table/CScoreKeeper.h"
#include "table/CTracker.h"
#include "table/CSpecialActions.h"
#include "table/CUndoHistory.h"
#include "table/GameDialogs.h"

#include <algorithm>

namespace {

// The first story level is dealt again until it has a move; a level that never gets one is
// played as dealt after this many tries.
constexpr int kFirstDealTries = 50;

}  // namespace

void CInterface::StartLevel()
{
    if (table == nullptr || dealDeck == nullptr)
        return;
    const PlayerRecord* player = Player();
    const bool firstDeal = !IsBonusLevel() && levelSection == 0 && player != nullptr &&
                           player->m_introShown[0] == 0;
    for (int attempt = 0;; ++attempt) {
        dealSoundPending = true;
        if (!table->LoadLevel())
            return;  // the table logged why; there is nothing to deal
        if (IsBonusLevel())
            dealDeck->DeleteAll();  // a bonus level draws new random suits on every start
        MakeCards();
        if (!replay.active)
            tracker->Reset();
        if (IEngine* e = m_engine.Get())
            e->Log("===[+] Starting Solitaire '%s'...", table->Level().sName.c_str());
        const int baseRank = replay.active ? tracker->FirstDealValue() : RandomInt(0, 12);
        for (int p = 0; p < table->PlaceCount(); ++p) {
            CPlace* place = table->GetPlace(p);
            place->StopSway();
            for (CCard* card : place->pile) {
                card->inert_time = -1.0f;
                card->inert_time0 = -1.0f;
            }
        }
        // Resets the pool, lays every place's tokens, gives the base ranks and marks the bonus card.
        table->DealCards(*dealDeck, baseRank);
        ApplyBaseRanks();
        table->RequestMoveSearch();
        if (!firstDeal || attempt + 1 >= kFirstDealTries || table->GetMoveFinder()->AnyMove())
            break;
    }
    table->StopCascade();
    table->GetBonusClock()->SetPhase(kPhaseDeal, -1.0f);
    if (!replay.active)
        BuildDealAnimation();
    DisablePanelButtons();
    // A level without a dealing animation would never enable its buttons again.
    if (dealQueue.empty() && dealTimer == 0.0f)
        EnablePanelButtons();
    if (undo != nullptr && !replay.active)
        undo->Request();
}

// A level that cannot be played deals nothing, so nothing of it is ever scored, won or recorded:
// a window says it could not be loaded, and its OK goes back to where the level was opened from.
void CInterface::UpdateBrokenLevel()
{
    switch (brokenStep) {
    case kBrokenTell:
        brokenStep = kBrokenTold;
        // The game stands still under the window and goes on once it is closed.
        if (game_dialogs::Attach(game_dialogs::MakeInformation("informative_wind", "move_informative_wind_3", "bt_ok")))
            return;
        [[fallthrough]];  // no window to show: leave at once
    case kBrokenTold:
        brokenStep = kBrokenLeft;
        (void)CScreenFactory::SwitchTo(IsClassic() ? EScreenKind::ClassicSelection : EScreenKind::StoryMap);
        return;
    default:
        return;
    }
}

bool CInterface::IsDealing() const
{
    return !dealQueue.empty() || dealTimer != 0.0f;
}

void CInterface::ApplyBaseRanks()
{
    if (table == nullptr)
        return;
    for (int p = 0; p < table->PlaceCount(); ++p)
        table->GetPlace(p)->ApplyBaseRank();
}

void CInterface::BuildDealAnimation()
{
    dealSources.clear();
    dealQueue.clear();
    std::vector<int> stocks, cells, homes, columns;
    for (int p = 0; p < table->PlaceCount(); ++p) {
        const CPlace* place = table->GetPlace(p);
        if (place->type == kPlaceDeck)
            stocks.push_back(p);
        else if (place->type == kPlaceFreeCell && cells.size() < 4)
            cells.push_back(p);
        else if ((IsHouseType(place->type)) && homes.size() < 4)
            homes.push_back(p);
        else if (place->type == kPlaceColumn && place->pile.empty() && columns.empty())
            columns.push_back(p);
    }
    for (const std::vector<int>* list : {&stocks, &cells, &homes, &columns}) {
        if (!list->empty()) {
            dealSources = *list;
            break;
        }
    }
    if (dealSources.empty())
        return;
    auto isSource = [this](int p) { return std::find(dealSources.begin(), dealSources.end(), p) != dealSources.end(); };
    for (bool moved = true; moved;) {
        moved = false;
        for (int p = 0; p < table->PlaceCount(); ++p) {
            CPlace* place = table->GetPlace(p);
            if (isSource(p) || place->pile.empty())
                continue;
            const int s = dealSources[static_cast<std::size_t>(
                RandomInt(0, static_cast<int>(dealSources.size()) - 1))];
            CPlace* source = table->GetPlace(s);
            const bool faceUp = place->pile.back()->IsFaceUp();
            const int index = place->TopIndex();
            place->MoveCard(index, source, CardMove::Down(0.0f).Into(source->Size()).JoiningAtOnce().Hidden());
            dealQueue.push_back(DealStep{p, index, s, -1, faceUp});
            moved = true;
        }
    }
    dealTimer = 0.2f;
    dealStep = 0.1f;
}

void CInterface::UpdateDeal(float dt)
{
    if (dealTimer == 0.0f)
        return;
    if (dealSoundPending) {
        table->PlayEffect(table->Sounds().m_hSndDeal[std::clamp(RandomInt(0, 2), 0, 2)]);
        dealSoundPending = false;
    }
    dealTimer -= dt;
    if (dealTimer > 0.0f)
        return;
    dealTimer = dealStep + 0.0001f;
    if (!dealQueue.empty()) {
        for (std::size_t n = 0; n < dealSources.size() && !dealQueue.empty(); ++n) {
            const DealStep step = dealQueue.back();
            dealQueue.pop_back();
            CPlace* source = table->GetPlace(step.source);
            CPlace* target = table->GetPlace(step.place);
            if (source == nullptr || target == nullptr || source->pile.empty())
                continue;
            source->MoveCard(-1, target, CardMove::Face(step.faceUp, dealStep).After(kAtOnce).Into(step.index));
        }
        return;
    }
    dealTimer = 0.0f;
    EnablePanelButtons();
    if (table->GetBonusClock()->Phase() == kPhaseDeal) {
        table->RunBonusScript(dt);
        table->GetBonusClock()->SetPhase(kPhaseSetUp, -1.0f);
    }
}

void CInterface::Restart()
{
    if (IsDealing() || table == nullptr)
        return;
    table->RequestMoveSearch();
    table->GetBonusClock()->SetPhase(kPhaseNone, -1.0f);
    table->RunBonusScript(0.0f);
    if (replay.active) {
        table->StopLearn();
        return;
    }
    // Cards in the hand go back where they came from, top card first.
    CPlace* held = table->HandPlace();
    if (hand != nullptr && hand->srcPlace != nullptr) {
        while (!held->pile.empty()) {
            hand->srcPlace->pile.push_back(held->pile.front());
            held->pile.erase(held->pile.begin());
        }
    }
    held->pile.clear();
    StartLevel();
    table->GetAutoFinisher()->Stop();
    if (undo != nullptr)
        undo->Clear();
    manaBar->Clear(-1);
    table->GetScoreKeeper()->RestoreCombos(ComboCounts());
    table->GetScoreKeeper()->Reset();
    table->GetMoveFinder()->SetHintIndex(0);
    table->GetMoveFinder()->ResetHintsUsed();
    if (IsBonusLevel())
        EnableBonuses(false);
    DisarmBonuses();
    table->GetSpecialActions()->ClearChain();
    for (int i = 0; i < kBonusSlots; ++i) {
        if (CFButton* button = m_pPanel->GetBonusButton(i))
            button->SetEnabled(false);
        if (bonusReady[i] != nullptr)
            bonusReady[i]->KillAll();
        m_pPanel->ClearBonusDown(i);
    }
}
