// CCardTable.cpp: construction, the small queries and the frame update of the card table.
#include "table/CCardTable.h"

#include "app/CIniFile.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "progress/CProfileStore.h"
#include "table/CAutoFinisher.h"
#include "table/CBonusCardFrame.h"
#include "table/CBonusClock.h"
#include "table/CBonusLevelScript.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CMoveFinder.h"
#include "table/CRainEffect.h"
#include "table/CScoreKeeper.h"
#include "table/CSpecialActions.h"
#include "table/CTableEffects.h"
#include "table/CTableMouse.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

namespace {
constexpr int kKeySpace = 32;

// Stands in for a missing host: no replay, never busy, nothing recorded or shown.
class CNoHost : public ITableHost {
public:
    static void Delete(ITableHost* host) { delete static_cast<CNoHost*>(host); }
};
}  // namespace

CCardTable::CCardTable(int level, unsigned mode, ITableHost* host)
    : m_pNoHost(host != nullptr ? nullptr : new CNoHost, &CNoHost::Delete),
      m_pInterface(host != nullptr ? host : m_pNoHost.get()), m_nLevel(level), m_nLocation(level / 5), m_nMode(mode)
{
    m_pBackGroup = std::make_unique<CFAnimationGroup>();
    m_pFrontGroup = std::make_unique<CFAnimationGroup>();
    m_pEffects = std::make_unique<CTableEffects>(m_pFrontGroup.get(), g_pResource);
    m_pLevelFile = std::make_unique<CIniFile>("sol_max.ini");
    m_pBonusFrame = std::make_unique<CBonusCardFrame>(this, "GFX/Interface/GENERAL/CARDS/bonus_frame.png");
    m_pCursorHand = std::make_unique<CCursorHand>(this);
    m_pMoveFinder = std::make_unique<CMoveFinder>(this);
    m_pAutoFinisher = std::make_unique<CAutoFinisher>(this);
    m_pActions = std::make_unique<CSpecialActions>(*this);
    m_pMouse = std::make_unique<CTableMouse>(*this);
    m_pBonusClock = std::make_unique<CBonusClock>(level, IsBonusLevelMode(mode));
    m_pBonusScript = std::make_unique<CBonusLevelScript>(*this, *m_pBonusClock);
    LoadSounds();
    m_pScoreKeeper = std::make_unique<CScoreKeeper>(this);
    m_pScoreKeeper->SyncWithProfile();
    m_pScoreKeeper->SetScore(m_pScoreKeeper->GetScore(), false);
    m_pRain = std::make_unique<CRainEffect>();
    // The trophy for bonuses counts those of one level: every new table starts the count again.
    if (g_pProfileStore != nullptr)
        g_pProfileStore->m_current.m_nBonusesUsed = 0;
}

CCardTable::~CCardTable()
{
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
    auto LoadEffect = [e](const char* path) { return CEffectOwner(e, e->EffectLoad(path)); };
    TableSounds& s = m_Sounds;
    s.m_hSndBonusOn = LoadEffect("sfx/sounds/game_mi_on.ogg");
    s.m_hSndBonusOff = LoadEffect("sfx/sounds/game_mi_off.ogg");
    char path[64];
    for (int i = 0; i < 3; ++i) {
        std::snprintf(path, sizeof path, "sfx/sounds/game_cards_deal_%d.ogg", i + 1);
        s.m_hSndDeal[i] = LoadEffect(path);
        std::snprintf(path, sizeof path, "sfx/sounds/game_card_get_%d.ogg", i + 1);
        s.m_hSndCardGet[i] = LoadEffect(path);
        std::snprintf(path, sizeof path, "sfx/sounds/game_card_put_%d.ogg", i + 1);
        s.m_hSndCardPut[i] = LoadEffect(path);
    }
    s.m_hSndHint = LoadEffect("sfx/sounds/game_hint.ogg");
    s.m_hSndCardBack = LoadEffect("sfx/sounds/game_card_back.ogg");
    for (int i = 2; i < 8; ++i) {
        std::snprintf(path, sizeof path, "sfx/sounds/game_combo_x%d.ogg", i);
        s.m_hSndCombo[i] = LoadEffect(path);
    }
    s.m_hSndCardFix = LoadEffect("sfx/sounds/game_card_fix.ogg");
    s.m_hSndCardsDeck = LoadEffect("sfx/sounds/game_cards_deck.ogg");
    s.m_hSndTextMessage = LoadEffect("sfx/sounds/game_text_message.ogg");
    s.m_hSndCardsAdd = LoadEffect("sfx/sounds/game_cards_add.ogg");
    s.m_hSndMultiCard = LoadEffect("sfx/sounds/game_multicard.ogg");
}

