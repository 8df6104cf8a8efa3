// CCardTable.h: the engine that plays every solitaire variant from the level file.
#pragma once
#include "platform/Engine.h"
#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"
#include "table/CPlace.h"
#include "table/GameMode.h"
#include "table/LevelValues.h"
#include "table/PlaceDef.h"

#include <memory>
#include <string>
#include <vector>

class CAutoFinisher;
class CBonusCardFrame;
class CBonusClock;
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
class CSpecialActions;
class CTableEffects;
class CTableMouse;
class ITableHost;
namespace level_check {
class SectionReader;
}

// The card size in pixels: the card sprite's times the level's zoom, and its diagonal.
struct CardSize {
    int m_nCardWidth = 0, m_nCardHeight = 0, m_nCardDiagonal = 0;
};

// The sounds of the table, freed with it; the combo sounds exist for multipliers 2..7 only.
struct TableSounds {
    CEffectOwner m_hSndBonusOn, m_hSndBonusOff, m_hSndDeal[3], m_hSndHint, m_hSndCardBack, m_hSndCombo[8],
        m_hSndCardFix, m_hSndCardGet[3], m_hSndCardPut[3], m_hSndCardsDeck, m_hSndTextMessage, m_hSndCardsAdd,
        m_hSndMultiCard;
};

// One sway runs at a time: all places of the table share its length and its number of swings.
struct SwayWave {
    float m_fTotal = 0;
    int m_nSwings = 0;
};

// What an undo puts back into the table besides its places: the level's numbers, whether the
// move finder must search again and the last move.
struct TableValues {
    LevelValues level;
    GaugeValues gauges;
    ScoreValues scores;
    bool checkMoves = true;
    PlaceMove lastMove;
    CPlace* lastSource = nullptr;
};

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
    [[nodiscard]] bool LoadLevel();  // false (and one log line): no such section, or more than the table holds
    // Whether the loaded level can be played and won: false (and one log line) when it did not
    // load, has no places, or no place has a win condition. Such a level is never won.
    [[nodiscard]] bool CheckPlayable();
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
    CSpecialActions* GetSpecialActions() const { return m_pActions.get(); }
    CTableMouse* GetMouse() const { return m_pMouse.get(); }
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
    void RequestMoveSearch() { m_bCheckMoves = true; }  // the table changed: the move finder searches again
    void AutoTurnCards();
    void DumpCards();
    CCardFlight* AddFlight(std::unique_ptr<CCardFlight> flight);  // takes ownership, returns it
    bool PassesWinConditions() const;
    void PlayEffect(HEffect effect);
    void PlayEffect(const CEffectOwner& effect) { PlayEffect(effect.Get()); }
    void PlayRandom(const CEffectOwner (&sounds)[3]);  // one of the three, at random
    void PlayFixSound();                       // a card landed in a house: at most once every 0.2 s
    int RandomInt(int lo, int hi) const { return m_engine.RandomInt(lo, hi); }
    float GetEngineTime() const { return m_engine.Get() != nullptr ? m_engine.Get()->GetTime() : 0.0f; }

    // ---- Rules named by places, the extra deck pass, the bonus grade ----------------------
    bool ApplyRuleActions();                   // true when a "Spider", "Pyramid", "Cruel" or "Fifteens" rule fired
    void GatherCruel(CPlace* place);           // the click part of "Cruel"
    int SeededRandom(int lo, int hi) const;    // depends only on the cards on the table

    // ---- Places by type, flights of cards -------------------------------------------------------
    int FindPlaceOfType(int type) const;       // first place of that type, -1 when none
    CPlace* FirstPlaceOfType(int type) const;  // null when none
    CPlace* AddPlace(std::unique_ptr<CPlace> place);  // appended to the places; returns it
    // Flights of these cards that already put them into their pile go; the cards stay where they are.
    void CancelFlightsOf(const std::vector<CCard*>& cards);

    // ---- Drawing, win cascade ------------------------------------------------------------------
    void Render();                             // places, flights, cascade, then the held cards on top
    void StartCascade(int mode, int limit, int sparkles, float seconds);  // thrown from the cards' poses
    void StopCascade();
    // Lights every place of the type (type 0 also lights type 6), after putting out every fire.
    void ShowPlaceFire(int type);
    float GetPlaceEffectDuration() const;      // the first place's fire animation, else 2 seconds
    CRainEffect* GetRain() const { return m_pRain.get(); }
    CBonusCardFrame* GetBonusFrame() const { return m_pBonusFrame.get(); }
    CFAnimationGroup* GetBackGroup() const { return m_pBackGroup.get(); }
    CFAnimationGroup* GetFrontGroup() const { return m_pFrontGroup.get(); }
    CTableEffects* GetEffects() const { return m_pEffects.get(); }  // combo caption, tutorial banner, jingle

    // ---- Bonus level script ------------------------------------------------------------------
    void RunBonusScript(float dt);             // one frame of a bonus level's script; nothing in other levels
    CBonusLevelScript* GetBonusScript() const { return m_pBonusScript.get(); }
    CBonusClock* GetBonusClock() const { return m_pBonusClock.get(); }

    // ---- Tutorial replay: the table is saved before and given back after -------------------
    void StartLearn();
    void StopLearn();
    void SavePlaces();
    void RestorePlaces();
    void ClearSavedPlaces();
    int SavedPlaceCount() const { return static_cast<int>(m_SavedPlaces.size()); }

    // ---- The level's values, the card size, the sounds, the last move ----------------------
    const LevelValues& Level() const { return m_Level; }
    const GaugeValues& Gauges() const { return m_Gauges; }
    const ScoreValues& Scores() const { return m_Scores; }
    const CardSize& GetCardSize() const { return m_CardSize; }
    const TableSounds& Sounds() const { return m_Sounds; }
    TableValues SaveValues() const;
    void RestoreValues(const TableValues& values);  // an undo puts them back
    bool NeedsMoveSearch() const { return m_bCheckMoves; }
    void MoveSearchDone() { m_bCheckMoves = false; }
    const PlaceMove& LastMove() const { return m_LastMove; }
    CPlace* LastSource() const { return m_pLastSource; }
    const SwayWave& GetSwayWave() const { return m_SwayWave; }
    void StartSwayWave(float seconds);         // a place's sway begins: it sets the wave for all
    // A card leaves `from` for `dst`: the last move and, unless the move only serves the
    // cursor hand, dst's own last move are noted. The hand's place counts as its source place.
    void NoteMove(CPlace* from, CPlace* dst);

