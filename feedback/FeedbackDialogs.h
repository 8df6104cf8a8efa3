// FeedbackDialogs: the dialog layer under the client's four dialogs. The process's layer (Process())
// asks the host's handlers first (NimbraDialogHandlers, set by ordinal 100), then zenity on a desktop
// that has it; with neither, no dialog appears and each call answers as a user who did nothing:
// consent is not given (kNoAnswer), a cancel is never asked for, pages are not opened. Tests and hosts
// may also hand a session a layer of their own.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct NimbraDialogHandlers;

// What the progress window shows; the progress thread passes it on every tick.
struct ProgressState {
    std::u16string Status = u"...";
    int Dots = 0;                 // 0..7 animated dots
    double Fraction = 0.0;        // 0..1
    bool Visible = true;
    bool CancelEnabled = true;
};

// One progress window. Every call comes from the progress thread.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual bool Open(std::u16string_view title, std::u16string_view notice) = 0;  // false: no window
    virtual void Update(const ProgressState& state) = 0;
    virtual bool TakeCancelRequest() = 0;  // true once per press of Cancel or the close box
    virtual void Close() = 0;
};

class FeedbackDialogs {
public:
    virtual ~FeedbackDialogs() = default;
    // 206 yes, 207 no, 0 no answer (no dialog could be shown, or it was closed without a choice).
    virtual std::int32_t AskConsent(std::u16string_view heading, std::int32_t preselected) = 0;
    virtual std::int32_t OfferBeta(std::u16string_view betaUrl) = 0;  // the closing command's id
    virtual std::int32_t ConfirmCancel() = 0;                          // 206, 207 or 208
    virtual void ShowMessage(std::u16string_view caption, std::u16string_view text) = 0;
    virtual bool OpenWebPage(std::u16string_view url) = 0;
    virtual bool IsShiftDown() = 0;
    virtual std::unique_ptr<ProgressView> NewProgressView() = 0;

    static FeedbackDialogs& Process();
    // Copies the host's record (null or a record too small for its Size: back to the defaults).
    static void SetHostHandlers(const NimbraDialogHandlers* handlers);
    // The layer used when neither the host nor a desktop offers dialogs.
    static FeedbackDialogs& Silent();
};
