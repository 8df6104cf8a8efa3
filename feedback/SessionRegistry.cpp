#include "feedback/SessionRegistry.h"

#include <cstring>
#include <vector>

#include "feedback/ConfigText.h"
#include "feedback/RegistryStore.h"
#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"

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
    std::vector<std::uint8_t> fields;
    CByteWriter out(fields);
    out.WriteU32(guid.Data1);
    out.WriteU16(guid.Data2);
    out.WriteU16(guid.Data3);
    out.WriteBytes(guid.Data4, sizeof guid.Data4);
    std::memcpy(bytes, fields.data(), 16);
}

Guid SessionRegistry::GuidFromBytes(const std::uint8_t bytes[16])
{
    Guid guid{};
    CByteReader in(bytes, 16);
    (void)(in.ReadU32(guid.Data1) && in.ReadU16(guid.Data2) && in.ReadU16(guid.Data3) &&
           in.ReadBytes(guid.Data4, sizeof guid.Data4));  // 16 bytes always hold them
    return guid;
}
