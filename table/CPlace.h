// CPlace.h: one pile of the card table: anchor, fan layout, type and requirement lists.
#pragma once
#include "platform/EngineRef.h"
#include "table/PlaceDef.h"

#include <memory>
#include <string>
#include <vector>

class CCard;
class CCardFlight;
class CCardTable;
class CFAnimationGroup;
class CFAnimationInstance;
class CParticleManager;
class CPathEffects;
class CPlace;
struct CardMove;

// The state of one card kept by a snapshot copy of a place.
struct CardSnapshot {
    bool faceUp = false;
    bool moved = false;
    int CardState = 0;
    float Multiplier = 1.0f;
    bool canGiveScore = true;
};

// The last move that ended on a place (or, in the table, the last move of all).
struct PlaceMove {
    CCard* Card = nullptr;
    CPlace* From = nullptr;
    CPlace* To = nullptr;
};

// What play leaves on a place besides its cards; a snapshot keeps it, a new place starts without.
struct PlaceMarks {
    float ttl = -1.0f;
    bool Wrap = false;
    int x_offset = 0, y_offset = 0;
};

// What a place works out for itself from its setup and the deal: its fan's squeeze and height, its
// base rank and its bounds. A snapshot leaves it out; a place rebuilt from a saved one copies it.
struct PlaceFit {
    float k_squeeze = 1.0f;
    int h = 0;
    int iRankMat = -1;
    int bound_x1 = 0, bound_x2 = 0, bound_y1 = 0, bound_y2 = 0;
};

// A place points to its cards (the deck owns them) and to its table, which owns the place. A
// temporary place (`tmp`) serves trial moves and snapshots: it never lays out, sways or draws,
// and has no decorations. The others own their decorations: the fire highlight with its group,
// the border sparkles with their particles, and the frame and counter, which are drawn in the
// table's back group (below every card) but belong to the place.
class CPlace : public PlaceSetup, public PlaceMarks, public PlaceFit {
public:
    CPlace(CCardTable* table, bool tmp);
    ~CPlace();
    CPlace(const CPlace&) = delete;
    CPlace& operator=(const CPlace&) = delete;

    void ApplyDef(const PlaceDef& def);      // everything of the definition but the type
    void SetType(int type);
    int GetType() const { return type; }
    void ApplyBaseRank();                    // iRankMat: the rank an empty place of types 0, 3 and 6 takes
    void TakeSnapshot(CPlace* src);
    void RestoreSnapshot(CPlace* snapshot);

    void Update(float dt);
    void Layout(float dt);
    void RenderCards();
    void RenderShadows();                    // only with the player's high-detail setting
    int HitTest(int px, int py, int& dx, int& dy) const;  // card index, -2 the place itself, -1 outside

    void StartSway(float swayMax, int nSwayCard, float ttl, float delay);
    void StopSway();
    // Starts a flight of card cardIndex (-1 the top card) to dst; null when it names no card.
    CCardFlight* MoveCard(int cardIndex, CPlace* dst, const CardMove& move);
    void StopGhosts();

    // ---- Decorations ----------------------------------------------------------------------
    void ShowFire(int fx, int fy);           // the fire animation, or border sparkles in high detail
    void HighlightType(int t);               // ShowFire at the anchor when the type matches (0 takes 6 too)
    void StopFire();
    float GetFireDuration() const;           // seconds of the fire animation, -1 without one
    CFAnimationInstance* GetFrameAnim() const { return frameAnim.get(); }
    CFAnimationInstance* GetCountAnim() const { return countAnim.get(); }
    CFAnimationInstance* GetFireAnim() const { return fireAnim.get(); }
    const CPathEffects* GetPathEffects() const { return pathEffects.get(); }

    CCard* GetCard(int index) const;
    int Size() const { return static_cast<int>(pile.size()); }
    int TopIndex() const { return static_cast<int>(pile.size()) - 1; }
    bool IsSorted(int from) const;
    bool IsTopInFlight() const;
    void Dump();

    std::vector<CCard*> pile;
    CCardTable* table;
    int iRankMat_eff = -999;
    PlaceMove LastMove;
    CPlace* srcPlace = nullptr;
    std::vector<CardSnapshot> savedCards;
    float Sway_StartTime = 0, Sway_TTL = 0, Sway = 0, SwayMax = 0;
    int nSwayCard = 0;
    int max_bottom_pos = 0;
    int type = kPlaceHand;
    bool tmp;
    int shownLimit = -999;

private:
    void CopyKeptValues(const CPlace& src);  // what a snapshot keeps of a place, both ways
    void UpdateSway(float dt);
    void UpdateDecorations();
    void SqueezeFan(float dt, float bottom, float lastX);
    float SqueezeFor(int i) const;
    std::unique_ptr<CFAnimationInstance> MakeTableAnim(const char* effect) const;

    CEngineRef m_engine;
    std::unique_ptr<CFAnimationGroup> animations;
    std::unique_ptr<CFAnimationInstance> fireAnim;   // in `animations`
    std::unique_ptr<CFAnimationInstance> frameAnim;  // in the table's back group
    std::unique_ptr<CFAnimationInstance> countAnim;  // in the table's back group
    std::unique_ptr<CParticleManager> particles;     // before the sparkles, which draw into it
    std::unique_ptr<CPathEffects> pathEffects;
};