void CCardTable::PlayEffect(HEffect effect)
{
    if (effect != 0 && m_engine.Get() != nullptr)
        m_engine.Get()->EffectPlay(effect, m_pInterface->GetEffectVolume(), 0, 1.0f, false);
}

void CCardTable::PlayFixSound()
{
    // Cards landing in the houses together would stack one sound many times over.
    constexpr float kFixSoundGap = 0.2f;
    const float now = GetEngineTime();
    if (m_fLastFixSound >= 0.0f && now >= m_fLastFixSound && now - m_fLastFixSound < kFixSoundGap)
        return;
    m_fLastFixSound = now;
    PlayEffect(m_Sounds.m_hSndCardFix);
}

void CCardTable::StartSwayWave(float seconds)
{
    m_SwayWave.m_fTotal = seconds;
    m_SwayWave.m_nSwings = static_cast<int>(seconds / 0.3f);
}

void CCardTable::PlayRandom(const CEffectOwner (&sounds)[3])
{
    PlayEffect(sounds[std::clamp(RandomInt(0, 2), 0, 2)]);
}

void CCardTable::SetCardSize(int width, int height)
{
    m_CardSize.m_nCardWidth = width;
    m_CardSize.m_nCardHeight = height;
    m_CardSize.m_nCardDiagonal =
        static_cast<int>(std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height));
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
        if ((place->type == kPlaceColumn || place->type == kPlaceHand) && place->v_offset != 0.0f) {
            const CCard* c = cardAt(i);
            shift = c != nullptr ? static_cast<float>(c->ShiftX) : 0.0f;
        }
        if (i == 0)
            continue;
        const CCard* prev = cardAt(i - 1);
        const bool prevUp = prev != nullptr ? prev->IsFaceUp() : true;
        if (!(allUp && prevUp) && place->type != kPlaceHand) {
            sumY += m_Level.nVOffsetHidden * place->k_squeeze * place->v_offset;
            sumX += m_Level.nHOffsetHidden * place->h_offset;
        } else {
            sumY += m_Level.nVOffsetVisible * place->k_squeeze * place->v_offset;
            sumX += m_Level.nHOffsetVisible * place->h_offset;
        }
    }
    const float scale = (place->type == kPlacePop && extraCard != nullptr) ? extraCard->Multiplier : 1.0f;
    outX = static_cast<int>((place->x + place->x_offset + sumX) * scale + shift);
    outY = static_cast<int>(place->y + place->y_offset + sumY);
}

