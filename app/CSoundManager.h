// CSoundManager.h: the single owner of the game's music and ambience.
//
// Keeps four looping streams (location music, menu music, location ambience, menu ambience),
// cross-fades between the music modes, loads the current location's pair, keeps three menu
// effects, and pauses and resumes all sound with the window's focus. Target volumes come from
// the current player's record (music and ambience percent). Holds its own engine reference.
#pragma once

#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"

#include <array>
#include <vector>

class CSoundManager {
public:
    enum Mode { kSilence = 0, kKeepMode = 1, kMenu = 2, kLocation = 3 };
    // Index of the four volumes, streams and channels (the fields' order).
    enum Track { kLocationMusic = 0, kMenuMusic = 1, kLocationAmbience = 2, kMenuAmbience = 3, kTrackCount = 4 };
    static constexpr int kLocationCount = 5;

    static CSoundManager* GetInstance();  // creates it on the first call
    static void Destroy();
    static bool Exists();

    void LoadLocationMusic(int location);
    void SetMusicMode(int mode, float seconds);
    void UpdateFade(float dt);
    void ApplyVolumes();
    void PauseAll();
    void ResumeAll();
    void AddChannel(HChannel channel);
    void RemoveChannel(HChannel channel);
    int GetMusicMode() const { return m_nMode; }

    int GetVolume(int track) const { return m_volumes[static_cast<std::size_t>(track)]; }
    HChannel GetChannel(int track) const { return m_channels[static_cast<std::size_t>(track)]; }
    HStream GetStream(int track) const { return m_streams[static_cast<std::size_t>(track)].Get(); }
    float GetFadeTimeLeft() const { return m_fFadeLeft; }
    const std::vector<HChannel>& GetRegisteredChannels() const { return m_registered; }

    // Lent to whoever plays them; m_effects below frees them.
    HEffect m_menuSelecting = 0;
    HEffect m_menuChoose = 0;
    HEffect m_gameLevelMedal = 0;

private:
    CSoundManager();
    ~CSoundManager();
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    void FreeLocationStreams();
    HEffect LoadEffect(const char* file);
    CStreamOwner LoadStream(const char* file);
    void TargetVolumes(std::array<int, kTrackCount>& targets) const;

    CEngineRef m_pEngine;  // first: the sound owners below borrow it
    std::vector<CEffectOwner> m_effects;
    std::array<CStreamOwner, kTrackCount> m_streams;
    std::array<int, kTrackCount> m_volumes{};
    std::array<int, kTrackCount> m_saved{-1, -1, -1, -1};
    std::array<int, kTrackCount> m_fadeStart{};
    float m_fFadeDuration = 0.0f;
    float m_fFadeLeft = 0.0f;
    float m_fFadeProgress = 0.0f;
    int m_nMode = kSilence;
    std::vector<HChannel> m_registered;
    std::array<HChannel, kTrackCount> m_channels{};
};