private:
    void LoadSounds();
    void ReadLevelValues(level_check::SectionReader& in);
    [[nodiscard]] bool CheckLevelLimits(const std::string& section);
    void ReadPlaceDef(level_check::SectionReader& in, int i, PlaceDef& def);
    void CheckPlaceReferences(const std::string& section);  // logs what names no place or no card
    void BuildPlaces();
    void DealToken(CDeck& deck, CPlace& place, const std::string& token);
    void MarkBonusCard();
    void ClickCard(int placeIndex, int cardIndex, bool automatic);
    void ClickEmpty(int placeIndex, bool automatic);
    int DealToType(CPlace& from, int targetType, int perPlace, float time, bool snapshot);
    void PlayDealSound(int dealt);
    void RemoveExpiredPlaces();
    bool UpdateFlights(float dt);              // true when the replay hand rode on a flying card
    bool RideReplayHand();
    void HandleCheatKeys(int key);
    void DealFromKeyboard();
    bool NothingToDecide() const;
    bool ApplySpider(int placeIndex);
    bool ApplyPyramid(int placeIndex);
    bool ApplyCruel(int placeIndex);
    bool ApplyFifteens(int placeIndex);
    void RecordRuleMove(int from, int to, int card, int flag);
    void RenderFlightLayer(int layer, bool reverse);
    void FillCascade();
    void StartWinCascade();                    // the set-up the host chooses for this win
    void GoldIndexes(int& story, int& bonus, int& hardcore);  // the level just won, for the all-gold test

    CEngineRef m_engine;                       // first: every sound and helper goes before it
    // Stands in for a missing host; early, so every helper may still call the host while it goes.
    std::unique_ptr<ITableHost, void (*)(ITableHost*)> m_pNoHost;
    enum ENoMovesCheck : int { kCheckUndecided = -1, kCheckOff = 0, kCheckOn = 1 };  // off: a "Cruel" level
    int m_nNoMovesCheck = kCheckUndecided;
    LevelValues m_Level;
    LevelValues m_SavedLevel;
    bool m_bLevelLoaded = false;
    bool m_bUnplayable = false;  // the level did not load or cannot be won: it never is
    std::vector<PlaceDef> m_PlaceDefs;
    GaugeValues m_Gauges;
    ScoreValues m_Scores;
    CardSize m_CardSize;
    TableSounds m_Sounds;
    bool m_bCheckMoves = true;
    PlaceMove m_LastMove;                      // the last move through MoveCard; cleared by a card click
    CPlace* m_pLastSource = nullptr;           // the place the last card left
    bool m_bWon = false;
    float m_fLastFixSound = -1.0f;             // engine time of the last house-landing sound
    SwayWave m_SwayWave;
    static int s_nDumpCount;                   // numbers the dumps of one run of the program
    std::vector<std::unique_ptr<CPlace>> m_Places;
    std::vector<std::unique_ptr<CCardFlight>> m_MoveCards;
    std::unique_ptr<CCursorHand> m_pCursorHand;
    std::unique_ptr<CMoveFinder> m_pMoveFinder;
    std::unique_ptr<CAutoFinisher> m_pAutoFinisher;
    std::unique_ptr<CScoreKeeper> m_pScoreKeeper;
    std::unique_ptr<CSpecialActions> m_pActions;
    std::unique_ptr<CTableMouse> m_pMouse;
    std::unique_ptr<CIniFile> m_pLevelFile;
    std::unique_ptr<CFAnimationGroup> m_pBackGroup;
    std::unique_ptr<CFAnimationGroup> m_pFrontGroup;
    std::unique_ptr<CTableEffects> m_pEffects;  // after the front group: its instances leave the group first
    std::unique_ptr<CRainEffect> m_pRain;
    std::unique_ptr<CBonusCardFrame> m_pBonusFrame;
    std::unique_ptr<CBonusClock> m_pBonusClock;
    std::unique_ptr<CBonusLevelScript> m_pBonusScript;
    std::vector<std::unique_ptr<CPlace>> m_SavedPlaces;  // the table before a tutorial replay
    ITableHost* m_pInterface;
    int m_nLevel;
    int m_nLocation;
    unsigned m_nMode;
};
