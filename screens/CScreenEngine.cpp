// CScreenEngine.cpp: the screens' engine calls, each harmless when there is no engine.
#include "screens/CScreenEngine.h"

#include "app/Globals.h"
#include "screens/CProfileStore.h"

#include <cstdarg>
#include <cstdio>

CScreenEngine::CScreenEngine() : m_pEngine(engine2dCreate(kEngineVersion)) {}

CScreenEngine::~CScreenEngine()
{
    if (m_pEngine != nullptr)
        m_pEngine->Release();
}

void CScreenEngine::Log(const char* format, ...) const
{
    if (m_pEngine == nullptr)
        return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    m_pEngine->Log("%s", line);
}

int CScreenEngine::LastKey() const
{
    return m_pEngine != nullptr ? m_pEngine->GetKey() : 0;
}

bool CScreenEngine::KeyHeld(int key) const
{
    return m_pEngine != nullptr && m_pEngine->KeyState(key);
}

HEffect CScreenEngine::LoadSound(const char* path) const
{
    return m_pEngine != nullptr && path != nullptr ? m_pEngine->EffectLoad(path) : 0;
}

void CScreenEngine::FreeSound(HEffect effect) const
{
    if (m_pEngine != nullptr && effect != 0)
        m_pEngine->EffectFree(effect);
}

HChannel CScreenEngine::PlaySound(HEffect effect, bool loop) const
{
    return PlaySound(effect, loop, 1.0f);
}

HChannel CScreenEngine::PlaySound(HEffect effect, bool loop, float pitch) const
{
    if (m_pEngine == nullptr || effect == 0)
        return 0;
    const int volume = g_pProfileStore != nullptr ? g_pProfileStore->m_current.m_nEffectVolume : 100;
    return m_pEngine->EffectPlay(effect, volume, 0, pitch > 0.0f ? pitch : 1.0f, loop);
}

bool CScreenEngine::IsChannelPlaying(HChannel channel) const
{
    return m_pEngine != nullptr && channel != 0 && m_pEngine->ChannelIsPlaying(channel);
}

void CScreenEngine::StopChannel(HChannel channel) const
{
    if (m_pEngine != nullptr && channel != 0)
        m_pEngine->ChannelStop(channel);
}

void CScreenEngine::Clear(std::uint32_t colour) const
{
    if (m_pEngine != nullptr)
        m_pEngine->Clear(colour);
}

void CScreenEngine::MinimizeFocusWindow() const
{
    if (m_pEngine != nullptr)
        m_pEngine->MinimizeWindow();
}
