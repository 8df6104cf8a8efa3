// CSpecialActions.cpp: the special card actions that the bonus buttons carry.
#include "table/CSpecialActions.h"

#include "app/Globals.h"
#include "framework/TraceEvent.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CScoreKeeper.h"
#include "table/CTableMouse.h"
#include "table/ITableHost.h"

#include <cassert>
#include <string>
#include <vector>

namespace {
constexpr int kMaxRandomDraws = 1000;

// One card of the walk: places in order, each pile from the bottom.
struct CardAt {
    int place = -1;
    int index = -1;
    bool faceUp = false;
    int number = 0;
};

std::vector<CardAt> SelectedCards(const CCardTable& t)
{
    std::vector<CardAt> out;
    for (int p = 0; p < t.PlaceCount(); ++p) {
        const CPlace& place = *t.GetPlace(p);
        for (int i = 0; i < place.Size(); ++i) {
            const CCard* card = place.GetCard(i);
            if (card->Shadow)
                out.push_back({p, i, card->IsFaceUp(), static_cast<int>(out.size())});
        }
    }
    return out;
}

bool HasSelectedCard(const CPlace& place)
{
    for (const CCard* card : place.pile) {
        if (card->Shadow)
            return true;
    }
    return false;
}

// A bonus card keeps its score when an action moves it; other cards move unscored.
LandingScore LandingOf(CCardTable& t, CPlace* from, CPlace* to, CCard* card)
{
    if (card->CardState == kCardPlain)
        return {};
    return t.GetScoreKeeper()->ScoreMove(from, to, card);
}

struct Houses {
    int house = -1;    // last place of type 0 or 6
    int deck = -1;     // last place of type 1
    int discard = -1;  // last place of type 5
};

Houses FindHouses(const CCardTable& t)
{
    Houses h;
    for (int i = 0; i < t.PlaceCount(); ++i) {
        const int type = t.GetPlace(i)->type;
        if (IsHouseType(type))
            h.house = i;
        else if (type == kPlaceDeck)
            h.deck = i;
        else if (type == kPlaceDiscard)
            h.discard = i;
    }
    return h;
}

// Sends every selected card, in walk order, to `target`; index -1 = on top, -2 = a random depth.
bool SendSelected(CCardTable& t, CPlace* target, bool faceUp, bool randomDepth)
{
    bool acted = false;
    for (int p = 0; p < t.PlaceCount(); ++p) {
        CPlace* place = t.GetPlace(p);
        for (int i = 0; i < place->Size();) {
            CCard* card = place->GetCard(i);
            if (!card->Shadow || place == target) {
                ++i;
                continue;
            }
            const LandingScore landing = LandingOf(t, place, target, card);
            const int index = randomDepth ? t.RandomInt(0, target->Size()) : -1;
            if (place->MoveCard(i, target, CardMove::Face(faceUp, 0.5f).After(kAtOnce).Into(index).Scored(landing)) ==
                nullptr) {
                ++i;
                continue;
            }
            acted = true;  // the card left: the walk looks at the same index again
        }
    }
    return acted;
}

// A short-lived hand-type place that shows its cards' faces, enlarged, for three seconds.
CPlace* MakePeekPlace(CCardTable& t, const CPlace& from)
{
    auto peek = std::make_unique<CPlace>(&t, false);
    peek->SetType(kPlaceHand);
    peek->x = from.x;
    peek->y = from.y;
    if (from.h_offset > 0.0f || from.v_offset > 0.0f) {
        peek->h_offset = from.h_offset;
        peek->v_offset = from.v_offset;
    } else {
        peek->h_offset = 1.0f;
        peek->v_offset = 1.0f;
    }
    peek->rotate = 0.0f;
    peek->ttl = 3.0f;
    return t.AddPlace(std::move(peek));
}

bool PeekCards(CCardTable& t)
{
    bool acted = false;
    const int n = t.PlaceCount();  // the peek places are appended after these
    for (int p = 0; p < n; ++p) {
        CPlace* place = t.GetPlace(p);
        for (int i = 0; i < place->Size(); ++i) {
            CCard* card = place->GetCard(i);
            if (!card->Shadow)
                continue;
            card->Shadow = false;
            MakePeekPlace(t, *place)->pile.push_back(card);
            acted = true;
        }
    }
    return acted;
}

bool PeekPiles(CCardTable& t)
{
    bool acted = false;
    const int n = t.PlaceCount();
    for (int p = 0; p < n; ++p) {
        CPlace* place = t.GetPlace(p);
        if (!HasSelectedCard(*place))
            continue;
        CPlace* peek = MakePeekPlace(t, *place);
        for (CCard* card : place->pile) {
            card->Shadow = false;
            peek->pile.push_back(card);
        }
        acted = true;
    }
    return acted;
}

// B: a random arrangement of A's slots in which no card keeps its own slot while another is free.
std::vector<CardAt> Arrange(CCardTable& t, const std::vector<CardAt>& a)
{
    const int n = static_cast<int>(a.size());
    std::vector<bool> taken(a.size(), false);
    std::vector<CardAt> b(a.size());
    for (int k = 0; k < n; ++k) {
        auto freeOther = [&](int r) {
            for (int i = 0; i < n; ++i) {
                if (i != r && !taken[static_cast<std::size_t>(i)])
                    return true;
            }
            return false;
        };
        auto acceptable = [&](int r) { return !taken[static_cast<std::size_t>(r)] && (r != k || !freeOther(r)); };
        int r = -1;
        for (int draw = 0; draw < kMaxRandomDraws && r < 0; ++draw) {
            const int pick = t.RandomInt(0, n - 1);
            if (acceptable(pick))
                r = pick;
        }
        // An unlucky generator must not hang the frame: take the first acceptable slot.
        for (int i = 0; i < n && r < 0; ++i) {
            if (acceptable(i))
                r = i;
        }
        taken[static_cast<std::size_t>(r)] = true;
        b[static_cast<std::size_t>(k)] = a[static_cast<std::size_t>(r)];
    }
    return b;
}

bool Permute(CCardTable& t)
{
    std::vector<CardAt> a = SelectedCards(t);
    if (a.empty())
        return false;
    std::vector<CardAt> b = Arrange(t, a);
    const std::size_t n = a.size();
    // Landing in ascending slot order puts every card back at the index it was sent to.
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t best = k;
        for (std::size_t l = k + 1; l < n; ++l) {
            if (b[l].index < b[best].index)
                best = l;
        }
        std::swap(a[k], a[best]);
        std::swap(b[k], b[best]);
    }
    bool acted = false;
    for (std::size_t k = 0; k < n; ++k) {
        CPlace* from = t.GetPlace(a[k].place);
        CPlace* to = t.GetPlace(b[k].place);
        if (from->MoveCard(a[k].index, to, CardMove::Face(b[k].faceUp, 1.0f).Into(b[k].index)) != nullptr)
            acted = true;
        for (std::size_t l = k + 1; l < n; ++l) {
            if (a[l].place == a[k].place && a[l].index > a[k].index)
                --a[l].index;
        }
    }
    return acted;
}

