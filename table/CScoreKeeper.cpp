// CScoreKeeper.cpp: score, rolling display, combos and the landing code of a move.
#include "table/CScoreKeeper.h"

#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFResource.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr float kTick = 0.02f;
constexpr int kRollTicks = 25;
constexpr int kBonusCardMana = 25;

bool IsHouse(const CPlace* p)
{
    return IsHouseType(p->type);
}

bool IsColumn(const CPlace* p)
{
    return p->type == kPlaceColumn;
}

bool BothOfType(const CPlace* a, const CPlace* b, int type)
{
    return a->type == type && b->type == type;
}

bool IsPop(const CPlace* p)
{
    return p->type == kPlacePop;
}

int IndexInPile(const CPlace* place, const CCard* card)
{
    const auto it = std::find(place->pile.begin(), place->pile.end(), card);
    return static_cast<int>(it - place->pile.begin());  // the pile's size when the card left it
}

// The landing's sparkles and combo caption read their numbers as one byte each, 0xFF standing
// for none; the shown game depends on that wrap, so it stays.
constexpr int kByteNone = 0xFF;

int LandingPoints(int points)
{
    const int low = points & 0xFF;
    return low == kByteNone ? 0 : low;
}

int LandingTier(int tier)
{
    const int low = tier & 0xFF;
    return low == kByteNone ? LandingScore::kNoCombo : low;
}
}  // namespace

CScoreKeeper::CScoreKeeper(CCardTable* table, PlayerRecord* record)
    : m_pTable(table), m_pAnimations(std::make_unique<CFAnimationGroup>()),
      m_pRecord(record != nullptr ? record : &m_ownRecord)
{
    m_nBase = Player().m_nStoryScore;
    Reset();
}

CScoreKeeper::~CScoreKeeper() = default;

int& CScoreKeeper::ModeTotal()
{
    PlayerRecord& record = Player();
    return IsClassicMode(m_pTable->GetMode()) ? record.m_nClassicScore : record.m_nStoryScore;
}

void CScoreKeeper::Reset()
{
    prevFrom = prevTo = lastFrom = lastTo = nullptr;
    m_nBase = ModeTotal();
}

void CScoreKeeper::SetScore(int value, bool animate)
{
    m_nScore = value;
    ModeTotal() = value;
    if (!animate) {
        m_nShown = m_nScore;
        return;
    }
    // Integer arithmetic in 64 bits: a difference of two ints may not fit in one.
    const long long diff = std::llabs(static_cast<long long>(m_nScore) - m_nShown);
    m_nStep = static_cast<int>(std::max<long long>(1, diff / kRollTicks));
}

void CScoreKeeper::AddScore(int delta, CCard* card)
{
    if (card != nullptr) {
        if (!card->m_bCanGiveScore)
            return;
        card->m_bCanGiveScore = false;
    }
    ITableHost* host = m_pTable->GetHost();
    if (host->IsReplaying())
        return;
    host->RestartAutoHint();
    // The total is kept in 32 bits: it stops at either end rather than wrap around.
    const long long sum = static_cast<long long>(m_nScore) + delta;
    SetScore(static_cast<int>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX)), true);
    TraceEvent(GetGameTime(), L"score", delta, m_nScore);
    host->AddScore(delta, card);
}

void CScoreKeeper::SyncWithProfile()
{
    m_nScore = ModeTotal();
}

void CScoreKeeper::ForgetLastMove()
{
    lastFrom = lastTo = nullptr;
}

void CScoreKeeper::Update(float dt)
{
    m_pAnimations->Update(dt);
    SyncWithProfile();
    if (m_nShown != m_nScore) {
        if (m_fDelay > 0) {
            m_fDelay -= dt;
            return;
        }
        m_fTick -= dt;
        if (m_fTick < 0) {
            m_fTick = kTick;
            const long long gap = std::llabs(static_cast<long long>(m_nScore) - m_nShown);
            if (gap < m_nStep)
                m_nStep = static_cast<int>(gap);
            m_nShown += m_nShown <= m_nScore ? m_nStep : -m_nStep;
        }
    }
    if (g_pResource != nullptr)
        g_pResource->SetText("scores_0", FormatNumber(m_nShown, -1).c_str());
}

void CScoreKeeper::Render()
{
    m_pAnimations->Render();
}

void CScoreKeeper::ShowRulesText()
{
    m_pTable->GetHost()->ShowRulesText();
}

