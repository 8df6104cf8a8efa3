// CPlace.cpp: a pile of the card table: layout, sway, hit test, snapshots and the card move.
#include "table/CPlace.h"

#include "app/CPathEffects.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CParticleManager.h"
#include "framework/CSprite.h"
#include "table/CBonusCardFrame.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CSpecialActions.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace {
constexpr float kPi = 3.14159265358979f;
constexpr float kHidden = CFAnimationInstance::kUnsetPosition;  // placed where nothing shows it yet

// The counter's frame for a remaining-uses limit: 0 for no limit (-1 never runs out either),
// then the limit + 1. Frame 20 reads "19 or more": a bigger limit must not show a smaller number.
int CounterFrame(int limit)
{
    if (limit < -1)
        return 0;
    return std::min(limit + 1, 20);
}

int PointerAsInt(const void* p)
{
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(p));
}

// The lowest bottom edge a fan may reach, by the x of its last card (the table's columns).
int BottomLimitForX(float x)
{
    struct Band { float lo, hi; int limit; };
    static const Band kBands[] = {
        {122, 231, 567}, {287, 360, 522}, {360, 437, 504}, {437, 512, 522}, {512, 703, 556}};
    for (const Band& band : kBands) {
        if (x > band.lo && x <= band.hi)
            return band.limit;
    }
    return 598;
}

struct Pt { int x, y; };

// Corners of a w x h rectangle centred on (cx, cy) and turned by angle, truncated to integers.
void RectCorners(float cx, float cy, int w, int h, float angle, Pt out[4])
{
    const float c = std::cos(angle), s = std::sin(angle);
    const int hw = w / 2, hh = h / 2;
    const int ox[4] = {-hw, hw, hw, -hw};
    const int oy[4] = {-hh, -hh, hh, hh};
    for (int i = 0; i < 4; ++i) {
        out[i].x = static_cast<int>(cx + ox[i] * c - oy[i] * s);
        out[i].y = static_cast<int>(cy + ox[i] * s + oy[i] * c);
    }
}

// Even-odd ray cast to the right; an edge whose upper end lies on the ray counts, its lower does not.
bool PointInQuad(const Pt q[4], int px, int py)
{
    bool inside = false;
    for (int i = 0; i < 4; ++i) {
        const Pt& a = q[i];
        const Pt& b = q[(i + 1) % 4];
        if (px >= a.x && px >= b.x)
            continue;  // the point is right of both ends
        if (a.y == b.y)
            continue;
        const int ylo = std::min(a.y, b.y), yhi = std::max(a.y, b.y);
        if (py < ylo || py > yhi)
            continue;
        bool crosses;
        if (yhi == py)
            crosses = true;
        else if (ylo == py)
            crosses = false;
        else
            crosses = px < a.x + (b.x - a.x) * static_cast<float>(py - a.y) / static_cast<float>(b.y - a.y);
        if (crosses)
            inside = !inside;
    }
    return inside;
}

bool RankFollows(int prev, int next, int step, bool wrap)
{
    int want = prev + step;
    if (wrap && want == 13)
        want = 0;
    if (wrap && want == -1)
        want = 12;
    return next == want;
}
}  // namespace

CPlace::CPlace(CCardTable* owner, bool isTmp)
    : table(owner), tmp(isTmp), animations(std::make_unique<CFAnimationGroup>())
{
    if (tmp)
        return;
    fireAnim = std::make_unique<CFAnimationInstance>(animations.get(), kHidden, kHidden);
    if (g_pResource != nullptr)
        fireAnim->LoadEffect(g_pResource, "main_fire", "place_fire");
    fireAnim->SetVisible(false);
}

CPlace::~CPlace()
{
    fireAnim.reset();
    animations.reset();
    frameAnim.reset();
    countAnim.reset();
    pathEffects.reset();
    if (particles != nullptr)
        particles->KillAll();
}

// A frame or counter animation of the module "interface" in the table's back group, below the cards.
std::unique_ptr<CFAnimationInstance> CPlace::MakeTableAnim(const char* effect) const
{
    CFAnimationGroup* group = table != nullptr ? table->GetBackGroup() : nullptr;
    auto anim = std::make_unique<CFAnimationInstance>(group, kHidden, kHidden);
    if (g_pResource != nullptr)
        anim->LoadEffect(g_pResource, "interface", effect);
    return anim;
}

