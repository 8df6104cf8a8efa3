// CInterface.h: the controller of one game at the card table: table, deck, panel, gauges, helpers.
#pragma once
#include "platform/Engine.h"
#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"
#include "table/CGamePanel.h"
#include "table/GameMode.h"
#include "table/IGameController.h"
#include "table/ITableHost.h"

#include <memory>
#include <string>
#include <vector>

class CCardTable;
class CCursorHand;
class CDeck;
class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFFont;
class CFFrameImage;
class CFObject;
class CFObjectController;
class CFlyingEffects;
class CHelpDesk;
class CManaBar;
class CMoveIndicator;
class CParticleManager;
class CPlace;
class CSprite;
class CTracker;
class CUndoHistory;
struct MoveRecord;
struct PlayerRecord;

// Seconds drawn at random between lo and hi.
struct SecondsRange {
    float lo = 0, hi = 0;
};

// Flying effects spread evenly along the border of a rectangle turned about its centre; with a
// radius they then fly on to a circle about (cx, cy). A few of them may be of a special kind with
// times of their own.
struct FrameEffects {
    int count = 16;                            // along the whole border
    int special = 0;                           // how many of them are special
    float scale = 1.0f, scaleSpecial = 1.0f;   // lifetime factors
    SecondsRange life, delay, delaySpecial, flight, flightSpecial, hold, holdSpecial;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float angle = 0;
    int cx = 0, cy = 0;
    int radius = -1;                           // below 0: the effects stay on the border
    bool left = true, right = true, top = true, bottom = true;  // the sides that get effects
    int tag = 0;
};

// The game screen makes one per played level. It owns the table (which owns its places, flights
// and cursor hand), the deck that owns every card, the tracker, undo history, help desk, mana
// gauges, move indicator, the panel with its buttons, the bonus bar, the pictures and the
// interface's particle effects. The level is dealt on the first update, not in the constructor.
// Popups (dialogs, menus, result screens) are made through game_dialogs and may not exist: the
// game then goes on without them. Everything runs on the main thread.
class CInterface : public ITableHost, public IGameController {
public:
    static constexpr int kBonusSlots = CGamePanel::kBonusSlots;
    static constexpr int kHintEffectLimit = 76;  // running hint sparkles that keep the hint button off

    // One planned step of the dealing animation: a card flies from `source` to `place`.
    struct DealStep {
        int place = 0;
        int index = 0;
        int source = 0;
        int unused = -1;
        bool faceUp = false;
    };

    // The replay of a recorded game, and the cursor that shows it.
    struct Replay {
        bool active = false;
        float stepTimer = 1.0f;
        float x = 0, fromX = 0, toX = 0, y = 0, fromY = 0, toY = 0;
        float moveLeft = 0, moveTime = 0.5f;
        bool isDrag = false, wasDrag = false;
    };

    CInterface(int level, int mode, int extra, bool withUndo);
    ~CInterface() override;
    CInterface(const CInterface&) = delete;
    CInterface& operator=(const CInterface&) = delete;

    // ---- Cursor, information windows ----------------------------------------------------------
    void SetCursorShape(int shape) override;
    bool IsRelaxHovered() const { return m_pPanel->IsRelaxHovered(); }
    void SetInfoStep(int step, float delay);
    bool RequestInfoWindow(int kind, float delay, int step) override;
    int CountEffects() const;

    // ---- Level start and restart ----------------------------------------------------------------
    void MakeCards();
    void StartLevel();
    bool IsDealing() const;
    void UpdateDeal(float dt);
    void Restart();
    void ApplyBaseRanks();
    void BuildDealAnimation();

    // ---- Frame ------------------------------------------------------------------------------------
    void Update(float dt);
    void Render();

    // ---- Panel and bonus bar --------------------------------------------------------------------------
    void EnablePanelButtons();
    void DisablePanelButtons();
    void SetDealHighlight(bool on);
    void EnableBonuses(bool on);
    void DisarmBonuses();
    void ArmBonus(int i);
    bool IsBonusUsable(int i) const;
    // Returns the longest delay + hold + flight of the effects that fly, 0 when none does.
    float SpawnFrameEffects(CFlyingEffects* effects, const FrameEffects& frame);
    // The handlers of the panel and bonus buttons (state 1: the left button).
    void HintClicked(CFObject* sender, int state);
    void MenuClicked(CFObject* sender, int state);
    void UndoClicked(CFObject* sender, int state);
    void DealClicked(CFObject* sender, int state);
    void RelaxClicked(CFObject* sender, int state);
    void BonusClicked(int i, int state);
    void BonusClicked1(CFObject*, int state) { BonusClicked(0, state); }
    void BonusClicked2(CFObject*, int state) { BonusClicked(1, state); }
    void BonusClicked3(CFObject*, int state) { BonusClicked(2, state); }
    void BonusClicked4(CFObject*, int state) { BonusClicked(3, state); }
    void BonusClicked5(CFObject*, int state) { BonusClicked(4, state); }

