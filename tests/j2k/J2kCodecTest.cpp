// test-labels: untrusted
#include "platform/j2k/J2kCodec.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
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

TEST(J2kCodec, JP2AndCodestreamDecodeToPillowsPixels)
{
    struct Case {
        const char* file;
        const char* expected;
        int codestream;
        int components;
    };
    const Case cases[] = {{"colour.jp2", "colour.rgba", 0, 3}, {"colour.j2k", "colour.rgba", 1, 3},
                          {"alpha.jp2", "alpha.rgba", 0, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        J2kImage* image = J2K_OpenFile(DataPath(c.file).c_str());
        ASSERT_NE(image, nullptr) << J2K_getLastErrorStr();
        J2kInfo info;
        ASSERT_EQ(J2K_GetInfoEx(image, &info), kJ2kOk);
        EXPECT_EQ(info.width, 6);
        EXPECT_EQ(info.height, 4);
        EXPECT_EQ(info.components, c.components);
        EXPECT_EQ(info.isCodestream, c.codestream);
        int width = 0, height = 0;
        EXPECT_EQ(J2K_GetResolutionDimensionsByStr(image, nullptr, &width, &height), kJ2kOk);
        unsigned char* pixels = nullptr;
        int size = 0, pitch = 0;
        ASSERT_EQ(J2K_Decode(image, &pixels, &size, nullptr, &pitch), kJ2kOk) << J2K_getLastErrorStr();
        EXPECT_EQ(pitch, 24);
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
