// OwnedHandle.h: move-only owners of the engine's sound effects and textures that the table's objects hold.
#pragma once
#include "table/EngineRef.h"

#include <utility>

// Frees one engine handle exactly once, wherever its holder returns; moves, never copies. Handle
// 0 is none. The engine it came from must outlive it: its holder keeps a CEngineRef declared
// before the handles, so the handles go first.
template <void (IEngine::*Free)(std::uint32_t)>
class COwnedHandle {
public:
    COwnedHandle() = default;
    COwnedHandle(IEngine* engine, std::uint32_t handle) : m_pEngine(engine), m_handle(engine != nullptr ? handle : 0) {}
    COwnedHandle(COwnedHandle&& other) noexcept : m_pEngine(other.m_pEngine), m_handle(std::exchange(other.m_handle, 0)) {}
    COwnedHandle& operator=(COwnedHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pEngine = other.m_pEngine;
            m_handle = std::exchange(other.m_handle, 0);
        }
        return *this;
    }
    COwnedHandle(const COwnedHandle&) = delete;
    COwnedHandle& operator=(const COwnedHandle&) = delete;
    ~COwnedHandle() { Reset(); }

    std::uint32_t Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != 0; }
    void Reset()
    {
        if (m_handle != 0)
            (m_pEngine->*Free)(std::exchange(m_handle, 0));
    }

private:
    IEngine* m_pEngine = nullptr;
    std::uint32_t m_handle = 0;
};

using COwnedEffect = COwnedHandle<&IEngine::EffectFree>;
using COwnedTexture = COwnedHandle<&IEngine::TextureFree>;

// A sound effect loaded from a file; none without an engine or when the file cannot be loaded.
inline COwnedEffect LoadOwnedEffect(const CEngineRef& engine, const char* path)
{
    IEngine* e = engine.Get();
    return e != nullptr ? COwnedEffect(e, e->EffectLoad(path)) : COwnedEffect();
}
