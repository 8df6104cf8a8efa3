// CCardTable.cpp: construction, the small queries and the frame update of the card table.
#include "table/CCardTable.h"

#include "app/CIniFile.h"
#include "framework/CFAnimationGroup.h"
#include "table/CAutoFinisher.h"
#include "table/CBonusCardFrame.h"
#include "table/CBonusLevelScript.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CMoveFinder.h"
#include "table/CRainEffect.h"
#include "table/CScoreKeeper.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// Stands in for a missing host: no replay, never busy, nothing recorded or shown.
class CNoHost : public ITableHost {};
CNoHost g_noHost;
}  // namespace

CCardTable::CCardTable(int level, unsigned mode, ITableHost* host)
    : m_pInterface(host != nullptr ? host : &g_noHost), m_nLevel(level), m_nLocation(level / 5), m_nMode(mode)
{
    m_pBackGroup = std::make_unique<CFAnimationGroup>();
    m_pFrontGroup = std::make_unique<CFAnimationGroup>();
    m_pLevelFile = std::make_unique<CIniFile>("sol_max.ini");
    m_pBonusFrame = std::make_unique<CBonusCardFrame>(this, "GFX/Interface/GENERAL/CARDS/bonus_frame.png");
    m_pCursorHand = std::make_unique<CCursorHand>(this);
    m_pMoveFinder = std::make_unique<CMoveFinder>(this);
    m_pAutoFinisher = std::make_unique<CAutoFinisher>(this);
    m_pBonusScript = std::make_unique<CBonusLevelScript>(*this);
    LoadSounds();
    m_pScoreKeeper = std::make_unique<CScoreKeeper>(this);
    m_pScoreKeeper->SyncWithProfile();
    m_pScoreKeeper->SetScore(m_pScoreKeeper->GetScore(), false);
    m_pRain = std::make_unique<CRainEffect>();
}

CCardTable::~CCardTable()
{
    FreeSounds();
    // Flights point to places and cards: they go first, then the helpers, then the places.
    m_MoveCards.clear();
    m_pAutoFinisher.reset();
    m_pScoreKeeper.reset();
    m_pMoveFinder.reset();
    m_pCursorHand.reset();
    m_pBonusScript.reset();
    m_SavedPlaces.clear();
    m_Places.clear();
}

void CCardTable::LoadSounds()
{
    IEngine* e = m_engine.Get();
    if (e == nullptr)
        return;
    m_hSndBonusOn = e->EffectLoad("sfx/sounds/game_mi_on.ogg");
    m_hSndBonusOff = e->EffectLoad("sfx/sounds/game_mi_off.ogg");
    char path[64];
    for (int i = 0; i < 3; ++i) {
        std::snprintf(path, sizeof path, "sfx/sounds/game_cards_deal_%d.ogg", i + 1);
        m_hSndDeal[i] = e->EffectLoad(path);
        std::snprintf(path, sizeof path, "sfx/sounds/game_card_get_%d.ogg", i + 1);
        m_hSndCardGet[i] = e->EffectLoad(path);
        std::snprintf(path, sizeof path, "sfx/sounds/game_card_put_%d.ogg", i + 1);
        m_hSndCardPut[i] = e->EffectLoad(path);
    }
    m_hSndHint = e->EffectLoad("sfx/sounds/game_hint.ogg");
    m_hSndCardBack = e->EffectLoad("sfx/sounds/game_card_back.ogg");
    for (int i = 2; i < 8; ++i) {
        std::snprintf(path, sizeof path, "sfx/sounds/game_combo_x%d.ogg", i);
        m_hSndCombo[i] = e->EffectLoad(path);
    }
    m_hSndCardFix = e->EffectLoad("sfx/sounds/game_card_fix.ogg");
    m_hSndCardsDeck = e->EffectLoad("sfx/sounds/game_cards_deck.ogg");
    m_hSndTextMessage = e->EffectLoad("sfx/sounds/game_text_message.ogg");
    m_hSndCardsAdd = e->EffectLoad("sfx/sounds/game_cards_add.ogg");
    m_hSndMultiCard = e->EffectLoad("sfx/sounds/game_multicard.ogg");
}

