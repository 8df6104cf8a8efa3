// CCardTable.h: the engine that plays every solitaire variant from the level file.
#pragma once
#include "platform/Engine.h"
#include "platform/EngineRef.h"
#include "table/CPlace.h"
#include "table/LevelValues.h"
#include "table/PlaceDef.h"

#include <memory>
#include <string>
#include <vector>

class CAutoFinisher;
class CBonusCardFrame;
class CBonusLevelScript;
class CCard;
class CCardFlight;
class CCursorHand;
class CDeck;
class CFAnimationGroup;
class CIniFile;
class CMoveFinder;
class CRainEffect;
class CScoreKeeper;
class ITableHost;

// Almost no rule of a variant is written here: what may be picked, dropped, clicked and what wins
// is carried by each place's requirement lists; four variants add a rule named by their places
// (see ApplyRuleActions). The table owns its places, flights, cursor hand, move finder, score
// keeper and automatic finisher; the host (the in-game controller, may be null) is not owned.
// Everything runs on the main thread. Presentation (animations, particles, cascade, dialogs) is
// reached only through the host, so the rules run headless.
class CCardTable {
public:
    static constexpr int kMaxPlaces = 256;

    CCardTable(int level, unsigned mode, ITableHost* host);
    ~CCardTable();
    CCardTable(const CCardTable&) = delete;
    CCardTable& operator=(const CCardTable&) = delete;

    // ---- Level --------------------------------------------------------------------------
    static std::string SectionName(int level, unsigned mode);
    [[nodiscard]] bool LoadLevel();            // false (and one log line) for a level it cannot hold
    // Lays every place's card tokens from the deck (reset first); R is the level's base rank.
    // Skips tokens the pool cannot serve. Marks a bonus card unless replaying or in a bonus level.
    void DealCards(CDeck& deck, int baseRank);
    void SetCardSize(int width, int height);

    // ---- Queries ------------------------------------------------------------------------
    void GetCardPosition(const CPlace* place, int index, const CCard* extraCard, int& x, int& y) const;
    void RotateOffset(int x, int y, float angle, int& x2, int& y2, int shift) const;
    bool IsTopCard(int placeIndex, int cardIndex) const;
    int CountCards() const;
    bool IsFlightTo(const CPlace* place) const;
    bool IsFlightAt(const CPlace* place) const;  // a flight starts from or heads to the place
    bool IsInputAllowed() const;  // every flight already joined its pile and the controller is idle
    bool IsFlying() const { return !m_MoveCards.empty(); }
    bool IsWon() const { return m_bWon; }
    bool HasTimedPlace() const;
    int PlaceCount() const { return static_cast<int>(m_Places.size()); }
    CPlace* GetPlace(int index) const;
    int IndexOf(const CPlace* place) const;    // -1 when not a place of this table
    bool IsHolding() const;                    // the cursor hand holds cards
    CPlace* HandPlace() const;
    CCursorHand* GetCursorHand() const { return m_pCursorHand.get(); }
    CMoveFinder* GetMoveFinder() const { return m_pMoveFinder.get(); }
    CAutoFinisher* GetAutoFinisher() const { return m_pAutoFinisher.get(); }
    CScoreKeeper* GetScoreKeeper() const { return m_pScoreKeeper.get(); }
    ITableHost* GetHost() const { return m_pInterface; }
    bool IsReplaying() const;
    unsigned GetMode() const { return m_nMode; }
    int GetLevel() const { return m_nLevel; }
    const std::vector<std::unique_ptr<CCardFlight>>& Flights() const { return m_MoveCards; }

    // ---- Play ---------------------------------------------------------------------------
    void Update(float dt);
    void ClickPlace(int placeIndex, int cardIndex, bool automatic);
    void CheckLevelComplete();
    void CheckNoMoves(float dt);
    void AutoTurnCards();
    void DumpCards();
    CCardFlight* AddFlight(std::unique_ptr<CCardFlight> flight);  // takes ownership, returns it
    bool PassesWinConditions() const;
    void PlayEffect(HEffect effect);
    int RandomInt(int lo, int hi) const { return m_engine.RandomInt(lo, hi); }
    float GetEngineTime() const { return m_engine.Get() != nullptr ? m_engine.Get()->GetTime() : 0.0f; }

