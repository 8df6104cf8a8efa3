// CPlace.h: one pile of the card table: anchor, fan layout, type and requirement lists.
#pragma once
#include "platform/EngineRef.h"
#include "table/PlaceDef.h"

#include <string>
#include <vector>

class CCard;
class CCardFlight;
class CCardTable;
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

// A place points to its cards (the deck owns them) and to its table, which owns the place. A
// temporary place (`tmp`) serves trial moves and snapshots: it never lays out, sways or draws.
// Decorations (frame, counter and fire animations, particles) belong to the presentation layer
// and are not attached here; the counter and rank-frame state they read is kept.
class CPlace {
public:
    CPlace(CCardTable* table, bool tmp);
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
    CCard* GetCard(int index) const;
    int Size() const { return static_cast<int>(pile.size()); }
    int TopIndex() const { return static_cast<int>(pile.size()) - 1; }
    bool IsSorted(int from) const;
    bool IsTopInFlight() const;
    void Dump();

    int x = 0, y = 0;
    float rotate = 0;
    int h = 0;
    std::vector<std::string> cards;
    float h_offset = 0, v_offset = 0;
    float k_squeeze = 1.0f;
    bool visible = false, invert_angle = false;
    int rank = 0;
    RequirementList empty_drop_req, drop_req, pick_req, click_req, win_cond, click_card, click_empty,
        sort_req;
    int click_empty_limit = 0;
    std::string help_script;
    std::vector<CCard*> pile;
    CCardTable* table;
    int iRankMat = -1;
    int iRankMat_eff = -999;
    float ttl = -1.0f;
    bool Wrap = false;
    int x_offset = 0, y_offset = 0;
    PlaceMove LastMove;
    CPlace* srcPlace = nullptr;
    std::vector<CardSnapshot> savedCards;
    float Sway_StartTime = 0, Sway_TTL = 0, Sway = 0, SwayMax = 0;
    int nSwayCard = 0;
    int max_bottom_pos = 0;
    int type = kPlaceHand;
    bool tmp;
    int bound_x1 = 0, bound_x2 = 0, bound_y1 = 0, bound_y2 = 0;
    int shownLimit = -999;

private:
    void UpdateSway(float dt);
    void SqueezeFan(float dt, float bottom, float lastX);
    float SqueezeFor(int i) const;

    CEngineRef m_engine;
};
