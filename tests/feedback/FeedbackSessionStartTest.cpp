#include "feedback/FeedbackSession.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "SessionHarness.h"
#include "feedback/LanguageId.h"

namespace {

const std::u16string kBase = SessionRegistry::kBaseKey;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        m_had = std::getenv(name) != nullptr;
        setenv(name, value, 1);
    }
    ~ScopedEnv()
    {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }

private:
    std::string m_name, m_old;
    bool m_had = false;
};

}  // namespace

TEST(FeedbackSessionStart, FirstSessionCreatesBothKeysWritesFirstRunAndAdmitsWithoutAsking)
{
    SessionHarness h;
    FeedbackSession& session = h.Make();
    ASSERT_TRUE(session.Start());
    EXPECT_TRUE(h.Registry().KeyExists(kBase));
    EXPECT_TRUE(h.Registry().KeyExists(h.GameKey()));
    const std::optional<std::uint64_t> firstRun = h.Registry().ReadQword(h.GameKey(), u"First Run");
    ASSERT_TRUE(firstRun.has_value());
    EXPECT_EQ(*firstRun, session.FirstRunTime());
    EXPECT_FALSE(h.GameEnabled().has_value());
    EXPECT_TRUE(h.Dialogs.ConsentAsked.empty());

    // A second session keeps the first run time.
    FeedbackSession& second = h.Make();
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.FirstRunTime(), *firstRun);
}