void CPlace::ApplyDef(const PlaceDef& def)
{
    static_cast<PlaceSetup&>(*this) = def;
    max_bottom_pos = def.max_bottom_pos;
}

void CPlace::CopyKeptValues(const CPlace& src)
{
    static_cast<PlaceSetup&>(*this) = src;
    static_cast<PlaceMarks&>(*this) = src;
}

void CPlace::SetType(int newType)
{
    if (newType != kPlaceHand && frameAnim == nullptr && !tmp) {
        frameAnim = MakeTableAnim("place");
        frameAnim->SetVisible(visible);
    }
    if (newType != kPlaceDeck && help_script != "Cruel") {
        if (countAnim != nullptr)
            countAnim->SetVisible(false);
    } else if (countAnim == nullptr && !tmp) {
        countAnim = MakeTableAnim("place_count");
    }
    type = newType;
}

void CPlace::ApplyBaseRank()
{
    iRankMat = -1;
    if (!IsHouseType(type) && type != kPlaceColumn)
        return;
    for (const PlaceRequirement& req : empty_drop_req) {
        if (req.a == EmptyDropCode::kRank) {
            iRankMat = req.b;
            return;
        }
    }
}

void CPlace::TakeSnapshot(CPlace* src)
{
    if (src == nullptr)
        return;
    type = src->type;
    CopyKeptValues(*src);
    LastMove = PlaceMove();
    savedCards.clear();
    pile.clear();
    for (CCard* card : src->pile) {
        pile.push_back(card);
        CardSnapshot snap;
        snap.faceUp = card->IsFaceUp();
        snap.moved = card->Moved;
        snap.CardState = card->CardState;
        snap.Multiplier = card->Multiplier;
        snap.canGiveScore = card->m_bCanGiveScore;
        savedCards.push_back(snap);
    }
    srcPlace = src;
    table = src->table;
}

void CPlace::RestoreSnapshot(CPlace* snapshot)
{
    if (snapshot == nullptr)
        return;
    CopyKeptValues(*snapshot);
    LastMove = PlaceMove();
    pile.clear();
    for (std::size_t i = 0; i < snapshot->pile.size(); ++i) {
        CCard* card = snapshot->pile[i];
        pile.push_back(card);
        if (i < snapshot->savedCards.size()) {
            const CardSnapshot& snap = snapshot->savedCards[i];
            card->SetFaceUp(snap.faceUp ? 1.0f : 0.0f);
            card->Moved = snap.moved;
            card->CardState = snap.CardState;
            card->Multiplier = snap.Multiplier;
            card->m_bCanGiveScore = snap.canGiveScore;
        }
        card->ShiftX = 0;
        card->InFly = false;
        card->Shadow = false;
    }
    srcPlace = snapshot;
    table = snapshot->table;
    iRankMat_eff = -999;
    SetType(snapshot->type);
    StopSway();
}

void CPlace::Update(float dt)
{
    if (ttl > 0.0f) {
        ttl -= dt;
        if (ttl < 0.0f)
            ttl = 0.0f;
    }
    if (tmp)
        return;
    if (particles != nullptr) {
        particles->Update(dt);
        pathEffects->Update(dt);
    }
    UpdateDecorations();
    for (CCard* card : pile) {
        card->StartMove(0.0f);
        card->Update(dt);
    }
    UpdateSway(dt);
    Layout(dt);
    animations->Update(dt);
    if (fireAnim != nullptr && !fireAnim->IsPlaying())
        fireAnim->SetVisible(false);
}

// The frame and the counter follow the place only when what they show changed.
void CPlace::UpdateDecorations()
{
    const float zoom = table != nullptr ? table->Level().fZoom : 1.0f;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (frameAnim != nullptr && iRankMat_eff != iRankMat) {
        iRankMat_eff = iRankMat;
        frameAnim->SetPosition(fx, fy, true);
        frameAnim->SetScale(zoom);
        frameAnim->SetRotation(rotate);
        frameAnim->SetVisible(visible);
        frameAnim->PlayCommandSection(iRankMat == -1 ? "place" : "place_" + std::to_string(iRankMat), false);
    }
    if (countAnim != nullptr && shownLimit != click_empty_limit) {
        shownLimit = click_empty_limit;
        countAnim->SetPosition(fx, fy, true);
        countAnim->SetScale(zoom);
        countAnim->SetVisible(true);
        const int frame = CounterFrame(click_empty_limit);
        countAnim->PlayRange(frame, frame, false);
    }
}

