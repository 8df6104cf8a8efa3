#include "feedback/CancelDialog.h"

#include "feedback/DialogTexts.h"
#include "feedback/FeedbackDialogs.h"

std::int32_t CancelDialog::ShowModal(FeedbackDialogs& layer)
{
    const std::int32_t answer = layer.ConfirmCancel();
    if (answer == DialogTexts::kYes || answer == DialogTexts::kOptOut)
        return answer;
    return DialogTexts::kNo;
}
