// CInterfaceArrival.cpp: what the controller shows when a card lands and when the level is won,
// and the replay hand that carries a flying card.
#include "table/CInterface.h"

#include "app/CFlyingEffects.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "progress/CProfileStore.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CManaBar.h"
#include "table/CPlace.h"
#include "table/CScoreKeeper.h"
#include "table/CTableEffects.h"
#include "table/CTracker.h"
#include "table/CUndoHistory.h"

namespace {
constexpr int kAllFullX = 645, kAllFullY = 588;   // where the mana goes when no gauge takes it
constexpr int kAllFullBonus = 50;
constexpr float kFillAfterSparkles = 0.2f;       // the gauge rises just after its sparkles arrive
}  // namespace

void CInterface::OnCardArrived(CCard* card, CPlace* target, const LandingScore& landing)
{
    if (card == nullptr || target == nullptr)
        return;
    const int hw = table->GetCardSize().m_nCardWidth / 2, hh = table->GetCardSize().m_nCardHeight / 2;
    const int x = static_cast<int>(card->RenderX), y = static_cast<int>(card->RenderY);
    FrameEffects rect;
    rect.x1 = x - hw, rect.y1 = y - hh, rect.x2 = x + hw, rect.y2 = y + hh;
    rect.angle = card->RenderAngle;
    if (landing.HasCombo())
        table->GetEffects()->ShowCombo(table->GetScoreKeeper()->Combos().m_nComboRun + 1, card->RenderX,
                                       card->RenderY);
    if (landing.points < 1)
        manaBar->SetFillDelay(kFillAfterSparkles);
    else
        FlyMana(*card, rect, landing.points, landing.gauge);
    if (IsHouseType(target->type) || target->type == kPlaceDiscard)
        SparkHouseLanding(rect);
}

// The earned mana flies from the card to its gauge as sparkles; the gauge fills once they arrive.
void CInterface::FlyMana(const CCard& card, const FrameEffects& rect, int points, int gauge)
{
    bonusFromCard->StopAll();
    int tx = kAllFullX, ty = kAllFullY;
    const bool allFull = gauge == LandingScore::kNoGauge;
    if (allFull) {
        table->GetScoreKeeper()->AddScore(kAllFullBonus, nullptr);
    } else if (!manaBar->GetGaugePos(gauge, tx, ty)) {
        manaBar->SetFillDelay(kFillAfterSparkles);  // no such gauge: nothing to fly to
        return;
    }
    const bool marked = IsMarkedCard(card.CardState);
    const int sparkles = static_cast<int>(static_cast<float>(points) / 4.17f + 3.0f) * (marked ? 2 : 1);
    const float r = marked ? RandomFloat(0.3f, 0.5f) : 0.0f;
    const float later = marked ? 1.0f : 0.0f;
    PlayerRecord* player = Player();
    if (player != nullptr && undo != nullptr && undo->Count() == 1 && !IsClassic())
        player->m_bGoldenCard = marked ? 1 : 0;  // the golden card collected with the very first move
    if (BonusesSwitchedOff()) {
        manaBar->SetFillDelay(kAtOnce);
        return;
    }
    FrameEffects frame = rect;
    frame.count = 20;
    frame.special = sparkles;
    frame.life = frame.flight = frame.flightSpecial = {r + 0.81f + later, r + 0.83f + later};
    frame.delay = frame.delaySpecial = {0.05f, 0.2f};
    frame.hold = frame.holdSpecial = {0.7f + later, 0.7f + later};
    frame.cx = tx, frame.cy = ty;
    frame.radius = 0;
    const float longest = SpawnFrameEffects(bonusFromCard.get(), frame);
    manaBar->SetFillDelay(longest + kFillAfterSparkles);
    if (allFull)
        table->GetScoreKeeper()->SetDelay(longest);
}

// Sparkles run round a card that lands in a house or on the discard pile.
void CInterface::SparkHouseLanding(const FrameEffects& rect)
{
    cardFix->StopAll();
    FrameEffects frame = rect;
    frame.count = 24;
    frame.special = 0;
    frame.life = {1.0f, 1.0f};
    frame.delay = frame.delaySpecial = {0.05f, 0.05f};
    frame.radius = -1;
    SpawnFrameEffects(cardFix.get(), frame);
}

int CInterface::ChooseCascade(int story, int bonus, int hardcore)
{
    PlayerRecord* player = Player();
    if (player == nullptr)
        return kCascadeShower;
    // The all-gold test runs for every win; only its first success (finale state 0) celebrates big.
    if (g_pProfileStore->CheckAllGold(story, bonus, hardcore) && player->m_nFinaleState == 0)
        return kCascadeBursts;
    return player->m_bReserved != 0 ? kCascadeCelebration : kCascadeShower;  // the celebration flag
}

void CInterface::OnLevelWon()
{
    if (CSoundManager::Exists())
        CSoundManager::GetInstance()->SetMusicMode(CSoundManager::kSilence, 1.0f);
}

void CInterface::RideReplayHand(float x, float y)
{
    replay.x = replay.fromX = replay.toX = x;
    replay.y = replay.fromY = replay.toY = y;
    replay.moveLeft = replay.moveTime;
    if (cursor != nullptr)
        cursor->SetPosition(x, y, true);
}

bool CInterface::SaveRecording(const std::string& path)
{
    return tracker != nullptr && tracker->Save(path);
}
