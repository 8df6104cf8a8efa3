// SoundMixer.cpp: SDL_mixer behind the engine's sound calls.
#include "platform/SoundMixer.h"

#include "platform/EngineLog.h"
#include "platform/FileSystem.h"
#include "platform/QuietStderr.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
// Handles are never reused within the process, not even by a later engine.
std::uint32_t g_nextSound = 1;
HChannel g_nextChannel = 1;

int MixVolume(int volume)
{
    return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100;
}

void ApplyPan(int channel, int pan)
{
    pan = std::clamp(pan, -100, 100);
    const int left = pan <= 0 ? 255 : 255 * (100 - pan) / 100;
    const int right = pan >= 0 ? 255 : 255 * (100 + pan) / 100;
    Mix_SetPanning(channel, static_cast<Uint8>(left), static_cast<Uint8>(right));
}
}  // namespace

SoundMixer::~SoundMixer()
{
    Close();
}

bool SoundMixer::Open(bool headless, bool noAudio, EngineLog& log)
{
    m_pLog = &log;
    if (noAudio) {
        log.Printf("[W] Engine: no audio device (%s), sound is off", "turned off");
        return false;
    }
    if (headless)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    else
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!OpenDevice()) {
        log.Printf("[W] Engine: no audio device (%s), sound is off", SDL_GetError());
        return false;
    }
    Mix_AllocateChannels(kChannels);
    Mix_ReserveChannels(kStreamChannels);
    m_bOpen = true;
    return true;
}

bool SoundMixer::OpenDevice()
{
    QuietStderr quiet;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // the program handles them (StopSignals.h)
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0)
        return true;
    const std::string reason = Mix_GetError();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_SetError("%s", reason.c_str());  // quitting may have replaced it
    return false;
}

void SoundMixer::Close()
{
    if (m_bOpen)
        Mix_HaltChannel(-1);
    for (auto* sounds : {&m_effects, &m_streams}) {
        for (auto& entry : *sounds)
            if (entry.second != nullptr)
                Mix_FreeChunk(entry.second);
        sounds->clear();
    }
    std::fill(m_owner.begin(), m_owner.end(), 0);
    if (!m_bOpen)
        return;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_bOpen = false;
}

std::uint32_t SoundMixer::Load(const char* path, bool stream)
{
    std::vector<std::uint8_t> bytes;
    if (path == nullptr || !fs_layer::ReadWholeFile(path, bytes) || bytes.empty()) {
        if (m_pLog != nullptr)
            m_pLog->Printf("[E] Engine: can't open sound file %s", path != nullptr ? path : "(null)");
        return 0;
    }
    Mix_Chunk* chunk = nullptr;
    if (m_bOpen) {
        chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
        if (chunk == nullptr) {
            m_pLog->Printf("[E] Engine: can't decode sound file %s (%s)", path, Mix_GetError());
            return 0;
        }
    }
    const std::uint32_t handle = g_nextSound++;
    (stream ? m_streams : m_effects)[handle] = chunk;
    return handle;
}

void SoundMixer::Free(std::uint32_t sound, bool stream)
{
    auto& sounds = stream ? m_streams : m_effects;
    const auto it = sounds.find(sound);
    if (it == sounds.end())
        return;
    if (it->second != nullptr)
        Mix_FreeChunk(it->second);  // halts the channels that play it
    sounds.erase(it);
}

int SoundMixer::FreeStreamChannel() const
{
    for (int channel = 0; channel < kStreamChannels; ++channel)
        if (Mix_Playing(channel) == 0)
            return channel;
    return -1;
}

HChannel SoundMixer::Play(std::uint32_t sound, bool stream, int volume, int pan, bool loop)
{
    const auto& sounds = stream ? m_streams : m_effects;
    const auto it = sounds.find(sound);
    if (!m_bOpen || it == sounds.end() || it->second == nullptr)
        return 0;
    int channel = stream ? FreeStreamChannel() : -1;
    if (stream && channel < 0)
        return 0;
    channel = Mix_PlayChannel(channel, it->second, loop ? -1 : 0);
    if (channel < 0 || channel >= kChannels)
        return 0;
    Mix_Volume(channel, MixVolume(volume));
    ApplyPan(channel, pan);
    const HChannel handle = g_nextChannel++;
    m_owner[static_cast<std::size_t>(channel)] = handle;
    return handle;
}

int SoundMixer::ChannelOf(HChannel channel) const
{
    if (channel == 0 || !m_bOpen)
        return -1;
    const auto it = std::find(m_owner.begin(), m_owner.end(), channel);
    return it == m_owner.end() ? -1 : static_cast<int>(it - m_owner.begin());
}

void SoundMixer::SetVolume(HChannel channel, int volume)
{
    const int index = ChannelOf(channel);
    if (index >= 0)
        Mix_Volume(index, MixVolume(volume));
}

void SoundMixer::SetPanning(HChannel channel, int pan)
{
    const int index = ChannelOf(channel);
    if (index >= 0)
        ApplyPan(index, pan);
}

void SoundMixer::Pause(HChannel channel)
{
    const int index = ChannelOf(channel);
    if (index >= 0)
        Mix_Pause(index);
}

void SoundMixer::Resume(HChannel channel)
{
    const int index = ChannelOf(channel);
    if (index >= 0)
        Mix_Resume(index);
}

void SoundMixer::Stop(HChannel channel)
{
    const int index = ChannelOf(channel);
    if (index < 0)
        return;
    Mix_HaltChannel(index);
    m_owner[static_cast<std::size_t>(index)] = 0;
}

void SoundMixer::PauseAll()
{
    if (m_bOpen)
        Mix_Pause(-1);
}

void SoundMixer::ResumeAll()
{
    if (m_bOpen)
        Mix_Resume(-1);
}

bool SoundMixer::IsPlaying(HChannel channel)
{
    const int index = ChannelOf(channel);
    return index >= 0 && Mix_Playing(index) != 0 && Mix_Paused(index) == 0;
}
