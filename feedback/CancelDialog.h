// CancelDialog: "Are you sure you want to cancel?" asked from the progress window's thread. Any way of
// closing it other than a "yes" goes on sending.
#pragma once
#include <cstdint>

class FeedbackDialogs;

class CancelDialog {
public:
    // 206 cancel this session, 207 go on, 208 cancel and end participation for this game.
    static std::int32_t ShowModal(FeedbackDialogs& layer);
};
