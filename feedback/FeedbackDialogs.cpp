#include "feedback/FeedbackDialogs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>

#include "feedback/DesktopDialogs.h"
#include "feedback/DialogTexts.h"
#include "feedback/WideText.h"
#include "feedback/exports/NimbraClient.h"

namespace {

class SilentProgressView : public ProgressView {
public:
    bool Open(std::u16string_view, std::u16string_view) override { return true; }
    void Update(const ProgressState&) override {}
    bool TakeCancelRequest() override { return false; }
    void Close() override {}
};

// No desktop and no host dialogs: nobody can answer, so nothing is agreed to and nothing is stored.
class SilentDialogs : public FeedbackDialogs {
public:
    std::int32_t AskConsent(std::u16string_view, std::int32_t) override { return DialogTexts::kNoAnswer; }
    std::int32_t OfferBeta(std::u16string_view) override { return DialogTexts::kClose; }
    std::int32_t ConfirmCancel() override { return DialogTexts::kNo; }
    void ShowMessage(std::u16string_view, std::u16string_view) override {}
    bool OpenWebPage(std::u16string_view) override { return false; }
    bool IsShiftDown() override { return false; }
    std::unique_ptr<ProgressView> NewProgressView() override { return std::make_unique<SilentProgressView>(); }
};

std::u16string Terminated(std::u16string_view text)
{
    return std::u16string(text);  // c_str() gives the host a NUL-terminated copy
}

class HostProgressView : public ProgressView {
public:
    HostProgressView(const NimbraDialogHandlers& handlers, std::unique_ptr<ProgressView> fallback)
        : m_handlers(handlers), m_fallback(std::move(fallback))
    {
    }
    bool Open(std::u16string_view title, std::u16string_view notice) override
    {
        if (!m_handlers.ProgressOpen)
            return m_fallback->Open(title, notice);
        m_handlers.ProgressOpen(m_handlers.Context, Terminated(title).c_str(), Terminated(notice).c_str());
        return true;
    }
    void Update(const ProgressState& state) override
    {
        if (!m_handlers.ProgressUpdate) {
            m_fallback->Update(state);
            return;
        }
        const std::u16string dots(static_cast<std::size_t>(state.Dots), u'.');
        m_handlers.ProgressUpdate(m_handlers.Context, state.Status.c_str(), dots.c_str(), state.Fraction,
                                  state.Visible ? 1 : 0, state.CancelEnabled ? 1 : 0);
    }
    bool TakeCancelRequest() override
    {
        if (!m_handlers.ProgressCancelRequested)
            return m_fallback->TakeCancelRequest();
        return m_handlers.ProgressCancelRequested(m_handlers.Context) != 0;
    }
    void Close() override
    {
        if (!m_handlers.ProgressClose) {
            m_fallback->Close();
            return;
        }
        m_handlers.ProgressClose(m_handlers.Context);
    }

private:
    NimbraDialogHandlers m_handlers;
    std::unique_ptr<ProgressView> m_fallback;
};

// The host's handlers where it gave them, the desktop's or none otherwise.
class ProcessDialogs : public FeedbackDialogs {
public:
    void SetHandlers(const NimbraDialogHandlers* handlers)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::memset(&m_handlers, 0, sizeof m_handlers);
        if (handlers == nullptr)
            return;
        // An older, smaller record keeps the later fields null.
        const std::size_t size = std::min<std::size_t>(handlers->Size, sizeof m_handlers);
        if (size < offsetof(NimbraDialogHandlers, AskConsent))
            return;
        std::memcpy(&m_handlers, handlers, size);
        m_handlers.Size = static_cast<std::uint32_t>(size);
    }

    std::int32_t AskConsent(std::u16string_view heading, std::int32_t preselected) override
    {
        const NimbraDialogHandlers h = Handlers();
        if (!h.AskConsent)
            return Fallback().AskConsent(heading, preselected);
        const std::int32_t answer = h.AskConsent(h.Context, Terminated(heading).c_str(), preselected);
        return answer == DialogTexts::kYes || answer == DialogTexts::kNo ? answer : DialogTexts::kNoAnswer;
    }
    std::int32_t OfferBeta(std::u16string_view betaUrl) override
    {
        const NimbraDialogHandlers h = Handlers();
        if (!h.OfferBeta)
            return Fallback().OfferBeta(betaUrl);
        return h.OfferBeta(h.Context, Terminated(betaUrl).c_str());
    }
    std::int32_t ConfirmCancel() override
    {
        const NimbraDialogHandlers h = Handlers();
        if (!h.ConfirmCancel)
            return Fallback().ConfirmCancel();
        const std::int32_t answer = h.ConfirmCancel(h.Context);
        // Any other way of closing the question goes on sending.
        return answer == DialogTexts::kYes || answer == DialogTexts::kOptOut ? answer : DialogTexts::kNo;
    }
    void ShowMessage(std::u16string_view caption, std::u16string_view text) override
    {
        const NimbraDialogHandlers h = Handlers();
        if (!h.ShowMessage) {
            Fallback().ShowMessage(caption, text);
            return;
        }
        h.ShowMessage(h.Context, Terminated(caption).c_str(), Terminated(text).c_str());
    }
    bool OpenWebPage(std::u16string_view url) override
    {
        const NimbraDialogHandlers h = Handlers();
        if (!h.OpenWebPage)
            return Fallback().OpenWebPage(url);
        return h.OpenWebPage(h.Context, Terminated(url).c_str()) != 0;
    }
    bool IsShiftDown() override
    {
        const NimbraDialogHandlers h = Handlers();
        if (!h.IsShiftDown)
            return Fallback().IsShiftDown();
        return h.IsShiftDown(h.Context) != 0;
    }
    std::unique_ptr<ProgressView> NewProgressView() override
    {
        const NimbraDialogHandlers h = Handlers();
        return std::make_unique<HostProgressView>(h, Fallback().NewProgressView());
    }

private:
    NimbraDialogHandlers Handlers() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_handlers;
    }
    FeedbackDialogs& Fallback()
    {
        // Looked up once: the desktop does not come and go while the game runs.
        static const bool desktop = DesktopDialogs::Available();
        if (desktop)
            return m_desktop;
        return FeedbackDialogs::Silent();
    }

    mutable std::mutex m_mutex;
    NimbraDialogHandlers m_handlers{};
    DesktopDialogs m_desktop;
};

ProcessDialogs& TheProcessDialogs()
{
    static ProcessDialogs dialogs;
    return dialogs;
}

}  // namespace

FeedbackDialogs& FeedbackDialogs::Process()
{
    return TheProcessDialogs();
}

void FeedbackDialogs::SetHostHandlers(const NimbraDialogHandlers* handlers)
{
    TheProcessDialogs().SetHandlers(handlers);
}

FeedbackDialogs& FeedbackDialogs::Silent()
{
    static SilentDialogs dialogs;
    return dialogs;
}
