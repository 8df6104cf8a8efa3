// picture_probe: decodes one picture the way the game does, in a process of its own, so that the
// picture matrix test can measure its time and memory beside the reference decoders'.
//
//   picture_probe j2k FILE OUT          CJp2Image::Load; OUT gets blue, green, red, alpha bytes
//   picture_probe gif FILE FRAME OUT    the frame reader; OUT gets red, green, blue, alpha bytes
//   picture_probe same-j2k OURS REF COMPONENTS BITS
//                                       compares OURS with opj_decompress's planar raw output
//
// Pictures are written top row first. Exit 0: done (for same-j2k: equal); 2: refused or
// different (the reason on stdout); 1: usage or output failure.
#include "app/CJp2Image.h"
#include "image/CPixImage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool WriteAll(const char* path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr)
        return false;
    const bool ok = std::fwrite(data, 1, size, out) == size;
    return std::fclose(out) == 0 && ok;
}

bool ReadAll(const char* path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.is_open();
}

int DecodeJ2k(const char* file, const char* out)
{
    CJp2Image image;
    if (image.Load(file, nullptr) != 0 || image.Pixels() == nullptr) {
        std::printf("refused: %s\n", image.ErrorText());
        return 2;
    }
    std::printf("%d %d\n", image.Width(), image.Height());
    return WriteAll(out, image.Pixels(), static_cast<std::size_t>(image.Size())) ? 0 : 1;
}

int DecodeGif(const char* file, int frame, const char* out)
{
    CPixImage image(kPixTypeUnknown);
    image.SetFrame(frame);
    if (!image.ReadFromFile(file, kPixTypeGif)) {
        std::printf("refused: %s\n", image.LastError());
        return 2;
    }
    const int w = image.Width(), h = image.Height();
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    std::uint8_t* to = rgba.data();
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x, to += 4) {
            const PixQuad c = image.PixelColor(x, y, false);
            const bool clear = image.IsIndexed() && image.IsTransparent() && image.PixelIndex(x, y) == image.TransparentIndex();
            to[0] = c.red;
            to[1] = c.green;
            to[2] = c.blue;
            to[3] = image.HasAlpha() ? image.AlphaAt(x, y) : clear ? 0 : 255;
        }
    }
    std::printf("%d %d\n", w, h);
    return WriteAll(out, rgba.data(), rgba.size()) ? 0 : 1;
}

// The reference's samples brought to 8 bits as the decoder layer does: the top bits of deeper
// samples. Planar, each component after the other; two bytes little-endian above 8 bits.
int CompareJ2k(const char* ours, const char* ref, int components, int bits)
{
    std::vector<std::uint8_t> a, b;
    if (!ReadAll(ours, a) || !ReadAll(ref, b))
        return 1;
    const std::size_t bytesPerSample = bits > 8 ? 2 : 1;
    const std::size_t pixels = a.size() / 4;
    if (b.size() != pixels * static_cast<std::size_t>(components) * bytesPerSample) {
        std::printf("different: %zu pixels here, %zu reference bytes\n", pixels, b.size());
        return 2;
    }
    auto sample = [&](int c, std::size_t i) {
        const std::size_t at = (static_cast<std::size_t>(c) * pixels + i) * bytesPerSample;
        const unsigned v = bytesPerSample == 2 ? (b[at] | b[at + 1] << 8) : b[at];
        return static_cast<std::uint8_t>(bits > 8 ? v >> (bits - 8) : v);
    };
    const bool colour = components >= 3;
    const int alpha = colour ? (components >= 4 ? 3 : -1) : (components == 2 ? 1 : -1);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = a.data() + 4 * i;
        const std::uint8_t r = sample(0, i);
        const std::uint8_t want[4] = {colour ? sample(2, i) : r, colour ? sample(1, i) : r, r,
                                      alpha >= 0 ? sample(alpha, i) : std::uint8_t{255}};
        differing += std::memcmp(p, want, 4) != 0 ? 1 : 0;
    }
    if (differing != 0) {
        std::printf("different: %zu of %zu pixels\n", differing, pixels);
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "j2k" && argc == 4)
        return DecodeJ2k(argv[2], argv[3]);
    if (mode == "gif" && argc == 5)
        return DecodeGif(argv[2], std::atoi(argv[3]), argv[4]);
    if (mode == "same-j2k" && argc == 6)
        return CompareJ2k(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    std::fprintf(stderr, "usage: picture_probe j2k FILE OUT | gif FILE FRAME OUT | same-j2k OURS REF COMPONENTS BITS\n");
    return 1;
}
