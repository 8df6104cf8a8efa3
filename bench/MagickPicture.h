// MagickPicture.h: ImageMagick (MagickWand) on one thread, and its copy of one of our pictures,
// for benchmarks that time our library beside it in the same run.
#pragma once

#include "image/CPixImage.h"

#include <wand/MagickWand.h>

#include <cstdint>
#include <vector>

// Starts MagickWand once per program, limited to one thread as our library runs.
inline void StartMagick()
{
    struct Session {
        Session()
        {
            MagickWandGenesis();
            MagickSetResourceLimit(ThreadResource, 1);
        }
        ~Session() { MagickWandTerminus(); }
    };
    static Session session;
}

// ImageMagick's copy of the picture, built from blue, green, red, alpha bytes, top row first
// (alpha 255 where the picture has no alpha plane). The caller destroys the wand.
inline MagickWand* MagickCopyOf(const CPixImage& image)
{
    StartMagick();
    const int width = image.Width(), height = image.Height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const PixQuad c = image.PixelColor(x, height - 1 - y, true);
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4];
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
            p[3] = image.HasAlpha() ? c.reserved : 255;
        }
    }
    MagickWand* wand = NewMagickWand();
    MagickConstituteImage(wand, static_cast<std::size_t>(width), static_cast<std::size_t>(height), "BGRA", CharPixel, pixels.data());
    return wand;
}