// Two cards fly to each other's slot; within one pile the upper one leaves first, so the lower
// one's index still holds.
void Exchange(CCardTable& t, CardAt x, bool xFace, CardAt y, bool yFace)
{
    if (x.place == y.place && y.index > x.index)
        std::swap(x, y), std::swap(xFace, yFace);
    CPlace* px = t.GetPlace(x.place);
    CPlace* py = t.GetPlace(y.place);
    px->MoveCard(x.index, py, CardMove::Face(xFace, 0.5f).After(kAtOnce).Into(y.index));
    py->MoveCard(y.index, px, CardMove::Face(yFace, 0.5f).After(kAtOnce).Into(x.index));
}

bool SwapWithRandom(CCardTable& t, int hitPlace, int hitIndex)
{
    const CCard* pointedCard = t.GetPlace(hitPlace)->GetCard(hitIndex);
    std::vector<CardAt> candidates;
    for (int pass = 0; pass < 2 && candidates.empty(); ++pass) {
        for (int p = 0; p < t.PlaceCount(); ++p) {
            const CPlace& place = *t.GetPlace(p);
            if (IsHouseType(place.type) || place.type == kPlaceDiscard)
                continue;
            for (int i = 0; i < place.Size(); ++i) {
                const CCard* card = place.GetCard(i);
                if (card != pointedCard && (pass == 1 || !card->IsFaceUp()))
                    candidates.push_back({p, i, card->IsFaceUp(), 0});
            }
        }
    }
    if (candidates.empty())
        return false;
    const CardAt other = candidates[static_cast<std::size_t>(t.RandomInt(0, static_cast<int>(candidates.size()) - 1))];
    const CardAt pointed{hitPlace, hitIndex, pointedCard->IsFaceUp(), 0};
    // The pointed card shows the other's face in its new slot; the other lands face up.
    Exchange(t, pointed, other.faceUp, other, true);
    return true;
}

