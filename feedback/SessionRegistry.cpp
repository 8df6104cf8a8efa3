#include "feedback/SessionRegistry.h"

#include <vector>

#include "feedback/ConfigText.h"
#include "feedback/RegistryStore.h"

std::u16string SessionRegistry::GameKey(const Guid& gameId)
{
    return std::u16string(kBaseKey) + u"\\Games\\" + ConfigText::FormatGuid(gameId, false);
}

bool SessionRegistry::RegReadEnabled(const RegistryStore& store, std::u16string_view key, bool defaultValue,
                                     bool& present)
{
    const std::optional<std::uint32_t> value = store.ReadDword(key, u"Enabled");
    present = value.has_value();
    return present ? *value != 0 : defaultValue;
}

bool SessionRegistry::RegWriteEnabled(RegistryStore& store, std::u16string_view key, bool enabled)
{
    return store.Write(key, u"Enabled", RegistryStore::Dword(enabled ? 1 : 0));
}

Guid SessionRegistry::RegReadUserId(const RegistryStore& store, std::u16string_view key, const Guid& defaultValue)
{
    const std::optional<std::vector<std::uint8_t>> bytes = store.ReadBinary(key, u"User", 16);
    return bytes ? GuidFromBytes(bytes->data()) : defaultValue;
}

bool SessionRegistry::RegWriteUserId(RegistryStore& store, std::u16string_view key, const Guid& user)
{
    std::uint8_t bytes[16];
    GuidToBytes(user, bytes);
    return store.Write(key, u"User", RegistryStore::Binary(bytes, sizeof bytes));
}

std::optional<std::uint64_t> SessionRegistry::ReadFirstRun(const RegistryStore& store, std::u16string_view key)
{
    const std::optional<std::uint64_t> value = store.ReadQword(key, u"First Run");
    // A FILETIME with the top bit set converts to no local or system time.
    if (!value || (*value >> 63) != 0)
        return std::nullopt;
    return value;
}

bool SessionRegistry::WriteFirstRun(RegistryStore& store, std::u16string_view key, std::uint64_t fileTime)
{
    return store.Write(key, u"First Run", RegistryStore::Qword(fileTime));
}

void SessionRegistry::GuidToBytes(const Guid& guid, std::uint8_t bytes[16])
{
    for (int k = 0; k < 4; ++k)
        bytes[k] = static_cast<std::uint8_t>(guid.Data1 >> (8 * k));
    for (int k = 0; k < 2; ++k) {
        bytes[4 + k] = static_cast<std::uint8_t>(guid.Data2 >> (8 * k));
        bytes[6 + k] = static_cast<std::uint8_t>(guid.Data3 >> (8 * k));
    }
    for (int k = 0; k < 8; ++k)
        bytes[8 + k] = guid.Data4[k];
}

Guid SessionRegistry::GuidFromBytes(const std::uint8_t bytes[16])
{
    Guid guid{};
    for (int k = 3; k >= 0; --k)
        guid.Data1 = guid.Data1 << 8 | bytes[k];
    guid.Data2 = static_cast<std::uint16_t>(bytes[4] | bytes[5] << 8);
    guid.Data3 = static_cast<std::uint16_t>(bytes[6] | bytes[7] << 8);
    for (int k = 0; k < 8; ++k)
        guid.Data4[k] = bytes[8 + k];
    return guid;
}
