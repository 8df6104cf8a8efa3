#include "feedback/SystemReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const std::u16string kHead =
    u"INSTALLED SOFTWARE\r\n" + std::u16string(80, u'-') + u"\r\n\r\n"
    u"------------------------\r\nMicrosoft .NET Framework\n------------------------\r\n\r\n"
    u"DXDIAG RUN\r\n" + std::u16string(80, u'-') + u"\r\n\r\n";

std::u16string Line40()
{
    std::u16string line;
    for (int i = 0; i < 40; ++i) line += u"-=";
    return line;
}

// A throw-away helper program (a shell script) in its own folder.
class FakeHelper {
public:
    explicit FakeHelper(const std::string& body)
    {
        std::random_device random;
        m_dir = fs::temp_directory_path() / ("sysreport-test-" + std::to_string(random()));
        fs::create_directories(m_dir);
        std::ofstream(Path(), std::ios::binary) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(Path(), fs::perms::owner_all);
    }
    ~FakeHelper()
    {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::string Path() const { return (m_dir / "helper").string(); }

private:
    fs::path m_dir;
};

}  // namespace

TEST(SystemReport, TheShippedHelperReportsThisMachineWithItsNameMasked)
{
    SystemReport report;  // the helper beside this program, as beside the library
    report.Start();
    EXPECT_TRUE(report.Read({})) << std::string(report.Text().begin(), report.Text().end());
    const std::u16string& text = report.Text();
    ASSERT_EQ(text.compare(0, kHead.size(), kHead), 0);
    for (const char16_t* part : {u"System Information\r\n", u"Operating System: ", u"Kernel: Linux ", u"Processor: ",
                                 u"Memory: ", u"Display Devices\r\n", u"Sound Devices\r\n"}) {
        SCOPED_TRACE(std::string(part, part + std::char_traits<char16_t>::length(part)));
        EXPECT_NE(text.find(part), std::u16string::npos);
    }
    const std::size_t name = text.find(u"Machine name: ");
    ASSERT_NE(name, std::u16string::npos);
    const std::size_t end = text.find(u'\r', name);
    EXPECT_EQ(text.substr(name + 14, end - name - 14).find_first_not_of(u'*'), std::u16string::npos);
}

TEST(SystemReport, HelperOutputIsAppendedAndTheFileIsRemoved)
{
    FakeHelper helper("printf '  Machine name: abcdef\\r\\nX Machine name: keep\\r\\nCPU: \\303\\251\\r\\n' > \"$1\"; echo \"$1\" > \"$0.path\"");
    SystemReport report(helper.Path(), 5000);
    report.Start();
    EXPECT_TRUE(report.Read({}));
    EXPECT_EQ(report.Text(), kHead + u"  Machine name: ******\r\nX Machine name: keep\r\nCPU: \u00e9\r\n");
    std::ifstream pathFile(helper.Path() + ".path");
    std::string reportPath;
    ASSERT_TRUE(std::getline(pathFile, reportPath));
    EXPECT_EQ(reportPath.rfind(fs::temp_directory_path().string(), 0), 0u);
    EXPECT_FALSE(fs::exists(reportPath));
}

TEST(SystemReport, AMissingHelperIsNotedAndNotWaitedFor)
{
    SystemReport report("/nonexistent/NimbraSysReport", 5000);
    report.Start();
    EXPECT_FALSE(report.IsRunning());
    const auto start = Clock::now();
    EXPECT_FALSE(report.Read({}));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(report.Text(), kHead + u"CreateProcess failure, hresult = 0x80070002\r\n");
}

TEST(SystemReport, ASlowHelperIsCutOffAtTheWaitLimitOrByACancel)
{
    FakeHelper helper("printf 'partial\\r\\n' > \"$1\"; sleep 30");
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "timed out");
        SystemReport report(helper.Path(), cancel ? 20000 : 600);
        report.Start();
        EXPECT_TRUE(report.IsRunning());
        const auto start = Clock::now();
        const auto cancelled = [&] { return cancel && Clock::now() - start > std::chrono::milliseconds(300); };
        EXPECT_FALSE(report.Read(cancelled));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
        const std::u16string banner = cancel ? u"USER CANCELLED - DATA IS LIKELY INCOMPLETE" : u"TIMEOUT OCCURRED - DATA IS LIKELY INCOMPLETE";
        const std::u16string tail = banner + u"\r\n\r\n" + Line40() + u"\r\n\r\n";
        // The helper may or may not have written its line before it was stopped.
        EXPECT_TRUE(report.Text() == kHead + tail || report.Text() == kHead + tail + u"partial\r\n");
        EXPECT_FALSE(report.IsRunning());
    }
}

TEST(SystemReport, MachineNameIsMaskedOnlyWhereItStartsALine)
{
    const struct {
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {u"      Machine name: abcdef\r\n", u"      Machine name: ******\r\n"},
        {u"Machine name: my host\r\nnext", u"Machine name: ** ****\r\nnext"},
        {u"a\r\n\tMachine name:x", u"a\r\n\tMachine name:*"},
        {u"OS: x Machine name: abc\r\n", u"OS: x Machine name: abc\r\n"},
        {u"Machine name:\r\n", u"Machine name:\r\n"},
        {u"x\r\n Machine name: a\r\n Machine name: bb\r\n", u"x\r\n Machine name: *\r\n Machine name: **\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.in.begin(), c.in.end()));
        std::u16string text = c.in;
        SystemReport::MaskMachineName(text);
        EXPECT_EQ(text, c.out);
    }
}