    // ---- Queries --------------------------------------------------------------------------------------
    CCardTable* GetTable() const override { return table.get(); }
    unsigned GetMode() const override { return static_cast<unsigned>(mode); }
    int GetLevelNumber() const { return levelNumber; }
    int GetLevelSection() const { return levelSection; }
    int GetPanelState() const { return m_pPanel->GetState(); }
    int GetInfoStep() const { return infoStep; }
    int GetInfoKind() const { return infoKind; }
    int GetCursorShape() const { return cursorShape; }
    bool IsStartPending() const { return startPending; }
    bool IsRedealAsked() const { return redealAsked; }
    bool IsRedealDialogOpen() const { return redealDialogOpen; }
    float GetAutoHintLeft() const { return autohintLeft; }
    float GetDealStep() const { return dealStep; }
    int GetBonusDown(int i) const { return m_pPanel->GetBonusDown(i); }
    const std::string& GetBackName() const { return backName; }
    CDeck* GetDeck() const { return dealDeck.get(); }
    CTracker* GetTracker() const { return tracker.get(); }
    CUndoHistory* GetUndo() const { return undo.get(); }
    CHelpDesk* GetHelpDesk() const { return helpDesk.get(); }
    CManaBar* GetManaBar() const { return manaBar.get(); }
    CMoveIndicator* GetMoveIndicator() const { return moveIndicator.get(); }
    CFButton* GetBonusButton(int i) const { return m_pPanel->GetBonusButton(i); }
    CFFrameImage* GetBonusFrame(int i) const { return m_pPanel->GetBonusFrame(i); }
    CFButton* GetHintButton() const { return m_pPanel->GetHintButton(); }
    CFButton* GetMenuButton() const { return m_pPanel->GetMenuButton(); }
    CFButton* GetUndoButton() const { return m_pPanel->GetUndoButton(); }
    CFButton* GetDealButton() const { return m_pPanel->GetDealButton(); }
    CFButton* GetRelaxButton() const { return m_pPanel->GetRelaxButton(); }
    CFObject* GetInputShield() const { return inputShield.get(); }
    CFlyingEffects* GetHintFlight() const { return hintFlight.get(); }
    CFlyingEffects* GetMouseMove() const { return mouseMove.get(); }
    CFlyingEffects* GetBonusReady(int i) const { return i >= 0 && i < kBonusSlots ? bonusReady[i].get() : nullptr; }
    CFlyingEffects* GetManaSparkles() const { return bonusFromCard.get(); }
    CFlyingEffects* GetHouseSparkles() const { return cardFix.get(); }
    CFAnimationInstance* GetPanel() const { return m_pPanel->GetPicture(); }
    CGamePanel* GetGamePanel() const { return m_pPanel.get(); }
    CFAnimationInstance* GetBackground() const { return background.get(); }
    void ReloadBackground(bool highDetail);  // the options changed the detail
    CFAnimationInstance* GetTablePicture() const { return tablePicture.get(); }
    CSprite* GetCardBack() const { return cardBack; }
    void SetCardBack(CSprite* back) { cardBack = back; }  // the in-game menus' card set; cards follow
    const Replay& GetReplay() const { return replay; }
    int GetStatisticsShown() const { return m_nStatisticsShown; }