void CCardTable::FreeSounds()
{
    IEngine* e = m_engine.Get();
    if (e == nullptr)
        return;
    HEffect* singles[] = {&m_hSndBonusOn, &m_hSndBonusOff, &m_hSndHint, &m_hSndCardBack, &m_hSndCardFix,
                          &m_hSndCardsDeck, &m_hSndTextMessage, &m_hSndCardsAdd, &m_hSndMultiCard};
    for (HEffect* h : singles) {
        if (*h != 0)
            e->EffectFree(*h);
        *h = 0;
    }
    for (int i = 0; i < 3; ++i) {
        for (HEffect* h : {&m_hSndDeal[i], &m_hSndCardGet[i], &m_hSndCardPut[i]}) {
            if (*h != 0)
                e->EffectFree(*h);
            *h = 0;
        }
    }
    for (HEffect& h : m_hSndCombo) {
        if (h != 0)
            e->EffectFree(h);
        h = 0;
    }
}

void CCardTable::PlayEffect(HEffect effect)
{
    if (effect != 0 && m_engine.Get() != nullptr)
        m_engine.Get()->EffectPlay(effect, m_pInterface->GetEffectVolume(), 0, 1.0f, false);
}

void CCardTable::SetCardSize(int width, int height)
{
    m_nCardWidth = width;
    m_nCardHeight = height;
    m_nCardDiagonal = static_cast<int>(std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height));
}

// ---- Queries -------------------------------------------------------------------------------

CPlace* CCardTable::GetPlace(int index) const
{
    if (index < 0 || index >= PlaceCount())
        return nullptr;
    return m_Places[static_cast<std::size_t>(index)].get();
}

int CCardTable::IndexOf(const CPlace* place) const
{
    for (std::size_t i = 0; i < m_Places.size(); ++i) {
        if (m_Places[i].get() == place)
            return static_cast<int>(i);
    }
    return -1;
}

bool CCardTable::IsHolding() const
{
    return m_pCursorHand != nullptr && m_pCursorHand->IsHolding();
}

CPlace* CCardTable::HandPlace() const
{
    return m_pCursorHand != nullptr ? m_pCursorHand->place.get() : nullptr;
}

bool CCardTable::IsReplaying() const
{
    return m_pInterface->IsReplaying();
}

void CCardTable::GetCardPosition(const CPlace* place, int index, const CCard* extraCard, int& outX, int& outY) const
{
    if (index == -1) {
        outX = place->x;
        outY = place->y;
        return;
    }
    const bool allUp = extraCard == nullptr || extraCard->IsFaceUp();
    const int n = place->Size();
    auto cardAt = [&](int i) -> const CCard* {
        if (i < n)
            return place->pile[static_cast<std::size_t>(i)];
        return i == index ? extraCard : nullptr;
    };
    float sumX = 0, sumY = 0, shift = 0;
    for (int i = 0; i <= index; ++i) {
        shift = 0;
        if ((place->type == 3 || place->type == 255) && place->v_offset != 0.0f) {
            const CCard* c = cardAt(i);
            shift = c != nullptr ? static_cast<float>(c->ShiftX) : 0.0f;
        }
        if (i == 0)
            continue;
        const CCard* prev = cardAt(i - 1);
        const bool prevUp = prev != nullptr ? prev->IsFaceUp() : true;
        if (!(allUp && prevUp) && place->type != 255) {
            sumY += m_Level.nVOffsetHidden * place->k_squeeze * place->v_offset;
            sumX += m_Level.nHOffsetHidden * place->h_offset;
        } else {
            sumY += m_Level.nVOffsetVisible * place->k_squeeze * place->v_offset;
            sumX += m_Level.nHOffsetVisible * place->h_offset;
        }
    }
    const float scale = (place->type == 2 && extraCard != nullptr) ? extraCard->Multiplier : 1.0f;
    outX = static_cast<int>((place->x + place->x_offset + sumX) * scale + shift);
    outY = static_cast<int>(place->y + place->y_offset + sumY);
}

void CCardTable::RotateOffset(int px, int py, float angle, int& x2, int& y2, int shift) const
{
    const float d = static_cast<float>(shift - m_nCardHeight / 2);
    x2 = static_cast<int>(std::lround(px - d * std::sin(angle)));
    y2 = static_cast<int>(std::lround(py + d * std::cos(angle)));
}

bool CCardTable::IsTopCard(int placeIndex, int cardIndex) const
{
    if (cardIndex == -1)
        return true;
    const CPlace* place = GetPlace(placeIndex);
    if (place == nullptr)
        return false;
    int n = 0;
    for (const CCard* card : place->pile)
        n += card->InFly ? 0 : 1;
    for (const auto& flight : m_MoveCards)
        n += flight->target == place ? 1 : 0;
    return cardIndex >= n - 1;
}

int CCardTable::CountCards() const
{
    int n = 0;
    for (const auto& place : m_Places) {
        for (const CCard* card : place->pile)
            n += card->InFly ? 0 : 1;
    }
    return n + (HandPlace() != nullptr ? HandPlace()->Size() : 0);
}

