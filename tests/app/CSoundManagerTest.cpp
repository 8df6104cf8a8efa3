// CSoundManagerTest.cpp: music modes and fades, step by step, against the engine's channels.
#include "app/CSoundManager.h"

#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Volumes = std::array<int, 4>;  // location music, menu music, location ambience, menu ambience

class CSoundManagerTest : public ::testing::Test {
protected:
    void TearDown() override { CSoundManager::Destroy(); }

    Volumes CurrentVolumes() const
    {
        Volumes v{};
        for (int i = 0; i < 4; ++i)
            v[static_cast<std::size_t>(i)] = m_sound->GetVolume(i);
        return v;
    }

    int ChannelVolume(int track)
    {
        auto it = m_fake->channels.find(m_sound->GetChannel(track));
        return it == m_fake->channels.end() ? -1 : it->second.volume;
    }

    ScopedFakeEngine m_fake;
    CSoundManager* m_sound = CSoundManager::GetInstance();
};

}  // namespace

TEST_F(CSoundManagerTest, CreationLoadsTheMenuEffectsAndStreamsAndStaysSilent)
{
    EXPECT_EQ(m_fake->loadedEffects, (std::vector<std::string>{"sfx/sounds/menu_selecting.ogg",
                                                               "sfx/sounds/menu_choose.ogg",
                                                               "sfx/sounds/game_level_medal.ogg"}));
    EXPECT_EQ(m_fake->loadedStreams, (std::vector<std::string>{"sfx/music/menu.ogg", "sfx/music/menu_amb.ogg"}));
    EXPECT_EQ(m_sound->GetMusicMode(), CSoundManager::kSilence);
    m_sound->UpdateFade(0.1f);
    EXPECT_TRUE(m_fake->channels.empty());
    EXPECT_EQ(CSoundManager::GetInstance(), m_sound);
}

TEST_F(CSoundManagerTest, MenuFadeInFollowsTheLinearStepsAndStartsTheStreams)
{
    m_sound->SetMusicMode(CSoundManager::kMenu, 1.0f);
    const Volumes expected[] = {{0, 15, 0, 10}, {0, 30, 0, 20}, {0, 45, 0, 30}, {0, 60, 0, 40}, {0, 60, 0, 40}};
    for (const Volumes& step : expected) {
        SCOPED_TRACE(step[1]);
        m_sound->UpdateFade(0.25f);
        EXPECT_EQ(CurrentVolumes(), step);
        EXPECT_EQ(ChannelVolume(CSoundManager::kMenuMusic), step[1]);
        EXPECT_EQ(ChannelVolume(CSoundManager::kMenuAmbience), step[3]);
    }
    EXPECT_EQ(m_sound->GetFadeTimeLeft(), 0.0f);
    EXPECT_EQ(m_fake->channels.size(), 2u);  // each stream was started once, looping
    for (const auto& channel : m_fake->channels)
        EXPECT_TRUE(channel.second.loop);
}

TEST_F(CSoundManagerTest, CrossFadeFromMenuToLocationTruncatesEachStep)
{
    m_sound->SetMusicMode(CSoundManager::kMenu, 0.5f);
    m_sound->UpdateFade(1.0f);
    m_sound->LoadLocationMusic(3);
    EXPECT_EQ(m_fake->loadedStreams.back(), "sfx/music/barbados_amb.ogg");  // Dubai borrows Barbados' ambience
    EXPECT_EQ(m_fake->loadedStreams[m_fake->loadedStreams.size() - 2], "sfx/music/dubai.ogg");
    m_sound->SetMusicMode(CSoundManager::kLocation, 4.0f);
    // Progress 1/8 per half second; each volume is start + (target - start) x progress, truncated.
    const Volumes expected[] = {{7, 52, 5, 35}, {15, 45, 10, 30}, {22, 37, 15, 25}};
    for (const Volumes& step : expected) {
        SCOPED_TRACE(step[0]);
        m_sound->UpdateFade(0.5f);
        EXPECT_EQ(CurrentVolumes(), step);
    }
    m_sound->UpdateFade(3.0f);  // the end of the fade lands on the targets exactly
    EXPECT_EQ(CurrentVolumes(), (Volumes{60, 0, 40, 0}));
    EXPECT_EQ(ChannelVolume(CSoundManager::kMenuMusic), 0);  // kept playing at volume 0
    EXPECT_EQ(ChannelVolume(CSoundManager::kLocationMusic), 60);
}

