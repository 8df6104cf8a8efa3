// CMoveFinderChecks.cpp: the pick, drop and click checks that turn requirement lists into rules.
#include "table/CMoveFinder.h"

#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CPlace.h"

namespace {
// Rank arithmetic: without wrap nothing follows a king or precedes an ace.
int RankPlus(int rank, int step, bool wrap)
{
    int r = rank + step;
    if (wrap && r == 13)
        r = 0;
    if (wrap && r == -1)
        r = 12;
    return r;
}

bool InRange(int index, const CPlace& place)
{
    return index >= 0 && index < place.Size();
}
}  // namespace

bool CMoveFinder::CanPick(int placeIndex, int cardIndex) const
{
    const CPlace* place = Place(placeIndex);
    if (place == nullptr || cardIndex == -1 || !InRange(cardIndex, *place) || place->IsTopInFlight())
        return false;
    if (place->pick_req.empty())
        return false;
    return CheckPick(*place, cardIndex);
}

bool CMoveFinder::CheckPick(const CPlace& place, int cardIndex) const
{
    const CCard* card = place.pile[static_cast<std::size_t>(cardIndex)];
    for (const PlaceRequirement& req : place.pick_req) {
        bool ok = true;
        switch (req.a) {
        case PickCode::kFaceUp: ok = card->IsFaceUp(); break;
        case PickCode::kTopCard: ok = cardIndex == place.TopIndex(); break;
        case PickCode::kPlaceHolds: {
            const CPlace* other = Place(req.b);  // a place number from the file: null when out of range
            ok = other != nullptr && other->Size() == req.c;
            break;
        }
        case PickCode::kSortedRun: ok = place.IsSorted(cardIndex); break;
        case PickCode::kFitsFreeCells: {
            int freeCells = 0;
            for (int i = 0; i < table->PlaceCount(); ++i) {
                if (Place(i)->type == kPlaceFreeCell && Place(i)->Size() == 0)
                    ++freeCells;
            }
            ok = place.Size() - cardIndex <= 1 + freeCells;
            break;
        }
        case PickCode::kWraps: const_cast<CPlace&>(place).Wrap = true; break;
        default: break;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool CMoveFinder::CanDrop(int dstPlace, int dstCardIndex, CPlace* moving, CPlace* source) const
{
    const CPlace* dst = Place(dstPlace);
    if (dst == nullptr || moving == nullptr || moving->Size() == 0)
        return false;
    if (dstCardIndex == -1) {
        if (dst->empty_drop_req.empty() || !CheckDropOnEmpty(*dst, *moving, source))
            return false;
        return !GrandfatherRefuses(*dst, *moving);
    }
    if (!InRange(dstCardIndex, *dst) || dst->drop_req.empty())
        return false;
    return CheckDropOnCard(*dst, dstCardIndex, *moving, source);
}

bool CMoveFinder::CheckDropOnCard(const CPlace& dst, int dstCardIndex, const CPlace& moving,
                                  const CPlace* source) const
{
    const CCard* m = moving.pile.front();
    const CCard* d = dst.pile[static_cast<std::size_t>(dstCardIndex)];
    const int n = moving.Size();
    for (const PlaceRequirement& req : dst.drop_req) {
        bool ok = true;
        switch (req.a) {
        case DropCode::kSingleCard: ok = n == 1; break;
        case DropCode::kSameSuit: ok = m->Suit == d->Suit; break;
        case DropCode::kOneHigher: ok = m->Rank == RankPlus(d->Rank, 1, dst.Wrap); break;
        case DropCode::kSameColour: ok = m->Colour() == d->Colour(); break;
        case DropCode::kOneLower: ok = m->Rank == RankPlus(d->Rank, -1, dst.Wrap); break;
        case DropCode::kTopFaceUp: ok = d->IsFaceUp(); break;
        case DropCode::kOtherColour: ok = m->Colour() != d->Colour(); break;
        case DropCode::kOneApart: ok = m->Rank == d->Rank + 1 || m->Rank == d->Rank - 1; break;
        case DropCode::kWraps: const_cast<CPlace&>(dst).Wrap = true; break;
        case DropCode::kNotFromPlace: ok = source != Place(req.b) || Place(req.b) == nullptr; break;
        case DropCode::kFromPlace: ok = Place(req.b) != nullptr && source == Place(req.b); break;
        case DropCode::kPlaceHolds: ok = Place(req.b) != nullptr && Place(req.b)->Size() == req.c; break;
        case DropCode::kRanksAddUpTo: ok = (m->Rank + 1) + (d->Rank + 1) == req.b; break;
        case DropCode::kNotFromColumn: ok = source == nullptr || source->type != kPlaceColumn; break;
        case DropCode::kRankWithFewer: ok = m->Rank == req.b && n < req.b; break;
        case DropCode::kFewerThan: ok = n < req.b; break;
        default: break;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool CMoveFinder::CheckDropOnEmpty(const CPlace& dst, const CPlace& moving, const CPlace* source) const
{
    const CCard* m = moving.pile.front();
    for (const PlaceRequirement& req : dst.empty_drop_req) {
        bool ok = true;
        switch (req.a) {
        case EmptyDropCode::kSingleCard: ok = moving.Size() == 1; break;
        case EmptyDropCode::kRank: ok = m->Rank == req.b; break;
        case EmptyDropCode::kFromPlace: ok = Place(req.b) != nullptr && source == Place(req.b); break;
        default: break;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool CMoveFinder::GrandfatherRefuses(const CPlace& dst, const CPlace& moving) const
{
    if (table->Level().sName != "Grandfather" || !IsHouseType(dst.type) || dst.Size() != 0)
        return false;
    const int suit = moving.pile.front()->Suit;
    for (int i = 0; i < table->PlaceCount(); ++i) {
        const CPlace* other = Place(i);
        if (other != &dst && other->type == dst.type && other->Size() > 0 && other->pile.front()->Suit == suit)
            return true;
    }
    return false;
}

bool CMoveFinder::ClickCardAllowed(int code, const CPlace& /*place*/) const
{
    switch (code) {
    case ClickCardCode::kTurnOver:
    case ClickCardCode::kTurnUp: return true;
    case ClickCardCode::kDealOne:
    case ClickCardCode::kDealThree: return HasPlaceOfType(kPlacePop);
    case ClickCardCode::kDealToColumns: return HasPlaceOfType(kPlaceColumn);
    case ClickCardCode::kToDiscard: return HasPlaceOfType(kPlaceDiscard);
    default: return false;
    }
}

bool CMoveFinder::CanClick(int placeIndex, int cardIndex) const
{
    const CPlace* place = Place(placeIndex);
    if (place == nullptr)
        return false;
    if (cardIndex == -1) {
        if (place->click_empty_limit == 0)
            return false;
        bool gathers = false;
        for (const PlaceRequirement& req : place->click_empty)
            gathers = gathers || req.a == ClickEmptyCode::kGatherPops;
        if (!gathers)
            return false;
        for (int i = 0; i < table->PlaceCount(); ++i) {
            if (Place(i)->type == kPlacePop && Place(i)->Size() > 0)
                return true;
        }
        return false;
    }
    if (!InRange(cardIndex, *place) || place->IsTopInFlight())
        return false;
    const CCard* card = place->pile[static_cast<std::size_t>(cardIndex)];
    for (const PlaceRequirement& req : place->click_req) {
        bool ok = true;
        switch (req.a) {
        case ClickCode::kFaceDown:
        case ClickCode::kStillFaceDown: ok = !card->IsFaceUp(); break;
        case ClickCode::kTopCard: ok = cardIndex == place->TopIndex(); break;
        default: break;
        }
        if (!ok)
            return false;
    }
    for (const PlaceRequirement& req : place->click_card) {
        if (ClickCardAllowed(req.a, *place))
            return true;
    }
    return false;
}
