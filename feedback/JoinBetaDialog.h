// JoinBetaDialog: the offer to join the beta program, with a link to the server's beta address. Shown
// modally through a dialog layer while the progress window is hidden; the layer opens the link.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class FeedbackDialogs;

class JoinBetaDialog {
public:
    explicit JoinBetaDialog(std::u16string_view betaUrl) : m_betaUrl(betaUrl) {}
    std::int32_t ShowModal(FeedbackDialogs& layer) const;  // the id of the command that closed it

private:
    std::u16string m_betaUrl;
};
