// FeedbackSession: the library's one session: the host's options after the configuration's overrides, the event
// filters, the recorded events, the BUFFER and COUNT_ONLY rollups, the log settings, the time stamps and the
// cancel state, and the start, consent and upload rules. It owns everything it holds. All calls come from the
// host's thread under the client's call guard; only Cancel, IsCancelled, WaitForCancel and OptOut may be used
// from the progress window's thread as well.
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "feedback/CancelEvent.h"
#include "feedback/ClientRecords.h"
#include "feedback/EventFilter.h"
#include "feedback/EventKey.h"
#include "feedback/EventRecord.h"
#include "feedback/NimbraMessages.h"
#include "feedback/SessionOptions.h"

class CNimbraServiceT;
class ConfigSource;
class FeedbackDialogs;
class ProgressDialog;
class RegistryStore;
class SystemReport;

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

    // --- Start, consent and upload (FeedbackSessionStart.cpp, FeedbackSessionUpload.cpp)
    static constexpr std::uint32_t kUploadDone = 0;
    static constexpr std::uint32_t kUploadCancelled = 0x800704C7;  // the operation was cancelled by the user
    static constexpr std::uint32_t kUploadFailed = 0x80004005;
    static constexpr std::uint32_t kUploadNotAllowed = 0x80070005;  // no consent: nothing was sent

    // Where the per-user values live and how dialogs are shown: by default the user's registry file and
    // the process's dialog layer. Set before Start.
    void UseRegistry(std::shared_ptr<RegistryStore> registry) { m_pRegistry = std::move(registry); }
    void UseDialogs(FeedbackDialogs& dialogs) { m_pDialogs = &dialogs; }
    void UseSystemReportHelper(std::string path) { m_systemReportHelper = std::move(path); }
    // The longest time an upload waits for the server; 0: 2 minutes, 20 with DEBUG_MODE or WAIT_FOR_SERVER.
    void UseUploadDeadline(unsigned milliseconds) { m_nUploadDeadlineMs = milliseconds; }
    RegistryStore& Registry();
    FeedbackDialogs& Dialogs();
    std::u16string GameKey() const;  // this game's registry key

    // Admits the session under the configuration, prerequisite, registry and consent rules.
    [[nodiscard]] bool Start();
    bool CheckPrerequisites(bool& hardFailure, std::string& message) const;
    // Asks for consent when none is stored, then sends everything; null finishReason is sent as "".
    void Upload(const char16_t* finishReason);
    std::uint32_t LastUploadResult() const { return m_nUploadResult; }
    // The proxy's callback after each piece of a request body: false stops the request.
    bool OnBytesSent(std::size_t bytes);
    // Ends the user's participation for this game; with openPage, shows the opt-out page or a thank-you.
    void OptOut(bool openPage);
    static bool PassesServerFilter(const BeginSessionResult& answer, const EventRecord& record);

private:
    struct UploadState {
        CNimbraServiceT* Proxy = nullptr;
        ProgressDialog* Progress = nullptr;
        std::size_t ChunkIndex = 0;
        std::size_t ChunkCount = 1;
        std::size_t Sent = 0;
    };

    void LoadFirstRunTime(const std::u16string& gameKey);
    bool AskAgainAtStart(const std::u16string& gameKey);
    bool ObtainUploadConsent(bool& givenNow);
    bool RunUpload(CNimbraServiceT& proxy, std::u16string_view finishReason, bool consentNow);
    bool SetUpProxy(CNimbraServiceT& proxy);
    bool AfterBeginSession(const BeginSessionResult& answer, const Guid& storedUser, Guid& user);
    void OfferBeta(const BeginSessionResult& answer, bool consentNow);
    bool SendEvents(CNimbraServiceT& proxy, const BeginSessionResult& answer, const std::u16string& sessionId);
    bool SendChunk(CNimbraServiceT& proxy, const std::u16string& sessionId, const std::vector<SessionEvent>& chunk,
                   std::int32_t chunkSerial, std::int32_t gameSerial, bool insideGame);
    bool SendSystemReport(CNimbraServiceT& proxy, SystemReport& report, const Guid& user);
    bool EndUpload(CNimbraServiceT& proxy, const std::u16string& sessionId, std::u16string_view finishReason);
    bool CallSucceeded(bool ok);
    void SetUploadStatus(int stringId);
    void BeginRequest(std::size_t chunkIndex, std::size_t chunkCount);

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

    std::shared_ptr<RegistryStore> m_pRegistry;
    FeedbackDialogs* m_pDialogs = nullptr;
    std::string m_systemReportHelper;  // empty: the helper beside the library
    unsigned m_nUploadDeadlineMs = 0;
    UploadState m_upload;
    std::uint32_t m_nUploadResult = kUploadFailed;
};