bool CScoreKeeper::MatchesCombo(int kind, int& category) const
{
    const CPlace* aFrom = prevFrom;
    const CPlace* aTo = prevTo;
    const CPlace* bFrom = lastFrom;
    const CPlace* bTo = lastTo;
    const bool sameFrom = aFrom == bFrom, sameTo = aTo == bTo;
    switch (kind) {
    case kComboSameColumns:
        category = kComboInColumns;
        return sameFrom && sameTo && IsColumn(bFrom) && IsColumn(bTo);
    case kComboColumnsToSameColumn:
        category = kComboInColumns;
        return sameTo && IsColumn(bFrom) && IsColumn(bTo);
    case kComboSameColumnToHouse:
        category = kComboToHouses;
        return sameFrom && sameTo && IsColumn(bFrom) && IsHouse(bTo);
    case kComboSameColumnToHouses:
        category = kComboToHouses;
        return sameFrom && IsColumn(bFrom) && IsHouse(bTo) && IsHouse(aTo);
    case kComboColumnsToSameHouse:
        category = kComboToHouses;
        return sameTo && IsHouse(bTo) && IsColumn(aFrom) && IsColumn(bFrom);
    case kComboColumnsToHouses:
        category = kComboToHouses;
        return IsColumn(aFrom) && IsColumn(bFrom) && IsHouse(aTo) && IsHouse(bTo);
    case kComboColumnsToFirstHouses:
        category = kComboToHouses;
        return IsColumn(aFrom) && IsColumn(bFrom) && BothOfType(aTo, bTo, kPlaceHouse);
    case kComboColumnsToSecondHouses:
        category = kComboToHouses;
        return IsColumn(aFrom) && IsColumn(bFrom) && BothOfType(aTo, bTo, kPlaceSecondHouse);
    case kComboPopsToHouses:
        category = kComboFromPopsToHouses;
        return IsPop(aFrom) && IsPop(bFrom) && IsHouse(aTo) && IsHouse(bTo);
    case kComboPopsToSameColumn:
        category = kComboFromPopsToColumn;
        return sameTo && IsColumn(bTo) && IsPop(aFrom) && IsPop(bFrom);
    default:
        return false;
    }
}

LandingScore CScoreKeeper::ScoreMove(CPlace* from, CPlace* to, CCard* card)
{
    if (from == nullptr || to == nullptr || card == nullptr)
        return {};
    CCardTable& table = *m_pTable;
    ITableHost* host = table.GetHost();
    if (!host->IsReplaying())
        host->RecordMove(table.IndexOf(from), table.IndexOf(to), IndexInPile(from, card), 0, 0);

    prevFrom = lastFrom;
    prevTo = lastTo;
    lastFrom = from;
    lastTo = to;

    int comboPoints = 0;
    int category = -1;
    if (prevFrom != nullptr && prevTo != nullptr) {
        for (const PlaceRequirement& rule : table.Level().vCombos) {
            int ruleCategory = 0;
            if (!MatchesCombo(rule.a, ruleCategory))
                continue;
            comboPoints += AwardCombo(rule.b);
            category = ruleCategory;
        }
    }
    if (category >= 0) {
        ++m_Combos.m_nComboRun;
        host->ShowComboMessage(category, m_Combos.m_nComboRun);
    } else {
        m_Combos.m_nComboBest = std::max(m_Combos.m_nComboBest, m_Combos.m_nComboRun);
        m_Combos.m_nComboRun = 0;
    }

    LandingScore landing;
    if (!card->Moved) {
        card->Moved = true;
        int mana = table.Gauges().m_nBarResultTurn;
        if (card->CardState == kCardBonus) {
            mana += kBonusCardMana;
            card->CardState = kCardBonusScored;
        }
        landing.gauge = host->AddMana(mana);
        landing.points = LandingPoints(comboPoints + mana);
        const std::vector<PlaceRequirement>& combos = table.Level().vCombos;
        if (category >= 0 && !combos.empty())
            landing.comboTier = LandingTier(combos.back().b);
    }

    if (IsPop(from) && IsColumn(to))
        AddScore(table.Scores().m_nScorePopdeckToPlace, nullptr);
    else if (IsPop(from) && IsHouse(to))
        AddScore(table.Scores().m_nScorePopdeckToHouse, nullptr);
    else if (IsColumn(from) && IsHouse(to))
        AddScore(table.Scores().m_nScorePlaceToHouse, nullptr);
    else if (!IsHouse(to) && IsHouse(from))
        AddScore(-table.Scores().m_nScorePlaceToHouse, nullptr);
    return landing;
}

int CScoreKeeper::AwardCombo(int tier)
{
    CCardTable& table = *m_pTable;
    table.PlayEffect(table.Sounds().m_hSndCombo[std::clamp(m_Combos.m_nComboRun, 2, 7)]);
    int mana = 0, points = 0;
    switch (tier) {
    case 0:
        mana = table.Gauges().m_nBarCombo1;
        points = table.Scores().m_nScoreCombo1;
        break;
    case 1:
        mana = table.Gauges().m_nBarCombo2;
        points = table.Scores().m_nScoreCombo2;
        break;
    case 2:
        mana = table.Gauges().m_nBarCombo3;
        points = table.Scores().m_nScoreCombo3;
        break;
    default: return 0;
    }
    table.GetHost()->AddMana(mana);
    AddScore(points, nullptr);
    ++m_Combos.m_nCombos;
    return points;
}
