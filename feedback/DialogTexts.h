// DialogTexts: the library's string table (status lines, captions, messages) and the texts of its four
// dialogs, kept in one place so every dialog layer shows the same words.
#pragma once
#include <cstdint>

namespace DialogTexts {

// String table ids.
constexpr int kDone = 500;
constexpr int kHelpImproveThisGame = 501;
constexpr int kConnecting = 502;
constexpr int kDisconnecting = 503;
constexpr int kSendingSession = 504;
constexpr int kGatheringSystem = 505;
constexpr int kSendingSystem = 506;
constexpr int kCancelling = 507;
constexpr int kThankYou = 508;
constexpr int kOptOutMessage = 509;

// Answers and command ids of the dialogs.
constexpr std::int32_t kNoAnswer = 0;
constexpr std::int32_t kYes = 206;         // consent: yes; cancel dialog: cancel this session
constexpr std::int32_t kNo = 207;          // consent: no; cancel dialog: go on sending
constexpr std::int32_t kOptOut = 208;      // cancel dialog: cancel and end participation
constexpr std::int32_t kClose = 1;         // beta offer: "&Close"

// The text of a string table id; an unknown id gives "".
const char16_t* String(int id);

constexpr const char16_t* kConsentTitle = u"Customer Experience Improvement Program";
constexpr const char16_t* kConsentHeading = u"Help Improve %s";
constexpr const char16_t* kConsentBody =
    u"We want to make your experience the best that it can be by collecting some data while you play. "
    u"If you choose to participate in this program:\n\n"
    u"Quenlo Games will\n"
    u"\u2022 Collect anonymous information about your gameplay experience.\n"
    u"\u2022 Collect anonymous information about your software and hardware configuration.\n"
    u"\u2022 Use this information exclusively to improve this and future Quenlo Games.\n\n"
    u"Quenlo Games will not\n"
    u"\u2022 Collect or store any personally identifiable information, such as your name or email address.\n"
    u"\u2022 Identify the data collected with you as an individual for marketing or any other purposes.\n"
    u"\u2022 Contact you for any reason regarding data collected in this program.\n\n"
    u"All data collected is 100% anonymous and is related to this game only. Participation will not affect "
    u"your game experience in any way.\n\n"
    u"You can stop participating in this program at any time. Just hold down the SHIFT key while the game is "
    u"starting up, then select \"No, I would not like to participate\".";
constexpr const char16_t* kConsentYes =
    u"Yes, I am willing to participate anonymously in the Customer Experience Improvement Program. (Recommended)";
constexpr const char16_t* kConsentNo = u"No, I would not like to participate.";

constexpr const char16_t* kProgressTitle = u"Communicating with Server...";
constexpr const char16_t* kProgressNotice =
    u"Quenlo Games Feedback Services\ncommunicating with the server, please wait...";

constexpr const char16_t* kBetaTitle = u"Join Beta Program?";
constexpr const char16_t* kBetaText =
    u"Thanks so much for your help! Would you like to help us even more, and get early looks at our upcoming games?";
constexpr const char16_t* kBetaLink = u"Click here to join our beta program!";

constexpr const char16_t* kCancelTitle = u"Cancel Feedback";
constexpr const char16_t* kCancelQuestion = u"Are you sure you want to cancel?";
constexpr const char16_t* kCancelContinue = u"No, please continue sending feedback.";
constexpr const char16_t* kCancelSession =
    u"Yes, please cancel for this session, but I want to participate during future game sessions.";
constexpr const char16_t* kCancelOptOut =
    u"Yes, please cancel. I no longer wish to send feedback for this game, and would like to end my "
    u"participation in the Customer Experience Improvement Program.";

}  // namespace DialogTexts
