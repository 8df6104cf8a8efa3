// CTrophyRoom.h: the trophy room, the top-level screen that shows the player's progress: the ten
// trophies (the earned ones, each with a hint on hover, also where it is still missing), the rank
// emblems up to the player's rank, the medal counts and how much of the game is complete.
//
// Opened in award mode after the new-trophy popups, it first earns every trophy whose condition
// now holds and saves the player at once; the last one earned shows its shine. OK leads back to
// the story map (or, with return target 1, the classic selection). It owns all its widgets.
#pragma once

#include "app/CScreenBase.h"
#include "screens/CScreenEngine.h"
#include "progress/PlayerRecord.h"

#include <array>
#include <memory>

class CFAnimatedObject;
class CFButton;
class CFFrameImage;
class CFObject;
class CFObjectController;

class CTrophyRoom : public CScreenBase {
public:
    enum EReturnTarget { kToStoryMap = 0, kToClassicSelection = 1 };

    // awardFlag 1 runs the award pass (the new-trophy popup); the story map passes -1.
    static CTrophyRoom* Create(int returnTarget, int awardFlag);  // null when out of memory
    // Unlocks first; only when that opened a location does the room open (without awarding).
    static bool OpenAfterUnlocks(int returnTarget);

    ~CTrophyRoom() override;
    void Update(float dt) override;
    void Render() override;
    void Release() override;

    // ---- What tests look at ------------------------------------------------------------------
    int GetShownRank() const { return m_nShownRank; }
    int GetSelectedTrophy() const { return m_nSelectedTrophy; }
    int GetLastAwarded() const { return m_nLastAwarded; }
    CFAnimatedObject* GetTrophy(int index) const;
    CFObject* GetHintArea(int index) const;
    CFButton* GetOkButton() const { return m_pOk.get(); }
    CFButton* GetLeftButton() const { return m_pLeft.get(); }
    CFButton* GetRightButton() const { return m_pRight.get(); }
    CFFrameImage* GetRankEmblem() const { return m_pRankEmblem.get(); }

private:
    CTrophyRoom(int returnTarget, int awardFlag);

    std::unique_ptr<CFButton> MakeButton(const char* effect);
    void WriteMedalCounts(const PlayerRecord& record);
    void CreateTrophies();
    void AwardTrophies(PlayerRecord& record);
    void ShowEarnedTrophies(const PlayerRecord& record);

    void OnBack(CFObject* sender, int state);
    void OnLeft(CFObject* sender, int state);
    void OnRight(CFObject* sender, int state);
    void OnSelectTrophy(CFObject* sender, int state);

    int m_nReturnTarget;
    CScreenEngine m_engine;
    std::array<std::unique_ptr<CFAnimatedObject>, PlayerRecord::kTrophies> m_trophies;
    std::array<std::unique_ptr<CFObject>, PlayerRecord::kTrophies> m_hintAreas;
    std::unique_ptr<CFObjectController> m_pController;
    std::unique_ptr<CFButton> m_pOk;
    std::unique_ptr<CFButton> m_pLeft;
    std::unique_ptr<CFButton> m_pRight;
    int m_nShownRank = 0;
    std::unique_ptr<CFFrameImage> m_pWindow;
    std::unique_ptr<CFFrameImage> m_pRankEmblem;
    std::unique_ptr<CFFrameImage> m_pMedals;
    int m_nSelectedTrophy = -1;
    int m_nLastAwarded = -1;
};
