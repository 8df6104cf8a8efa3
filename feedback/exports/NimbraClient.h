// NimbraClient.h: what a host program needs to load libNimbraClient.so and call it.
// The library exports one symbol, NimbraClient_GetProcByOrdinal; every call is bound through it by
// ordinal (the table below), the way a Windows host binds the client's exports by ordinal only.
//
//   void* lib = dlopen("libNimbraClient.so", RTLD_NOW | RTLD_LOCAL);
//   auto lookup = (NimbraGetProcByOrdinalFn)dlsym(lib, "NimbraClient_GetProcByOrdinal");
//   auto create = (NimbraCreateSessionFn)lookup(1);
//
// Rules for hosts: the calls may come from any thread, but never two at once. An overlapping call,
// or a failure caught inside the library, puts it out of service for the rest of the process: from
// then on no call does anything and IsSessionEnabled answers 0. Strings are NUL-terminated UTF-16.
// The records (SessionInit, EventFilterInit, LogSettings) are those of ClientRecords.h, in its field
// order, with the host's natural pointer size.
#pragma once
#include <cstdint>

#include "feedback/ClientRecords.h"

extern "C" {

// Ordinal 21 copies the log file name into LogSettings::LogFileName. The record carries no size, so
// the buffer must hold this many characters; a longer name is cut and always NUL-terminated.
constexpr std::uint32_t kNimbraLogFileNameChars = 260;

// Ordinal 19 takes at most this many name/value pairs; a larger count is cut to it, so a wrong count
// cannot make one event grow without end. A null names or values array gives empty names or null values.
constexpr std::uint32_t kNimbraMaxCustomParams = 4096;

// The library's own dialogs, supplied by the host (ordinal 100). Any function left null falls back to
// the library's choice: zenity on a desktop that has it, otherwise no dialog at all, where consent
// counts as not given (nothing is uploaded and nothing is stored), a cancel is never asked for, and
// the beta offer and the thank-you message are not shown.
struct NimbraDialogHandlers {
    std::uint32_t Size;  // sizeof(NimbraDialogHandlers); lets the record grow
    void* Context;       // passed back to every handler
    // Consent: 206 yes, 207 no, 0 no answer. preselected is 0 or 206; heading is "Help Improve <game>".
    std::int32_t (*AskConsent)(void* context, const char16_t* heading, std::int32_t preselected);
    // The join-beta offer; the result is the id of the command that closed it (1 "Close").
    std::int32_t (*OfferBeta)(void* context, const char16_t* betaUrl);
    // Cancel confirmation: 206 cancel this session, 207 go on, 208 cancel and end participation.
    std::int32_t (*ConfirmCancel)(void* context);
    void (*ShowMessage)(void* context, const char16_t* caption, const char16_t* text);
    std::int32_t (*OpenWebPage)(void* context, const char16_t* url);  // nonzero: the page was opened
    std::int32_t (*IsShiftDown)(void* context);  // asked at session start: nonzero asks for consent again
    // The progress window. These run on the library's progress thread only, ProgressUpdate and
    // ProgressCancelRequested every 100 ms while the window is open.
    void (*ProgressOpen)(void* context, const char16_t* title, const char16_t* notice);
    void (*ProgressUpdate)(void* context, const char16_t* status, const char16_t* dots, double fraction,
                           std::int32_t visible, std::int32_t cancelEnabled);
    std::int32_t (*ProgressCancelRequested)(void* context);  // nonzero once per press of Cancel or close
    void (*ProgressClose)(void* context);
};

// Ordinals 1 to 21, and the Linux addition 100.
using NimbraCreateSessionFn = std::uint8_t (*)(const SessionInit* init);                              // 1
using NimbraIsSessionEnabledFn = std::uint8_t (*)();                                                  // 2
using NimbraSetClientTimeOffsetFn = void (*)(double seconds);                                         // 3
using NimbraEndSessionAndSendFn = void (*)(const char16_t* finishReason);                              // 4
using NimbraRecordStartGameFn = void (*)(double gameTime, const char16_t* mode);                      // 5
using NimbraRecordEndGameFn = void (*)(double gameTime, const char16_t* mode, double score,
                                       const char16_t* reason);                                       // 6
using NimbraRecordEnterLevelFn = void (*)(double gameTime, const char16_t* num, const char16_t* type); // 7
using NimbraRecordExitLevelFn = void (*)(double gameTime, const char16_t* num, const char16_t* type,
                                         double score, const char16_t* reason);                       // 8
using NimbraRecordUIScreenChangeFn = void (*)(double gameTime, const char16_t* name);                 // 9
using NimbraRecordUIControlChangeFn = void (*)(double gameTime, const char16_t* name, const char16_t* value,
                                               std::int32_t level);                                   // 10
using NimbraRecordMouseButtonChangeFn = void (*)(double gameTime, const char16_t* player, std::int32_t button,
                                                 std::int32_t upDown, std::int32_t x, std::int32_t y,
                                                 std::int32_t level);                                 // 11
using NimbraRecordKeyChangeFn = void (*)(double gameTime, const char16_t* player, std::uint32_t vkey,
                                         std::int32_t upDown, std::int32_t level);                    // 12
using NimbraRecordActionFn = void (*)(double gameTime, const char16_t* player, const char16_t* type,
                                      const char16_t* value, std::int32_t level);                     // 13, 14
using NimbraRecordPowerUpFn = void (*)(double gameTime, const char16_t* player, const char16_t* type,
                                       const char16_t* how, std::int32_t level);                      // 15, 16
using NimbraRecordStatChangedFn = void (*)(double gameTime, const char16_t* player, const char16_t* type,
                                           double value, std::int32_t level);                         // 17
using NimbraRecordStatChangedIntervalFn = void (*)(double gameTime, double minIntervalSeconds,
                                                   const char16_t* player, const char16_t* type, double value,
                                                   std::int32_t level);                               // 18
using NimbraRecordCustomEventFn = void (*)(const char16_t* name, double gameTime, const char16_t* const* names,
                                           const char16_t* const* values, std::uint32_t count,
                                           std::int32_t level);                                       // 19
using NimbraSetLogSettingsFn = void (*)(const LogSettings* settings);                                 // 20
using NimbraGetLogSettingsFn = void (*)(LogSettings* out);                                            // 21
using NimbraSetDialogHandlersFn = void (*)(const NimbraDialogHandlers* handlers);  // 100; null: the defaults

// The one exported symbol: the function of an ordinal, or null for an ordinal the library lacks.
using NimbraGetProcByOrdinalFn = void* (*)(std::uint32_t ordinal);
__attribute__((visibility("default"))) void* NimbraClient_GetProcByOrdinal(std::uint32_t ordinal);

}  // extern "C"
