#include "app/CJp2Image.h"

#include "platform/FileSystem.h"
#include "platform/j2k/J2kCodec.h"

#include <cstdint>
#include <vector>

// Read through the file layer, so a link on the way is followed only as it follows links for
// every read of game data.
int CJp2Image::Open(const char* file)
{
    Close();
    std::vector<std::uint8_t> bytes;
    if (file == nullptr || !fs_layer::ReadWholeFile(file, bytes, kJ2kMaxFileSize)) {
        m_szError = J2K_getErrorStr(kJ2kErrOpen);
        return kJ2kErrOpen;
    }
    return OpenMemory(bytes.data(), bytes.size());
}

int CJp2Image::OpenMemory(const unsigned char* data, std::size_t size)
{
    Close();
    return TakeHandle(J2K_OpenMemory(data, size));
}

int CJp2Image::TakeHandle(J2kImage* handle)
{
    m_pHandle = handle;
    if (m_pHandle == nullptr) {
        const int code = J2K_getLastError();
        m_szError = J2K_getErrorStr(code);
        return code;
    }
    J2kInfo info;
    const int code = J2K_GetInfoEx(m_pHandle, &info);
    if (code != kJ2kOk) {
        Close();
        m_szError = J2K_getErrorStr(code);
        return code;
    }
    m_info[0] = info.width;
    m_info[1] = info.height;
    m_info[2] = info.components;
    m_info[3] = info.bitDepth;
    m_info[4] = info.resolutions;
    m_info[5] = info.isCodestream;
    return kJ2kOk;
}

int CJp2Image::Decode(const char* options)
{
    if (m_pHandle == nullptr) {
        m_szError = J2K_getErrorStr(kJ2kOk);
        return kJ2kOk;
    }
    int code = J2K_GetResolutionDimensionsByStr(m_pHandle, options, &m_info[0], &m_info[1]);
    if (code == kJ2kOk || code == kJ2kWarnOptions)
        code = J2K_Decode(m_pHandle, &m_pBuffer, &m_nSize, options, &m_nPitch);
    if (code != kJ2kOk) {
        Close();
        m_szError = J2K_getErrorStr(code);
    }
    return code;
}

int CJp2Image::Load(const char* file, const char* options)
{
    const int code = Open(file);
    return code != kJ2kOk ? code : Decode(options);
}

void CJp2Image::Close()
{
    if (m_pHandle != nullptr)
        J2K_Close(m_pHandle);
    m_pHandle = nullptr;
    for (int& v : m_info)
        v = 0;
    m_szError = "";
    m_pBuffer = nullptr;
    m_nSize = 0;
    m_nPitch = 0;
}