TEST(FeedbackSessionStart, RefusalsFollowConfigurationFlagsAndStoredAnswers)
{
    struct Case {
        const char* name;
        bool withIni;
        std::uint32_t flags;
        std::optional<std::uint32_t> baseEnabled, gameEnabled;
        bool shift;
        bool admitted;
    };
    const Case cases[] = {
        {"no configuration source", false, 0, {}, {}, false, false},
        {"FORCE_DISABLE", true, SessionFlags::FORCE_DISABLE, {}, {}, false, false},
        {"game said no", true, 0, {}, 0u, false, false},
        {"game said no, SHIFT held", true, 0, {}, 0u, true, false},
        {"all games off", true, 0, 0u, 1u, false, false},
        {"all games off, unattended", true, SessionFlags::UNATTENDED_MODE, 0u, {}, false, true},
        {"game said no, unattended", true, SessionFlags::UNATTENDED_MODE, {}, 0u, false, true},
        {"game said yes", true, 0, 1u, 1u, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionHarness h(c.withIni ? "[Options]\n" : "");
        if (c.baseEnabled) {
            ASSERT_TRUE(h.Registry().Write(kBase, u"Enabled", RegistryStore::Dword(*c.baseEnabled)));
        }
        if (c.gameEnabled) {
            ASSERT_TRUE(h.Registry().Write(h.GameKey(), u"Enabled", RegistryStore::Dword(*c.gameEnabled)));
        }
        h.Dialogs.ShiftDown = c.shift;
        EXPECT_EQ(h.Make(c.flags).Start(), c.admitted);
        EXPECT_TRUE(h.Dialogs.ConsentAsked.empty());
    }
}

TEST(FeedbackSessionStart, ShiftAsksAgainWithYesPreselectedAndStoresTheAnswer)
{
    struct Case {
        std::int32_t answer;
        bool admitted;
        std::uint32_t stored;
    };
    for (const Case& c : {Case{206, true, 1}, Case{207, false, 0}, Case{0, true, 1}}) {
        SCOPED_TRACE(c.answer);
        SessionHarness h;
        ASSERT_TRUE(h.Registry().Write(h.GameKey(), u"Enabled", RegistryStore::Dword(1)));
        h.Dialogs.ShiftDown = true;
        h.Dialogs.ConsentAnswer = c.answer;
        EXPECT_EQ(h.Make().Start(), c.admitted);
        ASSERT_EQ(h.Dialogs.ConsentAsked.size(), 1u);
        EXPECT_EQ(h.Dialogs.ConsentAsked[0], 206);
        EXPECT_EQ(h.Dialogs.Headings[0], u"Help Improve Palmora");
        EXPECT_EQ(h.GameEnabled(), c.stored);
    }
}

TEST(FeedbackSessionStart, FirstRunOfTheWrongTypeOrOutOfRangeIsReplacedByNow)
{
    const std::uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const RegistryStore::Value values[] = {RegistryStore::Binary(bytes, 8), RegistryStore::Dword(5),
                                           RegistryStore::Qword(0x8000000000000001ull)};
    for (const RegistryStore::Value& value : values) {
        SCOPED_TRACE(value.Type);
        SessionHarness h;
        ASSERT_TRUE(h.Registry().Write(h.GameKey(), u"First Run", value));
        FeedbackSession& session = h.Make();
        const FileTime before = FeedbackSession::SystemFileTime();
        ASSERT_TRUE(session.Start());
        EXPECT_GE(session.FirstRunTime(), before);
        EXPECT_EQ(h.Registry().ReadQword(h.GameKey(), u"First Run"), session.FirstRunTime());
    }
}

TEST(FeedbackSessionStart, LanguageRequirementRefusesWithTheExactMessageAndKeepsTheStoredAnswer)
{
    struct Case {
        const char* locale;
        const char* required;
        bool ok;
        const char* message;
    };
    const Case cases[] = {
        {"en_GB.UTF-8", "0x0409", false, "User's current sublanguage is id 0x0809; id 0x0409 is required"},
        {"en_GB.UTF-8", "0x0009", true, ""},
        {"en_US.UTF-8", "0x0009", true, ""},
        {"de_DE.UTF-8", "0x0409", false, "User's current primary language is id 0x0407; id 0x0409 is required"},
        {"en_US.UTF-8", "0", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.required);
        ScopedEnv all("LC_ALL", c.locale);
        SessionHarness h(std::string("[Options]\nRequireLanguageId=") + c.required + "\n");
        ASSERT_TRUE(h.Registry().Write(h.GameKey(), u"Enabled", RegistryStore::Dword(1)));
        FeedbackSession& session = h.Make();
        bool hard = false;
        std::string message;
        EXPECT_EQ(session.CheckPrerequisites(hard, message), c.ok);
        EXPECT_EQ(hard, !c.ok);
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(session.Start(), c.ok);
        EXPECT_EQ(h.GameEnabled(), 1u);  // a missing prerequisite is not the user's "no"
    }
}

TEST(FeedbackSessionStart, LocaleNamesMapToWindowsLanguageIds)
{
    const std::pair<const char*, std::uint16_t> cases[] = {
        {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809}, {"de_AT.UTF-8@euro", 0x0C07}, {"fr_CA", 0x0C0C},
        {"C", 0x0409}, {"POSIX", 0x0409}, {"pt_BR.UTF-8", 0x0416}, {"xx_YY", 0}, {"", 0x0409}, {"ja", 0x0411},
    };
    for (const auto& [locale, id] : cases) {
        SCOPED_TRACE(locale);
        EXPECT_EQ(LanguageId::FromLocaleName(locale), id);
    }
}

TEST(FeedbackSessionStart, OptOutStoresNoAndOpensThePageOrThanksTheUser)
{
    struct Case {
        const char16_t* optOutUrl;
        bool pageOpens;
        bool openPage;
        std::size_t pages, messages;
    };
    const Case cases[] = {
        {u"https://example.test/optout?", true, true, 1, 0},
        {u"https://example.test/optout?", false, true, 1, 1},
        {u"", true, true, 0, 1},
        {u"https://example.test/optout?", true, false, 0, 0},
        {u"file:///etc/passwd?", true, true, 0, 1},  // only web pages are opened
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pages) + std::to_string(c.messages) + (c.openPage ? "open" : "quiet"));
        SessionHarness h;
        h.Dialogs.PageOpens = c.pageOpens;
        FeedbackSession& session = h.Make(0, u"", c.optOutUrl);
        ASSERT_TRUE(session.Start());
        session.OptOut(c.openPage);
        EXPECT_EQ(h.GameEnabled(), 0u);
        ASSERT_EQ(h.Dialogs.PagesOpened.size(), c.pages);
        if (c.pages > 0) {
            EXPECT_EQ(h.Dialogs.PagesOpened[0],
                      u"https://example.test/optout?gameid=0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9");
        }
        ASSERT_EQ(h.Dialogs.Messages.size(), c.messages);
        if (c.messages > 0) {
            EXPECT_EQ(h.Dialogs.Messages[0], u"Thank you!: You have ended your participation in the feedback "
                                             u"program for this game. Thank you for your time.");
        }
    }
}
