// PlayerRecord.cpp: the record's byte image and its repair after loading.
#include "progress/PlayerRecord.h"

#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename T, std::size_t N>
void WriteI32Array(CByteWriter& out, const std::array<T, N>& values)
{
    for (T value : values)
        out.WriteI32(value);
}

template <typename T, std::size_t N>
void ReadI32Array(CByteReader& in, std::array<T, N>& values)
{
    for (T& value : values)
        in.ReadI32(value);
}

template <std::size_t N>
void ClampAll(std::array<std::int32_t, N>& values, std::int32_t low, std::int32_t high)
{
    for (std::int32_t& value : values)
        value = std::clamp(value, low, high);
}

}  // namespace

std::string PlayerRecord::GetName() const
{
    return std::string(m_szName.data(), ::strnlen(m_szName.data(), m_szName.size()));
}

void PlayerRecord::SetName(const std::string& name)
{
    m_szName.fill(0);
    std::memcpy(m_szName.data(), name.data(), std::min(name.size(), kNameBytes - 1));
}

void PlayerRecord::Serialize(CByteWriter& out) const
{
    out.WriteU8(m_bReserved);
    out.WriteU8(m_bUseBonusAdvice);
    out.WriteBytes(m_introShown.data(), m_introShown.size());
    out.WriteZeros(3);
    out.WriteI32(m_nRank);
    out.WriteI32(m_nRankProgress);
    out.WriteBytes(m_locationOpened.data(), m_locationOpened.size());
    out.WriteZeros(3);
    WriteI32Array(out, m_storyLevels);
    WriteI32Array(out, m_hardcoreLevels);
    WriteI32Array(out, m_bonusLevels);
    out.WriteI32(m_nSelectedStory);
    out.WriteI32(m_nSelectedBonus);
    out.WriteI32(m_nSelectedHardcore);
    out.WriteI32(m_nPendingNewLocation);
    out.WriteI32(m_nPendingNewBonus);
    out.WriteI32(m_nPendingNewHardcore);
    WriteI32Array(out, m_pendingCongrats);
    out.WriteI32(m_nFinaleState);
    out.WriteU8(m_bTopRankReached);
    out.WriteU8(m_bMasterWindowShown);
    out.WriteZeros(2);
    out.WriteI32(m_nStoryScore);
    out.WriteI32(m_nClassicScore);
    out.WriteBytes(m_szName.data(), m_szName.size());
    out.WriteI32(m_nClassicLocation);
    out.WriteU8(m_nTableBackground);
    out.WriteU8(m_bHints);
    out.WriteZeros(2);
    out.WriteI32(m_nEffectVolume);
    out.WriteI32(m_nMusicVolume);
    out.WriteI32(m_nAmbientVolume);
    out.WriteI32(m_nConsecutiveGolds);
    out.WriteBytes(m_trophyEarned.data(), m_trophyEarned.size());
    out.WriteBytes(m_trophyShown.data(), m_trophyShown.size());
    out.WriteI32(m_nLastMaxCombo);
    out.WriteI32(m_nBonusesUsed);
    out.WriteU8(m_bGoldenCard);
    out.WriteU8(m_bTableFlag);
    out.WriteZeros(2);
    out.WriteI32(m_nTableValue1);
    out.WriteI32(m_nTableValue2);
    out.WriteU8(m_bMapVisited);
    out.WriteU8(m_bStoryLevelPlayed);
    out.WriteZeros(2);
    out.WriteI32(m_nCardBack);
    out.WriteU8(m_bCardBackRotation);
    out.WriteU8(m_bUseBonuses);
    out.WriteU8(m_bAllGoldButOne);
    out.WriteU8(m_bAllStoryCompleted);
    out.WriteU8(m_bAllStoryGold);
    out.WriteU8(m_bEverythingGold);
    out.WriteU8(m_bMasterMode);
    out.WriteZeros(1);
}

