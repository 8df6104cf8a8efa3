// ProgressDialog: the upload's progress window, on a thread of its own. The uploading thread only sets
// the status, the bar and the visibility; the window's thread passes them to the view every 100 ms,
// animates the dots and runs the cancel flow when the user asks to cancel. The constructor returns once
// the window is up (or its thread has ended); the destructor closes it and joins the thread.
#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "feedback/FeedbackDialogs.h"

class FeedbackSession;

class ProgressDialog {
public:
    static constexpr int kTickMs = 100;

    ProgressDialog(FeedbackDialogs& layer, FeedbackSession& session);
    ~ProgressDialog();
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    void SetStatus(int stringId);
    void SetProgress(double fraction);  // 0..1
    void SetVisible(bool visible);
    bool IsVisible() const;
    bool IsOpen() const;  // false when the window could not be made

private:
    void Run();
    void Tick(ProgressView& view);
    void RunCancelFlow();

    FeedbackDialogs& m_layer;
    FeedbackSession& m_session;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    ProgressState m_state;
    bool m_bReady = false;
    bool m_bOpen = false;
    bool m_bQuit = false;
    std::thread m_thread;
};
