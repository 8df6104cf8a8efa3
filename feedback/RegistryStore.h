// RegistryStore: the client's per-user settings in place of the Windows registry: keys named by backslash paths
// ("Software\Quenlo Games\Feedback Services\1.0"), each with typed values. Key and value names compare without
// regard to case. The file is "$XDG_CONFIG_HOME/NimbraClient/registry.txt" (or "~/.config/..."), UTF-8 text:
//   ; comment
//   [Software\Quenlo Games\Feedback Services\1.0\Games\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9]
//   "Enabled"=dword:00000001              (REG_DWORD: 8 hexadecimal digits)
//   "First Run"=qword:01DA0B1C2D3E4F50    (REG_QWORD: 16 hexadecimal digits)
//   "User"=hex:00,11,22,33                (REG_BINARY: bytes, at most kMaxBinaryBytes)
//   "Name"="text with \" and \\ escaped"  (REG_SZ)
// Lines that do not follow this form are skipped. Every change re-reads the file, applies itself and writes
// the whole file through a temporary file and a rename, under a lock shared with other processes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class RegistryStore {
public:
    enum ValueType : std::uint32_t { kString = 1, kBinary = 3, kDword = 4, kQword = 11 };  // REG_ numbers
    struct Value {
        ValueType Type = kBinary;
        std::vector<std::uint8_t> Data;  // DWORD and QWORD little-endian, strings UTF-16LE without terminator
    };
    static constexpr std::size_t kMaxFileBytes = 1u << 20;
    static constexpr std::size_t kMaxBinaryBytes = 4096;

    static std::string DefaultPath();
    explicit RegistryStore(std::string path);
    const std::string& Path() const { return m_path; }

    // Creates the key when missing. False when the file cannot be locked or written.
    [[nodiscard]] bool CreateKey(std::u16string_view key);
    bool KeyExists(std::u16string_view key) const;
    std::optional<Value> Read(std::u16string_view key, std::u16string_view name) const;
    [[nodiscard]] bool Write(std::u16string_view key, std::u16string_view name, const Value& value);
    [[nodiscard]] bool Delete(std::u16string_view key, std::u16string_view name);

    // Typed reads: a value of another type or size counts as absent.
    std::optional<std::uint32_t> ReadDword(std::u16string_view key, std::u16string_view name) const;
    std::optional<std::uint64_t> ReadQword(std::u16string_view key, std::u16string_view name) const;
    std::optional<std::vector<std::uint8_t>> ReadBinary(std::u16string_view key, std::u16string_view name,
                                                        std::size_t size) const;
    static Value Dword(std::uint32_t value);
    static Value Qword(std::uint64_t value);
    static Value Binary(const std::uint8_t* data, std::size_t size);
    static Value String(std::u16string_view text);

private:
    using Values = std::vector<std::pair<std::u16string, Value>>;
    using Keys = std::vector<std::pair<std::u16string, Values>>;

    // The caller holds the lock. False when a file is there but cannot be read whole (too large, no access):
    // writing then would replace settings that were never read.
    [[nodiscard]] bool Load(Keys& keys) const;
    [[nodiscard]] bool Save(const Keys& keys) const;
    std::string LockPath() const { return m_path + ".lock"; }
    bool EnsureFolder() const;
    // Under the lock: loads, lets change() edit the keys and saves them when it says it changed
    // something. True when nothing needed changing or the save succeeded.
    template <class Change>
    [[nodiscard]] bool Update(Change change);

    std::string m_path;
};
