// CDeck.cpp: the card pool.
#include "table/CDeck.h"

#include "table/CCard.h"

CDeck::CDeck() = default;

CDeck::~CDeck()
{
    DeleteAll();
}

CCard* CDeck::AddCard(int rank, int suit)
{
    allCards.push_back(std::make_unique<CCard>(rank, suit));
    return allCards.back().get();
}

CDeck& CDeck::Reset()
{
    available.clear();
    for (auto& card : allCards) {
        card->SetFaceUp(0.0f);
        card->Multiplier = 1.0f;
        card->Moved = false;
        card->InFly = false;
        available.push_back(card.get());
    }
    return *this;
}

CCard* CDeck::DrawRandom()
{
    // An empty pool has no card to give: the deal skips the token instead of laying garbage.
    if (available.empty())
        return nullptr;
    int i = m_engine.RandomInt(0, static_cast<int>(available.size()) - 1);
    if (i < 0 || static_cast<std::size_t>(i) >= available.size())
        i = 0;
    CCard* card = available[static_cast<std::size_t>(i)];
    available.erase(available.begin() + i);
    return card;
}

CCard* CDeck::TakeCard(int rank, int suit)
{
    for (auto it = available.begin(); it != available.end(); ++it) {
        CCard* card = *it;
        if (card->Rank == rank && (suit == -1 || card->Suit == suit)) {
            available.erase(it);
            return card;
        }
    }
    return nullptr;
}

void CDeck::DeleteAll()
{
    available.clear();
    allCards.clear();
}
