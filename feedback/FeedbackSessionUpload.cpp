// FeedbackSession: the upload when the host ends the session: consent, BeginSession, the events in chunks of
// at most 1000, the system report, EndSession, under the progress window and its cancel.
#include "feedback/FeedbackSession.h"

#include <algorithm>

#include "feedback/CNimbraServiceT.h"
#include "feedback/ConfigSource.h"
#include "feedback/ConfigText.h"
#include "feedback/DialogTexts.h"
#include "feedback/GetPermissionDialog.h"
#include "feedback/JoinBetaDialog.h"
#include "feedback/ProgressDialog.h"
#include "feedback/RegistryStore.h"
#include "feedback/SessionRegistry.h"
#include "feedback/SystemReport.h"
#include "feedback/UploadText.h"
#include "feedback/WideText.h"
#include "platform/feedback_sys/FeedbackSystem.h"
#include "platform/http/WebAddress.h"

namespace {

constexpr std::size_t kChunkEvents = 1000;
constexpr std::size_t kThrottlePiece = 4096;
constexpr unsigned kShortTimeoutMs = 30000;
constexpr unsigned kLongTimeoutMs = 600000;
// The whole upload may wait this long for the server, however steadily it trickles its bytes.
constexpr unsigned kShortDeadlineMs = 120000;
constexpr unsigned kLongDeadlineMs = 1200000;
constexpr std::uint32_t kClientApiVersion = 0x10006;

namespace ServerFlags {
constexpr std::uint32_t kSendNothing = 0x1;
constexpr std::uint32_t kNoSystemReport = 0x2;
constexpr std::uint32_t kUserNotWanted = 0x4;
constexpr std::uint32_t kNoClass1 = 0x100000;
constexpr std::uint32_t kNoClass2 = 0x200000;
constexpr std::uint32_t kNoClass3 = 0x400000;
}  // namespace ServerFlags

}  // namespace

bool FeedbackSession::PassesServerFilter(const BeginSessionResult& answer, const EventRecord& record)
{
    if (record.Level() > answer.FeedbackLevel)
        return false;
    switch (record.Class()) {
    case 1: return (answer.ServerFlags & ServerFlags::kNoClass1) == 0;
    case 2: return (answer.ServerFlags & ServerFlags::kNoClass2) == 0;
    case 3: return (answer.ServerFlags & ServerFlags::kNoClass3) == 0;
    default: return true;
    }
}

void FeedbackSession::Upload(const char16_t* finishReason)
{
    m_nUploadResult = kUploadFailed;
    bool consentNow = false;
    if (!ObtainUploadConsent(consentNow)) {
        m_nUploadResult = kUploadNotAllowed;
        return;
    }
    std::unique_ptr<ProgressDialog> progress;
    if (!Has(SessionFlags::UNATTENDED_MODE))
        progress = std::make_unique<ProgressDialog>(Dialogs(), *this);
    {
        CNimbraServiceT proxy;  // released before the window closes
        m_upload = UploadState();
        m_upload.Proxy = &proxy;
        m_upload.Progress = progress.get();
        const bool done = RunUpload(proxy, WideText::FromHost(finishReason), consentNow);
        m_nUploadResult = done ? kUploadDone : IsCancelled() ? kUploadCancelled : kUploadFailed;
        m_upload = UploadState();
    }
    progress.reset();
}

bool FeedbackSession::ObtainUploadConsent(bool& givenNow)
{
    givenNow = false;
    bool present = false;
    const bool stored = SessionRegistry::RegReadEnabled(Registry(), GameKey(), false, present);
    if (Has(SessionFlags::UNATTENDED_MODE) || stored)
        return true;
    const std::int32_t answer = GetPermissionDialog(m_options.GameName, 0).ShowModal(Dialogs());
    // With no one to answer, nothing is stored: the question comes again when it can be seen.
    if (answer == DialogTexts::kNoAnswer)
        return false;
    givenNow = answer == DialogTexts::kYes;
    (void)SessionRegistry::RegWriteEnabled(Registry(), GameKey(), givenNow);
    return givenNow;
}

bool FeedbackSession::SetUpProxy(CNimbraServiceT& proxy)
{
    const bool longWait = Has(SessionFlags::DEBUG_MODE) || Has(SessionFlags::WAIT_FOR_SERVER);
    proxy.SetTimeout(longWait ? kLongTimeoutMs : kShortTimeoutMs);
    // One deadline for the whole upload: a server that answers each request just in time would
    // otherwise hold the host's end call for that long once per request.
    const unsigned deadline = m_nUploadDeadlineMs != 0 ? m_nUploadDeadlineMs : longWait ? kLongDeadlineMs : kShortDeadlineMs;
    proxy.SetDeadline(deadline);
    proxy.SetTotalDeadline(deadline);
    proxy.SetCompression(!Has(SessionFlags::NO_COMPRESSION));
    std::size_t piece = kThrottlePiece;
    if (Has(SessionFlags::THROTTLE_NETWORK))
        piece = std::min<std::size_t>(piece, m_options.NetworkMaxBytesPerSecond);
    proxy.SetSendBlockSize(piece);
    proxy.SetSendCallback([this](std::size_t bytes) { return OnBytesSent(bytes); });
    return proxy.SetUrl(m_options.ServiceUrl);
}

