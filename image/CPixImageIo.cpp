// Load and save dispatch of CPixImage: files, handles and memory to streams, streams to codecs.
#include "image/CPixImage.h"
#include "image/CPixBmpCodec.h"
#include "image/CPixGifCodec.h"
#include "image/CPixMemoryStream.h"
#include "image/CPixStdioStream.h"
#include "image/CPixTgaCodec.h"
#include "platform/files/HostFiles.h"

#include <cstring>

namespace {

bool IsCodecType(std::uint32_t type)
{
    return type == kPixTypeBmp || type == kPixTypeGif || type == kPixTypeTga;
}

// Decodes with one codec; on success the picture (and the codec's settings) move into `target`.
template <class Codec>
bool TryDecode(CPixImage& target, CPixStream* stream, Codec& codec)
{
    codec.CopyInfo(target);
    return codec.Decode(stream) && target.TakeOver(codec);
}

template <class Codec>
bool TryDecodeOrTakeError(CPixImage& target, CPixStream* stream, Codec& codec)
{
    if (TryDecode(target, stream, codec))
        return true;
    target.SetLastError(codec.LastError());
    return false;
}

// Encodes `source` with one codec that views its buffers; a failure's text moves into `source`.
template <class Codec>
bool Encode(CPixImage& source, CPixStream* stream)
{
    Codec codec;
    codec.ShareBuffers(source);
    if (codec.Encode(stream))
        return true;
    source.SetLastError(codec.LastError());
    return false;
}

}  // namespace

bool CPixImage::ReadFromFile(const char* fileName, std::uint32_t type)
{
    if (fileName == nullptr)
        return false;
    // Only a regular file, which the decoders may read again from its start.
    std::FILE* file = host_files::OpenRegularForReading(fileName);
    if (file == nullptr)
        return false;
    bool ok = (type == kPixTypeBmp || type == kPixTypeGif || type == kPixTypeTga) && DecodeFromHandle(file, type);
    if (!ok) {
        // Every format from the start; when that fails too, the named format's text stays.
        char kept[sizeof(m_info.lastError)];
        std::memcpy(kept, m_info.lastError, sizeof(kept));
        std::rewind(file);
        ok = DecodeFromHandle(file, kPixTypeUnknown);
        if (!ok && type != kPixTypeUnknown)
            std::memcpy(m_info.lastError, kept, sizeof(kept));
    }
    std::fclose(file);
    return ok;
}

bool CPixImage::DecodeFromHandle(std::FILE* file, std::uint32_t type)
{
    CPixStdioStream stream(file);
    return DecodeFromStream(&stream, type);
}

bool CPixImage::DecodeFromMemory(const std::uint8_t* data, std::size_t size, std::uint32_t type)
{
    // The stream only reads here, so the caller's bytes are never written.
    CPixMemoryStream stream(const_cast<std::uint8_t*>(data), size);
    return DecodeFromStream(&stream, type);
}

bool CPixImage::ReadFromResource(const std::uint8_t* data, std::size_t size, std::uint32_t type)
{
    if (data == nullptr || size == 0) {
        SetLastError("Unable to load resource!");
        return false;
    }
    return DecodeFromMemory(data, size, type);
}

bool CPixImage::DecodeFromStream(CPixStream* stream, std::uint32_t type)
{
    if (type == kPixTypeUnknown && stream != nullptr) {
        // BMP first: it also takes bare DIBs, so it must (and does) reject everything else.
        const long start = stream->Tell();
        CPixBmpCodec bmp;
        if (TryDecode(*this, stream, bmp))
            return true;
        stream->Seek(start, 0);
        CPixGifCodec gif;
        if (TryDecode(*this, stream, gif))
            return true;
        stream->Seek(start, 0);
        CPixTgaCodec tga;
        if (TryDecode(*this, stream, tga))
            return true;
        stream->Seek(start, 0);
    } else if (type == kPixTypeBmp) {
        CPixBmpCodec codec;
        return TryDecodeOrTakeError(*this, stream, codec);
    } else if (type == kPixTypeGif) {
        CPixGifCodec codec;
        if (TryDecodeOrTakeError(*this, stream, codec))
            return true;
        m_info.frameCount = codec.FrameCount();  // a caller asking past the last frame learns the count
        return false;
    } else if (type == kPixTypeTga) {
        CPixTgaCodec codec;
        return TryDecodeOrTakeError(*this, stream, codec);
    }
    SetLastError("Decode: Unknown or wrong format");
    return false;
}

