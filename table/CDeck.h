// CDeck.h: the pool that owns every card of the level and hands them out for the deal.
#pragma once
#include "platform/EngineRef.h"

#include <memory>
#include <vector>

class CCard;

// Owns the cards (`allCards`); `available` points to those not dealt yet. There is no shuffle: each
// random draw picks uniformly among the remaining cards through the engine's seedable generator.
class CDeck {
public:
    CDeck();
    ~CDeck();
    CDeck(const CDeck&) = delete;
    CDeck& operator=(const CDeck&) = delete;

    CCard* AddCard(int rank, int suit);       // makes a card, owned by the deck, not available until Reset
    CDeck& Reset();                           // every card face down and available again
    CCard* DrawRandom();                      // null when nothing is left
    CCard* TakeCard(int rank, int suit);      // suit -1: any suit; null when none matches
    void DeleteAll();

    std::size_t Size() const { return allCards.size(); }
    std::size_t Available() const { return available.size(); }
    CCard* GetCard(std::size_t i) const { return i < allCards.size() ? allCards[i].get() : nullptr; }

private:
    std::vector<CCard*> available;
    std::vector<std::unique_ptr<CCard>> allCards;
    CEngineRef m_engine;
};
