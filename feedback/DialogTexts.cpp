#include "feedback/DialogTexts.h"

const char16_t* DialogTexts::String(int id)
{
    switch (id) {
    case kDone: return u"Done!";
    case kHelpImproveThisGame: return u"Help Improve this Game";
    case kConnecting: return u"Connecting...";
    case kDisconnecting: return u"Disconnecting...";
    case kSendingSession: return u"Sending game session data...";
    case kGatheringSystem: return u"Gathering system information...";
    case kSendingSystem: return u"Sending system information...";
    case kCancelling: return u"Cancelling...";
    case kThankYou: return u"Thank you!";
    case kOptOutMessage:
        return u"You have ended your participation in the feedback program for this game. Thank you for your time.";
    default: return u"";
    }
}
