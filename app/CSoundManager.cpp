// CSoundManager.cpp: music modes, fades and the focus pause.
#include "app/CSoundManager.h"

#include "app/Globals.h"
#include "progress/CProfileStore.h"

#include <algorithm>

namespace {

CSoundManager* g_pInstance = nullptr;

struct LocationMusic {
    const char* music;
    const char* ambience;
};

const LocationMusic kLocationFiles[CSoundManager::kLocationCount] = {
    {"sfx/music/bora-bora.ogg", "sfx/music/bora_amb.ogg"},
    {"sfx/music/barbados.ogg", "sfx/music/barbados_amb.ogg"},
    {"sfx/music/fregate.ogg", "sfx/music/fregate_amb.ogg"},
    {"sfx/music/dubai.ogg", "sfx/music/barbados_amb.ogg"},
    {"sfx/music/montecarlo.ogg", "sfx/music/montecarlo_amb.ogg"},
};

// The order in which ApplyVolumes starts the streams.
const int kPlayOrder[CSoundManager::kTrackCount] = {CSoundManager::kLocationMusic, CSoundManager::kLocationAmbience,
                                                    CSoundManager::kMenuMusic, CSoundManager::kMenuAmbience};

}  // namespace

CSoundManager* CSoundManager::GetInstance()
{
    if (g_pInstance == nullptr)
        g_pInstance = new CSoundManager();
    return g_pInstance;
}

void CSoundManager::Destroy()
{
    delete g_pInstance;
    g_pInstance = nullptr;
}

bool CSoundManager::Exists()
{
    return g_pInstance != nullptr;
}

CSoundManager::CSoundManager()
{
    if (m_pEngine == nullptr)
        return;
    m_menuSelecting = LoadEffect("sfx/sounds/menu_selecting.ogg");
    m_menuChoose = LoadEffect("sfx/sounds/menu_choose.ogg");
    m_gameLevelMedal = LoadEffect("sfx/sounds/game_level_medal.ogg");
    m_streams[kMenuMusic] = LoadStream("sfx/music/menu.ogg");
    m_streams[kMenuAmbience] = LoadStream("sfx/music/menu_amb.ogg");
}

// The channels stop here; the effects and streams are freed by their owners afterwards.
CSoundManager::~CSoundManager()
{
    if (m_pEngine == nullptr)
        return;
    for (HChannel channel : m_channels) {
        if (channel != 0 && m_pEngine->ChannelIsPlaying(channel))
            m_pEngine->ChannelStop(channel);
    }
}

HEffect CSoundManager::LoadEffect(const char* file)
{
    m_effects.emplace_back(m_pEngine.Get(), m_pEngine->EffectLoad(file));
    return m_effects.back().Get();
}

CStreamOwner CSoundManager::LoadStream(const char* file)
{
    return CStreamOwner(m_pEngine.Get(), m_pEngine->StreamLoad(file));
}

void CSoundManager::FreeLocationStreams()
{
    for (int track : {kLocationMusic, kLocationAmbience})
        m_streams[static_cast<std::size_t>(track)].Reset();
}

void CSoundManager::LoadLocationMusic(int location)
{
    FreeLocationStreams();
    if (location < 0 || location >= kLocationCount || m_pEngine == nullptr)
        return;
    m_streams[kLocationMusic] = LoadStream(kLocationFiles[location].music);
    m_streams[kLocationAmbience] = LoadStream(kLocationFiles[location].ambience);
}

void CSoundManager::SetMusicMode(int mode, float seconds)
{
    const int newMode = mode == kKeepMode ? m_nMode : mode;
    m_fadeStart = m_volumes;
    if (newMode == kLocation && m_nMode != kLocation && m_pEngine != nullptr) {
        // A location pair that faded out entirely starts again from its beginning.
        for (int track : {kLocationMusic, kLocationAmbience}) {
            const HChannel channel = m_channels[static_cast<std::size_t>(track)];
            if (m_volumes[static_cast<std::size_t>(track)] == 0 && channel != 0)
                m_pEngine->ChannelStop(channel);
        }
    }
    m_fFadeDuration = seconds;
    m_fFadeLeft = seconds;
    m_fFadeProgress = 0.0f;
    m_nMode = newMode;
}

void CSoundManager::TargetVolumes(std::array<int, kTrackCount>& targets) const
{
    int music = 60, ambience = 40;
    if (g_pProfileStore != nullptr) {
        music = g_pProfileStore->m_current.m_nMusicVolume;
        ambience = g_pProfileStore->m_current.m_nAmbientVolume;
    }
    targets.fill(0);
    if (m_nMode == kMenu) {
        targets[kMenuMusic] = music;
        targets[kMenuAmbience] = ambience;
    } else if (m_nMode == kLocation) {
        targets[kLocationMusic] = music;
        targets[kLocationAmbience] = ambience;
    }
}

void CSoundManager::UpdateFade(float dt)
{
    if (m_fFadeLeft == 0.0f)
        return;
    std::array<int, kTrackCount> targets{};
    TargetVolumes(targets);
    m_fFadeLeft -= dt;
    if (m_fFadeLeft > 0.0f) {
        m_fFadeProgress += dt / m_fFadeDuration;
        for (std::size_t i = 0; i < kTrackCount; ++i) {
            const float start = static_cast<float>(m_fadeStart[i]);
            m_volumes[i] = static_cast<int>(start + static_cast<float>(targets[i] - m_fadeStart[i]) * m_fFadeProgress);
        }
    } else {
        m_fFadeLeft = 0.0f;
        m_volumes = targets;
    }
    ApplyVolumes();
}

void CSoundManager::ApplyVolumes()
{
    if (m_pEngine == nullptr)
        return;
    for (int track : kPlayOrder) {
        const std::size_t i = static_cast<std::size_t>(track);
        const HStream stream = m_streams[i].Get();
        if (m_volumes[i] > 0 && stream != 0 && !m_pEngine->ChannelIsPlaying(m_channels[i]))
            m_channels[i] = m_pEngine->StreamPlay(stream, true, m_volumes[i]);
    }
    for (std::size_t i = 0; i < kTrackCount; ++i) {
        if (m_channels[i] != 0)
            m_pEngine->ChannelSetVolume(m_channels[i], m_volumes[i]);
    }
}

void CSoundManager::PauseAll()
{
    // A second focus loss before the focus returns must not save the silenced volumes.
    if (std::all_of(m_saved.begin(), m_saved.end(), [](int volume) { return volume == -1; }))
        m_saved = m_volumes;
    m_volumes.fill(0);
    ApplyVolumes();
    if (m_pEngine == nullptr)
        return;
    for (HChannel channel : m_registered)
        m_pEngine->ChannelPause(channel);
}

void CSoundManager::ResumeAll()
{
    for (std::size_t i = 0; i < kTrackCount; ++i) {
        if (m_saved[i] != -1)
            m_volumes[i] = m_saved[i];
    }
    m_saved.fill(-1);
    ApplyVolumes();
    if (m_pEngine == nullptr)
        return;
    for (HChannel channel : m_registered)
        m_pEngine->ChannelResume(channel);
}

void CSoundManager::AddChannel(HChannel channel)
{
    if (std::find(m_registered.begin(), m_registered.end(), channel) == m_registered.end())
        m_registered.push_back(channel);
}

void CSoundManager::RemoveChannel(HChannel channel)
{
    m_registered.erase(std::remove(m_registered.begin(), m_registered.end(), channel), m_registered.end());
}