void CPlace::UpdateSway(float dt)
{
    assert(table != nullptr && "only a place of a table sways");
    if (Sway_StartTime != 0.0f) {
        Sway_StartTime -= dt;
        if (Sway_StartTime < 0.0f) {
            Sway_StartTime = 0.0f;
            table->StartSwayWave(Sway_TTL);
        }
    }
    if (Sway_StartTime != 0.0f)
        return;
    const SwayWave& wave = table->GetSwayWave();
    const float p = wave.m_fTotal != 0.0f ? (wave.m_fTotal - Sway_TTL) / wave.m_fTotal : 1.0f;
    if (Sway_TTL != 0.0f) {
        Sway_TTL -= dt;
        if (Sway_TTL >= 0.0f) {
            const float swings = static_cast<float>(wave.m_nSwings) * p;
            const float phase = swings - std::floor(swings);
            Sway = std::sin(2.0f * kPi * phase) * (1.0f - p) * SwayMax;
        } else {
            Sway_TTL = 0.0f;
            Sway = 0.0f;
        }
    }
    const int n = Size();
    for (int i = 0; i < n; ++i) {
        CCard* card = pile[static_cast<std::size_t>(i)];
        if (i < nSwayCard || Sway_TTL == 0.0f || n == nSwayCard) {
            card->Sway = 0.0f;
            continue;
        }
        const float u = static_cast<float>(i - nSwayCard) / static_cast<float>(n - nSwayCard);
        const float w = (u - 8.0f * p) * (2.0f - 1.5f * p) * 2.0f * kPi;
        const float f = w > kPi ? 0.0f : (std::sin(w) / 2.0f + 1.0f) * (1.0f - p / 4.0f);
        card->Sway = std::sqrt(std::max(f, 0.0f)) * Sway;
        card->StartMove(u / 3.0f);
    }
}

float CPlace::SqueezeFor(int i) const
{
    float k = k_squeeze;
    const CCursorHand* hand = table != nullptr ? table->GetCursorHand() : nullptr;
    if (hand == nullptr || hand->hoverPeriod <= 0.0f)
        return k;
    const float q = 1.0f - hand->hoverTimer / hand->hoverPeriod;
    const CCard* below = pile[static_cast<std::size_t>(i - 1)];
    const CCard* card = pile[static_cast<std::size_t>(i)];
    if (type != kPlaceHand && below == hand->hoverCard) {
        if (below->Shadow && table->GetSpecialActions()->IsArmed())
            k = (1.3f - k) * q + k;
        else if (k < 1.0f)
            k = (1.2f - k) * q + k;
    } else if (type == kPlaceHand && !card->IsFaceUp()) {
        k = (1.3f - k) * q + k;
    }
    return k;
}

void CPlace::Layout(float dt)
{
    if (tmp || table == nullptr)
        return;
    const int W = table->GetCardSize().m_nCardWidth, H = table->GetCardSize().m_nCardHeight,
              G = table->GetCardSize().m_nCardDiagonal;
    const float Z = table->Level().fZoom;
    const LevelValues& lv = table->Level();
    const int halfW = rotate == 0.0f ? W / 2 : G / 2;
    const int halfH = rotate == 0.0f ? H / 2 : G / 2;
    bound_x1 = x - halfW;
    bound_x2 = x + halfW;
    bound_y1 = y - halfH;
    bound_y2 = y + halfH;
    const float s = ttl >= 0.0f ? 1.1f : 1.0f;

    float dx = 0, dy = 0, maxY = 0, lastX = 0;
    const int n = Size();
    for (int i = 0; i < n; ++i) {
        CCard* card = pile[static_cast<std::size_t>(i)];
        const float extra = (type == kPlaceColumn && v_offset != 0.0f) ? static_cast<float>(card->ShiftX) : 0.0f;
        if (i > 0) {
            const float k = SqueezeFor(i);
            const bool up = card->IsFaceUp() || type == kPlaceHand;
            if (!up) {
                dy += lv.nVOffsetHidden * k * v_offset;
                dx += lv.nHOffsetHidden * h_offset;
            } else {
                dy += lv.nVOffsetVisible * k * v_offset;
                dx += lv.nHOffsetVisible * h_offset;
            }
        }
        const float m = type == kPlacePop ? card->Multiplier : 1.0f;
        const float lift = type == kPlaceHand ? 1.0f + card->h / 100.0f : 1.0f;
        card->RenderX = (x + x_offset + dx) * m + extra;
        card->RenderY = y + dy + y_offset;
        card->RenderAngle = (invert_angle && (i % 2) == 1) ? -rotate : rotate;
        card->RenderShadowX = (x + dx) * m + extra;
        card->RenderShadowY = y + dy;
        card->RenderScale = lift * Z * s;
        if (i == 0 || card->RenderY > maxY)
            maxY = card->RenderY;
        lastX = card->RenderX;
        const float hw = W / 2.0f * lift * s, hh = H / 2.0f * lift * s;
        bound_x1 = std::min(bound_x1, static_cast<int>(card->RenderX - hw));
        bound_x2 = std::max(bound_x2, static_cast<int>(card->RenderX + hw));
        bound_y1 = std::min(bound_y1, static_cast<int>(card->RenderY - hh));
        bound_y2 = std::max(bound_y2, static_cast<int>(card->RenderY + hh));
    }
    if (n > 0)
        SqueezeFan(dt, maxY + H / 2.0f, lastX);
    for (CCard* card : pile)
        card->Update(0.0f);
}

