#include "feedback/DesktopDialogs.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "feedback/DialogTexts.h"
#include "feedback/WideText.h"
#include "platform/dialogs/ZenityProcess.h"
#include "platform/http/WebAddress.h"

using dialogs_layer::ZenityProcess;

namespace {

std::string Utf8(std::u16string_view text)
{
    return WideText::ToUtf8(text);
}

std::string Markup(std::u16string_view text)
{
    return ZenityProcess::EscapeMarkup(Utf8(text));
}

// A radio list; the chosen row's text, or none when the window was closed.
bool ChooseRow(const std::string& title, const std::string& text, const std::vector<std::u16string>& rows,
               int checked, std::string& chosen)
{
    std::vector<std::string> args = {"--list", "--radiolist", "--title=" + title, "--text=" + text,
                                     "--column=", "--column=Answer", "--print-column=2", "--hide-header",
                                     "--width=640", "--height=560", "--ok-label=OK"};
    for (std::size_t k = 0; k < rows.size(); ++k) {
        args.push_back(static_cast<int>(k) == checked ? "TRUE" : "FALSE");
        args.push_back(Utf8(rows[k]));
    }
    return ZenityProcess::RunModal(args, chosen) == 0;
}

class ZenityProgressView : public ProgressView {
public:
    bool Open(std::u16string_view title, std::u16string_view notice) override
    {
        m_title = Utf8(title);
        m_notice = Markup(notice);
        return Launch(true);
    }
    void Update(const ProgressState& state) override
    {
        if (!state.Visible) {
            Close();
            return;
        }
        // A window that ended by itself is a cancel request; TakeCancelRequest reports it first.
        if (m_bLaunched && !m_window.IsRunning())
            return;
        if (m_bLaunched && state.CancelEnabled != m_bCancelShown)
            Close();  // zenity cannot disable its button: the window comes back without it
        if (!m_bLaunched && !Launch(state.CancelEnabled))
            return;
        const int percent = static_cast<int>(std::lround(std::fmin(1.0, std::fmax(0.0, state.Fraction)) * 100.0));
        const std::string dots(static_cast<std::size_t>(state.Dots), '.');
        (void)m_window.Send(std::to_string(std::min(percent, 99)));  // 100 would let zenity close itself
        (void)m_window.Send("# " + Utf8(state.Status) + " " + dots);
    }
    bool TakeCancelRequest() override
    {
        // The window ends when Cancel or the close box is pressed; it is opened again on the next update.
        if (!m_bLaunched || m_window.IsRunning())
            return false;
        m_bLaunched = false;
        return true;
    }
    void Close() override
    {
        m_bLaunched = false;
        m_window.Stop();
    }

private:
    bool Launch(bool cancelEnabled)
    {
        std::vector<std::string> args = {"--progress", "--title=" + m_title, "--text=" + m_notice, "--percentage=0",
                                         "--width=420"};
        if (!cancelEnabled)
            args.push_back("--no-cancel");
        m_bLaunched = m_window.Start(args);
        m_bCancelShown = cancelEnabled;
        return m_bLaunched;
    }

    ZenityProcess m_window;
    std::string m_title, m_notice;
    bool m_bLaunched = false;
    bool m_bCancelShown = true;
};

}  // namespace

bool DesktopDialogs::Available()
{
    return ZenityProcess::Available();
}

std::int32_t DesktopDialogs::AskConsent(std::u16string_view heading, std::int32_t preselected)
{
    const std::string text = "<b>" + Markup(heading) + "</b>\n\n" + Markup(DialogTexts::kConsentBody);
    const std::vector<std::u16string> rows = {DialogTexts::kConsentYes, DialogTexts::kConsentNo};
    for (;;) {
        std::string chosen;
        if (!ChooseRow(Utf8(DialogTexts::kConsentTitle), text, rows, preselected == DialogTexts::kYes ? 0 : -1,
                       chosen))
            return DialogTexts::kNoAnswer;
        if (chosen == Utf8(rows[0]))
            return DialogTexts::kYes;
        if (chosen == Utf8(rows[1]))
            return DialogTexts::kNo;
        // "OK" without a choice: the question stays until one is made.
    }
}

std::int32_t DesktopDialogs::OfferBeta(std::u16string_view betaUrl)
{
    std::string ignored;
    const int rc = ZenityProcess::RunModal({"--question", "--title=" + Utf8(DialogTexts::kBetaTitle),
                                            "--text=" + Markup(DialogTexts::kBetaText),
                                            "--ok-label=" + Utf8(DialogTexts::kBetaLink), "--cancel-label=Close"},
                                           ignored);
    if (rc == 0)
        (void)OpenWebPage(betaUrl);
    return DialogTexts::kClose;
}

std::int32_t DesktopDialogs::ConfirmCancel()
{
    const std::vector<std::u16string> rows = {DialogTexts::kCancelContinue, DialogTexts::kCancelSession,
                                              DialogTexts::kCancelOptOut};
    std::string chosen;
    if (!ChooseRow(Utf8(DialogTexts::kCancelTitle), Markup(DialogTexts::kCancelQuestion), rows, 1, chosen))
        return DialogTexts::kNo;
    if (chosen == Utf8(rows[1]))
        return DialogTexts::kYes;
    if (chosen == Utf8(rows[2]))
        return DialogTexts::kOptOut;
    return DialogTexts::kNo;
}

void DesktopDialogs::ShowMessage(std::u16string_view caption, std::u16string_view text)
{
    std::string ignored;
    (void)ZenityProcess::RunModal({"--info", "--title=" + Utf8(caption), "--text=" + Markup(text)}, ignored);
}

bool DesktopDialogs::OpenWebPage(std::u16string_view url)
{
    return http_layer::OpenWebAddress(Utf8(url));
}

std::unique_ptr<ProgressView> DesktopDialogs::NewProgressView()
{
    return std::make_unique<ZenityProgressView>();
}