    // ---- ITableHost ---------------------------------------------------------------------------------
    bool IsReplaying() const override { return replay.active; }
    bool IsBusy() const override;
    bool HasPendingItems() const override { return !dealQueue.empty(); }
    bool IsRestartPending() const override { return redealAsked || startPending; }
    int GetLastKey() const override { return lastKey; }
    int GetEffectVolume() const override;
    bool BonusesSwitchedOff() const override;
    void RecordMove(int from, int to, int card, int automatic, int flag) override;
    void RecordDeal(int rank, int suit) override;
    bool NextDeal(int& rank, int& suit) override;
    void RequestUndoSnapshot() override;
    void RestartAutoHint() override { autohintLeft = autohintFirst; }
    int AddMana(int amount) override;
    bool IsBonusButtonEnabled(int gauge) const override;
    void OnGaugeReady(int gauge) override;
    void SetBonusButtonReady(int gauge, bool ready) override;
    bool IsUndoEnabled() const override;
    void SetUndoEnabled(bool enabled) override;
    void AddSharedEffect(float x, float y, float lifetime) override;
    void PlayHelpHint(int kind, float seconds) override;
    void ShowComboMessage(int category, int chain) override;
    void ShowRulesText() override;
    bool NoMovesRequested() const override;
    void TellNoMoves(int kind) override;
    void GlowRulesButton(int kind, float seconds) override;
    bool IsHelpWindowShown() const override;
    void StopHintEffects() override;
    void KillMouseMoveEffects() override;
    void MoveCardTrail(int tag, float dx, float dy, float dangle, float cx, float cy) override;
    void RenderParticles() override;
    bool IsHighDetail() const override;
    CSprite* GetShadowSprite(int size) const override;
    void SpawnFrameSparkles(CFlyingEffects* sparkles, float x, float y, float hw, float hh, float angle,
                            int secondKind) override;
    void SpawnPickSparkles(int x1, int y1, int x2, int y2, float angle, int count, bool left, bool right, bool top,
                           bool bottom, int tag) override;
    void OnTakenCardsDropped() override;
    void CountBonusUse() override;
    void ReleaseBonusButtons() override { DisarmBonuses(); }
    void SpendBonusSlot(int slot) override;
    void SetStartPending() override { startPending = true; }
    void UpdateBonusQuestion() override;
    bool LoadLearnFile(const std::string& path) override;
    bool BeginReplay(int& from, int& card) override;
    void AimReplayHand(float x, float y, bool dragging) override;
    void EndReplay() override;
    void ReapplyPlaceSetup() override { ApplyBaseRanks(); }
    bool IsReplayDrag() const override { return replay.isDrag; }
    void RideReplayHand(float x, float y) override;
    bool SaveRecording(const std::string& path) override;
    void ClearLastKey() override { lastKey = 0; }
    // A card landed: its combo caption, its mana flying to the gauges, its sparkles in a house.
    void OnCardArrived(CCard* card, CPlace* target, const LandingScore& landing) override;
    int ChooseCascade(int story, int bonus, int hardcore) override;
    void OnLevelWon() override;

    // ---- IGameController ------------------------------------------------------------------------------
    bool IsModal() const override { return infoStep != kInfoIdle; }
    bool IsPanelPlaying() const override;
    bool IsLayingOut() const override { return startPending || IsDealing(); }
    bool InfoWindowsWait() const override;
    bool IsHintDeferred() const override { return rulesShown; }
    void SetHintDeferred(bool deferred) override { rulesShown = deferred; }
    void SetAutoHintTimer(float seconds) override { autohintLeft = seconds; }
    float GetAutoHintDelay() const override { return autohintFirst; }
    void ShowHint() override;
    void StartLearn() override;
    float ShowPlaceFire(int type) override;

    // Inverted by the in-game menus when the player switches the table view.
    bool showSoundPending = false;

private:
    static PlayerRecord* Player();             // null without a profile store
    bool IsClassic() const { return IsClassicMode(mode); }
    bool IsBonusLevel() const { return IsBonusLevelMode(mode); }
    bool AnyBonusReady() const;                // a full gauge's bonus button can be clicked
    int RandomInt(int lo, int hi) const { return m_engine.RandomInt(lo, hi); }
    float RandomFloat(float lo, float hi) const;
    void PlaySound(HEffect sound) const;
    void PlaySound(const CEffectOwner& sound) const { PlaySound(sound.Get()); }
    std::string GameKey() const;               // "S3", "C0H", "S1B": the trace record of the game
    const char* MedalName() const;

    // Construction steps.
    void MakeLayers();
    void MakePictures();
    void MakeEffects();
    void BuildPanel();
    void BuildBonusBar();
    void DestroyPanel();
    bool MakeCard(int rank, int suit);
    void MakeBonusLevelCards(int deck);

