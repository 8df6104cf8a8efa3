#include "feedback/NimbraRequests.h"

#include "feedback/SoapEnvelopeWriter.h"

std::string NimbraRequests::BeginSession(const BeginSessionParams& params, std::int64_t startClientTime)
{
    SoapEnvelopeWriter w("BeginSession", NimbraService::kNamespace);
    w.BeginElement("BeginSessionParams");
    w.UnsignedInt("ClientApiVersion", params.ClientApiVersion);
    w.String("ClientApiBuildConfig", params.ClientApiBuildConfig);
    w.String("GameId", params.GameId);
    w.UnsignedInt("GameVersion", params.GameVersion);
    w.String("GameBuildConfig", params.GameBuildConfig);
    w.Long("GameFirstRunTime", params.GameFirstRunTime);
    w.String("UserId", params.UserId);
    w.String("PurchaseStatus", params.PurchaseStatus);
    w.EndElement("BeginSessionParams");
    w.Long("StartClientTime", startClientTime);
    return w.Finish();
}

std::string NimbraRequests::RecordSessionEventsChunk(std::string_view method, std::u16string_view sessionId,
                                                     const std::vector<SessionEvent>& events, std::int32_t chunkSerial,
                                                     std::int32_t gameSerial, bool insideGame)
{
    SoapEnvelopeWriter w(method, NimbraService::kNamespace);
    w.String("SessionId", sessionId);
    w.BeginElement("Events");
    for (const SessionEvent& e : events) {
        w.BeginElement("SessionEvent");
        w.String("Type", e.Type);
        w.Long("ClientTime", e.ClientTime);
        w.String("GameTime", e.GameTime);
        w.OptionalString("Params", e.Params);
        w.EndElement("SessionEvent");
    }
    w.EndElement("Events");
    w.Int("ChunkSerial", chunkSerial);
    w.Int("GameSerial", gameSerial);
    w.Boolean("InsideGame", insideGame);
    return w.Finish();
}

std::string NimbraRequests::RecordSystemInfo(std::string_view method, std::u16string_view userId,
                                             std::u16string_view systemInfoData)
{
    SoapEnvelopeWriter w(method, NimbraService::kNamespace);
    w.String("UserId", userId);
    w.String("SystemInfoData", systemInfoData);
    return w.Finish();
}

std::string NimbraRequests::EndSession(std::string_view method, std::u16string_view sessionId,
                                       std::u16string_view finishReason, std::int64_t finishClientTime)
{
    SoapEnvelopeWriter w(method, NimbraService::kNamespace);
    w.String("SessionId", sessionId);
    w.String("FinishReason", finishReason);
    w.Long("FinishClientTime", finishClientTime);
    return w.Finish();
}

std::string NimbraRequests::SoapAction(std::string_view method)
{
    return "\"" + std::string(NimbraService::kNamespace) + "/" + std::string(method) + "\"";
}