    // ---- Rules named by places, the extra deck pass, the bonus grade ----------------------
    bool ApplyRuleActions();                   // true when a "Spider", "Pyramid", "Cruel" or "Fifteens" rule fired
    void GatherCruel(CPlace* place);           // the click part of "Cruel"
    int SeededRandom(int lo, int hi) const;    // depends only on the cards on the table
    bool ApplyDeckAction();                    // one more pass through the deck (special action 24)
    void GradeBonusLevel();                    // m_nGoalsMet and m_nGrade from the bonus script's results

    // ---- Mouse queries (at m_fMouseX, m_fMouseY) ------------------------------------------
    // The place and card under the mouse; card -1 on a place's empty rectangle. False (outputs
    // untouched) when no place is hit. fromTop searches the last drawn place first.
    bool HitTest(int& placeIndex, int& cardIndex, int& dx, int& dy, bool fromTop) const;
    // The place whose top card (or empty rectangle) the held cards touch, optionally only one
    // that accepts them; nearest picks the touched place whose anchor is closest to the grip.
    bool FindDropPlace(int& placeIndex, int& cardIndex, int& dx, int& dy, bool checkRules, bool nearest) const;
    int FindPlaceOfType(int type) const;       // first place of that type, -1 when none
    CPlace* AddPlace(std::unique_ptr<CPlace> place);  // appended to the places; returns it

    // ---- Mouse, drawing, win cascade ---------------------------------------------------------
    void SampleMouse(float& x, float& y, int& event);  // this frame's mouse; no button during a replay or help
    void HandleMouse();                        // one frame of pick, drag, drop, click and double click
    void Render();                             // places, flights, cascade, then the held cards on top
    void StartCascade(int mode, int limit, int sparkles, float seconds);  // thrown from the cards' poses
    void StopCascade();
    CRainEffect* GetRain() const { return m_pRain.get(); }
    CBonusCardFrame* GetBonusFrame() const { return m_pBonusFrame.get(); }
    CFAnimationGroup* GetBackGroup() const { return m_pBackGroup.get(); }
    CFAnimationGroup* GetFrontGroup() const { return m_pFrontGroup.get(); }

    // ---- Special actions (armed bonus codes 0..24) ---------------------------------------
    void SelectActionTargets();                // marks (Shadow) the cards the armed action would take
    bool ApplyBonusAction();                   // carries the armed action out; true when it acted

    // ---- Bonus level script ------------------------------------------------------------------
    void SetPhase(int phase, float seconds);   // seconds -1.0: the phase's own time
    void RunBonusScript(float dt);
    CBonusLevelScript* GetBonusScript() const { return m_pBonusScript.get(); }

    // ---- Tutorial replay: the table is saved before and given back after -------------------
    void StartLearn();
    void StopLearn();
    void SavePlaces();
    void RestorePlaces();
    void ClearSavedPlaces();
    int SavedPlaceCount() const { return static_cast<int>(m_SavedPlaces.size()); }

    // ---- State other parts of the table read and write ------------------------------------
    int m_nBonusAction = -1;
    int m_nChainAction = -1;
    int m_nNoMovesCheck = -1;
    LevelValues m_Level;
    LevelValues m_SavedLevel;
    bool m_bLevelLoaded = false;
    std::vector<PlaceDef> m_PlaceDefs;
    int m_nBarLength = 0, m_nBarBonusLength = 0, m_nBarUndoLength = 0, m_nBarResultTurn = 0,
        m_nBarHintLength = 0, m_nBarCombo3 = 0, m_nBarCombo2 = 0, m_nBarCombo1 = 0;
    int m_nScoreMaxCombo = 0, m_nScoreUndo = 0, m_nScoreBonus[5] = {0, 0, 0, 0, 0};
    int m_nScorePlaceToHouse = 0, m_nScorePlaceToPlace = 0, m_nScoreOpenCard = 0,
        m_nScorePopdeckToPlace = 0, m_nScorePopdeckToHouse = 0, m_nScoreCombo3 = 0,
        m_nScoreCombo2 = 0, m_nScoreCombo1 = 0, m_nScoreLevelInc = 0;
    int m_nCardWidth = 0, m_nCardHeight = 0, m_nCardDiagonal = 0;
    bool m_bCheckMoves = true;
    PlaceMove m_LastMove;                      // the last move through MoveCard; cleared by a card click
    CPlace* m_pLastSource = nullptr;           // the place the last card left
    int m_nCombos = 0, m_nComboRun = 0, m_nComboBest = 0;
    int m_nPhase = -1;
    bool m_bWon = false;
    float m_fLevelTime = 0;
    float m_fPhaseTimer = 0;                   // bonus phase countdown; 0 never elapses
    bool m_bPhaseElapsed = false;
    float m_fMouseX = 0, m_fMouseY = 0;        // mouse position of this frame (800x600 view)
    int m_nMouseEvent = 0;                     // 0 none, 1 released, 2 pressed, 3 double click
    int m_nButtonEvent = 0, m_nRawButtonEvent = 0, m_nPrevButtonEvent = 0;
    int m_nLastMouseEvent = 0;                 // the last non-zero event the mouse handling saw
    bool m_bRightRelease = false;              // the right button was released this frame
    bool m_bDblRequest = false;                // a release over its own place asks for a double click
    bool m_bDblPending = false;                // a double click waits for the mouse handling
    int m_nGoalCount[3] = {-1, -1, -1};        // bonus attempts: 1 won, 0 lost, -1 not played
    int m_nGoal = -1;                          // bonus value measured (seconds), -1: played in attempts
    int m_nGoalsMet = 0;
    int m_nGrade = 0;                          // 4 gold, 3 silver, 2 bronze, 0 none

