// ImageCodec.cpp: image decoding and PNG encoding over SDL_image.
#include "platform/ImageCodec.h"

#include "platform/files/HostFiles.h"

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

// A write-only stream that appends to a byte vector, so a picture is made whole in memory before
// any of it reaches a file.
SDL_RWops* OpenGrowingBuffer(std::vector<std::uint8_t>& bytes)
{
    SDL_RWops* rw = SDL_AllocRW();
    if (rw == nullptr)
        return nullptr;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = &bytes;
    rw->size = [](SDL_RWops* self) -> Sint64 {
        return static_cast<Sint64>(static_cast<std::vector<std::uint8_t>*>(self->hidden.unknown.data1)->size());
    };
    rw->seek = [](SDL_RWops* self, Sint64 offset, int whence) -> Sint64 {
        const auto end = static_cast<Sint64>(static_cast<std::vector<std::uint8_t>*>(self->hidden.unknown.data1)->size());
        return offset == 0 && whence != RW_SEEK_SET ? end : -1;  // only where the end is
    };
    rw->read = [](SDL_RWops*, void*, size_t, size_t) -> size_t { return 0; };
    rw->write = [](SDL_RWops* self, const void* data, size_t size, size_t count) -> size_t {
        auto& out = *static_cast<std::vector<std::uint8_t>*>(self->hidden.unknown.data1);
        const auto* first = static_cast<const std::uint8_t*>(data);
        out.insert(out.end(), first, first + size * count);
        return count;
    };
    rw->close = [](SDL_RWops* self) -> int {
        SDL_FreeRW(self);
        return 0;
    };
    return rw;
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

bool EncodePng(int width, int height, const std::uint32_t* argb, std::vector<std::uint8_t>& png)
{
    png.clear();
    if (width <= 0 || height <= 0 || argb == nullptr)
        return false;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(argb), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr)
        return false;
    SDL_RWops* out = OpenGrowingBuffer(png);
    const bool ok = out != nullptr && IMG_SavePNG_RW(surface, out, 0) == 0;
    if (out != nullptr)
        SDL_FreeRW(out);
    SDL_FreeSurface(surface);
    return ok && !png.empty();
}

bool WritePng(const std::string& hostPath, int width, int height, const std::uint32_t* argb, std::string* why)
{
    std::vector<std::uint8_t> png;
    if (!EncodePng(width, height, argb, png)) {
        if (why != nullptr)
            *why = "it can't be encoded";
        return false;
    }
    return host_files::WriteOutputFile(hostPath, png.data(), png.size(), why);
}

}  // namespace image_codec
