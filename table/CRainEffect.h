// CRainEffect.h: the win cascade: the table's cards thrown across the screen, falling and flipping.
#pragma once
#include "platform/EngineRef.h"

#include <memory>
#include <vector>

class CCard;
class CFlyingEffects;
class CParticleManager;

// A range of random values: an engine random integer (bounds included) or float between min and max.
struct RandomRange {
    float min = 0;
    float max = 0;
    bool isInteger = false;
    void SetFloat(float lo, float hi) { min = lo; max = hi; isInteger = false; }
    void SetInt(int lo, int hi) { min = static_cast<float>(lo); max = static_cast<float>(hi); isInteger = true; }
    float Get(const CEngineRef& engine) const;
};

// One falling card of the cascade; state below 0 means inactive.
struct RainCard {
    CCard* card = nullptr;
    float age = 0;
    int state = 0;
    float speed = 0, heading = 0, tilt = 0, lift = 0, push = 0, drag = 0;
    float x = 0, y = 0, depth = 0, x0 = 0, y0 = 0, depth0 = 0;
    float ax = 0, ay = 0, adepth = 0, vx = 0, vy = 0, vdepth = 0, gravity = 0;
    float flip = 0;
    float wobble = 0;
    bool flipHorizontally = true;
    float rotation = 0, spin = 0;
};

// Runs either as a continuous shower (cards fall back in from the top) or as bursts (once a second
// a group of cards explodes from a random point). The cards are only pointed to; the sparkles and
// their particle manager are owned. With no engine the cards still move; nothing is drawn.
class CRainEffect {
public:
    enum EMode { kShower = 0, kBursts = 1 };

    CRainEffect();
    ~CRainEffect();
    CRainEffect(const CRainEffect&) = delete;
    CRainEffect& operator=(const CRainEffect&) = delete;

    void SetZoom(float zoom) { m_fZoom = zoom; }
    void Setup(int mode, int limit, int sparkles);  // other modes change nothing
    int AddCard(CCard* card, int x, int y, int state);
    void Clear();
    void Start(float seconds);                      // 0: until stopped
    void Stop() { m_bRunning = false; }
    bool IsRunning() const { return m_bRunning; }
    float GetElapsed() const { return m_fElapsed; }
    void Update(float dt, bool forced);             // forced: moves even when stopped
    void Render();

    static bool RainCardTiltLess(const RainCard& a, const RainCard& b) { return a.tilt < b.tilt; }
    static float Drag(float t, float k);            // displacement under drag: (1 - e^(-k t)) / k

    const std::vector<RainCard>& Cards() const { return m_cards; }
    int Limit() const { return m_nLimit; }
    bool IsShower() const { return m_bShower; }

private:
    void InitCard(RainCard& rc, float x, float y) const;
    void MoveCard(RainCard& rc, float dt) const;
    void SpawnShowerCard();
    void Burst();

    bool m_bRunning = false;
    std::vector<RainCard> m_cards;
    int m_nLimit = 0;
    float m_fZoom = 1.0f;
    RandomRange m_r[12];
    int m_nSparkleCount = 0;
    bool m_bShower = false;
    bool m_bRespawn = false;
    float m_fElapsed = 0;
    float m_fLastSpawn = 0;                    // shower spawns are stamped in whole seconds of the cascade
    float m_fBurstTimer = 0, m_fBurstPeriod = 0;
    float m_fStopTimer = 0;
    std::unique_ptr<CParticleManager> m_pParticles;  // declared first: the sparkles must go before it
    std::unique_ptr<CFlyingEffects> m_pSparkles;
    CEngineRef m_engine;
};
