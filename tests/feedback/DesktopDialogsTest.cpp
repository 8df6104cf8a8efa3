// The desktop dialogs against a stand-in "zenity" script that logs its arguments and answers as told.
#include "feedback/DesktopDialogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "FeedbackTestFolder.h"
#include "feedback/DialogTexts.h"
#include "feedback/WideText.h"

namespace {

// Puts a fake zenity first in PATH and a display in the environment for the test's lifetime.
class FakeDesktop {
public:
    // answer: what the script prints; code: its exit code; a "--progress" window reads its input to a file
    // and ends with exit code 1 (the Cancel button) once a line holds "stop".
    FakeDesktop(const std::string& answer, int code)
    {
        const std::string script = "#!/bin/sh\n"
                                   "printf '%s\\n' \"$@\" >> '" + m_folder.File("args") + "'\n"
                                   "case \"$1\" in --progress)\n"
                                   "  while read line; do echo \"$line\" >> '" + m_folder.File("input") + "';\n"
                                   "    case \"$line\" in *stop*) exit 1;; esac; done; exit 0;;\n"
                                   "esac\n"
                                   "printf '%s\\n' '" + answer + "'\n"
                                   "exit " + std::to_string(code) + "\n";
        const std::string path = m_folder.Write("zenity", script);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", (m_folder.File("") + ":" + m_oldPath).c_str(), 1);
        setenv("DISPLAY", ":99", 1);
    }
    ~FakeDesktop() { setenv("PATH", m_oldPath.c_str(), 1); }
    std::string Args() const { return Read("args"); }
    std::string Input() const { return Read("input"); }

private:
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_folder.File(name));
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    FeedbackTestFolder m_folder;
    std::string m_oldPath;
};

std::string Utf8(const char16_t* text)
{
    return WideText::ToUtf8(text);
}

}  // namespace

TEST(DesktopDialogs, ConsentAnswersFollowTheChosenRowAndAClosedWindowIsNoAnswer)
{
    struct Case {
        std::string printed;
        int code;
        std::int32_t answer;
    };
    const Case cases[] = {
        {Utf8(DialogTexts::kConsentYes), 0, 206},
        {Utf8(DialogTexts::kConsentNo), 0, 207},
        {"", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        FakeDesktop desktop(c.printed, c.code);
        ASSERT_TRUE(DesktopDialogs::Available());
        DesktopDialogs dialogs;
        EXPECT_EQ(dialogs.AskConsent(u"Help Improve A & B", 206), c.answer);
        const std::string args = desktop.Args();
        EXPECT_NE(args.find("--radiolist"), std::string::npos);
        EXPECT_NE(args.find("<b>Help Improve A &amp; B</b>"), std::string::npos);  // markup made plain
        EXPECT_NE(args.find("TRUE\n" + Utf8(DialogTexts::kConsentYes)), std::string::npos);
    }
}

TEST(DesktopDialogs, CancelQuestionGoesOnUnlessAYesIsChosen)
{
    struct Case {
        std::string printed;
        int code;
        std::int32_t answer;
    };
    const Case cases[] = {
        {Utf8(DialogTexts::kCancelSession), 0, 206},
        {Utf8(DialogTexts::kCancelOptOut), 0, 208},
        {Utf8(DialogTexts::kCancelContinue), 0, 207},
        {"", 1, 207},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        FakeDesktop desktop(c.printed, c.code);
        DesktopDialogs dialogs;
        EXPECT_EQ(dialogs.ConfirmCancel(), c.answer);
    }
}

TEST(DesktopDialogs, ProgressWindowGetsItsLinesAndReportsItsCancelButton)
{
    FakeDesktop desktop("", 0);
    DesktopDialogs dialogs;
    std::unique_ptr<ProgressView> view = dialogs.NewProgressView();
    ASSERT_TRUE(view->Open(DialogTexts::kProgressTitle, DialogTexts::kProgressNotice));
    ProgressState state;
    state.Status = u"Connecting...";
    state.Fraction = 0.5;
    state.Dots = 3;
    view->Update(state);
    EXPECT_FALSE(view->TakeCancelRequest());
    state.Status = u"stop";  // the stand-in ends as its Cancel button would
    state.Dots = 0;
    view->Update(state);
    bool cancelled = false;
    for (int k = 0; k < 200 && !cancelled; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        cancelled = view->TakeCancelRequest();
    }
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(view->TakeCancelRequest());  // once per press
    view->Close();
    const std::string input = desktop.Input();
    EXPECT_NE(input.find("50\n# Connecting... ...\n"), std::string::npos) << input;
}
