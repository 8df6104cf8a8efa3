// test-labels: untrusted
// A host program that loads the client library with dlopen, binds its ordinals and plays whole sessions
// against the local service.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>

#include "LocalSoapServer.h"
#include "NimbraClientHost.h"
#include "SoapRequestText.h"

namespace {

constexpr Guid kGame = {0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};

// The host's dialog answers and what the library asked of them.
struct HostDialogState {
    std::int32_t consent = 206;
    std::int32_t cancelAnswer = 206;
    std::atomic<int> consentAsked{0}, opened{0}, closed{0}, cancelPolls{0}, cancelAt{-1};
    static std::int32_t AskConsent(void* c, const char16_t*, std::int32_t)
    {
        auto& s = *static_cast<HostDialogState*>(c);
        ++s.consentAsked;
        return s.consent;
    }
    static std::int32_t ConfirmCancel(void* c) { return static_cast<HostDialogState*>(c)->cancelAnswer; }
    static void ProgressOpen(void* c, const char16_t*, const char16_t*) { ++static_cast<HostDialogState*>(c)->opened; }
    static void ProgressClose(void* c) { ++static_cast<HostDialogState*>(c)->closed; }
    static std::int32_t CancelRequested(void* c)
    {
        auto& s = *static_cast<HostDialogState*>(c);
        return ++s.cancelPolls == s.cancelAt.load() ? 1 : 0;
    }
    NimbraDialogHandlers Handlers()
    {
        NimbraDialogHandlers h{};
        h.Size = sizeof h;
        h.Context = this;
        h.AskConsent = &AskConsent;
        h.ConfirmCancel = &ConfirmCancel;
        h.ProgressOpen = &ProgressOpen;
        h.ProgressClose = &ProgressClose;
        h.ProgressCancelRequested = &CancelRequested;
        return h;
    }
};

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class HostSession {
public:
    explicit HostSession(std::vector<std::string> serverArgs = {}, std::string ini = "[Options]\n")
    {
        m_bReady = m_server.Start(serverArgs) && m_host.Load(m_folder, ini);
        m_url = WideText16(m_server.Url());
    }
    bool Ready() const { return m_bReady; }
    NimbraClientHost& operator*() { return m_host; }
    NimbraClientHost* operator->() { return &m_host; }
    std::vector<LocalSoapServer::Request> Requests() const { return m_server.Requests(); }
    std::string Registry() const { return FileText(m_host.RegistryPath()); }

    std::uint8_t Create(std::uint32_t flags, std::uint32_t version = 0x10006)
    {
        SessionInit init{};
        init.Flags = flags;
        init.ServiceUrl = m_url.c_str();
        init.Version = version;
        init.GameName = u"Palmora";
        init.GameID = kGame;
        init.GameVersion = 3;
        init.BuildConfig = u"retail";
        return m_host.CreateSession(&init);
    }

private:
    static std::u16string WideText16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

    FeedbackTestFolder m_folder;
    LocalSoapServer m_server;
    NimbraClientHost m_host;
    std::u16string m_url;
    bool m_bReady = false;
};

const char* const kGameKeyLine =
    "[Software\\Quenlo Games\\Feedback Services\\1.0\\Games\\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9]";

}  // namespace

