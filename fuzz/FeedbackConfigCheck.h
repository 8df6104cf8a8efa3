// FeedbackConfigCheck.h: the feedback client's start on a folder that holds its configuration:
// the source is chosen and a session reads its options, flags and event filters from it.
#pragma once

#include "feedback/ClientRecords.h"
#include "feedback/ConfigSource.h"
#include "feedback/FeedbackSession.h"

#include <cstddef>
#include <string>

namespace fuzz {

// The client's file in the folder is "NimbraClient.so" (it need not exist), the host "host".
inline void StartClient(const std::string& folder)
{
    ConfigSource config(folder + "/NimbraClient.so", folder + "/host");
    SessionInit init{};
    init.Version = 0x10006;
    FeedbackSession session(init, config);
    std::size_t joined = 0;
    for (const std::u16string& section : config.GetProfileSectionNames(joined)) {
        (void)config.GetProfileString(section, u"GameName", u"");
        (void)session.FindFilter(section, u"");
    }
    (void)session.NewEvent(1, 2, 3.5, u"SYS_StatChanged");
}

}  // namespace fuzz
