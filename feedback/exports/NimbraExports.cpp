// The library's exported calls, bound by ordinal through NimbraClient_GetProcByOrdinal. Each runs inside
// ExportGuard; each event call builds one record on the caller's thread and hands it to the session.
#include "feedback/exports/NimbraClient.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "feedback/ConfigSource.h"
#include "feedback/FeedbackDialogs.h"
#include "feedback/FeedbackSession.h"
#include "feedback/WideText.h"
#include "feedback/exports/ExportGuard.h"

namespace {

// The process's one session; exports other than 1 and 100 do nothing without it.
std::unique_ptr<FeedbackSession> g_pSession;

template <typename Work>
void WithSession(Work&& work)
{
    ExportGuard::Run([&] {
        if (g_pSession)
            work(*g_pSession);
    });
}

std::optional<std::u16string> HostText(const char16_t* text)
{
    if (text == nullptr)
        return std::nullopt;
    return WideText::FromHost(text);
}

std::u16string HostName(const char16_t* text)
{
    return WideText::FromHost(text);
}

// Only the exact versions 0x10005 and 0x10006: a record of another version has another size.
bool KnownVersion(std::uint32_t version)
{
    return version >= 0x10000 && version <= 0x1FFFF && (version & 0xFF00) == 0 &&
           ((version & 0xFF) == 5 || (version & 0xFF) == 6);
}

std::unique_ptr<FeedbackSession> CreateSessionFromInit(const SessionInit& init)
{
    if (!KnownVersion(init.Version))
        return nullptr;
    // A 0x10005 record ends before OptOutUrl: copy only what that version has.
    SessionInit copy{};
    if (init.Version == 0x10005)
        copy = SessionInit{init.Flags, init.ServiceUrl, init.Version, init.GameName, init.GameID, init.GameVersion,
                           init.BuildConfig, init.NetworkMaxBytesPerSecond, init.FeedbackLevel, init.EventFilters,
                           nullptr};
    else
        copy = init;
    return std::make_unique<FeedbackSession>(copy, ConfigSource::Process());
}

void Record(FeedbackSession& session, EventRecord record, std::u16string_view subKey = {},
            std::uint32_t extraFlags = 0, std::optional<double> interval = std::nullopt)
{
    session.RecordEvent(std::move(record), extraFlags, subKey, interval);
}

EventRecord PlayerEvent(FeedbackSession& session, std::int32_t eventClass, std::int32_t level, double gameTime,
                        const char16_t* name, const char16_t* player)
{
    EventRecord record = session.NewEvent(eventClass, level, gameTime, name);
    // Masking hides every player, a missing one included.
    if (player == nullptr && !session.Has(SessionFlags::MASK_PLAYERIDS))
        record.AddStringParam(u"player", std::nullopt);
    else
        record.AddStringParam(u"player", session.MaskPlayerId(HostName(player)));
    return record;
}

void RecordTypedAction(const char16_t* eventName, const char16_t* thirdName, double gameTime,
                       const char16_t* player, const char16_t* type, const char16_t* third, std::int32_t level)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = PlayerEvent(session, EventRecord::kGameplay, level, gameTime, eventName, player);
        record.AddStringParam(u"type", HostText(type));
        record.AddStringParam(thirdName, HostText(third));
        Record(session, std::move(record), HostName(type));
    });
}

void RecordStat(double gameTime, std::optional<double> interval, const char16_t* player, const char16_t* type,
                double value, std::int32_t level)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = PlayerEvent(session, EventRecord::kGameplay, level, gameTime, u"SYS_StatChanged", player);
        record.AddStringParam(u"type", HostText(type));
        record.AddNumberParam(u"value", value);
        Record(session, std::move(record), HostName(type), FilterFlags::BUFFER, interval);
    });
}

}  // namespace

