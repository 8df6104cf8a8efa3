// CManaBar.h: the five mana gauges of the game screen that fill with play and enable the bonuses.
#pragma once
#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"

#include <memory>
#include <vector>

class CSprite;
class ITableHost;

// Mana flows into the first gauge that is not full; a full gauge makes its bonus usable. The bar
// animates each gauge's visible level toward its true level and draws a partly filled gauge as the
// gauge image with a sector made transparent. The gauge image belongs to the resource manager; the
// part sprites and their textures are the bar's. The controller (may be null: no replay, bonuses
// on, and the bar keeps the buttons' state itself) is not owned. CopyFrom copies the values an
// undo needs, so a bar copy is a snapshot.
class CManaBar {
public:
    static constexpr int kGauges = 5;

    CManaBar(int capacity, CSprite* image, ITableHost* controller);
    ~CManaBar();
    CManaBar(const CManaBar&) = delete;
    CManaBar& operator=(const CManaBar&) = delete;

    void SetPositions(int x1, int x2, int x3, int x4, int x5, int y);
    bool GetGaugePos(int i, int& x, int& y) const;
    void GetImageSize(int& width, int& height) const;
    void SetFillDelay(float seconds) { m_fFillDelay = seconds; }
    float GetFillDelay() const { return m_fFillDelay; }
    void SetUndoLength(int length) { m_nUndoLength = length; }  // the level's bar_undo_length
    bool IsFull(int i) const;
    int AddMana(int amount);                   // the first gauge that looks below full, -1 when none
    int SpendMana(int amount) { return AddMana(-amount); }
    void Clear(int i);                         // -1: every gauge
    void CopyFrom(const CManaBar* other);
    void ShowTrueLevels();                     // every visible level jumps to its mana (after an undo)
    void Update(float dt);
    void Render();

    int GetMana(int i) const { return InRange(i) ? m_mana[i] : 0; }
    float GetLevel(int i) const { return InRange(i) ? m_level[i] : 0.0f; }
    bool IsReady(int i) const { return InRange(i) && m_ready[i]; }
    int GetReadyCount() const { return m_nReadyCount; }
    int GetCapacity() const { return m_nCapacity; }
    int GetEarnedStep() const { return m_nEarnedStep; }
    int GetEarnedTotal() const { return m_nEarnedTotal; }
    bool HasPartSprite(int i) const { return InRange(i) && m_partSprites[i] != nullptr; }

private:
    static bool InRange(int i) { return i >= 0 && i < kGauges; }
    bool IsReplaying() const;
    bool BonusesOff() const;
    bool ButtonEnabled(int i) const;
    void BecomeReady(int i);
    void BuildAngleTables();
    void RebuildPart(int i);
    void FreePart(int i);
    void DrawCentred(CSprite& sprite, int i) const;

    int m_mana[kGauges] = {0, 0, 0, 0, 0};
    float m_level[kGauges] = {0, 0, 0, 0, 0};
    bool m_ready[kGauges] = {false, false, false, false, false};
    int m_gaugeX[kGauges] = {0, 0, 0, 0, 0};
    int m_gaugeY = 0;
    CSprite* m_pImage;
    int m_nReadyCount = 0;
    int m_nCapacity;
    int m_nEarnedStep = 0, m_nEarnedTotal = 0;
    int m_nUndoLength = 0;
    CEngineRef m_engine;                       // before the textures, which go first
    CTextureOwner m_partTextures[kGauges];     // before the sprites, which draw them
    std::unique_ptr<CSprite> m_partSprites[kGauges];
    ITableHost* m_pController;
    std::vector<float> m_angle, m_distance;    // per pixel of the image, row * texture width + column
    int m_nTexWidth = 0;
    float m_fFillDelay = 0;
};
