// SessionOptions: the session's own copy of the host's SessionInit after the configuration has overridden it.
// Strings are owned; EventFilters is not kept (the filters live in the session's table).
#pragma once
#include <cstdint>
#include <string>

#include "feedback/ClientRecords.h"

struct SessionOptions {
    std::uint32_t Flags = 0;                    // SessionFlags bits
    std::u16string ServiceUrl;                  // empty: the default endpoint
    std::uint32_t Version = 0;
    std::u16string GameName;
    Guid GameID{};
    std::uint32_t GameVersion = 0;
    std::u16string BuildConfig;
    std::uint32_t NetworkMaxBytesPerSecond = 0; // never 0 after loading
    std::uint32_t FeedbackLevel = 0;
    std::u16string OptOutUrl;
    std::uint32_t RequireLanguageId = 0;        // from the configuration only; 0: no requirement

    bool Has(std::uint32_t flag) const { return (Flags & flag) != 0; }
};
