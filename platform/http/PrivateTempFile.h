// PrivateTempFile.h: an empty file that only this user can open (mode 0600, made with O_EXCL under
// a random name in $TMPDIR or /tmp), so a helper can write into it without a fixed name in a
// shared folder. The file is deleted when the object goes away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace http_layer {

class PrivateTempFile {
public:
    enum class ReadResult { Ok, OpenFailed, TooLarge, ReadFailed };

    PrivateTempFile() = default;
    ~PrivateTempFile();
    PrivateTempFile(const PrivateTempFile&) = delete;
    PrivateTempFile& operator=(const PrivateTempFile&) = delete;

    bool Create(const std::string& namePrefix);  // false with errno in Error()
    const std::string& Path() const { return m_path; }
    int Error() const { return m_nError; }

    // Reads the whole file; a file above maxBytes is refused (TooLarge) without reading it.
    ReadResult ReadAll(std::vector<std::uint8_t>& out, std::size_t maxBytes);
    void Remove();

private:
    std::string m_path;
    int m_nError = 0;
};

}  // namespace http_layer