bool CPixImage::WriteToFile(const char* fileName, std::uint32_t type)
{
    if (fileName == nullptr)
        return false;
    // Checked before opening: "wb" would already have emptied an existing file.
    if (!IsCodecType(type)) {
        SetLastError("Encode: Unknown format");
        return false;
    }
    std::FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr)
        return false;
    const bool ok = EncodeToHandle(file, type);
    const bool closed = std::fclose(file) == 0;  // buffered bytes reach the disk only here
    return ok && closed;
}

bool CPixImage::EncodeToHandle(std::FILE* file, std::uint32_t type)
{
    CPixStdioStream stream(file);
    return EncodeToStream(&stream, type);
}

bool CPixImage::EncodeToMemory(std::uint8_t** buffer, std::size_t* size, std::uint32_t type)
{
    if (buffer == nullptr || size == nullptr || *buffer != nullptr) {
        SetLastError("the buffer must be empty");
        return false;
    }
    CPixMemoryStream stream;
    if (!stream.Open())
        return false;
    if (!EncodeToStream(&stream, type))
        return false;
    *size = static_cast<std::size_t>(stream.Size());
    *buffer = stream.Detach(true);
    return true;
}

bool CPixImage::EncodeToStream(CPixStream* stream, std::uint32_t type)
{
    if (type == kPixTypeBmp)
        return Encode<CPixBmpCodec>(*this, stream);
    if (type == kPixTypeGif)
        return Encode<CPixGifCodec>(*this, stream);
    if (type == kPixTypeTga)
        return Encode<CPixTgaCodec>(*this, stream);
    SetLastError("Encode: Unknown format");
    return false;
}

bool CPixImage::EncodeFramesToHandle(std::FILE* file, CPixImage** images, int count, std::uint32_t type)
{
    CPixStdioStream stream(file);
    return EncodeFramesToStream(&stream, images, count, type);
}

bool CPixImage::EncodeFramesToStream(CPixStream* stream, CPixImage** images, int count, std::uint32_t type)
{
    if (type != kPixTypeGif) {
        SetLastError("Multipage Encode, Unsupported operation for this format");
        return false;
    }
    CPixGifCodec codec;
    codec.ShareBuffers(*this);
    if (codec.EncodeFrames(stream, images, count, false))
        return true;
    SetLastError(codec.LastError());
    return false;
}

bool CPixImage::EncodeRgbaToMemory(std::uint8_t** buffer, std::size_t* size)
{
    if (buffer == nullptr || size == nullptr || *buffer != nullptr) {
        SetLastError("the buffer must be empty");
        return false;
    }
    CPixMemoryStream stream;
    if (!stream.Open() || !EncodeRgbaToStream(&stream))
        return false;
    *size = static_cast<std::size_t>(stream.Size());
    *buffer = stream.Detach(true);
    return true;
}

bool CPixImage::EncodeRgbaToStream(CPixStream* stream)
{
    if (CheckEncodeTarget(stream))
        return false;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            const PixQuad c = PixelColorUnchecked(x, y);
            if (!stream->PutC(c.red) || !stream->PutC(c.green) || !stream->PutC(c.blue) || !stream->PutC(c.reserved))
                return false;
        }
    }
    return true;
}

bool CPixImage::CheckEncodeTarget(CPixStream* stream)
{
    if (stream == nullptr) {
        SetLastError("null file handler");
        return true;
    }
    if (m_pDib == nullptr) {
        SetLastError("null image!!!");
        return true;
    }
    return false;
}
