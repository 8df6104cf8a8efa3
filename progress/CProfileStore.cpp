// CProfileStore.cpp: loading and saving "save.dat", the player list and the unlocking rules.
#include "progress/CProfileStore.h"

#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"
#include "progress/StoreFile.h"

#include <algorithm>

namespace {

const char* const kSaveFile = "save.dat";

template <std::size_t N>
bool AllAtLeast(const std::array<std::int32_t, N>& levels, std::int32_t state, int skip)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<int>(i) != skip && levels[i] < state)
            return false;
    }
    return true;
}

template <std::size_t N>
bool AllExactly(const std::array<std::int32_t, N>& levels, std::int32_t state)
{
    return std::all_of(levels.begin(), levels.end(), [state](std::int32_t level) { return level == state; });
}

// Completed story levels of a location a location needs before the next one opens.
constexpr int kOpenThreshold[4] = {3, 4, 5, 5};
constexpr int kLevelsPerLocation = 5;

}  // namespace

CProfileStore::CProfileStore()
{
    Load();
    if (m_nVersion != kVersion || m_players.empty())
        ResetToDefaults();
}

CProfileStore::~CProfileStore()
{
    Save();
}

void CProfileStore::ResetToDefaults()
{
    m_players.clear();
    m_nVersion = kVersion;
    m_bHighDetail = 1;
    m_bSoftwareCursor = 0;
    m_bFullScreen = 1;
    m_bFitToDesktop = 0;
    m_nPendingFullScreen = 0;
    m_nPendingFit = 0;
    m_nCurrentIndex = 0;
    NewPlayer("PLAYER", false);
}

bool CProfileStore::Load()
{
    m_players.clear();
    const std::string path = BuildDataPath(kSaveFile);
    std::vector<std::uint8_t> bytes;
    const std::size_t maxSize = kHeaderSize + PlayerRecord::kSize * kMaxPlayers;
    const store_file::ReadResult result = store_file::Read(path, bytes, maxSize);
    if (result == store_file::ReadResult::Missing)
        return false;
    if (result == store_file::ReadResult::Damaged) {
        store_file::KeepAside(path);
        return false;
    }
    CByteReader in(bytes.data(), bytes.size());
    std::uint32_t version = 0;
    if (in.ReadU32(version) && version != kVersion) {
        // Another version is not damage: keep it untouched until the first save would replace it.
        m_nVersion = version;
        m_nVersionOnDisk = version;
        return false;
    }
    if (!ParseFile(bytes)) {
        m_players.clear();
        store_file::KeepAside(path);
        return false;
    }
    m_current = m_players[static_cast<std::size_t>(m_nCurrentIndex)];
    // A trophy presented but not yet taken into the trophy room is presented again.
    m_current.m_trophyShown = m_current.m_trophyEarned;
    return true;
}

bool CProfileStore::ParseFile(const std::vector<std::uint8_t>& bytes)
{
    CByteReader in(bytes.data(), bytes.size());
    std::uint32_t version = 0;
    std::uint8_t fullScreen = 0, highDetail = 0, softwareCursor = 0, fit = 0;
    std::int32_t count = 0, index = 0, pendingFull = 0, pendingFit = 0;
    in.ReadU32(version);
    in.ReadU8(fullScreen);
    in.ReadU8(highDetail);
    in.ReadU8(softwareCursor);
    in.ReadI32(count);
    in.ReadI32(index);
    in.ReadI32(pendingFull);
    in.ReadI32(pendingFit);
    in.ReadU8(fit);
    if (in.Failed() || count < 1 || count > kMaxPlayers)
        return false;
    if (in.Remaining() != PlayerRecord::kSize * static_cast<std::size_t>(count))
        return false;
    if (index < 0 || index >= count)
        return false;
    std::vector<PlayerRecord> players(static_cast<std::size_t>(count));
    for (PlayerRecord& player : players) {
        if (!player.Parse(in))
            return false;
        player.Sanitize();
    }
    m_nVersion = version;
    m_bFullScreen = fullScreen;
    m_bHighDetail = highDetail;
    m_bSoftwareCursor = softwareCursor;
    m_nCurrentIndex = index;
    m_nPendingFullScreen = std::clamp(pendingFull, -1, 1);
    m_nPendingFit = std::clamp(pendingFit, -1, 1);
    m_bFitToDesktop = fit;
    m_players = std::move(players);
    return true;
}

