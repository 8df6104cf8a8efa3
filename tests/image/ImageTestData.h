// ImageTestData.h: fixture files of the image tests and pictures as top-down RGBA bytes.
#pragma once

#include "image/CPixImage.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// Found beside this header, so the tests run from any folder and without CTest's environment.
inline std::string ImageDataPath(const std::string& name)
{
    std::string dir = __FILE__;
    dir.erase(dir.find_last_of('/') + 1);
    return dir + "data/" + name;
}

inline std::vector<std::uint8_t> ReadBytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Red, green, blue, alpha per pixel, top row first (the order Pillow writes).
inline std::vector<std::uint8_t> TopDownRgba(const CPixImage& image)
{
    std::vector<std::uint8_t> out;
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const PixQuad c = image.PixelColor(x, y, false);
            out.push_back(c.red);
            out.push_back(c.green);
            out.push_back(c.blue);
            out.push_back(image.HasAlpha() ? image.AlphaAt(x, y) : 255);
        }
    }
    return out;
}

inline std::vector<std::uint8_t> TopDownIndices(const CPixImage& image)
{
    std::vector<std::uint8_t> out;
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x)
            out.push_back(image.PixelIndex(x, y));
    }
    return out;
}

inline std::vector<std::uint8_t> PaletteTriples(const CPixImage& image)
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t i = 0; i < image.ColorCount(); ++i) {
        const PixQuad q = image.PaletteEntry(i);
        out.insert(out.end(), {q.red, q.green, q.blue});
    }
    return out;
}

// The first Python 3 with Pillow, or "" when there is none.
inline std::string PythonWithPillow()
{
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        const std::string command = std::string(python) + " -c \"import PIL\" >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0)
            return python;
    }
    return "";
}

inline bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Pillow applies `operation` (a Python expression over the RGBA image `im`) to `input`; 0 when
// its result has our picture's size and pixels, 1 when not, -1 when there is no Pillow.
// `tolerance` allows that many levels of difference per byte.
inline int PillowAgrees(const CPixImage& input, const std::string& operation, const CPixImage& ours, int tolerance = 0)
{
    static const std::string python = PythonWithPillow();
    if (python.empty())
        return -1;
    // CTest runs tests side by side: the test's own name keeps their files apart.
    static int serial = 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string base = UniqueTempPath("pillow_" + std::string(test != nullptr ? test->name() : "") + "_" +
                                               std::to_string(++serial));
    if (!WriteBytes(base + ".in", TopDownRgba(input)) || !WriteBytes(base + ".ours", TopDownRgba(ours)))
        return 1;
    const std::string script =
        "import sys; from PIL import Image; "
        "im = Image.frombytes('RGBA', (" + std::to_string(input.Width()) + ", " + std::to_string(input.Height()) +
        "), open(sys.argv[1], 'rb').read()); r = (" + operation + "); "
        "b = open(sys.argv[2], 'rb').read(); a = r.tobytes(); "
        "ok = r.size == (" + std::to_string(ours.Width()) + ", " + std::to_string(ours.Height()) + ") and len(a) == len(b) "
        "and all(abs(p - q) <= " + std::to_string(tolerance) + " for p, q in zip(a, b)); sys.exit(0 if ok else 1)";
    const std::string command = python + " -c \"" + script + "\" " + base + ".in " + base + ".ours";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}

// A picture of the given depth whose pixels differ where the depth allows: a palette of
// distinct entries and index x * 3 + y * 7, or colours from x and y; alpha x * 5 + y.
inline CPixImage PatternedImage(int width, int height, int bpp, bool alpha = true)
{
    CPixImage image(width, height, bpp, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < image.ColorCount(); ++i)
        image.SetPaletteEntry(i, static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 11), static_cast<std::uint8_t>(255 - i));
    if (alpha)
        image.MakeAlphaPlane();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (image.IsIndexed())
                image.SetPixelIndex(x, y, static_cast<std::uint8_t>(x * 3 + y * 7));
            else
                image.SetPixelColor(x, y, PixQuad{static_cast<std::uint8_t>(x * 9), static_cast<std::uint8_t>(y * 13),
                                                  static_cast<std::uint8_t>((x * y) % 256), 0});
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(x * 5 + y));
        }
    }
    return image;
}

// 0 when Pillow reads the file at `path` as the same RGBA pixels as `image`, 1 when not, -1
// when there is no Pillow.
inline int PillowReadsAs(const std::string& path, const CPixImage& image)
{
    static const std::string python = PythonWithPillow();
    if (python.empty())
        return -1;
    if (!WriteBytes(path + ".rgba", TopDownRgba(image)))
        return 1;
    const std::string command = python + " -c \"import sys; from PIL import Image; "
                                "a = Image.open(sys.argv[1]).convert('RGBA').tobytes(); "
                                "b = open(sys.argv[2], 'rb').read(); sys.exit(0 if a == b else 1)\" " +
                                path + " " + path + ".rgba";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
