#include "app/J2kTextureLoader.h"

#include "app/CJp2Image.h"
#include "image/CPixImage.h"
#include "platform/EngineHandle.h"
#include "platform/FileSystem.h"
#include "platform/j2k/J2kCodec.h"

#include <algorithm>
#include <cstring>

bool DecodeAlphaMask(CPixImage& mask, const std::vector<std::uint8_t>& bytes)
{
    return mask.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif) ||
           mask.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeUnknown);
}

HTexture LoadJ2kTexture(IEngine& engine, const char* jp2File, const char* gifFile, std::string& error)
{
    CJp2Image decoded;
    const int code = jp2File == nullptr ? kJ2kErrOpen : decoded.Load(jp2File, nullptr);
    if (code != kJ2kOk || decoded.Pixels() == nullptr) {
        // A file that can't be read is named here; the decoder's own text tells the rest.
        error = code == kJ2kErrOpen ? std::string(decoded.ErrorText()) + ": " + (jp2File != nullptr ? jp2File : "")
                                    : J2K_getLastErrorStr();
        return 0;
    }
    const int width = decoded.Width();
    const int height = decoded.Height();
    CPixImage mask(kPixTypeUnknown);
    std::vector<std::uint8_t> maskBytes;
    if (gifFile != nullptr && *gifFile != '\0' && fs_layer::ReadWholeFile(gifFile, maskBytes, kJ2kMaxFileSize))
        (void)DecodeAlphaMask(mask, maskBytes);

    CTextureOwner owner(&engine, engine.TextureCreate(width, height));
    const HTexture texture = owner.Get();
    if (texture == 0) {
        error = "Can't create texture";
        return 0;
    }
    const int pitch = engine.TextureGetWidth(texture);       // in texels: the engine may round up
    const int rows = std::min(height, engine.TextureGetHeight(texture));
    const int columns = std::min(width, pitch);
    std::uint32_t* texels = engine.TextureLock(texture, false);
    if (texels == nullptr) {
        error = "Can't lock texture";
        return 0;
    }
    for (int y = 0; y < rows; ++y) {
        const unsigned char* src = decoded.Pixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(decoded.Pitch());
        std::uint32_t* dst = texels + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch);
        for (int x = 0; x < columns; ++x, src += 4) {
            std::uint32_t alpha = src[3];
            if (mask.HasPixels())
                alpha = mask.GreyLevelAt(x, height - 1 - y);
            dst[x] = alpha << 24 | static_cast<std::uint32_t>(src[2]) << 16 | static_cast<std::uint32_t>(src[1]) << 8 | src[0];
        }
    }
    engine.TextureUnlock(texture);
    return owner.Release();
}
