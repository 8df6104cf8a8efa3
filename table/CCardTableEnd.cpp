// CCardTableEnd.cpp: the win test, the no-more-moves test, automatic turning and the table dump.
#include "table/CCardTable.h"

#include "app/Globals.h"
#include "framework/TraceEvent.h"
#include "table/CAutoFinisher.h"
#include "table/CBonusClock.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CMoveFinder.h"
#include "table/CTableEffects.h"
#include "table/GameDialogs.h"
#include "table/ITableHost.h"

namespace {
constexpr int kKeyEnd = 35;

bool PlacePassesWin(const CPlace& place)
{
    for (const PlaceRequirement& req : place.win_cond) {
        bool ok = true;
        switch (req.a) {
        case WinCode::kHolds: ok = place.Size() == req.b; break;
        case WinCode::kSorted: ok = place.IsSorted(0); break;
        case WinCode::kHoldsSorted: ok = (place.Size() == req.b || place.Size() == req.c) && place.IsSorted(0); break;
        default: break;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool IsSpiderName(const std::string& name)
{
    return name == "Spider Easy" || name == "Spider Tarantula" || name == "Spider Black";
}
}  // namespace

bool CCardTable::PassesWinConditions() const
{
    for (const auto& place : m_Places) {
        if (!PlacePassesWin(*place))
            return false;
    }
    return true;
}

void CCardTable::CheckLevelComplete()
{
    // A broken level has nothing to win, whatever its empty places pass.
    if (m_bUnplayable || m_bWon || m_pInterface->IsRestartPending() || IsFlying() || m_pInterface->HasPendingItems() ||
        IsHolding() || m_pInterface->IsReplaying())
        return;
    const bool forced = (g_bCheatMode && m_pInterface->GetLastKey() == kKeyEnd) ||
                        (IsBonusLevelMode(m_nMode) && m_pBonusClock->Phase() == kPhaseWon);
    if (!forced && !PassesWinConditions())
        return;
    m_pCursorHand->Release();
    StartWinCascade();
    m_bWon = true;
    m_pInterface->OnLevelWon();
    m_pEffects->PlayLevelComplete();
}

// The level just won counts as gold in the all-gold test: a hardcore level always, a bonus level
// only with a medal of bronze or better. The grade is worked out here, before the host reads it.
// A classic game (also one of the hardcore rules) is none of the profile's levels: it names none.
void CCardTable::GoldIndexes(int& story, int& bonus, int& hardcore)
{
    story = bonus = hardcore = -1;
    if (IsClassicMode(m_nMode))
        return;
    if (IsHardcoreMode(m_nMode)) {
        hardcore = m_nLevel;
    } else if (IsBonusLevelMode(m_nMode)) {
        m_pBonusClock->GradeBonusLevel();
        if (m_pBonusClock->Grade() >= 2)
            bonus = m_nLevel;
    } else {
        story = m_nLevel;
    }
}

void CCardTable::CheckNoMoves(float /*dt*/)
{
    if (m_pInterface->IsRestartPending() || IsFlying() || m_pInterface->HasPendingItems() ||
        m_pAutoFinisher->IsRunning() || m_pInterface->IsReplaying() || IsWon())
        return;
    if (m_nNoMovesCheck == kCheckUndecided) {
        m_nNoMovesCheck = kCheckOn;
        for (const auto& place : m_Places) {
            if (place->help_script == "Cruel") {
                m_nNoMovesCheck = kCheckOff;
                break;
            }
        }
    }
    if (m_nNoMovesCheck != kCheckOn || !m_pInterface->NoMovesRequested())
        return;
    if (!m_pMoveFinder->NoMoreMoves() || m_pMoveFinder->HasFreeCellMove())
        return;
    int kind = game_dialogs::kNoMovesUntold;
    if (!IsBonusLevelMode(m_nMode)) {
        const bool withoutBonuses = IsClassicMode(m_nMode) && m_pInterface->BonusesSwitchedOff();
        if (!(m_pMoveFinder->HasUselessMoves() && IsSpiderName(m_Level.sName)))
            kind = withoutBonuses ? game_dialogs::kNoMovesWithoutBonuses : game_dialogs::kNoMovesPlain;
    }
    m_pInterface->TellNoMoves(kind);
}

void CCardTable::AutoTurnCards()
{
    if (IsHolding() || IsFlying())
        return;
    for (int i = 0; i < PlaceCount(); ++i) {
        CPlace* place = GetPlace(i);
        if (place->type != kPlaceColumn)
            continue;
        const int n = place->Size() - 1;
        if (m_pMoveFinder->CanClick(i, n)) {
            TraceEvent(GetGameTime(), L"auto", L"faceUpCard");
            ClickPlace(i, n, true);
        }
    }
}

int CCardTable::s_nDumpCount = 0;

void CCardTable::DumpCards()
{
    IEngine* e = m_engine.Get();
    if (e == nullptr)
        return;
    const int number = ++s_nDumpCount;
    e->Log("\n### CARDS DUMP %d", number);
    e->Log("--- MoveCard vector");
    for (const auto& flight : m_MoveCards)
        flight->card->Dump();
    e->Log("\n--- Mouse Place");
    m_pCursorHand->place->Dump();
    e->Log("\n--- Table Places");
    for (const auto& place : m_Places)
        place->Dump();
    e->Log("### END DUMP %d\n", number);
}
