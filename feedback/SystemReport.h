// SystemReport.h: the report on the user's machine sent with RecordSystemInfo. Start() writes the
// fixed headings and starts the report helper (shipped beside the library) on a private temporary
// file; Read() waits for it at most the wait limit or until the caller cancels, then appends its
// text with the machine name masked. One per upload; the helper is killed if still running when
// the report goes away.
#pragma once

#include "platform/http/ChildProcess.h"
#include "platform/http/PrivateTempFile.h"

#include <functional>
#include <string>

class SystemReport {
public:
    static constexpr unsigned kWaitMs = 60000;
    static constexpr std::size_t kMaxHelperOutputBytes = 4u << 20;
    static constexpr const char* kHelperName = "NimbraSysReport";

    explicit SystemReport(std::string helperPath = DefaultHelperPath(), unsigned waitMs = kWaitMs);

    void Start();
    bool IsRunning();  // the helper has been started and has not ended yet
    // True only when the helper ended within the wait and nobody cancelled; the text gets the
    // rest of the report (or the reason it is missing) either way. `cancelled` may be empty.
    [[nodiscard]] bool Read(const std::function<bool()>& cancelled);
    const std::u16string& Text() const { return m_text; }

    static std::string DefaultHelperPath();  // "<folder of this library>/NimbraSysReport"
    // Replaces the value of each "Machine name:" that starts its line (after white space).
    static void MaskMachineName(std::u16string& text);

private:
    void AppendAscii(const std::string& text);
    void AppendReadFailure(http_layer::PrivateTempFile::ReadResult result);

    std::string m_helperPath;
    unsigned m_nWaitMs;
    http_layer::ChildProcess m_process;
    http_layer::PrivateTempFile m_file;
    bool m_bStarted = false;
    std::u16string m_text;
};