bool FeedbackSession::RunUpload(CNimbraServiceT& proxy, std::u16string_view finishReason, bool consentNow)
{
    if (!SetUpProxy(proxy))
        return false;
    UploadText::DescriptionFacts facts;
    facts.ConfigType = m_pConfig->Type();
    facts.DebugMode = Has(SessionFlags::DEBUG_MODE);
    facts.TwoWay = Has(SessionFlags::WAIT_FOR_SERVER);
    facts.HostPath = FeedbackSystem::HostProgramPath();
    facts.LibraryPath = FeedbackSystem::OwnModulePath();
    if (facts.DebugMode)
        facts.UserName = FeedbackSystem::UserName();
    const Guid storedUser = SessionRegistry::RegReadUserId(Registry(), GameKey(), Guid{});

    SetUploadStatus(DialogTexts::kConnecting);
    BeginSessionParams params;
    params.ClientApiVersion = kClientApiVersion;
    params.ClientApiBuildConfig = UploadText::ClientDescription(facts);
    params.GameId = ConfigText::FormatGuid(m_options.GameID, true);
    params.GameVersion = m_options.GameVersion;
    params.GameBuildConfig = m_options.BuildConfig;
    params.GameFirstRunTime = static_cast<std::int64_t>(m_firstRunTime);
    params.UserId = ConfigText::FormatGuid(storedUser, true);
    BeginRequest(0, 1);
    BeginSessionResult answer;
    if (!CallSucceeded(proxy.BeginSession(params, static_cast<std::int64_t>(m_startTime), answer)))
        return false;
    Guid user{};
    if (!AfterBeginSession(answer, storedUser, user))
        return true;  // the server wants nothing more: that is a finished upload

    SystemReport report(m_systemReportHelper.empty() ? SystemReport::DefaultHelperPath() : m_systemReportHelper);
    const bool withReport = !Has(SessionFlags::UNATTENDED_MODE) && !Has(SessionFlags::NO_DXDIAG) &&
                            (answer.ServerFlags & ServerFlags::kNoSystemReport) == 0;
    if (withReport)
        report.Start();
    OfferBeta(answer, consentNow);
    FlushStatRollups();
    FlushCountRollups();
    if (!SendEvents(proxy, answer, answer.SessionId))
        return false;
    if (withReport && !SendSystemReport(proxy, report, user))
        return false;
    return EndUpload(proxy, answer.SessionId, finishReason);
}

// False when the server asked for nothing more.
bool FeedbackSession::AfterBeginSession(const BeginSessionResult& answer, const Guid& storedUser, Guid& user)
{
    if ((answer.ServerFlags & ServerFlags::kSendNothing) != 0)
        return false;
    if ((answer.ServerFlags & ServerFlags::kUserNotWanted) != 0) {
        (void)SessionRegistry::RegWriteEnabled(Registry(), GameKey(), false);
        return false;
    }
    // An id the server garbled must not replace the one this user already has.
    user = storedUser;
    if (std::optional<Guid> parsed = ConfigText::ParseGuid(answer.UserId)) {
        user = *parsed;
        (void)SessionRegistry::RegWriteUserId(Registry(), GameKey(), user);
    }
    return true;
}

void FeedbackSession::OfferBeta(const BeginSessionResult& answer, bool consentNow)
{
    if (Has(SessionFlags::UNATTENDED_MODE) || !consentNow || answer.BetaUrl.empty())
        return;
    // The server's address is offered as a link only when it is a web page that can be opened safely.
    if (!http_layer::IsWebAddress(WideText::ToUtf8(answer.BetaUrl)))
        return;
    ProgressDialog* progress = m_upload.Progress;
    const bool wasVisible = progress != nullptr && progress->IsVisible();
    if (wasVisible)
        progress->SetVisible(false);
    (void)JoinBetaDialog(answer.BetaUrl).ShowModal(Dialogs());
    if (wasVisible)
        progress->SetVisible(true);
}

