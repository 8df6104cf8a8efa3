#include "feedback/FeedbackSession.h"

#include <chrono>
#include <cmath>
#include <vector>

#include "feedback/ConfigSource.h"
#include "feedback/ConfigText.h"
#include "feedback/WideText.h"
#include "platform/feedback_sys/FeedbackSystem.h"
#include "platform/files/HostFiles.h"

namespace {

constexpr std::size_t kInitialBins = 17;
constexpr std::size_t kSectionListLimit = 9998;  // a full section-name buffer reports this length
constexpr FileTime kUnixEpochAsFileTime = 116444736000000000ull;

struct NamedFlag {
    const char16_t* Name;
    std::uint32_t Bit;
};

const NamedFlag kSessionFlags[] = {
    {u"AUTO_COINITIALIZE", SessionFlags::AUTO_COINITIALIZE}, {u"DEBUG_MODE", SessionFlags::DEBUG_MODE},
    {u"UNATTENDED_MODE", SessionFlags::UNATTENDED_MODE},     {u"NO_DXDIAG", SessionFlags::NO_DXDIAG},
    {u"NO_CRASH_DETECT", SessionFlags::NO_CRASH_DETECT},     {u"NO_COMPRESSION", SessionFlags::NO_COMPRESSION},
    {u"WAIT_FOR_SERVER", SessionFlags::WAIT_FOR_SERVER},     {u"THROTTLE_NETWORK", SessionFlags::THROTTLE_NETWORK},
    {u"FORCE_DISABLE", SessionFlags::FORCE_DISABLE},         {u"USE_FEEDBACK_LEVEL", SessionFlags::USE_FEEDBACK_LEVEL},
    {u"MASK_PLAYERIDS", SessionFlags::MASK_PLAYERIDS},
};

const NamedFlag kFilterFlags[] = {
    {u"flags.NO_REPORT", FilterFlags::NO_REPORT},
    {u"flags.COUNT_ONLY", FilterFlags::COUNT_ONLY},
    {u"flags.BUFFER", FilterFlags::BUFFER},
    {u"flags.NO_LOG", FilterFlags::NO_LOG},
};

const NamedFlag kLogFlags[] = {
    {u"GENERAL_ERROR", LogFlags::GENERAL_ERROR},
    {u"GENERAL_WARNING", LogFlags::GENERAL_WARNING},
    {u"GENERAL_ABORT", LogFlags::GENERAL_ABORT},
    {u"USE_OUTPUT_FILE", LogFlags::USE_OUTPUT_FILE},
    {u"OUTPUT_FILE_APPENDEXISTING", LogFlags::OUTPUT_FILE_APPENDEXISTING},
    {u"CAPTURE_SUBMITTED", LogFlags::CAPTURE_SUBMITTED},
    {u"CAPTURE_RECORDED", LogFlags::CAPTURE_RECORDED},
    {u"CAPTURE_FILTERED_NOREPORT", LogFlags::CAPTURE_FILTERED_NOREPORT},
    {u"CAPTURE_FILTERED_FEEDBACKLEVEL", LogFlags::CAPTURE_FILTERED_FEEDBACKLEVEL},
    {u"CAPTURE_FILTERED_BUFFERED", LogFlags::CAPTURE_FILTERED_BUFFERED},
    {u"CAPTURE_FILTERED_COUNTONLY", LogFlags::CAPTURE_FILTERED_COUNTONLY},
    {u"TRANSFER_EVENT_REPORTED", LogFlags::TRANSFER_EVENT_REPORTED},
    {u"TRANSFER_EVENT_FILTERED", LogFlags::TRANSFER_EVENT_FILTERED},
    {u"TRANSFER_WEBSERVICECALL", LogFlags::TRANSFER_WEBSERVICECALL},
    {u"TRANSFER_NETWORKDETAILS", LogFlags::TRANSFER_NETWORKDETAILS},
    {u"INTERNAL_INFO", LogFlags::INTERNAL_INFO},
};

std::uint32_t ReadFlags(ConfigSource& config, std::u16string_view section, const NamedFlag* flags, std::size_t count,
                        std::uint32_t current)
{
    for (std::size_t k = 0; k < count; ++k) {
        if (config.ParseBool(flags[k].Name, (current & flags[k].Bit) != 0, section))
            current |= flags[k].Bit;
        else
            current &= ~flags[k].Bit;
    }
    return current;
}

// Signed seconds from one FILETIME to another: the host may move its offset backwards.
double SecondsBetween(FileTime from, FileTime to)
{
    return static_cast<double>(static_cast<std::int64_t>(to - from)) / 1e7;
}

std::vector<std::u16string_view> SplitAtSlash(std::u16string_view text)
{
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = text.find(u'/', start);
        parts.push_back(text.substr(start, slash == std::u16string_view::npos ? slash : slash - start));
        if (slash == std::u16string_view::npos)
            return parts;
        start = slash + 1;
    }
}

