#include "feedback/ProgressDialog.h"

#include <chrono>

#include "feedback/CancelDialog.h"
#include "feedback/DialogTexts.h"
#include "feedback/FeedbackSession.h"

ProgressDialog::ProgressDialog(FeedbackDialogs& layer, FeedbackSession& session)
    : m_layer(layer), m_session(session)
{
    m_thread = std::thread([this] { Run(); });
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bReady; });
}

ProgressDialog::~ProgressDialog()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ProgressDialog::SetStatus(int stringId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.Status = DialogTexts::String(stringId);
}

void ProgressDialog::SetProgress(double fraction)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.Fraction = fraction < 0.0 ? 0.0 : fraction > 1.0 ? 1.0 : fraction;
}

void ProgressDialog::SetVisible(bool visible)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.Visible = visible;
}

bool ProgressDialog::IsVisible() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bOpen && m_state.Visible;
}

bool ProgressDialog::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bOpen;
}

void ProgressDialog::Run()
{
    std::unique_ptr<ProgressView> view = m_layer.NewProgressView();
    const bool open = view && view->Open(DialogTexts::kProgressTitle, DialogTexts::kProgressNotice);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bOpen = open;
        m_bReady = true;
    }
    m_changed.notify_all();
    if (!open)
        return;
    for (;;) {
        Tick(*view);
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_changed.wait_for(lock, std::chrono::milliseconds(kTickMs), [this] { return m_bQuit; }))
            break;
    }
    view->Close();
}

void ProgressDialog::Tick(ProgressView& view)
{
    ProgressState state;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        state = m_state;
        m_state.Dots = (m_state.Dots + 1) % 8;
    }
    view.Update(state);
    if (view.TakeCancelRequest())
        RunCancelFlow();
}

void ProgressDialog::RunCancelFlow()
{
    if (m_session.IsCancelled())
        return;
    const std::int32_t answer = CancelDialog::ShowModal(m_layer);
    if (answer == DialogTexts::kNo)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state.Status = DialogTexts::String(DialogTexts::kCancelling);
        m_state.CancelEnabled = false;
    }
    m_session.Cancel();
    if (answer == DialogTexts::kOptOut)
        m_session.OptOut(true);
}