TEST(NimbraClientHost, OrdinalsOneToTwentyOneAndTheDialogOrdinalBindAndOthersAreNull)
{
    FeedbackTestFolder folder;
    NimbraClientHost host;
    ASSERT_TRUE(host.Load(folder));
    for (std::uint32_t ordinal : {0u, 22u, 99u, 101u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(ordinal);
        EXPECT_EQ(host.Lookup(ordinal), nullptr);
    }
}

TEST(NimbraClientHost, AWholeSessionArrivesInChunksWithRollupsEscapingAndTheRegistryUpdated)
{
    HostSession s;
    ASSERT_TRUE(s.Ready());
    HostDialogState dialogs;
    const NimbraDialogHandlers handlers = dialogs.Handlers();
    s->SetDialogHandlers(&handlers);
    ASSERT_EQ(s.Create(0), 1);
    ASSERT_EQ(s->IsSessionEnabled(), 1);
    EXPECT_EQ(s->CreateSession(nullptr), 1);  // a second call keeps the first session

    s->RecordStartGame(0.5, u"story");
    const char16_t* names[] = {u"text"};
    const char16_t* values[] = {u"a b;c"};
    s->RecordCustomEvent(u"Escaped", 1.0, names, values, 1, 0);
    for (int k = 1; k < 2496; ++k)
        s->RecordCustomEvent(u"Move", 1.0 + k, nullptr, nullptr, 0, 0);
    for (double value : {1.0, 2.0, 3.0})
        s->RecordStatChangedInterval(3000.0, 60.0, u"p1", u"score", value, 0);  // first sent, last held
    s->RecordEndGame(3001.0, u"story", 120.0, u"won");
    s->EndSessionAndSend(u"quit");
    EXPECT_EQ(s->IsSessionEnabled(), 0);

    const auto requests = s.Requests();
    ASSERT_EQ(Methods(requests),
              (std::vector<std::string>{"BeginSession", "RecordSessionEventsChunkNow", "RecordSessionEventsChunkNow",
                                        "RecordSessionEventsChunkNow", "RecordSystemInfoNow", "EndSessionNow"}));
    const int sizes[] = {1000, 1000, 500};
    const char* inside[] = {"false", "true", "true"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(CountOf(requests[1 + k].xml, "<SessionEvent>"), sizes[k]);
        EXPECT_EQ(Field(requests[1 + k].xml, "ChunkSerial"), std::to_string(k));
        EXPECT_EQ(Field(requests[1 + k].xml, "GameSerial"), "0");
        EXPECT_EQ(Field(requests[1 + k].xml, "InsideGame"), inside[k]);
    }
    EXPECT_NE(requests[1].xml.find("<Params>text=a%20b%3bc</Params>"), std::string::npos);
    const std::string& last = requests[3].xml;
    EXPECT_NE(last.find("type=score;value=1.000000"), std::string::npos);
    EXPECT_EQ(last.find("type=score;value=2.000000"), std::string::npos);
    EXPECT_NE(last.find("type=score;value=3.000000"), std::string::npos);
    EXPECT_NE(requests[4].xml.find("Machine name:"), std::string::npos);
    EXPECT_EQ(Field(requests[5].xml, "FinishReason"), "quit");
    EXPECT_EQ(Field(requests[0].xml, "GameId"), "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");

    EXPECT_EQ(dialogs.consentAsked.load(), 1);
    EXPECT_EQ(dialogs.opened.load(), 1);
    EXPECT_EQ(dialogs.closed.load(), 1);
    const std::string registry = s.Registry();
    EXPECT_NE(registry.find(kGameKeyLine), std::string::npos);
    EXPECT_NE(registry.find("\"Enabled\"=dword:00000001"), std::string::npos);
    EXPECT_NE(registry.find("\"First Run\"=qword:"), std::string::npos);
    // The server's "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0" in the GUID's memory form.
    EXPECT_NE(registry.find("\"User\"=hex:3C,2D,1E,0F,5A,4B,78,69,87,96,A5,B4,C3,D2,E1,F0"), std::string::npos);
}

TEST(NimbraClientHost, UnattendedAndUncompressedSessionsAskNothingAndSendPlainXml)
{
    HostSession s;
    ASSERT_TRUE(s.Ready());
    HostDialogState dialogs;
    const NimbraDialogHandlers handlers = dialogs.Handlers();
    s->SetDialogHandlers(&handlers);
    ASSERT_EQ(s.Create(SessionFlags::UNATTENDED_MODE | SessionFlags::NO_COMPRESSION), 1);
    s->RecordUIScreenChange(1.0, u"menu");
    s->EndSessionAndSend(nullptr);
    const auto requests = s.Requests();
    ASSERT_EQ(Methods(requests),
              (std::vector<std::string>{"BeginSession", "RecordSessionEventsChunkNow", "EndSessionNow"}));
    for (const auto& r : requests)
        EXPECT_EQ(r.meta.at("compressed"), "0");
    EXPECT_EQ(dialogs.consentAsked.load(), 0);
    EXPECT_EQ(dialogs.opened.load(), 0);
    EXPECT_EQ(s.Registry().find("\"Enabled\""), std::string::npos);  // nobody was asked
}

TEST(NimbraClientHost, ACancelFromTheProgressWindowSkipsEndSessionAndANewSessionCanStart)
{
    HostSession s({"--scenario", "default=success,RecordSessionEventsChunkNow=slow", "--slow-seconds", "1"});
    ASSERT_TRUE(s.Ready());
    HostDialogState dialogs;
    dialogs.cancelAt = 3;
    const NimbraDialogHandlers handlers = dialogs.Handlers();
    s->SetDialogHandlers(&handlers);
    ASSERT_EQ(s.Create(SessionFlags::NO_DXDIAG), 1);
    for (int k = 0; k < 1500; ++k)
        s->RecordKeyChange(k, u"p1", 65, 1, 0);
    s->EndSessionAndSend(u"quit");
    // The cancel is polled on the progress window's clock, so under load it can come before the
    // slow chunk reaches the server: what matters is that nothing after the cancel is sent.
    auto methods = Methods(s.Requests());
    ASSERT_FALSE(methods.empty());
    EXPECT_EQ(methods.front(), "BeginSession");
    methods.erase(methods.begin());
    EXPECT_LE(methods.size(), 1u);
    for (const std::string& m : methods)
        EXPECT_EQ(m, "RecordSessionEventsChunkNow");
    EXPECT_EQ(s.Create(SessionFlags::NO_DXDIAG), 1);  // still in service
    EXPECT_EQ(s->IsSessionEnabled(), 1);
}

TEST(NimbraClientHost, AServerThatDoesNotWantTheUserTurnsTheGameOff)
{
    HostSession s({"--server-flags", "4"});
    ASSERT_TRUE(s.Ready());
    ASSERT_EQ(s.Create(SessionFlags::UNATTENDED_MODE), 1);
    s->EndSessionAndSend(u"");
    EXPECT_EQ(Methods(s.Requests()), (std::vector<std::string>{"BeginSession"}));
    EXPECT_NE(s.Registry().find("\"Enabled\"=dword:00000000"), std::string::npos);
    EXPECT_EQ(s.Create(0), 0);  // the stored "no" refuses the next session
}

TEST(NimbraClientHost, OnlyTheTwoKnownVersionWordsAreAccepted)
{
    HostSession s;
    ASSERT_TRUE(s.Ready());
    for (std::uint32_t version : {0x10007u, 0x10105u, 0x20005u, 0x10004u, 0u}) {
        SCOPED_TRACE(version);
        EXPECT_EQ(s.Create(SessionFlags::UNATTENDED_MODE, version), 0);
    }
    EXPECT_EQ(s.Create(SessionFlags::UNATTENDED_MODE, 0x10005), 1);
}

TEST(NimbraClientHost, NullEmptyAndVeryLongArgumentsNeverCrashAndKeepTheLibraryInService)
{
    const std::string longName(400, 'n');
    HostSession s({}, "[Options]\n[LogOptions]\nLogFileName=" + longName + "\n");
    ASSERT_TRUE(s.Ready());
    EXPECT_EQ(s->IsSessionEnabled(), 0);
    s->RecordStartGame(0.0, u"before any session");  // does nothing
    LogSettings before{};
    s->GetLogSettings(&before);
    EXPECT_EQ(s->CreateSession(nullptr), 0);
    ASSERT_EQ(s.Create(SessionFlags::UNATTENDED_MODE | SessionFlags::MASK_PLAYERIDS), 1);

    const std::u16string huge((1u << 20) + 10, u'\u00E9');
    for (const char16_t* text : {static_cast<const char16_t*>(nullptr), u"", huge.c_str()}) {
        s->SetClientTimeOffset(1e300);
        s->RecordStartGame(-1.0, text);
        s->RecordEndGame(1e308, text, std::nan(""), text);
        s->RecordEnterLevel(0.0, text, text);
        s->RecordExitLevel(0.0, text, text, -1e308, text);
        s->RecordUIScreenChange(0.0, text);
        s->RecordUIControlChange(0.0, text, text, -5);
        s->RecordMouseButtonChange(0.0, text, 1, 0, -1, 99999, 0);
        s->RecordKeyChange(0.0, text, 0xFFFFFFFFu, 1, 0);
        s->RecordGoodAction(0.0, text, text, text, 0);
        s->RecordNotGoodAction(0.0, text, text, text, 0);
        s->RecordPowerUpCollected(0.0, text, text, text, 0);
        s->RecordPowerUpUsed(0.0, text, text, text, 0);
        s->RecordStatChanged(0.0, text, text, 1.0, 0);
        s->RecordStatChangedInterval(0.0, -1.0, text, text, 1.0, 0);
        const char16_t* list[] = {text, nullptr};
        s->RecordCustomEvent(text, 0.0, list, list, 2, 0);
        s->RecordCustomEvent(u"x", 0.0, nullptr, nullptr, 3, 0);
        s->SetLogSettings(nullptr);
        s->GetLogSettings(nullptr);
    }
    s->SetClientTimeOffset(0.0);
    s->RecordCustomEvent(u"many", 0.0, nullptr, nullptr, 0xFFFFFFFFu, 0);  // cut to the documented count
    s->SetDialogHandlers(nullptr);
    LogSettings flagsOnly{0x10, nullptr, 7};
    s->SetLogSettings(&flagsOnly);
    s->GetLogSettings(&flagsOnly);
    EXPECT_EQ(flagsOnly.Flags, 0x10u);
    EXPECT_EQ(flagsOnly.Reserved, 0u);

    // The name is cut to the documented buffer size; the byte after it stays the host's.
    std::vector<char16_t> buffer(kNimbraLogFileNameChars + 1, u'#');
    LogSettings out{0, buffer.data(), 9};
    s->GetLogSettings(&out);
    EXPECT_EQ(std::u16string(buffer.data()), std::u16string(kNimbraLogFileNameChars - 1, u'n'));
    EXPECT_EQ(buffer[kNimbraLogFileNameChars], u'#');
    EXPECT_EQ(s->IsSessionEnabled(), 1);

    s->EndSessionAndSend(huge.c_str());
    const auto requests = s.Requests();
    ASSERT_EQ(Methods(requests),
              (std::vector<std::string>{"BeginSession", "RecordSessionEventsChunkNow", "EndSessionNow"}));
    EXPECT_EQ(CountOf(requests[1].xml, "<Params>player=***"), 8 * 3);  // ordinals 11-18 put the player first
    EXPECT_EQ(CountOf(requests[1].xml, "<Params>" + std::string(kNimbraMaxCustomParams - 1, ';') + "</Params>"), 1);
}