bool PlayerRecord::Parse(CByteReader& in)
{
    if (in.Remaining() < kSize)
        return false;
    in.ReadU8(m_bReserved);
    in.ReadU8(m_bUseBonusAdvice);
    in.ReadBytes(m_introShown.data(), m_introShown.size());
    in.Skip(3);
    in.ReadI32(m_nRank);
    in.ReadI32(m_nRankProgress);
    in.ReadBytes(m_locationOpened.data(), m_locationOpened.size());
    in.Skip(3);
    ReadI32Array(in, m_storyLevels);
    ReadI32Array(in, m_hardcoreLevels);
    ReadI32Array(in, m_bonusLevels);
    in.ReadI32(m_nSelectedStory);
    in.ReadI32(m_nSelectedBonus);
    in.ReadI32(m_nSelectedHardcore);
    in.ReadI32(m_nPendingNewLocation);
    in.ReadI32(m_nPendingNewBonus);
    in.ReadI32(m_nPendingNewHardcore);
    ReadI32Array(in, m_pendingCongrats);
    in.ReadI32(m_nFinaleState);
    in.ReadU8(m_bTopRankReached);
    in.ReadU8(m_bMasterWindowShown);
    in.Skip(2);
    in.ReadI32(m_nStoryScore);
    in.ReadI32(m_nClassicScore);
    in.ReadBytes(m_szName.data(), m_szName.size());
    in.ReadI32(m_nClassicLocation);
    in.ReadU8(m_nTableBackground);
    in.ReadU8(m_bHints);
    in.Skip(2);
    in.ReadI32(m_nEffectVolume);
    in.ReadI32(m_nMusicVolume);
    in.ReadI32(m_nAmbientVolume);
    in.ReadI32(m_nConsecutiveGolds);
    in.ReadBytes(m_trophyEarned.data(), m_trophyEarned.size());
    in.ReadBytes(m_trophyShown.data(), m_trophyShown.size());
    in.ReadI32(m_nLastMaxCombo);
    in.ReadI32(m_nBonusesUsed);
    in.ReadU8(m_bGoldenCard);
    in.ReadU8(m_bTableFlag);
    in.Skip(2);
    in.ReadI32(m_nTableValue1);
    in.ReadI32(m_nTableValue2);
    in.ReadU8(m_bMapVisited);
    in.ReadU8(m_bStoryLevelPlayed);
    in.Skip(2);
    in.ReadI32(m_nCardBack);
    in.ReadU8(m_bCardBackRotation);
    in.ReadU8(m_bUseBonuses);
    in.ReadU8(m_bAllGoldButOne);
    in.ReadU8(m_bAllStoryCompleted);
    in.ReadU8(m_bAllStoryGold);
    in.ReadU8(m_bEverythingGold);
    in.ReadU8(m_bMasterMode);
    in.Skip(1);
    return !in.Failed();
}

void PlayerRecord::Sanitize()
{
    m_szName.back() = 0;
    m_nRank = std::clamp(m_nRank, 0, kRanks - 1);
    m_nRankProgress = std::clamp(m_nRankProgress, 0, 100);
    ClampAll(m_storyLevels, kLevelClosed, kLevelGold);
    ClampAll(m_hardcoreLevels, kLevelClosed, kLevelGold);
    ClampAll(m_bonusLevels, kLevelClosed, kLevelGold);
    m_nSelectedStory = std::clamp(m_nSelectedStory, -1, kStoryLevels - 1);
    m_nSelectedBonus = std::clamp(m_nSelectedBonus, -1, kLocations - 1);
    m_nSelectedHardcore = std::clamp(m_nSelectedHardcore, -1, kLocations - 1);
    m_nPendingNewLocation = std::clamp(m_nPendingNewLocation, -1, kLocations - 1);
    m_nPendingNewBonus = std::clamp(m_nPendingNewBonus, -1, kLocations - 1);
    m_nPendingNewHardcore = std::clamp(m_nPendingNewHardcore, -1, kLocations - 1);
    m_nClassicLocation = std::clamp(m_nClassicLocation, 0, kLocations - 1);
    m_nCardBack = std::clamp(m_nCardBack, -1, 2);
    m_nEffectVolume = std::clamp(m_nEffectVolume, 0, 100);
    m_nMusicVolume = std::clamp(m_nMusicVolume, 0, 100);
    m_nAmbientVolume = std::clamp(m_nAmbientVolume, 0, 100);
}
