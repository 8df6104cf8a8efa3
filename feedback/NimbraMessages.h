// NimbraMessages.h: the feedback web service's addresses and the structures its methods carry,
// field for field in the order they travel. Times are FILETIME values (100 ns since 1601, UTC).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace NimbraService {
// The service owner has no public host; a host program passes its own service address.
constexpr const char* kNamespace = "http://feedback.quenlo-games.example/data/1.0";
constexpr const char* kDefaultEndpoint = "http://feedback.quenlo-games.example/data/dataservice.asmx";
constexpr const char* kDevelopmentEndpoint = "http://feedback.quenlo-games.example/devdata/DataService.asmx";
constexpr const char* kSoapEnvelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";
}  // namespace NimbraService

struct BeginSessionParams {
    std::uint32_t ClientApiVersion = 0;
    std::u16string ClientApiBuildConfig;
    std::u16string GameId;            // "{XXXXXXXX-...}"
    std::uint32_t GameVersion = 0;
    std::u16string GameBuildConfig;
    std::int64_t GameFirstRunTime = 0;
    std::u16string UserId;            // "{XXXXXXXX-...}"
    std::u16string PurchaseStatus;
};

struct BeginSessionResult {
    std::uint32_t ServerFlags = 0;
    std::u16string SessionId;         // never empty after a successful call
    std::int32_t FeedbackLevel = 0;
    std::u16string BetaUrl;
    std::u16string UserId;            // as the server sent it; may not be a GUID
};

struct SessionEvent {
    std::u16string Type;
    std::int64_t ClientTime = 0;
    std::u16string GameTime;          // "%.3f"
    std::optional<std::u16string> Params;  // none: written as a nil element
};

struct SoapFault {
    std::u16string Code;
    std::u16string Text;
};
