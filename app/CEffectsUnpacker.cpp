#include "app/CEffectsUnpacker.h"

#include "app/CJp2Image.h"
#include "app/J2kTextureLoader.h"
#include "image/CPixImage.h"
#include "platform/Engine.h"
#include "platform/FileSystem.h"
#include "platform/j2k/J2kCodec.h"
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
bool WriteTarget(IEngine* engine, CPixImage& image, const std::string& target)
{
    std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    if (!image.EncodeToMemory(&bytes, &size, kPixTypeTga))
        return false;
    bool replacedLink = false;
    host_files::WriteOptions options;
    options.replacedLink = &replacedLink;
    const bool written = fs_layer::WriteWholeFile(target, bytes, size, options);
    CPixImage::FreeMemory(bytes);
    if (replacedLink && engine != nullptr)
        engine->Log("[W] A link stood at %s; it was replaced", target.c_str());
    return written;
}

// A source is read only where no link stands at its name (nor a second name someone else may have
// given to a file of this user's): it may lead to a picture of this user's that the target would
// then show to everyone who may read the folder. It stays as it is.
enum class ESource { kRead, kNone, kLink };

ESource ReadSource(IEngine* engine, const std::string& source, const std::string& target,
                   std::vector<std::uint8_t>& bytes)
{
    std::string why;
    const host_files::ERead read = fs_layer::ReadWithoutLink(source, bytes, kJ2kMaxFileSize, &why);
    if (read == host_files::ERead::kRead)
        return ESource::kRead;
    if (read != host_files::ERead::kLink)
        return ESource::kNone;
    if (engine != nullptr)
        engine->Log("[W] File %s: %s; it is not read, and %s is not made", source.c_str(), why.c_str(), target.c_str());
    return ESource::kLink;
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

    std::vector<std::uint8_t> bytes;
    if (ReadSource(m_pEngine.Get(), source, target, bytes) != ESource::kRead)
        return false;
    CJp2Image decoded;
    CPixImage image(kPixTypeUnknown);
    if (decoded.OpenMemory(bytes.data(), bytes.size()) == 0 && decoded.Decode(nullptr) == 0 &&
        decoded.Pixels() != nullptr)
        image.CopyFromPixelArray(decoded.Pixels(), decoded.Width(), decoded.Height(), 32,
                                 static_cast<std::uint32_t>(decoded.Pitch()), true);
    decoded.Close();
    if (!image.HasPixels())
        return false;
    const ESource maskRead = ReadSource(m_pEngine.Get(), mask, target, bytes);
    if (maskRead == ESource::kLink)
        return false;
    CPixImage alpha(kPixTypeUnknown);
    if (maskRead == ESource::kRead && DecodeAlphaMask(alpha, bytes) && alpha.HasPixels()) {
        image.MakeAlphaPlane();
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x)
                image.SetAlphaAt(x, y, alpha.GreyLevelAt(x, y));
    }
    return WriteTarget(m_pEngine.Get(), image, target);
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
