// EngineHandle.h: move-only owners of engine handles (textures, targets, sounds, streams).
#pragma once

#include "platform/Engine.h"

#include <utility>

// Frees one engine handle exactly once, so every early return still gives it back. For handles
// that live outside the resource manager's use counts; the manager frees its own. The engine is
// borrowed: the owner must go before the reference it was given (declare it after that member).
template <typename Handle, void (IEngine::*Free)(Handle)>
class CEngineHandle {
public:
    CEngineHandle() = default;
    CEngineHandle(IEngine* engine, Handle handle) : m_pEngine(engine), m_handle(engine != nullptr ? handle : 0) {}
    CEngineHandle(CEngineHandle&& other) noexcept
        : m_pEngine(other.m_pEngine), m_handle(std::exchange(other.m_handle, 0))
    {
    }
    CEngineHandle& operator=(CEngineHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pEngine = other.m_pEngine;
            m_handle = std::exchange(other.m_handle, 0);
        }
        return *this;
    }
    CEngineHandle(const CEngineHandle&) = delete;
    CEngineHandle& operator=(const CEngineHandle&) = delete;
    ~CEngineHandle() { Reset(); }

    Handle Get() const { return m_handle; }
    Handle Release() { return std::exchange(m_handle, 0); }  // hand over to a longer-lived owner
    void Reset()
    {
        if (m_handle != 0)
            (m_pEngine->*Free)(std::exchange(m_handle, 0));
    }

private:
    IEngine* m_pEngine = nullptr;
    Handle m_handle = 0;
};

using CTextureOwner = CEngineHandle<HTexture, &IEngine::TextureFree>;
using CTargetOwner = CEngineHandle<HTarget, &IEngine::TargetFree>;
using CEffectOwner = CEngineHandle<HEffect, &IEngine::EffectFree>;
using CStreamOwner = CEngineHandle<HStream, &IEngine::StreamFree>;