const std::u16string kStatChanged = u"sys_statchanged";

}  // namespace

FeedbackSession::FeedbackSession(const SessionInit& init, ConfigSource& config)
    : m_pConfig(&config), m_filters(kInitialBins), m_statRollups(kInitialBins), m_countRollups(kInitialBins)
{
    LoadOptions(init);
    LoadLogSettings(nullptr);
    m_startTime = GetClientTime();
}

// ---------------------------------------------------------------------------------------------------------------
// Options

void FeedbackSession::LoadOptions(const SessionInit& init)
{
    m_options = SessionOptions();
    m_options.Flags = init.Flags;
    m_options.ServiceUrl = WideText::FromHost(init.ServiceUrl);
    m_options.Version = init.Version;
    m_options.GameName = WideText::FromHost(init.GameName);
    m_options.GameID = init.GameID;
    m_options.GameVersion = init.GameVersion;
    m_options.BuildConfig = WideText::FromHost(init.BuildConfig);
    m_options.NetworkMaxBytesPerSecond = init.NetworkMaxBytesPerSecond;
    m_options.FeedbackLevel = init.FeedbackLevel;
    if (init.Version > 0x10005)
        m_options.OptOutUrl = WideText::FromHost(init.OptOutUrl);

    if (FeedbackSystem::DebuggerAttached())
        m_options.Flags |= SessionFlags::WAIT_FOR_SERVER;  // a debugger's pauses would outlast the short time-out
    if (m_options.NetworkMaxBytesPerSecond == 0)
        m_options.NetworkMaxBytesPerSecond = kDefaultBytesPerSecond;
    if (!m_options.Has(SessionFlags::USE_FEEDBACK_LEVEL))
        m_options.FeedbackLevel = kNoFeedbackLevel;
    m_options.RequireLanguageId = 0;

    LoadFlags();
    LoadOptionValues();
    LoadHostFilters(init.EventFilters);
    LoadSectionFilters();
}

void FeedbackSession::LoadFlags()
{
    m_options.Flags = ReadFlags(*m_pConfig, u"Flags", kSessionFlags, std::size(kSessionFlags), m_options.Flags);
}

void FeedbackSession::LoadOptionValues()
{
    ConfigSource& config = *m_pConfig;
    auto readText = [&config](std::u16string_view key, std::u16string& value) {
        if (std::optional<std::u16string> text = config.Lookup(u"Options", key))
            value = std::move(*text);
    };
    auto readInt = [&config](std::u16string_view key, std::uint32_t& value) {
        value = static_cast<std::uint32_t>(config.GetProfileInt(u"Options", key, static_cast<std::int32_t>(value)));
    };
    readText(u"DelvinUrl", m_options.ServiceUrl);
    readText(u"GameName", m_options.GameName);
    if (std::optional<std::u16string> text = config.Lookup(u"Options", u"GameID")) {
        if (std::optional<Guid> id = ConfigText::ParseGuid(*text))
            m_options.GameID = *id;
    }
    readInt(u"GameVersion", m_options.GameVersion);
    readText(u"BuildConfig", m_options.BuildConfig);
    readInt(u"NetworkMaxBytesPerSecond", m_options.NetworkMaxBytesPerSecond);
    readInt(u"FeedbackLevel", m_options.FeedbackLevel);
    readText(u"OptOutUrl", m_options.OptOutUrl);
    readInt(u"RequireLanguageId", m_options.RequireLanguageId);
    // A configured 0 would make the throttle divide by zero; it means "default", as it does from the host.
    if (m_options.NetworkMaxBytesPerSecond == 0)
        m_options.NetworkMaxBytesPerSecond = kDefaultBytesPerSecond;
}

EventFilter& FeedbackSession::EnterFilter(const EventKey& key)
{
    auto it = m_filters.find(key);
    if (it == m_filters.end())
        it = m_filters.emplace(key, EventFilter{key}).first;
    return it->second;
}

