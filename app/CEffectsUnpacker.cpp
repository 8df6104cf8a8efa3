#include "app/CEffectsUnpacker.h"

#include "app/CJp2Image.h"
#include "image/CPixImage.h"
#include "platform/Engine.h"
#include "platform/FileSystem.h"
#include "platform/StopSignals.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

namespace {

const char* const kFolder = "gfx/effects/";

std::string WithoutExtension(const std::string& name)
{
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A file's mode does not keep it from being removed here (only its folder's does), so a read-only
// source is removed as it stands: changing its mode first would change whatever a link at its
// name points to. A link goes, and what it points to stays.
void DeleteGameFile(const std::string& path)
{
    (void)fs_layer::DeleteFile(path);
}

// The target is encoded whole in memory and then replaces whatever holds its name, so a link
// there is replaced rather than written through and a failed write leaves no part of a picture.
bool WriteTarget(CPixImage& image, const std::string& target)
{
    std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (!image.EncodeToMemory(&bytes, &size, kPixTypeTga))
        return false;
    const bool written = fs_layer::WriteWholeFile(target, bytes, size);
    CPixImage::FreeMemory(bytes);
    return written;
}

}  // namespace

CEffectsUnpacker::CEffectsUnpacker(const char* gameTitle)
    : m_title(gameTitle != nullptr ? gameTitle : "")
{
    fs_layer::RemoveLeftovers(std::string(kFolder) + "*.png.tmp.*");  // of a conversion that was killed
    m_files = fs_layer::FindFiles(std::string(kFolder) + "*.jp2");
    if (m_pEngine != nullptr)
        m_pEngine->Log("[I] Please wait. This only happens during first launch.");
    ShowProgress();
}

CEffectsUnpacker::~CEffectsUnpacker()
{
    if (m_pEngine == nullptr)
        return;
    if (!m_pEngine->IsHeadless())
        m_pEngine->SetState(EState::Title, m_title.c_str());
}

bool CEffectsUnpacker::Run()
{
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        if (ConvertOne(m_files[i]))
            m_converted.push_back(m_files[i]);
        if (i + 1 == m_files.size())
            break;
        ++m_nDone;
        ShowProgress();
        if (m_bAbort || CStopSignals::Received())
            return false;  // the sources stay and "cnv" stays 1: the next start converts again
    }
    DeleteSources();
    m_nDone = FileCount();
    ShowProgress();
    return true;
}

bool CEffectsUnpacker::ConvertOne(const std::string& fileName)
{
    const std::string name = WithoutExtension(fileName);
    const std::string source = kFolder + fileName;
    const std::string target = kFolder + name + ".png";
    const std::string mask = kFolder + name + ".gif";

    CJp2Image decoded;
    CPixImage image(kPixTypeUnknown);
    if (decoded.Load(source.c_str(), nullptr) == 0 && decoded.Pixels() != nullptr)
        image.CopyFromPixelArray(decoded.Pixels(), decoded.Width(), decoded.Height(), 32,
                                 static_cast<std::uint32_t>(decoded.Pitch()), true);
    decoded.Close();
    if (!image.HasPixels())
        return false;
    CPixImage alpha(kPixTypeUnknown);
    if (alpha.ReadFromFile(fs_layer::ResolvePath(mask).c_str(), kPixTypeGif) && alpha.HasPixels()) {
        image.MakeAlphaPlane();
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x)
                image.SetAlphaAt(x, y, alpha.GreyLevelAt(x, y));
    }
    return WriteTarget(image, target);
}

void CEffectsUnpacker::ShowProgress()
{
    if (m_pEngine == nullptr)
        return;
    // An empty folder counts as done; it must not divide by zero.
    int percent = m_files.empty() ? 100 : static_cast<int>(100.0 / FileCount() * m_nDone);
    percent = std::min(percent, 100);
    if (percent == m_nShownPercent)
        return;
    m_nShownPercent = percent;
    char text[128];
    std::snprintf(text, sizeof(text), "Unpacking resources... %d%%", percent);
    if (m_pEngine->IsHeadless()) {
        m_pEngine->Log("===[+] %s", text);
        return;
    }
    const std::string title = m_title + " - " + text;
    m_pEngine->SetState(EState::Title, title.c_str());
}

void CEffectsUnpacker::DeleteSources()
{
    std::set<std::string> kept;  // names (lower case) whose JPEG-2000 source failed and stays
    std::set<std::string> converted;
    for (const std::string& file : m_converted)
        converted.insert(Lower(file));
    for (const std::string& file : m_files) {
        if (converted.count(Lower(file)) != 0)
            DeleteGameFile(kFolder + file);
        else
            kept.insert(Lower(WithoutExtension(file)));
    }
    for (const std::string& file : fs_layer::FindFiles(std::string(kFolder) + "*.gif")) {
        if (kept.count(Lower(WithoutExtension(file))) == 0)
            DeleteGameFile(kFolder + file);
    }
}
