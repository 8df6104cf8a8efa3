// CRainEffect.cpp: the win cascade of the cards.
#include "table/CRainEffect.h"

#include "app/CFlyingEffects.h"
#include "framework/CParticleManager.h"
#include "framework/CSprite.h"
#include "table/CCard.h"

#include <algorithm>
#include <cmath>

namespace {
enum ERange { kHeading, kTilt, kSpeed, kLift, kDrag, kPush, kWobble, kRotation, kSpin, kSpawnX, kRespawnY, kSpawnY };
}  // namespace

float RandomRange::Get(const CEngineRef& engine) const
{
    IEngine* e = engine.Get();
    if (e == nullptr)
        return min;
    if (isInteger)
        return static_cast<float>(e->RandomInt(static_cast<int>(min), static_cast<int>(max)));
    return e->RandomFloat(min, max);
}

CRainEffect::CRainEffect()
    : m_pParticles(std::make_unique<CParticleManager>(50.0f)),
      m_pSparkles(std::make_unique<CFlyingEffects>(m_pParticles.get(), "gfx/PARTICLES/rain.psi",
                                                   "gfx/PARTICLES/particles.png", 31, 31, 32, 32))
{
}

CRainEffect::~CRainEffect()
{
    m_cards.clear();
}

float CRainEffect::Drag(float t, float k)
{
    if (k == 0.0f)
        return t;  // the limit of the formula: no drag, straight motion
    return (1.0f - std::exp(-k * t)) / k;
}

void CRainEffect::Setup(int mode, int limit, int sparkles)
{
    if (mode == kShower) {
        const bool right = m_engine.RandomInt(0, 100) > 50;
        if (right)
            m_r[kHeading].SetFloat(0.0f, 1.3707963f);
        else
            m_r[kHeading].SetFloat(1.7707964f, 3.1415927f);
        m_r[kTilt].SetFloat(-0.0897598f, 0.1256637f);
        m_r[kSpeed].SetFloat(400, 500);
        m_r[kLift].SetFloat(20, 20);
        m_r[kDrag].SetFloat(1, 1);
        m_r[kPush].SetFloat(0, 0);
        m_r[kWobble].SetFloat(1, 2);
        m_r[kRotation].SetFloat(0.0f, 0.0872665f);
        m_r[kSpin].SetFloat(0, 0);
        if (right)
            m_r[kSpawnX].SetInt(-200, 600);
        else
            m_r[kSpawnX].SetInt(200, 1000);
        m_r[kRespawnY].SetInt(-100, -100);
        m_r[kSpawnY].SetFloat(-200, -200);
        m_bShower = true;
        m_bRespawn = true;
        m_fBurstPeriod = 0;
        m_fBurstTimer = 0;
    } else if (mode == kBursts) {
        m_r[kHeading].SetFloat(0.0f, 6.2831855f);
        m_r[kTilt].SetFloat(-0.0897598f, 0.1256637f);
        m_r[kSpeed].SetFloat(500, 1000);
        m_r[kLift].SetFloat(150, 200);
        m_r[kDrag].SetFloat(2, 2);
        m_r[kPush].SetFloat(0, 0);
        m_r[kWobble].SetFloat(0.1f, 0.5f);
        m_r[kRotation].SetFloat(-0.0523599f, 0.0523599f);
        m_r[kSpin].SetFloat(-0.3f, 0.3f);
        m_bShower = false;
        m_bRespawn = false;
        m_fBurstPeriod = 1.0f;
        m_fBurstTimer = 1.0f;
    } else {
        return;
    }
    m_nLimit = limit;
    m_nSparkleCount = sparkles;
}

void CRainEffect::InitCard(RainCard& rc, float x, float y) const
{
    rc.age = 0;
    rc.x = rc.x0 = x;
    rc.y = rc.y0 = y;
    rc.depth = rc.depth0 = 0;
    rc.heading = m_r[kHeading].Get(m_engine);
    rc.tilt = m_r[kTilt].Get(m_engine);
    rc.speed = m_r[kSpeed].Get(m_engine) + rc.tilt * 100.0f;
    rc.lift = m_r[kLift].Get(m_engine);
    rc.drag = m_r[kDrag].Get(m_engine);
    rc.push = m_r[kPush].Get(m_engine);
    rc.rotation = m_r[kRotation].Get(m_engine);
    rc.spin = m_r[kSpin].Get(m_engine);
    rc.wobble = m_r[kWobble].Get(m_engine);
    rc.flip = rc.card != nullptr ? rc.card->GetFaceUp() : 0.0f;
    rc.flipHorizontally = true;
}

int CRainEffect::AddCard(CCard* card, int x, int y, int state)
{
    RainCard rc;
    rc.card = card;
    rc.state = state;
    InitCard(rc, static_cast<float>(x), static_cast<float>(y));
    m_cards.push_back(rc);
    return static_cast<int>(m_cards.size()) - 1;
}

void CRainEffect::Clear()
{
    m_cards.clear();
}

void CRainEffect::Start(float seconds)
{
    m_bRunning = true;
    m_fElapsed = 0;
    m_fStopTimer = seconds;
    // Left at a later second by an earlier cascade, the spawn stamp would hold back this one's
    // new cards until its own time caught up.
    m_fLastSpawn = 0;
}