    HEffect m_hSndBonusOn = 0, m_hSndBonusOff = 0, m_hSndDeal[3] = {0, 0, 0}, m_hSndHint = 0,
            m_hSndCardBack = 0, m_hSndCombo[8] = {0, 0, 0, 0, 0, 0, 0, 0}, m_hSndCardFix = 0,
            m_hSndCardGet[3] = {0, 0, 0}, m_hSndCardPut[3] = {0, 0, 0}, m_hSndCardsDeck = 0,
            m_hSndTextMessage = 0, m_hSndCardsAdd = 0, m_hSndMultiCard = 0;

private:
    void LoadSounds();
    void FreeSounds();
    void ReadLevelValues(CIniFile& file);
    [[nodiscard]] bool CheckLevelLimits(const std::string& section);
    void ReadPlaceDef(CIniFile& file, int i, PlaceDef& def);
    void BuildPlaces();
    void DealToken(CDeck& deck, CPlace& place, const std::string& token);
    void MarkBonusCard();
    void ClickCard(int placeIndex, int cardIndex, bool automatic);
    void ClickEmpty(int placeIndex, bool automatic);
    int DealToType(CPlace& from, int targetType, int perPlace, float time, bool snapshot);
    void PlayDealSound(int dealt);
    void RemoveExpiredPlaces();
    void UpdateFlights(float dt);
    bool NothingToDecide() const;
    bool ApplySpider(int placeIndex);
    bool ApplyPyramid(int placeIndex);
    bool ApplyCruel(int placeIndex);
    bool ApplyFifteens(int placeIndex);
    void RecordRuleMove(int from, int to, int card, int flag);
    CPlace* FirstPlaceOfType(int type) const;
    void FinishBonusAction(int code);
    void PressCard();
    CCard* HoverCard();
    bool DoubleClickCard(int& event);          // true when the card went home
    void ReleaseMouse();
    void DropHeldCards(CPlace* target);
    void CancelFlightsOf(const std::vector<CCard*>& cards);
    void SetMouseShape(int shape);
    void PlayRandom(const HEffect (&sounds)[3]);
    void RenderFlightLayer(int layer, bool reverse);
    void FillCascade();
    void StartWinCascade();                    // the set-up the host chooses for this win

    std::vector<std::unique_ptr<CPlace>> m_Places;
    std::vector<std::unique_ptr<CCardFlight>> m_MoveCards;
    std::unique_ptr<CCursorHand> m_pCursorHand;
    std::unique_ptr<CMoveFinder> m_pMoveFinder;
    std::unique_ptr<CAutoFinisher> m_pAutoFinisher;
    std::unique_ptr<CScoreKeeper> m_pScoreKeeper;
    std::unique_ptr<CIniFile> m_pLevelFile;
    std::unique_ptr<CFAnimationGroup> m_pBackGroup;
    std::unique_ptr<CFAnimationGroup> m_pFrontGroup;
    std::unique_ptr<CRainEffect> m_pRain;
    std::unique_ptr<CBonusCardFrame> m_pBonusFrame;
    std::unique_ptr<CBonusLevelScript> m_pBonusScript;
    std::vector<std::unique_ptr<CPlace>> m_SavedPlaces;  // the table before a tutorial replay
    ITableHost* m_pInterface;
    int m_nLevel;
    int m_nLocation;
    unsigned m_nMode;
    CEngineRef m_engine;
};