void FeedbackSession::LoadHostFilters(const EventFilterInit* const* filters)
{
    if (filters == nullptr)
        return;
    for (std::size_t k = 0; k < kMaxHostFilters && filters[k] != nullptr; ++k) {
        const EventFilterInit& init = *filters[k];
        if (init.EventName == nullptr)
            continue;
        const EventKey key = EventKey::Make(WideText::FromHost(init.EventName), WideText::FromHost(init.SubKey));
        EventFilter& filter = EnterFilter(key);
        filter.Flags = init.Flags;
        filter.FeedbackLevel = init.FeedbackLevel;
        filter.MinIntervalSeconds = init.MinIntervalSeconds;
        if (key.Name == kStatChanged)
            filter.Flags |= FilterFlags::BUFFER;
    }
}

void FeedbackSession::LoadSectionFilters()
{
    std::size_t joinedLength = 0;
    const std::vector<std::u16string> sections = m_pConfig->GetProfileSectionNames(joinedLength);
    if (joinedLength >= kSectionListLimit)
        return;
    for (const std::u16string& section : sections) {
        const std::vector<std::u16string_view> parts = SplitAtSlash(section);
        if (parts.size() < 2 || !WideText::EqualsNoCase(parts[0], u"Event"))
            continue;
        const EventKey key = EventKey::Make(parts[1], parts.size() > 2 ? parts[2] : std::u16string_view());
        LoadSectionFilter(section, EnterFilter(key));
    }
}

void FeedbackSession::LoadSectionFilter(const std::u16string& section, EventFilter& filter)
{
    // Statistics changes arrive in bursts: they are buffered unless this very section says otherwise.
    if (filter.Key.Name == kStatChanged)
        filter.Flags |= FilterFlags::BUFFER;
    filter.Flags = ReadFlags(*m_pConfig, section, kFilterFlags, std::size(kFilterFlags), filter.Flags);
    filter.FeedbackLevel = m_pConfig->GetProfileInt(section, u"FeedbackLevel", filter.FeedbackLevel);
    if (std::optional<std::u16string> text = m_pConfig->Lookup(section, u"MinIntervalSeconds")) {
        if (std::optional<double> seconds = ConfigText::ParseDecimal(*text))
            filter.MinIntervalSeconds = *seconds;
    }
}

void FeedbackSession::LoadLogSettings(const LogSettings* record)
{
    if (record != nullptr) {
        m_logFlags = record->Flags;
        m_logReserved = 0;
        return;
    }
    m_logFlags = LogFlags::GENERAL_ERROR | LogFlags::GENERAL_WARNING | LogFlags::GENERAL_ABORT;
    m_logReserved = 0;
    const std::string& library = m_pConfig->LibraryPath();
    m_logFileName = library.empty()
                        ? std::u16string()
                        : WideText::FromUtf8(host_files::ReplaceExtension(library, "log"));
    m_logFlags = ReadFlags(*m_pConfig, u"LogFlags", kLogFlags, std::size(kLogFlags), m_logFlags);
    if (std::optional<std::u16string> name = m_pConfig->Lookup(u"LogOptions", u"LogFileName"))
        m_logFileName = std::move(*name);
}

// ---------------------------------------------------------------------------------------------------------------
// Time

FileTime FeedbackSession::SystemFileTime()
{
    const auto sinceUnix = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return kUnixEpochAsFileTime + static_cast<FileTime>(sinceUnix.count() / 100);
}

FileTime FeedbackSession::GetClientTime() const
{
    // Any double may come from the host: clamp before converting, since an out-of-range cast is undefined.
    double units = m_clientTimeOffset * 1e7;
    if (std::isnan(units))
        units = 0.0;
    units = std::fmax(-9.0e18, std::fmin(9.0e18, units));
    return SystemFileTime() + static_cast<FileTime>(static_cast<std::int64_t>(units));
}

// ---------------------------------------------------------------------------------------------------------------
// Events

EventRecord FeedbackSession::NewEvent(std::int32_t eventClass, std::int32_t level, double gameTime,
                                      std::u16string name) const
{
    return EventRecord(eventClass, level, gameTime, std::move(name), GetClientTime());
}

std::u16string FeedbackSession::MaskPlayerId(std::u16string player) const
{
    if (Has(SessionFlags::MASK_PLAYERIDS))
        return u"***";
    return player;
}

const EventFilter* FeedbackSession::FindExact(const EventKey& key) const
{
    const auto it = m_filters.find(key);
    return it == m_filters.end() ? nullptr : &it->second;
}

const EventFilter* FeedbackSession::FindFilter(std::u16string_view name, std::u16string_view subKey) const
{
    const EventKey key = EventKey::Make(name, subKey);
    if (const EventFilter* filter = FindExact(key))
        return filter;
    if (key.SubKey.empty())
        return nullptr;
    return FindExact(EventKey{key.Name, std::u16string()});
}

