// UploadText: the texts the upload builds from the session: URL-escaped event parameters, the
// client description sent with BeginSession and the file checksums inside it. Stateless.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class EventRecord;

class UploadText {
public:
    // An escaped name or value stays below this many characters; a longer one is cut between two
    // escaped characters, so the service never gets half a "%xx" or half a UTF-8 sequence.
    static constexpr std::size_t kMaxEscapedChars = 999;
    // The library's own file version, shown first in the client description.
    static constexpr int kVersionMajor = 1, kVersionMinor = 6, kVersionBuild = 0, kVersionRevision = 0;

    struct DescriptionFacts {
        int ConfigType = 0;          // ConfigSource::SourceType
        bool DebugMode = false;
        bool TwoWay = false;         // WAIT_FOR_SERVER
        std::string HostPath;        // the host program's file
        std::string LibraryPath;     // this library's file
        std::string UserName;        // only shown in debug mode
    };

    // UTF-8 bytes; letters, digits and !'()*-./:_~% stay, every other byte becomes "%" and two
    // lower-case hexadecimal digits. The result has at most maxChars characters.
    static std::u16string Escape(std::u16string_view text, std::size_t maxChars = kMaxEscapedChars);
    // "name=value;name2;name3=value3" in parameter order; none for an event without parameters.
    static std::optional<std::u16string> Params(const EventRecord& record);
    static std::u16string GameTime(double seconds);  // "%.3f"
    static std::u16string ClientDescription(const DescriptionFacts& facts);
    // CRC-32 (zlib's, from 0) of a whole file; a file that cannot be read gives 0x80070000 | errno.
    static std::uint32_t FileCrc32(const std::string& path);
};