void CPlace::SqueezeFan(float dt, float bottom, float lastX)
{
    const float step = std::min(dt, 0.1f);
    const int limit = max_bottom_pos != 0 ? max_bottom_pos : BottomLimitForX(lastX);
    if (Size() < 3) {
        k_squeeze = 1.0f;
        return;
    }
    if (bottom > limit) {
        k_squeeze = std::max(0.0f, k_squeeze - (bottom - limit) * step / 10.0f);
    } else if (bottom < limit - 10 && k_squeeze < 1.0f) {
        k_squeeze = std::min(1.0f, k_squeeze + step);
    }
}

void CPlace::RenderCards()
{
    if (tmp)
        return;
    for (CCard* card : pile) {
        if (card->InFly)
            continue;
        const float f = 2.0f * std::fabs(0.5f - card->FaceUp);
        CSprite* sprite = type == kPlaceHand ? card->UpSprite : card->RenderSprite;
        if (sprite == nullptr)
            continue;
        const float angle = card->RenderAngle_curr + card->Sway_curr;
        sprite->RenderEx(card->RenderX_curr, card->RenderY_curr, angle, f * card->RenderScale,
                         card->RenderScale);
        if (card->Shadow) {
            sprite->RenderEx(card->RenderShadowX_curr, card->RenderShadowY_curr, angle,
                             f * card->RenderScale, card->RenderScale);
            card->Shadow = false;
        }
        if (IsMarkedCard(card->CardState) && table != nullptr &&
            !table->GetHost()->BonusesSwitchedOff())
            table->GetBonusFrame()->Render(card->RenderX_curr, card->RenderY_curr, angle, f * card->RenderScale,
                                           card->RenderScale);
    }
    animations->Render();
    if (particles != nullptr)
        particles->Render();
}

void CPlace::RenderShadows()
{
    if (tmp || table == nullptr || !table->GetHost()->IsHighDetail())
        return;
    const ITableHost& host = *table->GetHost();
    const bool stacked = h_offset < 0.1f && v_offset < 0.1f;
    const int n = Size();
    for (int i = 0; i < n; ++i) {
        const CCard* card = pile[static_cast<std::size_t>(i)];
        if (card->InFly)
            continue;
        CSprite* sprite = host.GetShadowSprite(0);
        float sx = card->RenderShadowX_curr, sy = card->RenderShadowY_curr;
        float offset = 1.0f;
        if (type == kPlaceHand) {
            offset = static_cast<float>(card->h / 5 + 6);
        } else if (stacked) {
            if (i != n - 1 || n < 2)
                continue;
            sprite = host.GetShadowSprite(n <= 21 ? 0 : n <= 53 ? 1 : 2);
            sx = static_cast<float>(x);
            sy = static_cast<float>(y);
        } else if (i != 0 && i != n - 1) {
            continue;
        }
        if (sprite != nullptr)
            sprite->RenderEx(sx + offset, sy + offset, card->RenderAngle_curr, card->RenderScale, card->RenderScale);
    }
}

