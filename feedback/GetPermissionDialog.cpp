#include "feedback/GetPermissionDialog.h"

#include "feedback/DialogTexts.h"
#include "feedback/FeedbackDialogs.h"

GetPermissionDialog::GetPermissionDialog(std::u16string_view gameName, std::int32_t preselected)
    : m_heading(Heading(gameName)), m_nPreselected(preselected == DialogTexts::kYes ? DialogTexts::kYes : 0)
{
}

std::int32_t GetPermissionDialog::ShowModal(FeedbackDialogs& layer) const
{
    return layer.AskConsent(m_heading, m_nPreselected);
}

std::u16string GetPermissionDialog::Heading(std::u16string_view gameName)
{
    if (gameName.empty())
        return DialogTexts::String(DialogTexts::kHelpImproveThisGame);
    std::u16string heading = DialogTexts::kConsentHeading;
    heading.replace(heading.find(u"%s"), 2, gameName);
    return heading;
}