void CProfileStore::StoreCurrent()
{
    if (m_nCurrentIndex >= 0 && m_nCurrentIndex < GetPlayerCount())
        m_players[static_cast<std::size_t>(m_nCurrentIndex)] = m_current;
}

bool CProfileStore::Save()
{
    if (m_players.empty())
        return true;  // the default player is never written
    StoreCurrent();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kHeaderSize + PlayerRecord::kSize * m_players.size());
    CByteWriter out(bytes);
    out.WriteU32(m_nVersion);
    out.WriteU8(m_bFullScreen);
    out.WriteU8(m_bHighDetail);
    out.WriteU8(m_bSoftwareCursor);
    out.WriteI32(GetPlayerCount());
    out.WriteI32(m_nCurrentIndex);
    out.WriteI32(m_nPendingFullScreen);
    out.WriteI32(m_nPendingFit);
    out.WriteU8(m_bFitToDesktop);
    for (const PlayerRecord& player : m_players)
        player.Serialize(out);
    if (m_nVersionOnDisk != kVersion) {
        store_file::KeepAsideOtherVersion(BuildDataPath(kSaveFile), m_nVersionOnDisk);
        m_nVersionOnDisk = kVersion;
    }
    return store_file::Write(BuildDataPath(kSaveFile), bytes);
}

void CProfileStore::NewPlayer(const std::string& name, bool save)
{
    if (!m_players.empty())
        StoreCurrent();
    m_current = PlayerRecord();
    m_current.SetName(name);
    if (!save)
        return;
    m_players.push_back(m_current);
    m_nCurrentIndex = GetPlayerCount() - 1;
    Save();
}

bool CProfileStore::SelectPlayer(int index)
{
    if (index < 0 || index >= GetPlayerCount())
        return false;
    StoreCurrent();
    m_current = m_players[static_cast<std::size_t>(index)];
    m_nCurrentIndex = index;
    m_current.m_trophyShown = m_current.m_trophyEarned;
    Save();
    return true;
}

bool CProfileStore::DeletePlayer(int index)
{
    // With no player left the store would fall back to an unsaved default on the next start
    // and silently lose the file's settings; the selection screen never needs this.
    if (index < 0 || index >= GetPlayerCount() || GetPlayerCount() <= 1)
        return false;
    m_players.erase(m_players.begin() + index);
    m_nCurrentIndex = 0;
    m_current = m_players.front();
    Save();
    return true;
}

void CProfileStore::GetPlayerNames(std::vector<std::string>& names) const
{
    names.clear();
    for (const PlayerRecord& player : m_players)
        names.push_back(player.GetName());
}

int CProfileStore::FindPlayer(const std::string& name) const
{
    for (std::size_t i = 0; i < m_players.size(); ++i) {
        if (m_players[i].GetName() == name)
            return static_cast<int>(i);
    }
    return -1;
}

std::string CProfileStore::BuildDataPath(const std::string& fileName)
{
    return store_file::DataPath(fileName);
}

bool CProfileStore::CheckAllGold(int skipStory, int skipBonus, int skipHardcore)
{
    PlayerRecord& r = m_current;
    if (r.m_bAllGoldButOne == 0 && AllAtLeast(r.m_storyLevels, kLevelGold, skipStory) &&
        AllAtLeast(r.m_bonusLevels, kLevelGold, skipBonus) &&
        AllAtLeast(r.m_hardcoreLevels, kLevelGold, skipHardcore)) {
        r.m_nFinaleState = 0;
        r.m_bAllGoldButOne = 1;
    }
    return r.m_bAllGoldButOne != 0;
}

