// NimbraRequests.h: the request documents of the feedback service's methods, with their fields in
// the order the service expects. Pure text building; sending is CNimbraServiceT's.
#pragma once

#include "feedback/NimbraMessages.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class NimbraRequests {
public:
    static std::string BeginSession(const BeginSessionParams& params, std::int64_t startClientTime);
    // method: "RecordSessionEventsChunk" or "RecordSessionEventsChunkNow"
    static std::string RecordSessionEventsChunk(std::string_view method, std::u16string_view sessionId,
                                                const std::vector<SessionEvent>& events, std::int32_t chunkSerial,
                                                std::int32_t gameSerial, bool insideGame);
    // method: "RecordSystemInfo" or "RecordSystemInfoNow"
    static std::string RecordSystemInfo(std::string_view method, std::u16string_view userId,
                                        std::u16string_view systemInfoData);
    // method: "EndSession" or "EndSessionNow"
    static std::string EndSession(std::string_view method, std::u16string_view sessionId,
                                  std::u16string_view finishReason, std::int64_t finishClientTime);
    // "\"" + namespace + "/" + method + "\""
    static std::string SoapAction(std::string_view method);
};