extern "C" {

static std::uint8_t CreateSession(const SessionInit* init)
{
    std::uint8_t result = 0;
    // Out of service the guard runs nothing, so no session is made or reported.
    ExportGuard::Run([&] {
        if (g_pSession) {
            result = 1;
            return;
        }
        if (init == nullptr)
            return;
        std::unique_ptr<FeedbackSession> session = CreateSessionFromInit(*init);
        if (session && session->Start())
            g_pSession = std::move(session);
        result = g_pSession ? 1 : 0;
    });
    return result;
}

static std::uint8_t IsSessionEnabled()
{
    std::uint8_t result = 0;
    WithSession([&](FeedbackSession&) { result = 1; });
    return result;
}

static void SetClientTimeOffset(double seconds)
{
    WithSession([&](FeedbackSession& session) { session.SetClientTimeOffset(seconds); });
}

static void EndSessionAndSend(const char16_t* finishReason)
{
    ExportGuard::Run([&] {
        // Taken out first, so the session goes away whatever the upload does.
        const std::unique_ptr<FeedbackSession> session = std::move(g_pSession);
        if (session)
            session->Upload(finishReason);
    });
}

static void RecordStartGame(double gameTime, const char16_t* mode)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = session.NewEvent(EventRecord::kSessionFlow, 0, gameTime, u"SYS_StartGame");
        record.AddStringParam(u"mode", HostText(mode));
        Record(session, std::move(record));
        session.SetInsideGame(true);
    });
}

static void RecordEndGame(double gameTime, const char16_t* mode, double score, const char16_t* reason)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = session.NewEvent(EventRecord::kSessionFlow, 0, gameTime, u"SYS_EndGame");
        record.AddStringParam(u"mode", HostText(mode));
        record.AddNumberParam(u"score", score);
        record.AddStringParam(u"reason", HostText(reason));
        Record(session, std::move(record));
        session.SetInsideGame(false);
    });
}

static void RecordEnterLevel(double gameTime, const char16_t* num, const char16_t* type)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = session.NewEvent(EventRecord::kSessionFlow, 0, gameTime, u"SYS_EnterLevel");
        record.AddStringParam(u"num", HostText(num));
        record.AddStringParam(u"type", HostText(type));
        Record(session, std::move(record));
        session.SetInsideLevel(true);
    });
}

static void RecordExitLevel(double gameTime, const char16_t* num, const char16_t* type, double score,
                            const char16_t* reason)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = session.NewEvent(EventRecord::kSessionFlow, 0, gameTime, u"SYS_ExitLevel");
        record.AddStringParam(u"num", HostText(num));
        record.AddStringParam(u"type", HostText(type));
        record.AddNumberParam(u"score", score);
        record.AddStringParam(u"reason", HostText(reason));
        Record(session, std::move(record));
        session.SetInsideLevel(false);
    });
}

static void RecordUIScreenChange(double gameTime, const char16_t* name)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = session.NewEvent(EventRecord::kSessionFlow, 0, gameTime, u"SYS_UIScreenChange");
        record.AddStringParam(u"name", HostText(name));
        Record(session, std::move(record));
    });
}

static void RecordUIControlChange(double gameTime, const char16_t* name, const char16_t* value, std::int32_t level)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = session.NewEvent(EventRecord::kInput, level, gameTime, u"SYS_UIControlChange");
        record.AddStringParam(u"name", HostText(name));
        record.AddStringParam(u"value", HostText(value));
        Record(session, std::move(record), HostName(name));
    });
}

static void RecordMouseButtonChange(double gameTime, const char16_t* player, std::int32_t button,
                                    std::int32_t upDown, std::int32_t x, std::int32_t y, std::int32_t level)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record =
            PlayerEvent(session, EventRecord::kInput, level, gameTime, u"SYS_MouseButtonChange", player);
        record.AddIntParam(u"button", button);
        record.AddIntParam(u"upDown", upDown);
        record.AddIntParam(u"x", x);
        record.AddIntParam(u"y", y);
        Record(session, std::move(record));
    });
}

static void RecordKeyChange(double gameTime, const char16_t* player, std::uint32_t vkey, std::int32_t upDown,
                            std::int32_t level)
{
    WithSession([&](FeedbackSession& session) {
        EventRecord record = PlayerEvent(session, EventRecord::kInput, level, gameTime, u"SYS_KeyChange", player);
        record.AddUnsignedParam(u"vkey", vkey);
        record.AddIntParam(u"upDown", upDown);
        Record(session, std::move(record));
    });
}

static void RecordGoodAction(double gameTime, const char16_t* player, const char16_t* type, const char16_t* value,
                             std::int32_t level)
{
    RecordTypedAction(u"SYS_GoodAction", u"value", gameTime, player, type, value, level);
}

static void RecordNotGoodAction(double gameTime, const char16_t* player, const char16_t* type,
                                const char16_t* value, std::int32_t level)
{
    RecordTypedAction(u"SYS_NotGoodAction", u"value", gameTime, player, type, value, level);
}

