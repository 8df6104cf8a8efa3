// FeedbackSession: the library's one session: the host's options after the configuration's overrides, the event
// filters, the recorded events, the BUFFER and COUNT_ONLY rollups, the log settings, the time stamps and the
// cancel state. It owns everything it holds. All calls come from the host's thread under the client's call
// guard; only Cancel, IsCancelled and WaitForCancel may be used from the progress window's thread as well.
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "feedback/CancelEvent.h"
#include "feedback/ClientRecords.h"
#include "feedback/EventFilter.h"
#include "feedback/EventKey.h"
#include "feedback/EventRecord.h"
#include "feedback/SessionOptions.h"

class ConfigSource;

class FeedbackSession {
public:
    static constexpr std::uint32_t kDefaultBytesPerSecond = 1500;
    static constexpr std::uint32_t kNoFeedbackLevel = 99999;
    static constexpr std::size_t kMaxHostFilters = 65536;  // a longer array is taken as unterminated

    // Loads the options, filters and log settings from init and the configuration. The caller has checked
    // init's version word; OptOutUrl is read only when it is above 0x10005.
    FeedbackSession(const SessionInit& init, ConfigSource& config);
    FeedbackSession(const FeedbackSession&) = delete;
    FeedbackSession& operator=(const FeedbackSession&) = delete;

    const SessionOptions& Options() const { return m_options; }
    bool Has(std::uint32_t flag) const { return m_options.Has(flag); }
    ConfigSource& Config() { return *m_pConfig; }

    // --- Time: FILETIME of the system clock plus the host's offset
    static FileTime SystemFileTime();
    FileTime GetClientTime() const;
    void SetClientTimeOffset(double seconds) { m_clientTimeOffset = seconds; }
    double ClientTimeOffset() const { return m_clientTimeOffset; }
    FileTime StartTime() const { return m_startTime; }
    FileTime FirstRunTime() const { return m_firstRunTime; }
    void SetFirstRunTime(FileTime time) { m_firstRunTime = time; }

    // --- Events
    // A record stamped with the current client time.
    EventRecord NewEvent(std::int32_t eventClass, std::int32_t level, double gameTime, std::u16string name) const;
    // Filters, levels and rollups decide whether the record is kept, held, counted or dropped.
    void RecordEvent(EventRecord record, std::uint32_t extraFlags, std::u16string_view subKey,
                     std::optional<double> interval);
    const EventFilter* FindFilter(std::u16string_view name, std::u16string_view subKey) const;
    void AppendEvent(EventRecord record) { m_events.push_back(std::move(record)); }
    const std::deque<EventRecord>& Events() const { return m_events; }
    std::u16string MaskPlayerId(std::u16string player) const;
    // Both run before the upload counts the events: held BUFFER records and pending counts become events.
    void FlushStatRollups();
    void FlushCountRollups();

    bool InsideGame() const { return m_bInsideGame; }
    void SetInsideGame(bool inside) { m_bInsideGame = inside; }
    bool InsideLevel() const { return m_bInsideLevel; }
    void SetInsideLevel(bool inside) { m_bInsideLevel = inside; }

    // --- Cancel (any thread)
    void Cancel();
    bool IsCancelled() const { return m_bCancelled.load(); }
    const CancelEvent& CancelSignal() const { return m_cancelEvent; }
    // False at once when cancelled; otherwise waits until finished() holds (true), the time runs out (true) or
    // the cancel event is set (false). finished() is polled every 20 ms.
    bool WaitForCancel(const std::function<bool()>& finished, std::uint32_t milliseconds) const;

    // --- Log settings: kept, exchanged with the host, never written to a file
    void LoadLogSettings(const LogSettings* record);
    std::uint32_t LogFlags() const { return m_logFlags; }
    std::uint32_t LogReserved() const { return m_logReserved; }
    const std::u16string& LogFileName() const { return m_logFileName; }

private:
    struct StatRollup {
        FileTime LastEmission = 0;
        bool Pending = false;
        std::optional<EventRecord> Held;
    };
    struct CountRollup {
        FileTime FirstTime = 0;
        FileTime LastTime = 0;
        std::int32_t Count = 0;
        double LastGameTime = 0.0;
    };
    using FilterTable = std::unordered_map<EventKey, EventFilter, EventKeyHash>;

    void LoadOptions(const SessionInit& init);
    void LoadFlags();
    void LoadOptionValues();
    void LoadHostFilters(const EventFilterInit* const* filters);
    void LoadSectionFilters();
    void LoadSectionFilter(const std::u16string& section, EventFilter& filter);
    EventFilter& EnterFilter(const EventKey& key);
    const EventFilter* FindExact(const EventKey& key) const;
    std::optional<EventRecord> StatRollupStep(const EventKey& key, EventRecord record, double interval);
    void CountRollupStep(const EventKey& key, const EventRecord& record, double interval);
    void EmitCountRollup(const EventKey& key, CountRollup& entry);

    ConfigSource* m_pConfig;
    SessionOptions m_options;
    FilterTable m_filters;
    std::uint32_t m_logFlags = 0;
    std::uint32_t m_logReserved = 0;
    std::u16string m_logFileName;
    FileTime m_firstRunTime = 0;
    double m_clientTimeOffset = 0.0;
    FileTime m_startTime = 0;
    std::deque<EventRecord> m_events;
    std::unordered_map<EventKey, StatRollup, EventKeyHash> m_statRollups;
    std::unordered_map<EventKey, CountRollup, EventKeyHash> m_countRollups;
    bool m_bInsideGame = false;
    bool m_bInsideLevel = false;
    CancelEvent m_cancelEvent;
    std::atomic<bool> m_bCancelled{false};
};
