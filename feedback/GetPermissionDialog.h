// GetPermissionDialog: the consent question "Help Improve <game>", shown modally through a dialog layer.
// It ends only with a choice; a layer that cannot show it (or a window closed without a choice) gives
// kNoAnswer, which callers treat as consent not given and do not store.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class FeedbackDialogs;

class GetPermissionDialog {
public:
    GetPermissionDialog(std::u16string_view gameName, std::int32_t preselected);
    std::int32_t ShowModal(FeedbackDialogs& layer) const;  // 206 yes, 207 no, 0 no answer
    // "Help Improve <game>", or "Help Improve this Game" without a name.
    static std::u16string Heading(std::u16string_view gameName);

private:
    std::u16string m_heading;
    std::int32_t m_nPreselected;  // 0 or 206
};
