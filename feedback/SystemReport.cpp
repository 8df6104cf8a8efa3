#include "feedback/SystemReport.h"

#include "feedback/WideText.h"
#include "platform/http/ModulePath.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// Errors travel as HRESULT values of the Win32 facility, the form the service's reports use.
std::string HresultLine(const char* what, int error)
{
    char line[80];
    std::snprintf(line, sizeof line, "%s failure, hresult = 0x%08X\r\n", what,
                  0x80070000u | (static_cast<std::uint32_t>(error) & 0xFFFFu));
    return line;
}

std::string Banner(const char* title)
{
    std::string line;
    for (int i = 0; i < 40; ++i) line += "-=";
    return std::string(title) + "\r\n\r\n" + line + "\r\n\r\n";
}

bool IsWhite(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == 0xA0;
}

bool OnlyWhiteSince(const std::u16string& text, std::size_t lineStart, std::size_t at)
{
    for (std::size_t i = lineStart; i < at; ++i) {
        if (!IsWhite(text[i])) return false;
    }
    return true;
}

}  // namespace

SystemReport::SystemReport(std::string helperPath, unsigned waitMs)
    : m_helperPath(std::move(helperPath)), m_nWaitMs(waitMs)
{
}

std::string SystemReport::DefaultHelperPath()
{
    return http_layer::FolderOf(http_layer::ThisModulePath()) + kHelperName;
}

void SystemReport::AppendAscii(const std::string& text)
{
    m_text += WideText::FromUtf8(text);
}

void SystemReport::Start()
{
    const std::string rule(80, '-');
    AppendAscii("INSTALLED SOFTWARE\r\n" + rule + "\r\n\r\n");
    // No .NET on this platform: the heading stays, with no version lines under it.
    AppendAscii("------------------------\r\nMicrosoft .NET Framework\n------------------------\r\n\r\n");
    AppendAscii("DXDIAG RUN\r\n" + rule + "\r\n\r\n");

    if (!m_file.Create("nimbra-report-")) {
        AppendAscii(HresultLine("CreateProcess", m_file.Error()));
        return;
    }
    if (!m_process.Start(m_helperPath, {m_file.Path()})) {
        AppendAscii(HresultLine("CreateProcess", m_process.StartError()));
        m_file.Remove();
        return;
    }
    m_bStarted = true;
}

bool SystemReport::IsRunning()
{
    return m_bStarted && m_process.IsRunning();
}

void SystemReport::AppendReadFailure(http_layer::PrivateTempFile::ReadResult result)
{
    using ReadResult = http_layer::PrivateTempFile::ReadResult;
    const char* what = result == ReadResult::OpenFailed ? "CreateFile"
                     : result == ReadResult::TooLarge   ? "GetFileSize"
                                                        : "ReadFile";
    AppendAscii(HresultLine(what, m_file.Error()));
}

bool SystemReport::Read(const std::function<bool()>& cancelled)
{
    if (!m_bStarted) return false;
    m_bStarted = false;
    bool finished = false;
    switch (m_process.Wait(m_nWaitMs, cancelled)) {
    case http_layer::ChildProcess::WaitResult::Exited:
        finished = true;
        break;
    case http_layer::ChildProcess::WaitResult::Cancelled:
        AppendAscii(Banner("USER CANCELLED - DATA IS LIKELY INCOMPLETE"));
        break;
    case http_layer::ChildProcess::WaitResult::TimedOut:
    case http_layer::ChildProcess::WaitResult::NotStarted:
        AppendAscii(Banner("TIMEOUT OCCURRED - DATA IS LIKELY INCOMPLETE"));
        break;
    }
    // A helper still writing would change the file under us; what it wrote so far is kept.
    m_process.Kill();

    std::vector<std::uint8_t> bytes;
    const auto result = m_file.ReadAll(bytes, kMaxHelperOutputBytes);
    if (result == http_layer::PrivateTempFile::ReadResult::Ok) {
        m_text += WideText::FromUtf8(std::string(bytes.begin(), bytes.end()));
    } else {
        AppendReadFailure(result);
    }
    MaskMachineName(m_text);
    m_file.Remove();
    return finished;
}

void SystemReport::MaskMachineName(std::u16string& text)
{
    static const std::u16string label = u"Machine name:";
    for (std::size_t at = text.find(label); at != std::u16string::npos; at = text.find(label, at + 1)) {
        const std::size_t cr = at == 0 ? std::u16string::npos : text.rfind(u'\r', at - 1);
        const std::size_t lineStart = cr == std::u16string::npos ? 0 : cr + 1;
        if (!OnlyWhiteSince(text, lineStart, at)) continue;
        for (std::size_t i = at + label.size(); i < text.size() && text[i] != u'\r'; ++i) {
            if (!IsWhite(text[i])) text[i] = u'*';
        }
    }
}
