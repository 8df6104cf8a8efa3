// CScreenEngine.cpp: the screens' engine calls, each harmless when there is no engine.
#include "screens/CScreenEngine.h"

#include "app/Globals.h"
#include "progress/CProfileStore.h"

namespace {

int EffectVolume()
{
    return g_pProfileStore != nullptr ? g_pProfileStore->m_current.m_nEffectVolume : 100;
}

}  // namespace

int CScreenEngine::LastKey() const
{
    return Get() != nullptr ? Get()->GetKey() : 0;
}

bool CScreenEngine::KeyHeld(int key) const
{
    return Get() != nullptr && Get()->KeyState(key);
}

HEffect CScreenEngine::LoadSound(const char* path) const
{
    return Get() != nullptr && path != nullptr ? Get()->EffectLoad(path) : 0;
}

void CScreenEngine::FreeSound(HEffect effect) const
{
    if (Get() != nullptr && effect != 0)
        Get()->EffectFree(effect);
}

HChannel CScreenEngine::PlaySound(HEffect effect, bool loop) const
{
    return PlaySound(effect, loop, 1.0f);
}

HChannel CScreenEngine::PlaySound(HEffect effect, bool loop, float pitch) const
{
    if (Get() == nullptr || effect == 0)
        return 0;
    return Get()->EffectPlay(effect, EffectVolume(), 0, pitch > 0.0f ? pitch : 1.0f, loop);
}

bool CScreenEngine::IsChannelPlaying(HChannel channel) const
{
    return Get() != nullptr && channel != 0 && Get()->ChannelIsPlaying(channel);
}

void CScreenEngine::StopChannel(HChannel channel) const
{
    if (Get() != nullptr && channel != 0)
        Get()->ChannelStop(channel);
}

void CScreenEngine::Clear(std::uint32_t colour) const
{
    if (Get() != nullptr)
        Get()->Clear(colour);
}

void CScreenEngine::MinimizeFocusWindow() const
{
    if (Get() != nullptr)
        Get()->MinimizeWindow();
}