TEST_F(CSoundManagerTest, ReenteringLocationModeAfterItFadedOutRestartsTheLocationStreams)
{
    m_sound->LoadLocationMusic(0);
    m_sound->SetMusicMode(CSoundManager::kLocation, 0.5f);
    m_sound->UpdateFade(1.0f);
    const HChannel first = m_sound->GetChannel(CSoundManager::kLocationMusic);
    m_sound->SetMusicMode(CSoundManager::kMenu, 0.5f);
    m_sound->UpdateFade(1.0f);
    EXPECT_FALSE(m_fake->channels[first].stopped);  // playing on at volume 0
    m_sound->SetMusicMode(CSoundManager::kLocation, 0.5f);
    EXPECT_TRUE(m_fake->channels[first].stopped);
    m_sound->UpdateFade(0.25f);
    EXPECT_NE(m_sound->GetChannel(CSoundManager::kLocationMusic), first);  // started from its beginning
}

TEST_F(CSoundManagerTest, KeepModeRefadesWithinTheCurrentModeAndAZeroFadeChangesNothing)
{
    m_sound->SetMusicMode(CSoundManager::kMenu, 0.0f);
    EXPECT_EQ(m_sound->GetMusicMode(), CSoundManager::kMenu);
    m_sound->UpdateFade(0.5f);
    EXPECT_EQ(CurrentVolumes(), (Volumes{0, 0, 0, 0}));
    m_sound->SetMusicMode(CSoundManager::kKeepMode, 0.5f);
    EXPECT_EQ(m_sound->GetMusicMode(), CSoundManager::kMenu);
    m_sound->UpdateFade(0.5f);
    EXPECT_EQ(CurrentVolumes(), (Volumes{0, 60, 0, 40}));
}

TEST_F(CSoundManagerTest, UnknownLocationsLeaveTheLocationStreamsEmpty)
{
    m_sound->LoadLocationMusic(4);
    EXPECT_EQ(m_fake->loadedStreams.back(), "sfx/music/montecarlo_amb.ogg");
    for (int location : {-1, 5}) {
        m_sound->LoadLocationMusic(location);
        EXPECT_EQ(m_sound->GetStream(CSoundManager::kLocationMusic), 0u);
        EXPECT_EQ(m_sound->GetStream(CSoundManager::kLocationAmbience), 0u);
    }
}

TEST_F(CSoundManagerTest, FocusLossSilencesAndPausesAndTheFocusBringsBothBack)
{
    m_sound->SetMusicMode(CSoundManager::kMenu, 0.5f);
    m_sound->UpdateFade(1.0f);
    const HChannel effect = m_fake->EffectPlay(m_sound->m_menuChoose, 100, 0, 1.0f, true);
    m_sound->AddChannel(effect);
    m_sound->AddChannel(effect);
    EXPECT_EQ(m_sound->GetRegisteredChannels().size(), 1u);

    m_sound->PauseAll();
    m_sound->PauseAll();  // a second loss must not save the silenced volumes
    EXPECT_EQ(CurrentVolumes(), (Volumes{0, 0, 0, 0}));
    EXPECT_EQ(ChannelVolume(CSoundManager::kMenuMusic), 0);
    EXPECT_TRUE(m_fake->channels[effect].paused);

    m_sound->ResumeAll();
    EXPECT_EQ(CurrentVolumes(), (Volumes{0, 60, 0, 40}));
    EXPECT_EQ(ChannelVolume(CSoundManager::kMenuAmbience), 40);
    EXPECT_FALSE(m_fake->channels[effect].paused);

    m_sound->RemoveChannel(effect);
    m_sound->PauseAll();
    EXPECT_FALSE(m_fake->channels[effect].paused);
}

TEST_F(CSoundManagerTest, FocusLossDuringAFadeLetsTheFadeGoOn)
{
    m_sound->SetMusicMode(CSoundManager::kMenu, 1.0f);
    m_sound->UpdateFade(0.5f);
    m_sound->PauseAll();
    EXPECT_EQ(CurrentVolumes(), (Volumes{0, 0, 0, 0}));
    m_sound->UpdateFade(0.25f);
    EXPECT_EQ(CurrentVolumes(), (Volumes{0, 45, 0, 30}));
}

TEST_F(CSoundManagerTest, DestroyStopsThePlayingChannels)
{
    m_sound->SetMusicMode(CSoundManager::kMenu, 0.5f);
    m_sound->UpdateFade(1.0f);
    const HChannel music = m_sound->GetChannel(CSoundManager::kMenuMusic);
    CSoundManager::Destroy();
    EXPECT_FALSE(CSoundManager::Exists());
    EXPECT_TRUE(m_fake->channels[music].stopped);
}
