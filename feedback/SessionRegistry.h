// SessionRegistry: the feedback service's per-user values in the registry store: participation in all
// games ("Enabled" under the base key) and, under "Games\<GameID>", this game's consent, first run time
// and user GUID. A value of another type or size counts as absent. Stateless over a RegistryStore.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "feedback/ClientRecords.h"

class RegistryStore;

class SessionRegistry {
public:
    static constexpr const char16_t* kBaseKey = u"Software\\Quenlo Games\\Feedback Services\\1.0";

    static std::u16string GameKey(const Guid& gameId);  // base + "\Games\" + upper-case GUID, no braces

    // "Enabled" as a bool when it is a DWORD, else defaultValue; present tells whether it was there.
    static bool RegReadEnabled(const RegistryStore& store, std::u16string_view key, bool defaultValue,
                               bool& present);
    [[nodiscard]] static bool RegWriteEnabled(RegistryStore& store, std::u16string_view key, bool enabled);
    // "User" when it is binary of exactly 16 bytes, else defaultValue.
    static Guid RegReadUserId(const RegistryStore& store, std::u16string_view key, const Guid& defaultValue);
    [[nodiscard]] static bool RegWriteUserId(RegistryStore& store, std::u16string_view key, const Guid& user);
    // "First Run" when it is a QWORD that a FILETIME can hold (below 2^63), else none.
    static std::optional<std::uint64_t> ReadFirstRun(const RegistryStore& store, std::u16string_view key);
    [[nodiscard]] static bool WriteFirstRun(RegistryStore& store, std::u16string_view key, std::uint64_t fileTime);

    static void GuidToBytes(const Guid& guid, std::uint8_t bytes[16]);  // the GUID's memory form
    static Guid GuidFromBytes(const std::uint8_t bytes[16]);
};