bool ExchangeFirstAndLast(CCardTable& t)
{
    const std::vector<CardAt> sel = SelectedCards(t);
    if (sel.size() < 2)
        return false;
    const CardAt first = sel.front(), last = sel.back();
    if (first.place == last.place && first.index == last.index)
        return false;
    Exchange(t, first, last.faceUp, last, first.faceUp);
    return true;
}

bool TakeIntoHand(CCardTable& t, int code, int gripX, int gripY)
{
    CCursorHand& hand = *t.GetCursorHand();
    CPlace* held = hand.place.get();
    bool acted = false;
    for (int p = 0; p < t.PlaceCount(); ++p) {
        CPlace* place = t.GetPlace(p);
        for (int i = 0; i < place->Size();) {
            CCard* card = place->GetCard(i);
            if (!card->Shadow) {
                ++i;
                continue;
            }
            if (code == kActionTakeAnyCards && i != place->TopIndex())
                hand.flagLastFlight = true;
            card->Shadow = false;
            hand.srcPlace = place;
            if (place->MoveCard(i, held, CardMove::Up(kAtOnce).After(kAtOnce)) == nullptr) {
                ++i;
                continue;
            }
            held->x_offset = gripX;
            held->y_offset = gripY;
            hand.scoreOnReturn = true;
            acted = true;
        }
    }
    return acted;
}

bool AnyPopPlaceHoldsCards(const CCardTable& t)
{
    for (int i = 0; i < t.PlaceCount(); ++i) {
        if (t.GetPlace(i)->type == kPlacePop && t.GetPlace(i)->Size() > 0)
            return true;
    }
    return false;
}

bool TurnPilesFaceUp(CCardTable& t)
{
    bool acted = false;
    for (int p = 0; p < t.PlaceCount(); ++p) {
        CPlace* place = t.GetPlace(p);
        if (!HasSelectedCard(*place))
            continue;
        for (CCard* card : place->pile) {
            acted = acted || card->GetFaceUp() != 1.0f;
            card->SetFaceUp(1.0f);
        }
    }
    return acted;
}
}  // namespace

// ---- The armed code ------------------------------------------------------------------------------

void CSpecialActions::Arm(int code)
{
    m_nChainAction = m_nBonusAction;
    m_nBonusAction = code;
}

void CSpecialActions::RearmTakenCards()
{
    if (m_nChainAction == kActionTakeRun)
        m_nBonusAction = kActionTakeRun;
}

void CSpecialActions::SpendTakenCards()
{
    if (m_nChainAction != kActionTakeRun)
        return;
    ITableHost* host = m_table.GetHost();
    host->OnTakenCardsDropped();
    m_nChainAction = kActionNone;
    SpendSlotsOf(kActionTakeRun, false);
}

void CSpecialActions::SpendSlotsOf(int code, bool trace)
{
    const std::vector<int>& codes = m_table.Level().vBonuses;
    for (std::size_t i = 0; i < codes.size() && i < kBonusSlots; ++i) {
        if (codes[i] != code)
            continue;
        m_table.GetHost()->SpendBonusSlot(static_cast<int>(i));
        if (trace)
            TraceEvent(GetGameTime(), std::to_wstring(code));
    }
}