bool CCardTable::IsFlightTo(const CPlace* place) const
{
    return std::any_of(m_MoveCards.begin(), m_MoveCards.end(),
                       [place](const std::unique_ptr<CCardFlight>& f) { return f->target == place; });
}

bool CCardTable::HasTimedPlace() const
{
    return std::any_of(m_Places.begin(), m_Places.end(),
                       [](const std::unique_ptr<CPlace>& p) { return p->ttl != -1.0f; });
}

CCardFlight* CCardTable::AddFlight(std::unique_ptr<CCardFlight> flight)
{
    m_MoveCards.push_back(std::move(flight));
    return m_MoveCards.back().get();
}

// ---- Frame update --------------------------------------------------------------------------

void CCardTable::Update(float dt)
{
    m_pFrontGroup->Update(dt);
    m_pBackGroup->Update(dt);
    m_pRain->Update(dt, false);
    CheckLevelComplete();
    CheckNoMoves(dt);
    if (!m_pInterface->IsBusy())
        m_pAutoFinisher->Step(dt);
    SampleMouse(m_fMouseX, m_fMouseY, m_nMouseEvent);
    HandPlace()->x = static_cast<int>(m_fMouseX);
    HandPlace()->y = static_cast<int>(m_fMouseY);
    if (m_fPhaseTimer != 0.0f) {
        m_fPhaseTimer -= dt;
        if (m_fPhaseTimer <= 0.0f) {
            m_bPhaseElapsed = true;
            m_fPhaseTimer = 0.0f;
        }
    }
    m_fLevelTime += dt;
    if (IsInputAllowed()) {
        if ((m_nMode & 7) == 2) {
            RunBonusScript(dt);  // a bonus level plays its script instead of the mouse
        } else if (m_nBonusAction == -1 && !HasTimedPlace()) {
            // The variants' extra rules move cards by themselves while the player could act; only
            // when none fired does the mouse act.
            if (!ApplyRuleActions())
                HandleMouse();
        } else if (!IsFlying() && !HasTimedPlace()) {
            SelectActionTargets();
            const int code = m_nBonusAction;
            if ((m_nMouseEvent == 2 || code == 24) && ApplyBonusAction())
                FinishBonusAction(code);
        }
    }
    RemoveExpiredPlaces();
    for (auto& place : m_Places)
        place->Update(dt);
    UpdateFlights(dt);
    m_pBonusFrame->Update(dt);
    m_pCursorHand->Update(dt);
    if (!m_pInterface->IsBusy()) {
        AutoTurnCards();
        if ((m_nMode & 7u) == 1u)
            m_pInterface->UpdateBonusQuestion();
    }
}

bool CCardTable::IsInputAllowed() const
{
    return !m_pInterface->IsBusy() &&
           std::all_of(m_MoveCards.begin(), m_MoveCards.end(),
                       [](const std::unique_ptr<CCardFlight>& f) { return f->insertedEarly; });
}

bool CCardTable::IsFlightAt(const CPlace* place) const
{
    return std::any_of(m_MoveCards.begin(), m_MoveCards.end(), [place](const std::unique_ptr<CCardFlight>& f) {
        return f->target == place || f->source == place;
    });
}

void CCardTable::RemoveExpiredPlaces()
{
    for (std::size_t i = 0; i < m_Places.size();) {
        CPlace* gone = m_Places[i].get();
        // A place that a flight still starts from or heads to waits: the flight points to it.
        if (gone->ttl != 0.0f || IsFlightAt(gone)) {
            ++i;
            continue;
        }
        // Nothing may keep pointing to the place once it is deleted.
        if (m_pCursorHand->srcPlace == gone)
            m_pCursorHand->srcPlace = nullptr;
        if (m_pLastSource == gone)
            m_pLastSource = nullptr;
        if (m_LastMove.From == gone || m_LastMove.To == gone)
            m_LastMove = PlaceMove();
        m_Places.erase(m_Places.begin() + static_cast<std::ptrdiff_t>(i));
        m_bCheckMoves = true;  // the move list names places by index: the later ones just shifted
    }
}

void CCardTable::UpdateFlights(float dt)
{
    if (m_MoveCards.empty())
        return;
    // Landing can start no new flight, but index by position in case a host callback does.
    for (std::size_t i = 0; i < m_MoveCards.size(); ++i)
        m_MoveCards[i]->Update(dt);
    m_MoveCards.erase(std::remove_if(m_MoveCards.begin(), m_MoveCards.end(),
                                     [](const std::unique_ptr<CCardFlight>& f) { return f->HasLanded(); }),
                      m_MoveCards.end());
}
