// ClientRecords.h: the records that cross the library's boundary, in their field order, and the flag bits they carry.
// Hosts fill these; the library copies what it keeps and never holds on to a host pointer.
#pragma once
#include <cstdint>

// A GUID in its Windows memory form (Data1..Data3 little-endian in files and registry values).
struct Guid {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

// One event filter the host passes in SessionInit's null-terminated array.
struct EventFilterInit {
    const char16_t* EventName;  // required; a filter without a name is skipped
    const char16_t* SubKey;     // null for "every sub-key"
    std::uint32_t Flags;        // FilterFlags bits
    std::int32_t FeedbackLevel; // -1 for none
    double MinIntervalSeconds;
};

// The host's session description for CreateSession. OptOutUrl exists only from version 0x10006 on:
// a 0x10005 host's record ends before it, so it is never read then.
struct SessionInit {
    std::uint32_t Flags;                        // SessionFlags bits
    const char16_t* ServiceUrl;                 // null or empty: the default endpoint
    std::uint32_t Version;                      // 0x10005 or 0x10006
    const char16_t* GameName;
    Guid GameID;
    std::uint32_t GameVersion;
    const char16_t* BuildConfig;
    std::uint32_t NetworkMaxBytesPerSecond;     // 0 means 1500
    std::uint32_t FeedbackLevel;
    const EventFilterInit* const* EventFilters; // null-terminated; may itself be null
    const char16_t* OptOutUrl;                  // version 0x10006 only
};

// Log settings exchanged with the host. LogFileName points at the host's buffer when reading them back.
struct LogSettings {
    std::uint32_t Flags;      // LogFlags bits
    char16_t* LogFileName;    // may be null
    std::uint32_t Reserved;
};

namespace SessionFlags {
constexpr std::uint32_t AUTO_COINITIALIZE = 0x1;
constexpr std::uint32_t DEBUG_MODE = 0x2;
constexpr std::uint32_t UNATTENDED_MODE = 0x4;
constexpr std::uint32_t NO_DXDIAG = 0x8;
constexpr std::uint32_t NO_CRASH_DETECT = 0x10;
constexpr std::uint32_t NO_COMPRESSION = 0x20;
constexpr std::uint32_t WAIT_FOR_SERVER = 0x40;
constexpr std::uint32_t THROTTLE_NETWORK = 0x80;
constexpr std::uint32_t FORCE_DISABLE = 0x100;
constexpr std::uint32_t USE_FEEDBACK_LEVEL = 0x200;
constexpr std::uint32_t MASK_PLAYERIDS = 0x400;
}  // namespace SessionFlags

namespace FilterFlags {
constexpr std::uint32_t NO_REPORT = 0x1;
constexpr std::uint32_t COUNT_ONLY = 0x2;
constexpr std::uint32_t BUFFER = 0x4;
constexpr std::uint32_t NO_LOG = 0x8;
}  // namespace FilterFlags

namespace LogFlags {
constexpr std::uint32_t GENERAL_ERROR = 0x1;
constexpr std::uint32_t GENERAL_WARNING = 0x2;
constexpr std::uint32_t GENERAL_ABORT = 0x4;
constexpr std::uint32_t USE_OUTPUT_FILE = 0x10;
constexpr std::uint32_t OUTPUT_FILE_APPENDEXISTING = 0x20;
constexpr std::uint32_t CAPTURE_SUBMITTED = 0x100;
constexpr std::uint32_t CAPTURE_RECORDED = 0x200;
constexpr std::uint32_t CAPTURE_FILTERED_NOREPORT = 0x400;
constexpr std::uint32_t CAPTURE_FILTERED_FEEDBACKLEVEL = 0x800;
constexpr std::uint32_t CAPTURE_FILTERED_BUFFERED = 0x1000;
constexpr std::uint32_t CAPTURE_FILTERED_COUNTONLY = 0x2000;
constexpr std::uint32_t TRANSFER_EVENT_REPORTED = 0x10000;
constexpr std::uint32_t TRANSFER_EVENT_FILTERED = 0x20000;
constexpr std::uint32_t TRANSFER_WEBSERVICECALL = 0x40000;
constexpr std::uint32_t TRANSFER_NETWORKDETAILS = 0x80000;
constexpr std::uint32_t INTERNAL_INFO = 0x1000000;
}  // namespace LogFlags
