// CCard.h: one playing card on the table: identity, sprites, an eased pose, flags and a ghost timer.
#pragma once
#include "platform/EngineRef.h"

class CSprite;

// A card is owned by the deck; places and flights only point to it. The sprites belong to whoever
// loaded them. The pose eases from a start pose to a target pose over `inert_time0` seconds; the
// place that holds the card writes the target and calls Update every frame.
// A card's bonus mark: a marked card keeps its score when an action moves it and wears the frame.
enum ECardState : int {
    kCardPlain = 0,
    kCardBonus = 1,        // the level's bonus card, not yet scored
    kCardBonusScored = 2,  // scored once; the next undo commit makes it plain
};

inline bool IsMarkedCard(int state)
{
    return state == kCardBonus || state == kCardBonusScored;
}

class CCard {
public:
    CCard(int rank, int suit);
    CCard(const CCard&) = delete;
    CCard& operator=(const CCard&) = delete;

    void CopyFrom(const CCard* src);          // copies identity, face, target pose and sprites
    void StartMove(float t);                  // adds t to the move time; the current pose becomes the start
    void SetMoveTime(float t);
    CCard* SetFaceUp(float value);            // also picks the sprite to draw
    void Flip();                              // face up only from exactly 0
    bool IsFaceUp() const { return FaceUp > 0.5f; }
    float GetFaceUp() const { return FaceUp; }
    void SetBackSprite(CSprite* sprite);
    void SetUpSprite(CSprite* sprite);
    CSprite* GetBackSprite() const { return BackSprite; }
    CSprite* GetUpSprite() const { return UpSprite; }
    void SetGhost(float ttl, float delay);
    void StopGhost();
    bool GetSoundEnabled() const { return m_bSoundEnabled; }
    void SetSoundEnabled(bool flag) { m_bSoundEnabled = flag; }
    int Colour() const { return Suit >> 1; }
    void Update(float dt);
    void Dump();

    int Rank;
    int Suit;
    bool Moved = false;
    CSprite* RenderSprite = nullptr;
    bool Shadow = false;
    float Multiplier = 1.0f;
    CCard* SrcCard = nullptr;
    int ShiftX = 0;
    int h = 0;
    float RenderX = 0, RenderY = 0, RenderAngle = 0, RenderShadowX = 0, RenderShadowY = 0;
    float RenderScale = 1.0f;
    float RenderX_start = 0, RenderY_start = 0, RenderAngle_start = 0, RenderShadowX_start = 0,
          RenderShadowY_start = 0;
    float RenderX_curr = 0, RenderY_curr = 0, RenderAngle_curr = 0, RenderShadowX_curr = 0,
          RenderShadowY_curr = 0;
    float Sway = 0, Sway_start = 0, Sway_curr = 0;
    float inert_time = 0;
    float inert_time0 = 0;
    bool InFly = false;
    int CardState = 0;  // an ECardState
    CSprite* BackSprite = nullptr;
    bool m_bCanGiveScore = true;
    float FaceUp = 0;
    CSprite* UpSprite = nullptr;
    float StartTime = -1.0f;
    float TTL = -1.0f;
    bool m_bSoundEnabled = true;

private:
    void SnapToTarget();
    void PickSprite() { RenderSprite = IsFaceUp() ? UpSprite : BackSprite; }

    CEngineRef m_engine;
};
