// DesktopDialogs: the client's dialogs shown through zenity on a Linux desktop. Each modal dialog is
// one zenity run; the progress window is a "zenity --progress" fed from the progress thread. SHIFT
// cannot be read without a window of our own, so asking again at start-up needs the host's handler.
#pragma once
#include "feedback/FeedbackDialogs.h"

class DesktopDialogs : public FeedbackDialogs {
public:
    static bool Available();

    std::int32_t AskConsent(std::u16string_view heading, std::int32_t preselected) override;
    std::int32_t OfferBeta(std::u16string_view betaUrl) override;
    std::int32_t ConfirmCancel() override;
    void ShowMessage(std::u16string_view caption, std::u16string_view text) override;
    bool OpenWebPage(std::u16string_view url) override;
    bool IsShiftDown() override { return false; }
    std::unique_ptr<ProgressView> NewProgressView() override;
};
