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
        case 0: ok = card->IsFaceUp(); break;
        case 1: ok = cardIndex == place.TopIndex(); break;
        case 2: {
            const CPlace* other = Place(req.b);  // a place number from the file: null when out of range
            ok = other != nullptr && other->Size() == req.c;
            break;
        }
        case 3: ok = place.IsSorted(cardIndex); break;
        case 4: {
            int freeCells = 0;
            for (int i = 0; i < table->PlaceCount(); ++i) {
                if (Place(i)->type == kPlaceFreeCell && Place(i)->Size() == 0)
                    ++freeCells;
            }
            ok = place.Size() - cardIndex <= 1 + freeCells;
            break;
        }
        case 6: const_cast<CPlace&>(place).Wrap = true; break;
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
        case 0: ok = n == 1; break;
        case 1: ok = m->Suit == d->Suit; break;
        case 2: ok = m->Rank == RankPlus(d->Rank, 1, dst.Wrap); break;
        case 3: ok = m->Colour() == d->Colour(); break;
        case 4: ok = m->Rank == RankPlus(d->Rank, -1, dst.Wrap); break;
        case 5: ok = d->IsFaceUp(); break;
        case 6: ok = m->Colour() != d->Colour(); break;
        case 7: ok = m->Rank == d->Rank + 1 || m->Rank == d->Rank - 1; break;
        case 8: const_cast<CPlace&>(dst).Wrap = true; break;
        case 9: ok = source != Place(req.b) || Place(req.b) == nullptr; break;
        case 10: ok = Place(req.b) != nullptr && source == Place(req.b); break;
        case 11: ok = Place(req.b) != nullptr && Place(req.b)->Size() == req.c; break;
        case 12: ok = (m->Rank + 1) + (d->Rank + 1) == req.b; break;
        case 13: ok = source == nullptr || source->type != kPlaceColumn; break;
        case 14: ok = m->Rank == req.b && n < req.b; break;
        case 15: ok = n < req.b; break;
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
        case 0: ok = moving.Size() == 1; break;
        case 1: ok = m->Rank == req.b; break;
        case 4: ok = Place(req.b) != nullptr && source == Place(req.b); break;
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
    case 0:
    case 5: return true;
    case 1:
    case 2: return HasPlaceOfType(kPlacePop);
    case 3: return HasPlaceOfType(kPlaceColumn);
    case 7: return HasPlaceOfType(kPlaceDiscard);
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
            gathers = gathers || req.a == 0;
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
        case 0:
        case 2: ok = !card->IsFaceUp(); break;
        case 1: ok = cardIndex == place->TopIndex(); break;
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