int CPlace::HitTest(int px, int py, int& dx, int& dy) const
{
    if (px < bound_x1 || px > bound_x2 || py < bound_y1 || py > bound_y2)
        return -1;
    const int W = table != nullptr ? table->GetCardSize().m_nCardWidth : 0;
    const int H = table != nullptr ? table->GetCardSize().m_nCardHeight : 0;
    int hit = -1;
    float hitX = 0, hitY = 0;
    Pt quad[4];
    RectCorners(static_cast<float>(x), static_cast<float>(y), W, H, rotate, quad);
    if (PointInQuad(quad, px, py)) {
        hit = -2;
        hitX = static_cast<float>(x);
        hitY = static_cast<float>(y);
    }
    for (int i = 0; i < Size(); ++i) {
        const CCard* card = pile[static_cast<std::size_t>(i)];
        RectCorners(card->RenderX_curr, card->RenderY_curr, W, H, card->RenderAngle_curr, quad);
        if (PointInQuad(quad, px, py)) {
            hit = i;
            hitX = card->RenderX_curr;
            hitY = card->RenderY_curr;
        }
    }
    if (hit != -1) {
        dx = static_cast<int>(hitX) - px;
        dy = static_cast<int>(hitY) - py;
    }
    return hit;
}

void CPlace::StartSway(float swayMax, int swayCard, float swayTtl, float delay)
{
    Sway_StartTime = delay;
    Sway_TTL = swayTtl;
    Sway = 0;
    SwayMax = swayMax;
    nSwayCard = swayCard;
}

void CPlace::StopSway()
{
    Sway_StartTime = -1.0f;
    Sway_TTL = -1.0f;
    Sway = 0;
    for (CCard* card : pile) {
        card->Sway = 0;
        card->Sway_start = 0;
        card->Sway_curr = 0;
    }
}

CCardFlight* CPlace::MoveCard(int cardIndex, CPlace* dst, const CardMove& move)
{
    if (table == nullptr || dst == nullptr || pile.empty())
        return nullptr;
    const int from = cardIndex == -1 ? TopIndex() : cardIndex;
    if (from < 0 || from > TopIndex())
        return nullptr;

    table->NoteMove(this, dst);

    // The card leaves this pile (and, with transfer, joins dst) before its flight is made, so a
    // move within one pile (a card turned in place) never leaves the card twice in the pile, and a
    // flight that lands at once in its constructor finds the card already gone from here.
    CCard* card = pile[static_cast<std::size_t>(from)];
    pile.erase(pile.begin() + from);
    if (move.joinsAtOnce) {
        std::vector<CCard*>& dp = dst->pile;
        const std::size_t slot = (move.dstIndex < 0 || static_cast<std::size_t>(move.dstIndex) > dp.size())
                                     ? dp.size()
                                     : static_cast<std::size_t>(move.dstIndex);
        dp.insert(dp.begin() + static_cast<std::ptrdiff_t>(slot), card);
    }
    return table->AddFlight(std::make_unique<CCardFlight>(table, this, card, dst, move));
}

void CPlace::StopGhosts()
{
    for (CCard* card : pile)
        card->StopGhost();
}

// ---- Decorations ------------------------------------------------------------------------------

void CPlace::ShowFire(int fx, int fy)
{
    if (tmp)
        return;
    const bool highDetail = table != nullptr && table->GetHost()->IsHighDetail();
    // The sparkles are made on first use: a table has dozens of places and few ever light up.
    if (highDetail && particles == nullptr) {
        particles = std::make_unique<CParticleManager>(50.0f);
        pathEffects = std::make_unique<CPathEffects>(particles.get(), "gfx/PARTICLES/rules.psi",
                                                     "gfx/PARTICLES/particles.png", 95.0f, 31.0f, 32.0f, 32.0f);
    }
    if (!highDetail || pathEffects == nullptr) {
        fireAnim->SetPosition(static_cast<float>(fx), static_cast<float>(fy), true);
        fireAnim->SetScale(table != nullptr ? table->Level().fZoom : 1.0f);  // round a card of this level
        fireAnim->SetVisible(true);
        fireAnim->SetFrame(0.0f);
        fireAnim->Play(false);
        return;
    }
    const int halfW = table->GetCardSize().m_nCardWidth / 2, halfH = table->GetCardSize().m_nCardHeight / 2;
    pathEffects->AddRectangle(4.0f, 2.0f, static_cast<float>(fx - halfW), static_cast<float>(fy - halfH),
                              static_cast<float>(fx + halfW), static_cast<float>(fy + halfH));
}

