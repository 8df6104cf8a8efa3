// Sound through the headless engine (SDL's dummy audio device plays in real time, unheard).
#include "support/HeadlessEngine.h"

#include <cstdint>

namespace {

// A mono 16-bit WAV of `seconds` of a quiet square wave.
std::string WavBytes(double seconds)
{
    const std::uint32_t rate = 22050;
    const std::uint32_t samples = static_cast<std::uint32_t>(rate * seconds);
    std::string out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&](std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    out += "RIFF";
    u32(36 + samples * 2);
    out += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16(static_cast<std::uint16_t>((i / 50) % 2 ? 1000 : -1000));
    return out;
}

class Sound : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        WriteDataFile("snd/click.wav", WavBytes(3.0));
        WriteDataFile("music/theme.wav", WavBytes(3.0));
        WriteDataFile("music/wind.wav", WavBytes(3.0));
    }
};

TEST_F(Sound, StaleChannelHandleNeverReachesTheSoundOnTheReusedChannel)
{
    const HEffect effect = m_pEngine->EffectLoad("SND\\Click.WAV");
    ASSERT_NE(effect, 0u);
    const HChannel first = m_pEngine->EffectPlay(effect, 100, 0, 1.0f, false);
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(first));
    m_pEngine->ChannelStop(first);
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(first));

    const HChannel second = m_pEngine->EffectPlay(effect, 50, -100, 1.0f, true);  // takes the freed channel
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    m_pEngine->ChannelStop(first);
    m_pEngine->ChannelPause(first);
    m_pEngine->ChannelSetVolume(first, 0);
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(first));
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(second));
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(0));
}

TEST_F(Sound, MusicAndAmbienceLoopTogetherAndPauseAndResume)
{
    const HStream music = m_pEngine->StreamLoad("music/theme.wav");
    const HStream wind = m_pEngine->StreamLoad("MUSIC/WIND.wav");
    ASSERT_NE(music, 0u);
    ASSERT_NE(wind, 0u);
    const HChannel a = m_pEngine->StreamPlay(music, true, 80);
    const HChannel b = m_pEngine->StreamPlay(wind, true, 40);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(a));
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(b));
    m_pEngine->ChannelPause(a);
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(a));
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(b));
    m_pEngine->ChannelResume(a);
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(a));
    m_pEngine->ChannelPauseAll();
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(a));
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(b));
    m_pEngine->ChannelResumeAll();
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(a));
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(b));
    m_pEngine->StreamFree(wind);
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(b));
    EXPECT_TRUE(m_pEngine->ChannelIsPlaying(a));
}

TEST_F(Sound, EffectsCannotCrowdOutStreams)
{
    const HEffect effect = m_pEngine->EffectLoad("snd/click.wav");
    int played = 0;
    while (played < 100 && m_pEngine->EffectPlay(effect) != 0)
        ++played;
    EXPECT_LT(played, 100);  // the mixer's channels run out...
    const HStream music = m_pEngine->StreamLoad("music/theme.wav");
    EXPECT_NE(m_pEngine->StreamPlay(music, true), 0u);  // ...but not those kept for streams
}

TEST_F(Sound, MissingOrUndecodableSoundsFailWithOneLogLine)
{
    WriteDataFile("snd/bad.ogg", "OggS but not really");
    EXPECT_EQ(m_pEngine->EffectLoad("snd/none.ogg"), 0u);
    EXPECT_TRUE(LogHasLine("[E] Engine: can't open sound file snd/none.ogg"));
    EXPECT_EQ(m_pEngine->StreamLoad("snd/bad.ogg"), 0u);
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines().back().rfind("[E] Engine: can't decode sound file snd/bad.ogg", 0), 0u);
    EXPECT_EQ(m_pEngine->EffectPlay(12345), 0u);
}

}  // namespace

namespace {

class MutedSound : public HeadlessEngineTest {
protected:
    void AdjustOptions(EngineOptions& options) override { options.noAudio = true; }
};

TEST_F(MutedSound, WithoutAnAudioDeviceLoadsSucceedAndPlaysGiveNoChannel)
{
    WriteDataFile("snd/click.wav", WavBytes(0.1));
    EXPECT_TRUE(LogHasLine("[W] Engine: no audio device (turned off), sound is off"));
    const HEffect effect = m_pEngine->EffectLoad("snd/click.wav");
    const HStream stream = m_pEngine->StreamLoad("snd/click.wav");
    EXPECT_NE(effect, 0u);  // the game logs no missing sounds when it merely cannot hear them
    EXPECT_NE(stream, 0u);
    EXPECT_EQ(m_pEngine->EffectPlay(effect), 0u);
    EXPECT_EQ(m_pEngine->StreamPlay(stream, true), 0u);
    m_pEngine->ChannelPauseAll();
    m_pEngine->ChannelResumeAll();
    EXPECT_FALSE(m_pEngine->ChannelIsPlaying(1));
    EXPECT_EQ(m_pEngine->EffectLoad("snd/none.wav"), 0u);  // a missing file is still missing
    m_pEngine->EffectFree(effect);
    m_pEngine->StreamFree(stream);
}

}  // namespace