static void RecordPowerUpCollected(double gameTime, const char16_t* player, const char16_t* type,
                                   const char16_t* how, std::int32_t level)
{
    RecordTypedAction(u"SYS_PowerUpCollected", u"how", gameTime, player, type, how, level);
}

static void RecordPowerUpUsed(double gameTime, const char16_t* player, const char16_t* type, const char16_t* how,
                              std::int32_t level)
{
    RecordTypedAction(u"SYS_PowerUpUsed", u"how", gameTime, player, type, how, level);
}

static void RecordStatChanged(double gameTime, const char16_t* player, const char16_t* type, double value,
                              std::int32_t level)
{
    RecordStat(gameTime, std::nullopt, player, type, value, level);
}

static void RecordStatChangedInterval(double gameTime, double minIntervalSeconds, const char16_t* player,
                                      const char16_t* type, double value, std::int32_t level)
{
    RecordStat(gameTime, minIntervalSeconds, player, type, value, level);
}

static void RecordCustomEvent(const char16_t* name, double gameTime, const char16_t* const* names,
                              const char16_t* const* values, std::uint32_t count, std::int32_t level)
{
    WithSession([&](FeedbackSession& session) {
        if (name == nullptr)
            return;  // an event without a name cannot be sent
        EventRecord record = session.NewEvent(EventRecord::kCustom, level, gameTime, HostName(name));
        const std::uint32_t pairs = std::min(count, kNimbraMaxCustomParams);
        record.ReserveParams(pairs);
        for (std::uint32_t k = 0; k < pairs; ++k) {
            record.AddStringParam(names == nullptr ? std::u16string() : HostName(names[k]),
                                  values == nullptr ? std::nullopt : HostText(values[k]));
        }
        Record(session, std::move(record));
    });
}

static void SetLogSettings(const LogSettings* settings)
{
    WithSession([&](FeedbackSession& session) {
        if (settings != nullptr)
            session.LoadLogSettings(settings);
    });
}

static void GetLogSettings(LogSettings* out)
{
    WithSession([&](FeedbackSession& session) {
        if (out == nullptr)
            return;
        out->Flags = session.LogFlags();
        out->Reserved = session.LogReserved();
        if (out->LogFileName == nullptr)
            return;
        const std::u16string& name = session.LogFileName();
        const std::size_t length = std::min<std::size_t>(name.size(), kNimbraLogFileNameChars - 1);
        std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(length), out->LogFileName);
        out->LogFileName[length] = 0;
    });
}

static void SetDialogHandlers(const NimbraDialogHandlers* handlers)
{
    ExportGuard::Run([&] { FeedbackDialogs::SetHostHandlers(handlers); });
}

void* NimbraClient_GetProcByOrdinal(std::uint32_t ordinal)
{
    switch (ordinal) {
    case 1: return reinterpret_cast<void*>(&CreateSession);
    case 2: return reinterpret_cast<void*>(&IsSessionEnabled);
    case 3: return reinterpret_cast<void*>(&SetClientTimeOffset);
    case 4: return reinterpret_cast<void*>(&EndSessionAndSend);
    case 5: return reinterpret_cast<void*>(&RecordStartGame);
    case 6: return reinterpret_cast<void*>(&RecordEndGame);
    case 7: return reinterpret_cast<void*>(&RecordEnterLevel);
    case 8: return reinterpret_cast<void*>(&RecordExitLevel);
    case 9: return reinterpret_cast<void*>(&RecordUIScreenChange);
    case 10: return reinterpret_cast<void*>(&RecordUIControlChange);
    case 11: return reinterpret_cast<void*>(&RecordMouseButtonChange);
    case 12: return reinterpret_cast<void*>(&RecordKeyChange);
    case 13: return reinterpret_cast<void*>(&RecordGoodAction);
    case 14: return reinterpret_cast<void*>(&RecordNotGoodAction);
    case 15: return reinterpret_cast<void*>(&RecordPowerUpCollected);
    case 16: return reinterpret_cast<void*>(&RecordPowerUpUsed);
    case 17: return reinterpret_cast<void*>(&RecordStatChanged);
    case 18: return reinterpret_cast<void*>(&RecordStatChangedInterval);
    case 19: return reinterpret_cast<void*>(&RecordCustomEvent);
    case 20: return reinterpret_cast<void*>(&SetLogSettings);
    case 21: return reinterpret_cast<void*>(&GetLogSettings);
    case 100: return reinterpret_cast<void*>(&SetDialogHandlers);
    default: return nullptr;
    }
}

}  // extern "C"