int CProfileStore::UpdateUnlocks()
{
    PlayerRecord& r = m_current;
    const bool everythingGold = AllAtLeast(r.m_storyLevels, kLevelGold, -1) &&
                                AllAtLeast(r.m_bonusLevels, kLevelGold, -1) &&
                                AllAtLeast(r.m_hardcoreLevels, kLevelGold, -1);
    if (!r.m_bAllStoryCompleted && AllAtLeast(r.m_storyLevels, kLevelBronze, -1)) {
        r.m_pendingCongrats[0] = 0;
        r.m_bAllStoryCompleted = 1;
    }
    if (!r.m_bAllStoryGold && AllAtLeast(r.m_storyLevels, kLevelGold, -1)) {
        r.m_pendingCongrats[1] = 0;
        r.m_bAllStoryGold = 1;
    }
    if (!r.m_bEverythingGold && everythingGold) {
        r.m_pendingCongrats[2] = 0;
        r.m_bEverythingGold = 1;
        r.m_nFinaleState = 1;
    }
    if (!r.m_bMasterMode && AllExactly(r.m_storyLevels, kLevelGold) && AllExactly(r.m_bonusLevels, kLevelGold) &&
        AllExactly(r.m_hardcoreLevels, kLevelGold)) {
        r.m_pendingCongrats[2] = 0;
        r.m_pendingCongrats[3] = 0;
        r.m_bMasterMode = 1;
    }

    int opened = -1;
    for (int location = PlayerRecord::kLocations - 1; location >= 0; --location) {
        int completed = 0, golds = 0;
        for (int i = 0; i < kLevelsPerLocation; ++i) {
            const std::int32_t state = r.m_storyLevels[static_cast<std::size_t>(location * kLevelsPerLocation + i)];
            completed += state >= kLevelBronze ? 1 : 0;
            golds += state >= kLevelGold ? 1 : 0;
        }
        const std::size_t at = static_cast<std::size_t>(location);
        golds += r.m_bonusLevels[at] == kLevelGold ? 1 : 0;
        if (location < PlayerRecord::kLocations - 1 && completed >= kOpenThreshold[location]) {
            const int next = location + 1;
            for (int i = 0; i < kLevelsPerLocation; ++i) {
                std::int32_t& state = r.m_storyLevels[static_cast<std::size_t>(next * kLevelsPerLocation + i)];
                if (state == kLevelClosed)
                    state = kLevelOpen;
            }
            r.m_nSelectedStory = next * kLevelsPerLocation;
            r.m_nSelectedBonus = -1;
            r.m_nSelectedHardcore = -1;
            if (!r.m_locationOpened[static_cast<std::size_t>(next)]) {
                r.m_locationOpened[static_cast<std::size_t>(next)] = 1;
                opened = next;
            }
        }
        if (completed == kLevelsPerLocation && r.m_bonusLevels[at] == kLevelClosed) {
            r.m_bonusLevels[at] = kLevelOpen;
            r.m_nPendingNewBonus = location;
        }
        if (golds >= 6 && r.m_hardcoreLevels[at] == kLevelClosed) {
            r.m_hardcoreLevels[at] = kLevelOpen;
            r.m_nPendingNewHardcore = location;
        }
    }
    return opened;
}

int CProfileStore::GetCurrentLocation() const
{
    const PlayerRecord& r = m_current;
    if (r.m_nSelectedStory >= 0)
        return r.m_nSelectedStory / kLevelsPerLocation;
    if (r.m_nSelectedBonus >= 0)
        return r.m_nSelectedBonus;
    if (r.m_nSelectedHardcore >= 0)
        return r.m_nSelectedHardcore;
    for (int location = PlayerRecord::kLocations - 1; location > 0; --location) {
        if (r.m_locationOpened[static_cast<std::size_t>(location)])
            return location;
    }
    return 0;
}

void CProfileStore::ApplyPendingDisplayChanges()
{
    if (m_nPendingFit == 1) {
        m_bFitToDesktop = 1;
        m_bFullScreen = 1;
        m_nPendingFit = 0;
        m_nPendingFullScreen = 0;
        return;
    }
    if (m_nPendingFit == -1) {
        m_bFitToDesktop = 0;
        m_nPendingFit = 0;
    }
    if (m_nPendingFullScreen == 1) {
        m_bFullScreen = 1;
    } else if (m_nPendingFullScreen == -1) {
        m_bFullScreen = 0;
        m_bFitToDesktop = 0;
    }
    m_nPendingFullScreen = 0;
}

void CProfileStore::ForceFullScreenOnly()
{
    m_bFitToDesktop = 0;
    m_bFullScreen = 1;
    m_nPendingFit = 0;
    m_nPendingFullScreen = 0;
}