// ---- One frame ------------------------------------------------------------------------------------

void CSpecialActions::Update(bool pressed)
{
    SelectActionTargets();
    const int code = m_nBonusAction;
    if ((pressed || code == kActionExtraDeckPass) && ApplyBonusAction())
        FinishBonusAction(code);
}

bool CSpecialActions::ApplyBonusAction()
{
    const int code = m_nBonusAction;
    if (code == kActionExtraDeckPass)
        return ApplyDeckAction();
    if (code < kActionCardToHouse || code > kActionTurnPileUp)
        return false;
    const std::optional<PlaceHit> hit = m_table.GetMouse()->HitTest(true);
    if (!hit || hit->card < 0)
        return false;
    const CPlace* place = m_table.GetPlace(hit->place);
    const CCard* card = place->GetCard(hit->card);
    if ((place->type != kPlaceColumn && place->type != kPlaceSideColumn) || card == nullptr || !card->Shadow)
        return false;
    const bool acted = ActOnSelection(code, *hit);
    if (acted)
        m_table.PlayEffect(m_table.Sounds().m_hSndCardsAdd);
    return acted;
}

bool CSpecialActions::ActOnSelection(int code, const PlaceHit& hit)
{
    CCardTable& t = m_table;
    const Houses houses = FindHouses(t);
    switch (code) {
    case kActionCardToHouse:
    case kActionPairToHouse:
    case kActionThreeToHouse:
    case kActionRowToHouse:
    case kActionColumnToHouse:
    case kActionDiagonalToHouse: {
        const int target = houses.house >= 0 ? houses.house : houses.discard;
        return target >= 0 && SendSelected(t, t.GetPlace(target), true, false);
    }
    case kActionCardToDeck:
    case kActionPairToDeck:
    case kActionThreeToDeck:
    case kActionRowToDeck:
    case kActionColumnToDeck:
    case kActionDiagonalToDeck:
        return houses.deck >= 0 && SendSelected(t, t.GetPlace(houses.deck), false, true);
    case kActionPeekCard:
    case kActionPeekRow:
        return PeekCards(t);
    case kActionPeekPile:
        return PeekPiles(t);
    case kActionShuffleColumn:
    case kActionShuffleRow:
    case kActionShuffleAll:
    case kActionShuffleDiagonal:
        return Permute(t);
    case kActionSwapWithRandom:
        return SwapWithRandom(t, hit.place, hit.card);
    case kActionTakeAnyCards:
    case kActionTakeRun:
        return TakeIntoHand(t, code, hit.dx, hit.dy);
    case kActionExchangePair:
        return ExchangeFirstAndLast(t);
    case kActionTurnPileUp:
        return TurnPilesFaceUp(t);
    default:
        return false;
    }
}

void CSpecialActions::FinishBonusAction(int code)
{
    assert(code != kActionNone && "only an armed action acts");
    m_nChainAction = kActionNone;
    m_nBonusAction = kActionNone;
    if (code == kActionTakeRun) {
        m_nChainAction = kActionTakeRun;  // spent only when the held cards are dropped
        m_table.RequestMoveSearch();
        return;
    }
    ITableHost* host = m_table.GetHost();
    host->CountBonusUse();
    host->ReleaseBonusButtons();
    m_nBonusAction = kActionNone;
    SpendSlotsOf(code, true);
    host->RequestUndoSnapshot();
    m_table.RequestMoveSearch();
}

bool CSpecialActions::ApplyDeckAction()
{
    CPlace* deck = m_table.FirstPlaceOfType(kPlaceDeck);
    if (deck == nullptr)
        return false;
    if (!AnyPopPlaceHoldsCards(m_table) && deck->Size() == 0)
        return false;
    m_table.GetHost()->AddSharedEffect(static_cast<float>(deck->x), static_cast<float>(deck->y), 1.0f);
    // A negative limit means the deck may be turned any number of times: it stays so.
    if (deck->click_empty_limit >= 0)
        ++deck->click_empty_limit;
    return true;
}