    // Frame steps.
    void HandleRequests();
    void ShowTableView();
    void ReadKeys(float dt);
    void UpdateLayers(float dt);
    void UpdateAutoHint(float dt);
    void StopShowsOnInput();
    void UpdateReplayEnd();
    void UpdateGame(float dt);
    void HandleKeys();
    void UpdatePanel();
    void UpdateInfoWindows(float dt);
    void UpdateBrokenLevel();  // its window, then back to where the level was opened
    void UpdateReplay(float dt);
    void UpdateEffects(float dt);
    void UpdateReplayCursor(float dt);
    void CheckWonLevel();
    void WatchForFreedTable();
    void ShowInfoWindow(int kind);
    bool RulesSeen() const;                    // the first rules window of this table was shown
    void RequestInfoWindows(bool rulesSeen);
    void GiveBackInfoWindow();                 // a due window not shown is asked for again later
    void RunHint();
    void HintPosition(const CPlace& place, int index, int& x, int& y) const;
    void FlyHintFrame(const MoveRecord& move, const CPlace& source, const CPlace& target);
    void GhostHintCards(const MoveRecord& move, CPlace& source, CPlace& target);
    void StopReplay();
    bool ReplayMoveFits(int from, int to, int card) const;
    void FlyMana(const CCard& card, const FrameEffects& rect, int points, int gauge);
    void SparkHouseLanding(const FrameEffects& rect);

    CEngineRef m_engine;                       // first: the sounds go before it
    std::unique_ptr<CFObject> inputShield;
    std::unique_ptr<CHelpDesk> helpDesk;
    std::unique_ptr<CManaBar> manaBar;
    std::unique_ptr<CParticleManager> particles;  // before the effects: they draw into it
    std::unique_ptr<CFlyingEffects> hintFlight, bonusFromCard, bonusEnable, bonusClick;
    std::unique_ptr<CFlyingEffects> bonusReady[kBonusSlots];
    std::unique_ptr<CFlyingEffects> cardFix, comboEffect, mouseMove, frameEffect;
    std::unique_ptr<CFObjectController> controller;
    std::unique_ptr<CDeck> dealDeck;           // before the table: the table's places point to its cards
    std::unique_ptr<CCardTable> table;
    std::unique_ptr<CUndoHistory> undo;
    int levelNumber;
    int levelSection = 0;
    int mode;
    int location = 0;
    CCursorHand* hand = nullptr;
    Replay replay;
    CSprite* cardBack = nullptr;
    std::unique_ptr<CMoveIndicator> moveIndicator;
    float autohintLeft = 0, autohintFirst = 0, autohintRepeat = 0;
    std::unique_ptr<CTracker> tracker;
    CEffectOwner sndBonusActive, sndBonusSelect, sndBonusTake, sndInterfaceShow;
    CSprite* shadowSmall = nullptr;
    CSprite* shadowMid = nullptr;
    CSprite* shadowBig = nullptr;
    std::vector<DealStep> dealQueue;           // a stack: the back is the top
    float dealTimer = 0;
    int lastKey = 0;
    std::unique_ptr<CFAnimationGroup> backgroundLayer, shadowLayer, cursorLayer, panelLayer;
    std::unique_ptr<CGamePanel> m_pPanel;      // the panel picture, its buttons and the bonus bar
    bool redealDialogOpen = false;
    bool redealAsked = false;
    bool startPending = false;
    enum EBrokenStep : int { kBrokenNone, kBrokenTell, kBrokenTold, kBrokenLeft };
    int brokenStep = kBrokenNone;
    bool dealSoundPending = false;
    bool rulesShown = false;
    std::string backName, backLiteName;
    std::unique_ptr<CFAnimationInstance> background;
    std::unique_ptr<CFAnimationInstance> cursor;
    int cursorShape = -1;
    CSprite* bonusFill = nullptr;
    CFFont* font = nullptr;
    float cardWidth = 0, cardHeight = 0;
    std::vector<int> dealSources;
    float dealStep = 0.1f;
    int infoStep = kInfoIdle;  // an EInfoStep
    int infoKind = 0;          // an EInfoWindow
    float infoDelay = 0;
    std::unique_ptr<CFAnimationInstance> tablePicture, tableShadow;
    int extra;

    // Per controller (only one exists at a time): the replay flag of the last frame, whether the
    // end-of-replay message was shown.
    bool m_bWasReplaying = false;
    bool m_bReplayEndShown = false;
    int m_nStatisticsShown = 0;               // the result screen is asked for once per win
    bool m_bNoMovesTold = false;              // the no-moves window was shown for this stuck table
    bool m_bGaugeWindowPending = false;       // the player's first full gauge waits for the window queue
    bool m_bRefreshBonuses = true;            // classic: the buttons follow the player's choice once
    bool m_bMenuAfterReturn = false;          // Escape came while cards were held: the menu waits for them
};