void FeedbackSession::RecordEvent(EventRecord record, std::uint32_t extraFlags, std::u16string_view subKey,
                                  std::optional<double> interval)
{
    const EventKey key = EventKey::Make(record.Name(), subKey);
    const EventFilter* filter = FindFilter(key.Name, key.SubKey);
    if (filter != nullptr && (filter->Flags & FilterFlags::NO_REPORT) != 0)
        return;
    std::int64_t level = record.Level();
    if (level == -1)
        level = (filter == nullptr || filter->FeedbackLevel == -1) ? 0 : filter->FeedbackLevel;
    if (Has(SessionFlags::USE_FEEDBACK_LEVEL) && level > std::int64_t{m_options.FeedbackLevel})
        return;

    const std::uint32_t flags = extraFlags | (filter != nullptr ? filter->Flags : 0);
    const bool buffer = (flags & FilterFlags::BUFFER) != 0;
    const bool countOnly = (flags & FilterFlags::COUNT_ONLY) != 0;
    if (!interval && filter != nullptr)
        interval = filter->MinIntervalSeconds;
    if (!(buffer || countOnly) || !interval || *interval == 0.0) {
        AppendEvent(std::move(record));
        return;
    }
    // Both flags together: the event is counted first, then buffered, so the count misses nothing.
    if (countOnly)
        CountRollupStep(key, record, *interval);
    if (!buffer)
        return;
    if (std::optional<EventRecord> emitted = StatRollupStep(key, std::move(record), *interval))
        AppendEvent(std::move(*emitted));
}

std::optional<EventRecord> FeedbackSession::StatRollupStep(const EventKey& key, EventRecord record, double interval)
{
    StatRollup& entry = m_statRollups[key];
    entry.Held = std::move(record);
    entry.Pending = true;
    const FileTime now = GetClientTime();
    if (!(SecondsBetween(entry.LastEmission, now) >= interval))
        return std::nullopt;
    std::optional<EventRecord> emitted = std::move(entry.Held);
    entry.Held.reset();
    entry.LastEmission = now;
    entry.Pending = false;
    return emitted;
}

void FeedbackSession::CountRollupStep(const EventKey& key, const EventRecord& record, double interval)
{
    CountRollup& entry = m_countRollups[key];
    const FileTime now = GetClientTime();
    entry.LastTime = now;
    if (entry.Count < INT32_MAX)
        ++entry.Count;
    entry.LastGameTime = record.GameTime();
    if (entry.FirstTime == 0)
        entry.FirstTime = now;
    if (SecondsBetween(entry.FirstTime, now) >= interval)
        EmitCountRollup(key, entry);
}

void FeedbackSession::EmitCountRollup(const EventKey& key, CountRollup& entry)
{
    const FileTime now = GetClientTime();
    EventRecord rollup(EventRecord::kSessionFlow, 0, entry.LastGameTime, u"SYS_EventRollup", now);
    rollup.AddIntParam(u"count", entry.Count);
    rollup.AddStringParam(u"type", key.Name);
    if (!key.SubKey.empty())
        rollup.AddStringParam(u"subtype", key.SubKey);
    AppendEvent(std::move(rollup));
    entry.FirstTime = now;
    entry.Count = 0;
}

void FeedbackSession::FlushStatRollups()
{
    // The held records go straight to the list: sending them through RecordEvent again could hold them anew
    // (their filter still buffers) while this table is being walked, and they were filtered when recorded.
    const FileTime now = GetClientTime();
    for (auto& [key, entry] : m_statRollups) {
        if (!entry.Pending)
            continue;
        entry.LastEmission = now;
        entry.Pending = false;
        if (entry.Held)
            AppendEvent(std::move(*entry.Held));
        entry.Held.reset();
    }
}

void FeedbackSession::FlushCountRollups()
{
    const FileTime now = GetClientTime();
    for (auto& [key, entry] : m_countRollups) {
        if (entry.Count <= 0)
            continue;
        entry.LastGameTime += SecondsBetween(entry.LastTime, now);
        EmitCountRollup(key, entry);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Cancel

void FeedbackSession::Cancel()
{
    m_bCancelled.store(true);
    m_cancelEvent.Set();
}

bool FeedbackSession::WaitForCancel(const std::function<bool()>& finished, std::uint32_t milliseconds) const
{
    if (IsCancelled())
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (finished && finished())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return true;
        const auto slice = static_cast<std::uint32_t>(std::min<std::int64_t>(left.count(), 20));
        if (m_cancelEvent.WaitFor(slice))
            return false;
    }
}
