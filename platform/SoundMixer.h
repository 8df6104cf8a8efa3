// SoundMixer.h: sound effects, streams and channels over SDL_mixer.
//
// Streams are decoded whole when loaded and play on channels kept for them, so music and
// ambience loop at the same time and effects never take their channels. A channel handle names
// one play: once its mixer channel is reused, the old handle matches nothing and does nothing.
// Without an audio device every call still succeeds where it can (loads give handles) and
// plays give no channel: the game runs muted.
#pragma once

#include "platform/Engine.h"

#include <cstdint>
#include <map>
#include <vector>

class EngineLog;
struct Mix_Chunk;

class SoundMixer {
public:
    ~SoundMixer();
    bool Open(bool headless, bool noAudio, EngineLog& log);   // false: no device, muted
    void Close();

    std::uint32_t Load(const char* path, bool stream);
    void Free(std::uint32_t sound, bool stream);
    HChannel Play(std::uint32_t sound, bool stream, int volume, int pan, bool loop);
    void SetVolume(HChannel channel, int volume);
    void SetPanning(HChannel channel, int pan);
    void Pause(HChannel channel);
    void Resume(HChannel channel);
    void Stop(HChannel channel);
    void PauseAll();
    void ResumeAll();
    bool IsPlaying(HChannel channel);

private:
    bool OpenDevice();                         // SDL's error text tells why not
    int ChannelOf(HChannel channel) const;     // -1 when stale or unknown
    int FreeStreamChannel() const;

    static constexpr int kChannels = 32;
    static constexpr int kStreamChannels = 4;  // channels 0..3; effects use the rest
    EngineLog* m_pLog = nullptr;
    bool m_bOpen = false;
    std::map<std::uint32_t, Mix_Chunk*> m_effects;   // a null chunk: loaded while muted
    std::map<std::uint32_t, Mix_Chunk*> m_streams;
    std::vector<HChannel> m_owner = std::vector<HChannel>(kChannels, 0);  // the play on each channel
};