void CRainEffect::MoveCard(RainCard& rc, float dt) const
{
    rc.age += dt;
    const float t = rc.age, v = rc.speed, k = rc.drag, w = rc.push, a = rc.lift;
    rc.gravity = rc.depth / 4.0f + (k != 0.0f ? a / k : a);
    if (rc.depth > 0.0f)
        rc.gravity += rc.depth / 4.0f;
    rc.vx = std::cos(rc.heading) * v;
    rc.vy = std::sin(rc.heading) * v + rc.gravity;
    rc.vdepth = std::sin(rc.tilt) * v;
    rc.ax = std::cos(rc.heading) * w;
    rc.ay = std::sin(rc.heading) * w;
    rc.adepth = std::cos(rc.heading) * w;
    rc.flip = (std::cos(t * v / 200.0f) + 1.0f) / 2.0f;
    rc.rotation += dt * rc.spin * v / 500.0f;
    const float d = Drag(t, k);
    rc.x = t * t * rc.ax + d * rc.vx + rc.x0;
    rc.depth = t * t * rc.adepth + d * rc.vdepth + rc.depth0;
    rc.y = t * t * rc.ay + t * t * rc.gravity + d * rc.vy + rc.y0;
}

void CRainEffect::SpawnShowerCard()
{
    if (m_cards.empty() || static_cast<int>(m_cards.size()) >= m_nLimit || m_fElapsed - m_fLastSpawn <= 0.3f)
        return;
    m_fLastSpawn = std::floor(m_fElapsed);
    const int pick = m_engine.RandomInt(0, static_cast<int>(m_cards.size()) - 1);
    CCard* card = m_cards[static_cast<std::size_t>(std::clamp(pick, 0, static_cast<int>(m_cards.size()) - 1))].card;
    AddCard(card, static_cast<int>(m_r[kSpawnX].Get(m_engine)), static_cast<int>(m_r[kSpawnY].Get(m_engine)), 0);
}

void CRainEffect::Burst()
{
    const int n = m_engine.RandomInt(m_nLimit / 10, m_nLimit / 2);
    std::vector<std::size_t> taken;
    for (std::size_t i = 0; i < m_cards.size() && static_cast<int>(taken.size()) < n; ++i) {
        if (m_cards[i].state < 0)
            taken.push_back(i);
    }
    // New entries copy the card of a random entry: with no entry there is nothing to copy.
    while (static_cast<int>(taken.size()) < n && static_cast<int>(m_cards.size()) < m_nLimit && !m_cards.empty()) {
        const int pick = std::clamp(m_engine.RandomInt(0, static_cast<int>(m_cards.size()) - 1), 0,
                                    static_cast<int>(m_cards.size()) - 1);
        const int added = AddCard(m_cards[static_cast<std::size_t>(pick)].card, 0, 0, -1);
        taken.push_back(static_cast<std::size_t>(added));
    }
    if (static_cast<int>(taken.size()) >= m_nLimit / 10 && !taken.empty()) {
        const float cx = static_cast<float>(m_engine.RandomInt(0, 800));
        const float cy = static_cast<float>(m_engine.RandomInt(-100, 400));
        for (std::size_t i : taken) {
            m_cards[i].state = 0;
            InitCard(m_cards[i], cx, cy);
        }
    }
    while (m_pSparkles->GetCount() < m_nSparkleCount) {
        const float x = static_cast<float>(m_engine.RandomInt(0, 800));
        const float y = static_cast<float>(m_engine.RandomInt(0, 400));
        const float delay = m_engine.Get() != nullptr ? m_engine.Get()->RandomFloat(0.1f, 3.0f) : 0.1f;
        if (!m_pSparkles->Add(x, y, 0.3f, delay, 0))
            break;
    }
}

void CRainEffect::Update(float dt, bool forced)
{
    if (m_fStopTimer != 0.0f) {
        m_fStopTimer -= dt;
        if (m_fStopTimer <= 0.0f) {
            m_fStopTimer = 0;
            Stop();
        }
    }
    if (!m_bRunning && !forced)
        return;
    m_fElapsed += dt;
    if (m_bShower)
        SpawnShowerCard();
    for (RainCard& rc : m_cards) {
        if (rc.state < 0)
            continue;
        MoveCard(rc, dt);
        if (rc.y <= 700.0f)
            continue;
        if (m_bRespawn)
            InitCard(rc, m_r[kSpawnX].Get(m_engine), m_r[kRespawnY].Get(m_engine));
        else
            rc.state = -1;
    }
    if (m_fBurstTimer != 0.0f) {
        m_fBurstTimer -= dt;
        if (m_fBurstTimer <= 0.0f) {
            m_fBurstTimer = m_fBurstPeriod;
            Burst();
        }
    }
    std::stable_sort(m_cards.begin(), m_cards.end(), RainCardTiltLess);
    m_pParticles->Update(dt);
    m_pSparkles->Update(dt);
}

void CRainEffect::Render()
{
    for (const RainCard& rc : m_cards) {
        if (rc.state < 0 || rc.card == nullptr)
            continue;
        CSprite* sprite = rc.flip <= 0.5f ? rc.card->GetBackSprite() : rc.card->GetUpSprite();
        if (sprite == nullptr)
            continue;
        const float s = std::clamp((rc.depth / 100.0f + 1.0f) * m_fZoom, 0.6f, 1.1f);
        const float f = std::fabs(0.5f - rc.flip) * 2.0f * s;
        if (rc.flipHorizontally)
            sprite->RenderEx(rc.x, rc.y, rc.rotation, f, s);
        else
            sprite->RenderEx(rc.x, rc.y, rc.rotation, s, f);
    }
    m_pParticles->Render();
}
