// ImageCodec.cpp: image decoding and PNG writing over SDL_image.
#include "platform/ImageCodec.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

namespace image_codec {
namespace {

SDL_Surface* LoadAny(const std::uint8_t* data, std::size_t size)
{
    if (size > static_cast<std::size_t>(INT32_MAX))
        return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (rw == nullptr)
        return nullptr;
    // Formats with magic bytes first; TGA has none, so it is the fallback for the rest.
    SDL_Surface* surface = IMG_Load_RW(rw, 0);
    if (surface == nullptr) {
        SDL_RWseek(rw, 0, RW_SEEK_SET);
        surface = IMG_LoadTGA_RW(rw);
    }
    SDL_RWclose(rw);
    return surface;
}

}  // namespace

bool Decode(const std::uint8_t* data, std::size_t size, int& width, int& height,
            std::vector<std::uint32_t>& argb)
{
    if (data == nullptr || size == 0)
        return false;
    SDL_Surface* loaded = LoadAny(data, size);
    if (loaded == nullptr)
        return false;
    SDL_Surface* surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (surface == nullptr)
        return false;
    const bool sane = surface->w > 0 && surface->h > 0 && surface->w <= kMaxImageSide &&
                      surface->h <= kMaxImageSide;
    if (sane) {
        width = surface->w;
        height = surface->h;
        argb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        SDL_LockSurface(surface);
        for (int y = 0; y < height; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(surface->pixels) +
                              static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->pitch);
            std::memcpy(&argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)], row,
                        static_cast<std::size_t>(width) * 4u);
        }
        SDL_UnlockSurface(surface);
    }
    SDL_FreeSurface(surface);
    return sane;
}

bool WritePng(const std::string& hostPath, int width, int height, const std::uint32_t* argb)
{
    if (width <= 0 || height <= 0 || argb == nullptr)
        return false;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(argb), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr)
        return false;
    const bool ok = IMG_SavePNG(surface, hostPath.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

}  // namespace image_codec
