// CJp2Image.h: one JPEG-2000 picture decoded through the platform's decoder calls.
#pragma once

#include <cstddef>

struct J2kImage;

// Owns the decoder handle; the decoded pixels (32-bit blue, green, red, alpha, top row first)
// belong to the handle and live until Close. Codes are the decoder's: 0 is success.
class CJp2Image {
public:
    CJp2Image() = default;
    ~CJp2Image() { Close(); }
    CJp2Image(const CJp2Image&) = delete;
    CJp2Image& operator=(const CJp2Image&) = delete;

    int Open(const char* file);                       // a game path
    int OpenMemory(const unsigned char* data, std::size_t size);  // a file's bytes, as read
    int Decode(const char* options);
    int Load(const char* file, const char* options);  // Open, then Decode
    void Close();

    int Width() const { return m_info[0]; }
    int Height() const { return m_info[1]; }
    const unsigned char* Pixels() const { return m_pBuffer; }
    int Size() const { return m_nSize; }
    int Pitch() const { return m_nPitch; }
    const char* ErrorText() const { return m_szError; }

private:
    int TakeHandle(J2kImage* handle);

    J2kImage* m_pHandle = nullptr;
    int m_info[6] = {};                 // width, height, components, depth, levels, codestream
    const char* m_szError = "";
    unsigned char* m_pBuffer = nullptr;
    int m_nSize = 0;
    int m_nPitch = 0;
};
