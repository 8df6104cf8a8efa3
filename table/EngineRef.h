// EngineRef.h: one counted reference to the engine, given back exactly once (private to table/).
#pragma once
#include "platform/Engine.h"

// Holds the reference that engine2dCreate adds. The engine may be missing (a unit that runs with no
// engine at all): every helper then does nothing and the random source answers its lower bound.
class CEngineRef {
public:
    CEngineRef() : m_pEngine(engine2dCreate(kEngineVersion)) {}
    ~CEngineRef()
    {
        if (m_pEngine != nullptr)
            m_pEngine->Release();
    }
    CEngineRef(const CEngineRef&) = delete;
    CEngineRef& operator=(const CEngineRef&) = delete;

    IEngine* Get() const { return m_pEngine; }
    int RandomInt(int lo, int hi) const { return m_pEngine != nullptr ? m_pEngine->RandomInt(lo, hi) : lo; }

private:
    IEngine* m_pEngine;
};

// printf-style forwarding to the engine's log; nothing when there is no engine.
#define TABLE_LOG(ref, ...)                         \
    do {                                            \
        if ((ref).Get() != nullptr)                 \
            (ref).Get()->Log(__VA_ARGS__);          \
    } while (0)