void CCardTable::RotateOffset(int px, int py, float angle, int& x2, int& y2, int shift) const
{
    const float d = static_cast<float>(shift - m_CardSize.m_nCardHeight / 2);
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

void CCardTable::NoteMove(CPlace* from, CPlace* dst)
{
    assert(from != nullptr && dst != nullptr);
    CPlace* handPlace = HandPlace();
    CPlace* handSource = m_pCursorHand != nullptr ? m_pCursorHand->srcPlace : nullptr;
    if (dst != handPlace && dst != handSource) {
        if (m_LastMove.From != handPlace)
            m_LastMove.Card = handPlace != nullptr ? handPlace->GetCard(0) : nullptr;
        m_LastMove.To = dst;
        m_LastMove.From = from == handPlace ? handSource : from;
        dst->LastMove = m_LastMove;
    }
    m_pLastSource = from;
}

TableValues CCardTable::SaveValues() const
{
    TableValues v;
    v.level = m_Level;
    v.gauges = m_Gauges;
    v.scores = m_Scores;
    v.checkMoves = m_bCheckMoves;
    v.lastMove = m_LastMove;
    v.lastSource = m_pLastSource;
    return v;
}

void CCardTable::RestoreValues(const TableValues& v)
{
    m_Level = v.level;
    m_Gauges = v.gauges;
    m_Scores = v.scores;
    m_bCheckMoves = v.checkMoves;
    m_LastMove = v.lastMove;
    m_pLastSource = v.lastSource;
}

int CCardTable::FindPlaceOfType(int type) const
{
    for (int i = 0; i < PlaceCount(); ++i) {
        if (m_Places[static_cast<std::size_t>(i)]->type == type)
            return i;
    }
    return -1;
}

CPlace* CCardTable::FirstPlaceOfType(int type) const
{
    const int i = FindPlaceOfType(type);
    return i >= 0 ? m_Places[static_cast<std::size_t>(i)].get() : nullptr;
}

CPlace* CCardTable::AddPlace(std::unique_ptr<CPlace> place)
{
    m_Places.push_back(std::move(place));
    m_bCheckMoves = true;
    return m_Places.back().get();
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
    if (g_bCheatMode)
        HandleCheatKeys(m_pInterface->GetLastKey());
    m_pRain->Update(dt, false);
    CheckLevelComplete();
    CheckNoMoves(dt);
    if (!m_pInterface->IsBusy()) {
        m_pAutoFinisher->Step(dt);
        if (m_pInterface->GetLastKey() == kKeySpace)
            DealFromKeyboard();
    }
    m_pMouse->SampleMouse();
    assert(HandPlace() != nullptr && "the cursor hand lives as long as the table");
    HandPlace()->x = static_cast<int>(m_pMouse->Sample().m_fMouseX);
    HandPlace()->y = static_cast<int>(m_pMouse->Sample().m_fMouseY);
    if (m_pInterface->IsReplaying())
        m_pEffects->KeepTutorialPlaying();
    m_pBonusClock->Tick(dt);
    if (IsInputAllowed()) {
        if (IsBonusLevelMode(m_nMode)) {
            RunBonusScript(dt);  // a bonus level plays its script instead of the mouse
        } else if (!m_pActions->IsArmed() && !HasTimedPlace()) {
            // The variants' extra rules move cards by themselves while the player could act; only
            // when none fired does the mouse act.
            if (!ApplyRuleActions())
                m_pMouse->HandleMouse();
        } else if (!IsFlying() && !HasTimedPlace()) {
            m_pActions->Update(m_pMouse->IsPressed());
        }
    }
    RemoveExpiredPlaces();
    for (auto& place : m_Places)
        place->Update(dt);
    const bool handRides = UpdateFlights(dt);
    m_pInterface->SetCursorShape(handRides ? 1 : 0);
    m_pBonusFrame->Update(dt);
    m_pCursorHand->Update(dt);
    if (!m_pInterface->IsBusy()) {
        AutoTurnCards();
        if (IsClassicMode(m_nMode))
            m_pInterface->UpdateBonusQuestion();
    }
}

void CCardTable::RunBonusScript(float dt)
{
    if (IsBonusLevelMode(m_nMode))
        m_pBonusScript->Run(dt);
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
        assert(gone != HandPlace() && "the hand's place never runs out of time");
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

void CCardTable::CancelFlightsOf(const std::vector<CCard*>& cards)
{
    for (CCard* card : cards) {
        for (std::size_t k = 0; k < m_MoveCards.size();) {
            // Only flights of cards already in their pile may go: any other card would be lost.
            if (m_MoveCards[k]->card == card && m_MoveCards[k]->insertedEarly) {
                card->InFly = false;
                m_MoveCards.erase(m_MoveCards.begin() + static_cast<std::ptrdiff_t>(k));
            } else {
                ++k;
            }
        }
    }
}

bool CCardTable::UpdateFlights(float dt)
{
    if (m_MoveCards.empty())
        return false;
    // Landing can start no new flight, but index by position in case a host callback does.
    for (std::size_t i = 0; i < m_MoveCards.size(); ++i)
        m_MoveCards[i]->Update(dt);
    const bool handRides = m_pInterface->IsReplaying() && RideReplayHand();
    m_MoveCards.erase(std::remove_if(m_MoveCards.begin(), m_MoveCards.end(),
                                     [](const std::unique_ptr<CCardFlight>& f) { return f->HasLanded(); }),
                      m_MoveCards.end());
    return handRides;
}

// A replayed move shows the hand carrying the card: it follows the first flight, unless that card
// only turns over in its place or comes off the stock.
bool CCardTable::RideReplayHand()
{
    const CCardFlight& first = *m_MoveCards.front();
    if (first.target == first.source || first.source == nullptr || first.source->type == kPlaceDeck)
        return false;
    const CCard& card = *first.card;
    int x = static_cast<int>(card.RenderX_curr), y = static_cast<int>(card.RenderY_curr);
    if (m_pInterface->IsReplayDrag())
        RotateOffset(x, y, card.RenderAngle_curr, x, y, 4);
    m_pInterface->RideReplayHand(static_cast<float>(x), static_cast<float>(y));
    return true;
}
