// test-labels: untrusted
#include "platform/j2k/J2kCodec.h"
#include "platform/j2k/J2kMemoryLedger.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string DataPath(const std::string& name)
{
    std::string dir = __FILE__;
    dir.erase(dir.find_last_of('/') + 1);
    return dir + "data/" + name;
}

std::vector<unsigned char> ReadBytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WriteTemp(const std::string& name, const std::vector<unsigned char>& bytes)
{
    const std::string path = UniqueTempPath(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Decoded blue, green, red, alpha bytes as red, green, blue, alpha (Pillow's order).
std::vector<unsigned char> AsRgba(const unsigned char* pixels, int size)
{
    std::vector<unsigned char> out(pixels, pixels + size);
    for (std::size_t i = 0; i + 3 < out.size(); i += 4)
        std::swap(out[i], out[i + 2]);
    return out;
}

}  // namespace

// Pillow's pixels of its own files; opj_decompress's RGB of luma and 4:2:0 chroma, also at an odd
// origin, where the first column has no chroma of its own; a picture sub-sampled on a reference
// grid twice its size, which is handed over at its samples' size.
TEST(J2kCodec, JP2AndCodestreamDecodeToTheReferencePixels)
{
    struct Case {
        const char* file;
        const char* expected;
        int codestream;
        int components;
        int width = 6, height = 4;
    };
    const Case cases[] = {{"colour.jp2", "colour.rgba", 0, 3}, {"colour.j2k", "colour.rgba", 1, 3},
                          {"alpha.jp2", "alpha.rgba", 0, 4}, {"y420.j2k", "y420.rgba", 1, 3, 67, 45},
                          {"y420-origin.j2k", "y420-origin.rgba", 1, 3, 67, 45},
                          {"subsampled.j2k", "subsampled.rgba", 1, 3, 67, 45}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        J2kImage* image = J2K_OpenFile(DataPath(c.file).c_str());
        ASSERT_NE(image, nullptr) << J2K_getLastErrorStr();
        J2kInfo info;
        ASSERT_EQ(J2K_GetInfoEx(image, &info), kJ2kOk);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.components, c.components);
        EXPECT_EQ(info.isCodestream, c.codestream);
        int width = 0, height = 0;
        EXPECT_EQ(J2K_GetResolutionDimensionsByStr(image, nullptr, &width, &height), kJ2kOk);
        unsigned char* pixels = nullptr;
        int size = 0, pitch = 0;
        ASSERT_EQ(J2K_Decode(image, &pixels, &size, nullptr, &pitch), kJ2kOk) << J2K_getLastErrorStr();
        EXPECT_EQ(pitch, 4 * c.width);
        EXPECT_EQ(AsRgba(pixels, size), ReadBytesOf(DataPath(c.expected)));
        J2K_Close(image);
    }
}

TEST(J2kCodec, UnknownOptionsKeepTheFullSizeWithAWarning)
{
    J2kImage* image = J2K_OpenFile(DataPath("colour.jp2").c_str());
    ASSERT_NE(image, nullptr);
    int width = 0, height = 0;
    EXPECT_EQ(J2K_GetResolutionDimensionsByStr(image, "bogus", &width, &height), kJ2kWarnOptions);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(J2K_GetResolutionDimensionsByStr(image, "reduce=1", &width, &height), kJ2kOk);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    J2K_Close(image);
}

TEST(J2kCodec, BadFilesFailWithTheirCodes)
{
    const std::vector<unsigned char> good = ReadBytesOf(DataPath("colour.jp2"));
    struct Case {
        const char* what;
        std::string path;
        int code;
    };
    const Case cases[] = {
        {"missing", UniqueTempPath("no_such.jp2"), kJ2kErrOpen},
        {"not an image", WriteTemp("text.jp2", {'h', 'e', 'l', 'l', 'o'}), kJ2kErrFormat},
        {"magic only", WriteTemp("magic.jp2", std::vector<unsigned char>(good.begin(), good.begin() + 12)), kJ2kErrHeader},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(J2K_OpenFile(c.path.c_str()), nullptr);
        EXPECT_EQ(J2K_getLastError(), c.code);
    }
    EXPECT_EQ(J2K_GetInfoEx(nullptr, nullptr), kJ2kErrHandle);
}

TEST(J2kCodec, TruncatedAndMutatedFilesNeverCrash)
{
    const std::vector<unsigned char> good = ReadBytesOf(DataPath("alpha.jp2"));
    std::vector<std::vector<unsigned char>> inputs;
    for (std::size_t n = 0; n < good.size(); n += 7)
        inputs.emplace_back(good.begin(), good.begin() + static_cast<long>(n));
    unsigned seed = 12345;
    for (int i = 0; i < 150; ++i) {
        std::vector<unsigned char> bytes = good;
        for (int flips = 0; flips < 3; ++flips) {
            seed = seed * 1103515245u + 12345u;
            bytes[(seed >> 8) % bytes.size()] ^= static_cast<unsigned char>(1u << ((seed >> 4) % 8));
        }
        inputs.push_back(bytes);
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string path = WriteTemp("mutated.jp2", inputs[i]);
        J2kImage* image = J2K_OpenFile(path.c_str());
        if (image == nullptr)
            continue;
        unsigned char* pixels = nullptr;
        int size = 0, pitch = 0;
        if (J2K_Decode(image, &pixels, &size, nullptr, &pitch) == kJ2kOk) {
            J2kInfo info;
            J2K_GetInfoEx(image, &info);
            EXPECT_EQ(size, pitch * (size / (pitch > 0 ? pitch : 1)));
        }
        J2K_Close(image);
    }
}

namespace {

// The file with its size marker replaced: a width x height picture cut into tiles of tile x tile,
// with `components` components (each as the file's first), the rest of the file as it was. The
// tiles' data then no longer fits, but the header reads.
std::vector<unsigned char> WithSize(const std::string& file, std::uint32_t width, std::uint32_t height,
                                    std::uint32_t tile, int components)
{
    std::vector<unsigned char> bytes = ReadBytesOf(DataPath(file));
    const unsigned char siz[] = {0xFF, 0x4F, 0xFF, 0x51};
    const auto at = std::search(bytes.begin(), bytes.end(), siz, siz + 4) - bytes.begin() + 2;
    const std::size_t oldLength = static_cast<std::size_t>(bytes[at + 2] << 8 | bytes[at + 3]) + 2;
    std::vector<unsigned char> marker(bytes.begin() + at, bytes.begin() + at + 40);
    auto put32 = [&marker](std::size_t pos, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            marker[pos + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
    };
    put32(6, width);
    put32(10, height);
    put32(22, tile);
    put32(26, tile);
    marker[38] = static_cast<unsigned char>(components >> 8);
    marker[39] = static_cast<unsigned char>(components);
    for (int c = 0; c < components; ++c)
        marker.insert(marker.end(), bytes.begin() + at + 40, bytes.begin() + at + 43);
    marker[2] = static_cast<unsigned char>((marker.size() - 2) >> 8);
    marker[3] = static_cast<unsigned char>(marker.size() - 2);
    bytes.erase(bytes.begin() + at, bytes.begin() + at + static_cast<long>(oldLength));
    bytes.insert(bytes.begin() + at, marker.begin(), marker.end());
    // JP2 boxes state the size once more, in the image header box.
    const unsigned char ihdr[] = {'i', 'h', 'd', 'r'};
    const auto box = std::search(bytes.begin(), bytes.end(), ihdr, ihdr + 4);
    for (int i = 0; box != bytes.end() && i < 4; ++i) {
        box[4 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
        box[8 + i] = static_cast<unsigned char>(width >> (24 - 8 * i));
    }
    return bytes;
}

}  // namespace

TEST(J2kCodec, SmallFilesAskingForTooMuchAreRefusedBeforeDecoding)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        int code;
    };
    const Case cases[] = {
        {"one 4096 x 4096 tile", WithSize("colour.j2k", 4096, 4096, 4096, 3), kJ2kErrTooLarge},
        {"one 4096 x 4096 tile in JP2 boxes", WithSize("colour.jp2", 4096, 4096, 4096, 3), kJ2kErrTooLarge},
        {"65280 tiles of 16 x 16", WithSize("colour.j2k", 4080, 4096, 16, 3), kJ2kErrTooLarge},
        {"5000 tiles of one pixel", WithSize("colour.j2k", 100, 50, 1, 3), kJ2kErrTooLarge},
        {"300 components", WithSize("colour.j2k", 6, 4, 6, 300), kJ2kErrTooLarge},
        {"24 tiles of one pixel", WithSize("colour.j2k", 6, 4, 1, 3), kJ2kOk},
        {"2048 x 2048 in 64 x 64 tiles", WithSize("colour.j2k", 2048, 2048, 64, 3), kJ2kOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        J2kImage* image = J2K_OpenMemory(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(J2K_getLastError(), c.code) << J2K_getLastErrorStr();
        EXPECT_EQ(image != nullptr, c.code == kJ2kOk);
        J2K_Close(image);
    }
}

TEST(J2kCodec, DecodesInFlightTogetherStayWithinOneBoundAndAllDecode)
{
    // Eight threads book 700 MB each for a moment: never more than the bound is booked at once,
    // and every booking is held in its turn; one larger than the bound is refused.
    std::atomic<std::uint64_t> most{0};
    std::atomic<int> held{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            const CJ2kMemoryBooking booking(700u << 20);
            held += booking.State() == CJ2kMemoryBooking::EState::kHeld ? 1 : 0;
            std::uint64_t now = CJ2kMemoryBooking::BytesInFlight(), seen = most;
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(held, 8);
    EXPECT_LE(most, kJ2kMaxBytesInFlight);
    EXPECT_EQ(CJ2kMemoryBooking::BytesInFlight(), 0u);
    EXPECT_EQ(CJ2kMemoryBooking(kJ2kMaxBytesInFlight + 1).State(), CJ2kMemoryBooking::EState::kTooLarge);

    // Ordinary pictures decoded side by side in eight threads: every one is decoded, with its pixels.
    const std::vector<std::string> names = {"colour.jp2", "colour.j2k", "alpha.jp2", "y420.j2k", "subsampled.j2k"};
    std::atomic<int> decoded{0};
    threads.clear();
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::string& name = names[(i + static_cast<std::size_t>(t)) % names.size()];
                J2kImage* image = J2K_OpenFile(DataPath(name).c_str());
                unsigned char* pixels = nullptr;
                int size = 0, pitch = 0;
                if (image != nullptr && J2K_Decode(image, &pixels, &size, nullptr, &pitch) == kJ2kOk && size > 0)
                    ++decoded;
                J2K_Close(image);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(decoded, static_cast<int>(8 * names.size()));
}
