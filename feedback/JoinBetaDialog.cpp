#include "feedback/JoinBetaDialog.h"

#include "feedback/FeedbackDialogs.h"

std::int32_t JoinBetaDialog::ShowModal(FeedbackDialogs& layer) const
{
    return layer.OfferBeta(m_betaUrl);
}
