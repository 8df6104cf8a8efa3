// CFMemoryStream.h: the script engine's byte stream over a memory buffer (the byte-code cache).
//
// Writes append; reads start at the beginning and never go past the end: a read beyond it gets
// what is left, zero bytes for the rest, and reports an error so the byte-code loader stops.
#pragma once

#include <angelscript.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class CFMemoryStream : public AngelScript::asIBinaryStream {
public:
    static constexpr std::size_t kMaxFileSize = 64u << 20;

    int Read(void* data, AngelScript::asUINT size) override;
    int Write(const void* data, AngelScript::asUINT size) override;

    [[nodiscard]] bool LoadFromFile(const char* path);  // game path; read position back to 0
    [[nodiscard]] bool SaveToFile(const char* path) const;

    std::size_t GetSize() const { return m_bytes.size(); }
    std::size_t GetReadPosition() const { return m_nReadPos; }
    const std::vector<std::uint8_t>& GetBytes() const { return m_bytes; }

private:
    std::size_t m_nReadPos = 0;
    std::vector<std::uint8_t> m_bytes;  // its size is the write position
};
