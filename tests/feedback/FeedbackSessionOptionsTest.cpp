// test-labels: untrusted
#include "feedback/FeedbackSession.h"

#include <gtest/gtest.h>

#include "FeedbackTestFolder.h"
#include "feedback/ConfigSource.h"
#include "feedback/ConfigText.h"
#include "feedback/DataLibraryWriter.h"
#include "feedback/WideText.h"

namespace {

SessionInit HostInit(std::uint32_t flags = 0)
{
    SessionInit init{};
    init.Flags = flags;
    init.Version = 0x10006;
    init.GameName = u"Host Game";
    init.GameVersion = 7;
    init.BuildConfig = u"retail";
    init.OptOutUrl = u"http://example.invalid/optout?";
    return init;
}

struct Configured {
    FeedbackTestFolder folder;
    ConfigSource source;
    explicit Configured(const std::string& ini)
        : source(folder.File("libNimbraClient.so"), folder.File("solitaire"))
    {
        folder.Write("libNimbraClient.ini", ini);
    }
};

}  // namespace

TEST(FeedbackSessionOptions, FlagsSectionSetsOrClearsOnlyOnTrueOrFalse)
{
    Configured config("[Flags]\nUNATTENDED_MODE=0\nDEBUG_MODE=false\nNO_DXDIAG=true\nNO_COMPRESSION=\n"
                      "THROTTLE_NETWORK=1\nMASK_PLAYERIDS=maybe\n");
    const std::uint32_t host = SessionFlags::UNATTENDED_MODE | SessionFlags::DEBUG_MODE |
                               SessionFlags::NO_COMPRESSION | SessionFlags::MASK_PLAYERIDS;
    FeedbackSession session(HostInit(host), config.source);
    struct Case {
        const char* name;
        std::uint32_t bit;
        bool expected;
    };
    const Case cases[] = {
        {"0 leaves the host's bit", SessionFlags::UNATTENDED_MODE, true},
        {"false clears", SessionFlags::DEBUG_MODE, false},
        {"true sets", SessionFlags::NO_DXDIAG, true},
        {"an empty value keeps the default", SessionFlags::NO_COMPRESSION, true},
        {"1 sets", SessionFlags::THROTTLE_NETWORK, true},
        {"other text keeps the default", SessionFlags::MASK_PLAYERIDS, true},
        {"absent keeps the default", SessionFlags::FORCE_DISABLE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(session.Has(c.bit), c.expected);
    }
}

TEST(FeedbackSessionOptions, OptionsSectionOverridesTheHostsValues)
{
    Configured config("[Options]\nDelvinUrl=\"https://feedback.example.invalid/data/dataservice.asmx\"\n"
                      "GameName=Palmora\nGameID={0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}\nGameVersion=0x0102\n"
                      "BuildConfig=beta\nNetworkMaxBytesPerSecond=0\nFeedbackLevel=3\nOptOutUrl=http://x/?\n"
                      "RequireLanguageId=0x0409\n");
    FeedbackSession session(HostInit(), config.source);
    const SessionOptions& options = session.Options();
    EXPECT_EQ(options.ServiceUrl, u"https://feedback.example.invalid/data/dataservice.asmx");
    EXPECT_EQ(options.GameName, u"Palmora");
    EXPECT_EQ(ConfigText::FormatGuid(options.GameID, true), u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
    EXPECT_EQ(options.GameVersion, 0x0102u);
    EXPECT_EQ(options.BuildConfig, u"beta");
    EXPECT_EQ(options.NetworkMaxBytesPerSecond, 1500u);  // a configured 0 gets the default too
    EXPECT_EQ(options.FeedbackLevel, 3u);
    EXPECT_EQ(options.OptOutUrl, u"http://x/?");
    EXPECT_EQ(options.RequireLanguageId, 0x0409u);
}

TEST(FeedbackSessionOptions, HostValuesGetTheirDefaultsWithoutConfiguration)
{
    ConfigSource none("", "");
    struct Case {
        const char* what;
        std::uint32_t flags, version, bytesPerSecond, level;
        std::uint32_t expectedBytes, expectedLevel;
        bool expectOptOut;
    };
    const Case cases[] = {
        {"zero throughput, no level flag", 0, 0x10006, 0, 3, 1500, 99999, true},
        {"own throughput, level flag", SessionFlags::USE_FEEDBACK_LEVEL, 0x10006, 800, 3, 800, 3, true},
        {"old record has no opt-out address", 0, 0x10005, 10, 0, 10, 99999, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionInit init = HostInit(c.flags);
        init.Version = c.version;
        init.NetworkMaxBytesPerSecond = c.bytesPerSecond;
        init.FeedbackLevel = c.level;
        FeedbackSession session(init, none);
        EXPECT_EQ(session.Options().NetworkMaxBytesPerSecond, c.expectedBytes);
        EXPECT_EQ(session.Options().FeedbackLevel, c.expectedLevel);
        EXPECT_EQ(session.Options().OptOutUrl.empty(), !c.expectOptOut);
        EXPECT_EQ(session.Options().GameName, u"Host Game");
    }
}

TEST(FeedbackSessionOptions, InvalidGameIdKeepsTheHostsId)
{
    Configured config("[Options]\nGameID=not-a-guid\n");
    SessionInit init = HostInit();
    init.GameID.Data1 = 0x12345678;
    FeedbackSession session(init, config.source);
    EXPECT_EQ(session.Options().GameID.Data1, 0x12345678u);
}

TEST(FeedbackSessionOptions, FiltersComeFromTheHostThenFromEventSections)
{
    Configured config("[Event/SYS_StatChanged/score]\nMinIntervalSeconds=10\n"
                      "[event/SYS_GoodAction]\nflags.NO_REPORT=true\nFeedbackLevel=4\n"
                      "[Event/SYS_StatChanged/time]\nflags.BUFFER=false\n"
                      "[Event/Host]\nMinIntervalSeconds=\nflags.COUNT_ONLY=1\n"
                      "[Event]\nflags.NO_REPORT=true\n"
                      "[Events/Other]\nflags.NO_REPORT=true\n");
    const EventFilterInit first{u"Host", nullptr, FilterFlags::NO_LOG, 2, 5.0};
    const EventFilterInit duplicate{u"HOST", nullptr, FilterFlags::BUFFER, 1, 6.0};
    const EventFilterInit stat{u"SYS_StatChanged", u"Lives", 0, -1, 0.0};
    const EventFilterInit unnamed{nullptr, u"x", FilterFlags::NO_REPORT, -1, 0.0};
    const EventFilterInit* filters[] = {&first, &duplicate, &stat, &unnamed, nullptr};
    SessionInit init = HostInit();
    init.EventFilters = filters;
    FeedbackSession session(init, config.source);

    const EventFilter* host = session.FindFilter(u"host", u"");
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->Flags, FilterFlags::BUFFER | FilterFlags::COUNT_ONLY);  // the duplicate replaced the first
    EXPECT_EQ(host->FeedbackLevel, 1);
    EXPECT_EQ(host->MinIntervalSeconds, 6.0);  // an empty interval keeps the value

    const EventFilter* lives = session.FindFilter(u"SYS_StatChanged", u"LIVES");
    ASSERT_NE(lives, nullptr);
    EXPECT_EQ(lives->Flags, FilterFlags::BUFFER);

    const EventFilter* score = session.FindFilter(u"sys_statchanged", u"score");
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(score->Flags, FilterFlags::BUFFER);
    EXPECT_EQ(score->MinIntervalSeconds, 10.0);

    const EventFilter* time = session.FindFilter(u"SYS_StatChanged", u"time");
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->Flags, 0u);  // only the section's own flags.BUFFER clears it

    const EventFilter* good = session.FindFilter(u"SYS_GoodAction", u"anything");
    ASSERT_NE(good, nullptr);  // a name-only filter covers every sub-key without its own
    EXPECT_EQ(good->Flags, FilterFlags::NO_REPORT);
    EXPECT_EQ(good->FeedbackLevel, 4);

    EXPECT_EQ(session.FindFilter(u"Other", u""), nullptr);
    EXPECT_EQ(session.FindFilter(u"", u"x"), nullptr);
}

TEST(FeedbackSessionOptions, LogSettingsHaveDefaultsAndConfiguredValues)
{
    Configured plain("");
    FeedbackSession defaults(HostInit(), plain.source);
    EXPECT_EQ(defaults.LogFlags(), 7u);
    EXPECT_EQ(defaults.LogFileName(), WideText::FromUtf8(plain.folder.File("libNimbraClient.log")));

    Configured config("[LogFlags]\nGENERAL_WARNING=false\nCAPTURE_RECORDED=true\nINTERNAL_INFO=1\n"
                      "[LogOptions]\nLogFileName=/tmp/nimbra.log\n");
    FeedbackSession session(HostInit(), config.source);
    EXPECT_EQ(session.LogFlags(), LogFlags::GENERAL_ERROR | LogFlags::GENERAL_ABORT | LogFlags::CAPTURE_RECORDED |
                                      LogFlags::INTERNAL_INFO);
    EXPECT_EQ(session.LogFileName(), u"/tmp/nimbra.log");

    LogSettings host{0x30, nullptr, 99};
    session.LoadLogSettings(&host);
    EXPECT_EQ(session.LogFlags(), 0x30u);
    EXPECT_EQ(session.LogReserved(), 0u);
    EXPECT_EQ(session.LogFileName(), u"/tmp/nimbra.log");
}

TEST(FeedbackSessionOptions, PlainIniAndDataLibraryGiveTheSameSettings)
{
    const std::string ini = "; shipped configuration\r\n[Flags]\r\nUNATTENDED_MODE=true\r\nNO_DXDIAG=1\r\n"
                            "[Options]\r\nGameName=\"Palmora\"\r\nGameVersion=258\r\nFeedbackLevel=2\r\n"
                            "[Event/SYS_StatChanged]\r\nMinIntervalSeconds=2.5\r\n[LogFlags]\r\nCAPTURE_SUBMITTED=1\r\n";
    FeedbackTestFolder rawFolder, dllFolder;
    rawFolder.Write("libNimbraClient.ini", ini);
    dllFolder.Write("libNimbraClientData-solitaire.so",
                    DataLibraryWriter::BuildElf(DataLibraryWriter::IniResources(ini, u"anything.so")));
    ConfigSource raw(rawFolder.File("libNimbraClient.so"), "solitaire");
    ConfigSource dll(dllFolder.File("libNimbraClient.so"), "solitaire");
    FeedbackSession fromRaw(HostInit(), raw);
    FeedbackSession fromDll(HostInit(), dll);
    EXPECT_EQ(raw.Type(), ConfigSource::kRaw);
    EXPECT_EQ(dll.Type(), ConfigSource::kDll);

    const SessionOptions& a = fromRaw.Options();
    const SessionOptions& b = fromDll.Options();
    EXPECT_EQ(a.Flags, b.Flags);
    EXPECT_TRUE(a.Has(SessionFlags::UNATTENDED_MODE | SessionFlags::NO_DXDIAG));
    EXPECT_EQ(a.GameName, b.GameName);
    EXPECT_EQ(a.GameName, u"Palmora");
    EXPECT_EQ(a.GameVersion, b.GameVersion);
    EXPECT_EQ(a.FeedbackLevel, b.FeedbackLevel);
    EXPECT_EQ(fromRaw.LogFlags(), fromDll.LogFlags());
    const EventFilter* rawFilter = fromRaw.FindFilter(u"SYS_StatChanged", u"");
    const EventFilter* dllFilter = fromDll.FindFilter(u"SYS_StatChanged", u"");
    ASSERT_NE(rawFilter, nullptr);
    ASSERT_NE(dllFilter, nullptr);
    EXPECT_EQ(rawFilter->Flags, dllFilter->Flags);
    EXPECT_EQ(rawFilter->MinIntervalSeconds, 2.5);
    EXPECT_EQ(dllFilter->MinIntervalSeconds, 2.5);
}