void CPlace::HighlightType(int t)
{
    if (!pile.empty() && (type == t || (t == kPlaceHouse && type == kPlaceSecondHouse)))
        ShowFire(x, y);
}

void CPlace::StopFire()
{
    if (fireAnim != nullptr)
        fireAnim->SetVisible(false);
    if (particles != nullptr)
        particles->KillAll();
}

float CPlace::GetFireDuration() const
{
    return fireAnim != nullptr && fireAnim->GetFrameCount() > 0 ? static_cast<float>(fireAnim->GetDuration()) : -1.0f;
}

CCard* CPlace::GetCard(int index) const
{
    if (pile.empty())
        return nullptr;
    if (index == -1)
        return pile.back();
    if (index < 0 || index >= Size())
        return nullptr;
    return pile[static_cast<std::size_t>(index)];
}

bool CPlace::IsTopInFlight() const
{
    return !pile.empty() && pile.back()->InFly;
}

bool CPlace::IsSorted(int from) const
{
    if (pile.empty())
        return true;
    const int start = std::max(from, 0);
    if (start >= Size())
        return true;
    const CCard* base = pile[static_cast<std::size_t>(start)];
    for (const PlaceRequirement& req : sort_req) {
        for (int i = start; i < Size(); ++i) {
            const CCard* card = pile[static_cast<std::size_t>(i)];
            const CCard* below = i > start ? pile[static_cast<std::size_t>(i - 1)] : nullptr;
            bool ok = true;
            switch (req.a) {
            case SortCode::kSameSuit: ok = card->Suit == base->Suit; break;
            case SortCode::kRising: ok = below == nullptr || RankFollows(below->Rank, card->Rank, 1, Wrap); break;
            case SortCode::kFalling: ok = below == nullptr || RankFollows(below->Rank, card->Rank, -1, Wrap); break;
            case SortCode::kAlternateColours: ok = below == nullptr || card->Colour() != below->Colour(); break;
            case SortCode::kOneColour: ok = below == nullptr || card->Colour() == below->Colour(); break;
            default: break;
            }
            if (!ok)
                return false;
        }
    }
    return true;
}

void CPlace::Dump()
{
    IEngine* e = m_engine.Get();
    if (e == nullptr)
        return;
    e->Log("\n\t x {%d}", x);
    e->Log("\t y {%d}", y);
    e->Log("\t rotate {%f}", rotate);
    e->Log("\t h {%d}", h);
    e->Log("\t h_offset {%f}", h_offset);
    e->Log("\t v_offset {%f}", v_offset);
    e->Log("\t k_squeeze {%f}", k_squeeze);
    e->Log("\t visible {%d}", visible ? 1 : 0);
    e->Log("\t invert_angle {%d}", invert_angle ? 1 : 0);
    e->Log("\t rank {%d}", rank);
    e->Log("\t click_empty_limit {%d}", click_empty_limit);
    e->Log("\t iRankMat {%d}", iRankMat);
    e->Log("\t iRankMat_eff {%d}", iRankMat_eff);
    e->Log("\t ttl {%f}", ttl);
    e->Log("\t Wrap {%d}", Wrap ? 1 : 0);
    e->Log("\t x_offset {%d}", x_offset);
    e->Log("\t y_offset {%d}", y_offset);
    e->Log("\t LastMove.Card {%d}", PointerAsInt(LastMove.Card));
    e->Log("\t LastMove.From {%d}", PointerAsInt(LastMove.From));
    e->Log("\t LastMove.To {%d}", PointerAsInt(LastMove.To));
    e->Log("\t Sway_StartTime {%f}", Sway_StartTime);
    e->Log("\t Sway_TTL {%f}", Sway_TTL);
    e->Log("\t Sway {%f}", Sway);
    e->Log("\t SwayMax {%f}", SwayMax);
    e->Log("\t nSwayCard {%d}", nSwayCard);
    e->Log("\t max_bottom_pos {%d}", max_bottom_pos);
    e->Log("\t type {%d}", type);
    e->Log("\t tmp {%d}", tmp ? 1 : 0);
    e->Log("\t bound_x1 {%d}", bound_x1);
    e->Log("\t bound_x2 {%d}", bound_x2);
    e->Log("\t bound_y1 {%d}", bound_y1);
    e->Log("\t bound_y2 {%d}", bound_y2);
    for (CCard* card : pile)
        card->Dump();
}
