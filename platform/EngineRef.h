// EngineRef.h: owned references to the engine, so every engine2dCreate is given back exactly once.
#pragma once

#include "platform/Engine.h"

#include <cassert>
#include <cstddef>
#include <memory>

struct EngineReleaser {
    void operator()(IEngine* engine) const
    {
        if (engine != nullptr)
            engine->Release();
    }
};
// A reference that may be empty or taken later: start-up's, a test's.
using EnginePtr = std::unique_ptr<IEngine, EngineReleaser>;

// The reference an object takes when it is made and gives back when it goes. The engine may be
// missing (a unit that runs with no engine at all): Get() is then null, Log does nothing and
// RandomInt answers its lower bound. Not copyable: an owner's copy makes a CEngineRef of its own,
// which takes its own reference.
class CEngineRef {
public:
    CEngineRef() : m_pEngine(engine2dCreate(kEngineVersion)) {}
    CEngineRef(const CEngineRef&) = delete;
    CEngineRef& operator=(const CEngineRef&) = delete;

    IEngine* Get() const { return m_pEngine.get(); }
    IEngine* operator->() const
    {
        assert(m_pEngine != nullptr);  // callers check for a missing engine first
        return m_pEngine.get();
    }
    IEngine& operator*() const
    {
        assert(m_pEngine != nullptr);
        return *m_pEngine;
    }
    explicit operator bool() const { return m_pEngine != nullptr; }
    void Reset() { m_pEngine.reset(); }  // gives the reference back early, where the order matters

    int RandomInt(int lo, int hi) const { return m_pEngine != nullptr ? m_pEngine->RandomInt(lo, hi) : lo; }
    // One line to the engine's log; nothing when there is no engine.
    void Log(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    EnginePtr m_pEngine;
};

inline bool operator==(const CEngineRef& ref, std::nullptr_t) { return !ref; }
inline bool operator!=(const CEngineRef& ref, std::nullptr_t) { return static_cast<bool>(ref); }