bool FeedbackSession::SendEvents(CNimbraServiceT& proxy, const BeginSessionResult& answer,
                                 const std::u16string& sessionId)
{
    const std::size_t count = static_cast<std::size_t>(std::count_if(
        m_events.begin(), m_events.end(), [&answer](const EventRecord& r) { return PassesServerFilter(answer, r); }));
    if (count == 0)
        return true;
    SetUploadStatus(DialogTexts::kSendingSession);
    const std::size_t chunkSize = std::min(kChunkEvents, count);
    const std::size_t chunkCount = (count + chunkSize - 1) / chunkSize;

    std::vector<SessionEvent> chunk;
    chunk.reserve(chunkSize);
    std::int32_t gameCount = 0, chunkGameSerial = 0;
    bool insideGame = false, chunkInsideGame = false;
    std::size_t chunkIndex = 0;
    for (const EventRecord& record : m_events) {
        if (!PassesServerFilter(answer, record))
            continue;
        if (chunk.empty()) {
            chunkGameSerial = gameCount;
            chunkInsideGame = insideGame;
        }
        SessionEvent event;
        event.Type = record.Name();
        event.ClientTime = static_cast<std::int64_t>(record.ClientTime());
        event.GameTime = UploadText::GameTime(record.GameTime());
        event.Params = UploadText::Params(record);
        chunk.push_back(std::move(event));

        const std::u16string lower = WideText::Lower(record.Name());
        if (lower == u"sys_startgame") {
            insideGame = true;
        } else if (lower == u"sys_endgame") {
            ++gameCount;
            insideGame = false;
        }
        if (chunk.size() < chunkSize)
            continue;
        BeginRequest(chunkIndex, chunkCount);
        if (!SendChunk(proxy, sessionId, chunk, static_cast<std::int32_t>(chunkIndex), chunkGameSerial,
                       chunkInsideGame))
            return false;
        chunk.clear();
        ++chunkIndex;
    }
    if (chunk.empty())
        return true;
    BeginRequest(chunkIndex, chunkCount);
    return SendChunk(proxy, sessionId, chunk, static_cast<std::int32_t>(chunkIndex), chunkGameSerial,
                     chunkInsideGame);
}

bool FeedbackSession::SendChunk(CNimbraServiceT& proxy, const std::u16string& sessionId,
                                const std::vector<SessionEvent>& chunk, std::int32_t chunkSerial,
                                std::int32_t gameSerial, bool insideGame)
{
    if (Has(SessionFlags::WAIT_FOR_SERVER))
        return CallSucceeded(proxy.RecordSessionEventsChunk(sessionId, chunk, chunkSerial, gameSerial, insideGame));
    return CallSucceeded(proxy.RecordSessionEventsChunkNow(sessionId, chunk, chunkSerial, gameSerial, insideGame));
}

bool FeedbackSession::SendSystemReport(CNimbraServiceT& proxy, SystemReport& report, const Guid& user)
{
    if (m_upload.Progress != nullptr)
        m_upload.Progress->SetProgress(0.0);
    if (report.IsRunning() && !IsCancelled())
        SetUploadStatus(DialogTexts::kGatheringSystem);
    // A report that timed out or was cancelled is not sent; the upload goes on with EndSession.
    if (!report.Read([this] { return IsCancelled(); }))
        return !IsCancelled();
    SetUploadStatus(DialogTexts::kSendingSystem);
    BeginRequest(0, 1);
    const std::u16string userText = ConfigText::FormatGuid(user, true);
    if (Has(SessionFlags::WAIT_FOR_SERVER))
        return CallSucceeded(proxy.RecordSystemInfo(userText, report.Text()));
    return CallSucceeded(proxy.RecordSystemInfoNow(userText, report.Text()));
}

bool FeedbackSession::EndUpload(CNimbraServiceT& proxy, const std::u16string& sessionId,
                                std::u16string_view finishReason)
{
    SetUploadStatus(DialogTexts::kDisconnecting);
    BeginRequest(0, 1);
    const auto now = static_cast<std::int64_t>(GetClientTime());
    const bool ok = Has(SessionFlags::WAIT_FOR_SERVER) ? proxy.EndSession(sessionId, finishReason, now)
                                                       : proxy.EndSessionNow(sessionId, finishReason, now);
    if (!CallSucceeded(ok))
        return false;
    SetUploadStatus(DialogTexts::kDone);
    return true;
}

bool FeedbackSession::CallSucceeded(bool ok)
{
    return ok && !IsCancelled();
}

void FeedbackSession::SetUploadStatus(int stringId)
{
    if (m_upload.Progress != nullptr)
        m_upload.Progress->SetStatus(stringId);
}

void FeedbackSession::BeginRequest(std::size_t chunkIndex, std::size_t chunkCount)
{
    m_upload.ChunkIndex = chunkIndex;
    m_upload.ChunkCount = chunkCount == 0 ? 1 : chunkCount;
    m_upload.Sent = 0;
}

bool FeedbackSession::OnBytesSent(std::size_t bytes)
{
    // The proxy keeps the document it is sending; its size bounds the body (deflating only shrinks it).
    const std::size_t total = m_upload.Proxy != nullptr ? m_upload.Proxy->LastRequestXml().size() : 0;
    m_upload.Sent = std::min(total, m_upload.Sent + bytes);
    if (m_upload.Progress != nullptr && total > 0) {
        const double part = static_cast<double>(m_upload.Sent) / static_cast<double>(total);
        m_upload.Progress->SetProgress((static_cast<double>(m_upload.ChunkIndex) + part) /
                                       static_cast<double>(m_upload.ChunkCount));
    }
    if (IsCancelled())
        return false;
    if (Has(SessionFlags::THROTTLE_NETWORK)) {
        const std::uint64_t ms = static_cast<std::uint64_t>(bytes) * 1000u / m_options.NetworkMaxBytesPerSecond;
        // The cancel event cuts the pause short, so a cancel never waits for a slow throttle.
        if (ms > 0 && m_cancelEvent.WaitFor(static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, 600000))))
            return false;
    }
    return true;
}
