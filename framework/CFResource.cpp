#include "framework/CFResource.h"

#include "framework/CFMemoryStream.h"
#include "framework/CacheKey.h"
#include "framework/GamePath.h"
#include "framework/ResourceScriptShared.h"
#include "platform/ChildRun.h"
#include "platform/FileSystem.h"
#include "platform/StopSignals.h"
#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"

#include <angelscript.h>
#include <angelscript/scriptstdstring.h>

#include <cstdlib>
#include <cstring>
#include <optional>

using namespace AngelScript;
using namespace resource_script;

namespace {

constexpr const char* kEntryDecl = "void LoadAnimations(CFResource@)";
constexpr unsigned kCacheMode = 0644;  // never the group's to write, even in a folder it shares

// The script library allocates through malloc: in the compile's child, memory beyond its bound
// ends the child as out of memory instead of a write through the null pointer.
void* AllocateOrEnd(std::size_t size)
{
    void* block = std::malloc(size);
    if (block == nullptr)
        EndChildOutOfMemory();
    return block;
}

void FreeBlock(void* block)
{
    std::free(block);
}

// A script that never ends would hold the start for ever, so it is stopped after this many
// statements: the bundled script runs about 114,000; a loop that declares an object a turn stops within
// about 0.3 s and 130 MB.
constexpr std::uint64_t kMaxScriptStatements = 2000000;

void CountStatement(asIScriptContext* context, void* param)
{
    std::uint64_t& left = *static_cast<std::uint64_t*>(param);
    if (left == 0 || --left == 0)
        context->Abort();
}

// The byte-code loader trusts its input (it asserts on damaged byte code, and made-up byte code
// would run as it stands), so the cache wraps the byte code in a header that proves it whole and
// written by this game for this data folder: magic, script library version, a checksum of the
// registered interface, the length and a tag of the byte code keyed with the data folder's secret.
constexpr std::uint8_t kCacheMagic[4] = {'S', 'B', 'C', '2'};
constexpr std::size_t kCacheHeader = 24;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<std::uint8_t> WrapByteCode(const std::vector<std::uint8_t>& code, std::uint32_t interface,
                                       const SipKey& key)
{
    std::vector<std::uint8_t> out;
    CByteWriter header(out);
    header.WriteBytes(kCacheMagic, 4);
    header.WriteU32(ANGELSCRIPT_VERSION);
    header.WriteU32(interface);
    header.WriteU32(static_cast<std::uint32_t>(code.size()));
    header.WriteU64(SipHash24(key, code.data(), code.size()));
    header.WriteBytes(code.data(), code.size());
    return out;
}

// The byte code inside a cache file and its tag, or false when the file is not a whole cache
// that this build wrote (for this script interface).
bool OpenCache(const std::vector<std::uint8_t>& file, std::uint32_t interface, std::vector<std::uint8_t>& code,
               std::uint64_t& tag)
{
    CByteReader in(file.data(), file.size());
    std::uint8_t magic[4] = {};
    std::uint32_t version = 0, fileInterface = 0, size = 0;
    if (!in.ReadBytes(magic, 4) || !in.ReadU32(version) || !in.ReadU32(fileInterface) ||
        !in.ReadU32(size) || !in.ReadU64(tag))
        return false;
    if (std::memcmp(magic, kCacheMagic, 4) != 0 || version != ANGELSCRIPT_VERSION ||
        fileInterface != interface || size != in.Remaining())
        return false;
    code.assign(file.begin() + kCacheHeader, file.end());
    return true;
}

bool TaggedWith(const std::optional<SipKey>& key, const std::vector<std::uint8_t>& code, std::uint64_t tag)
{
    return key && SameTag(SipHash24(*key, code.data(), code.size()), tag);
}

}  // namespace

CFResource::CFResource(const char* scriptPath)
{
    RegisterScriptInterface();
    if (m_pEngine != nullptr && m_pScriptEngine != nullptr && scriptPath != nullptr)
        LoadScript(scriptPath);
}

CFResource::~CFResource()
{
    FreeAll();
    if (m_pScriptEngine != nullptr)
        m_pScriptEngine->ShutDownAndRelease();
}

void CFResource::AddRef()
{
    ++m_nRefCount;
}

void CFResource::Release()
{
    if (--m_nRefCount == 0)
        delete this;
}

void CFResource::Write(const char* text)
{
    if (m_pEngine != nullptr && text != nullptr)
        m_pEngine->Log("%s", text);
}

// The stock string add-on is a value type, so string parameters are "const string &in".
void CFResource::RegisterScriptInterface()
{
    asSetGlobalMemoryFunctions(AllocateOrEnd, FreeBlock);
    m_pScriptEngine = asCreateScriptEngine();
    if (m_pScriptEngine == nullptr) {
        if (m_pEngine != nullptr)
            m_pEngine->Log("[E] Resource: Can't create the script engine");
        return;
    }
    asIScriptEngine* e = m_pScriptEngine;
    e->SetMessageCallback(asFUNCTION(MessageCallback), this, asCALL_CDECL);
    RegisterStdString(e);
    e->RegisterObjectType("CFResource", 0, asOBJ_REF);
    e->RegisterObjectBehaviour("CFResource", asBEHAVE_ADDREF, "void f()", asMETHOD(CFResource, AddRef), asCALL_THISCALL);
    e->RegisterObjectBehaviour("CFResource", asBEHAVE_RELEASE, "void f()", asMETHOD(CFResource, Release), asCALL_THISCALL);

    struct Method {
        const char* decl;
        asSFuncPtr func;
    };
    const Method methods[] = {
        {"void AddPsiFile(const string &in, const string &in)", asMETHOD(CFResource, AddPsiFile)},
        {"int AddTexture(const string &in, const string &in)", asMETHOD(CFResource, AddTexture)},
        {"int AddSprite(const string &in, int, float, float, float, float)", asMETHOD(CFResource, AddSprite)},
        {"int AddFont(const string &in, const string &in)", asMETHOD(CFResource, AddFont)},
        {"void AddTextFile(const string &in)", asMETHOD(CFResource, AddTextFile)},
        {"void AddText(const string &in, int, int, int, int, int)", asMETHOD(CFResource, AddText)},
        {"void AddSound(const string &in, const string &in)", asMETHOD(CFResource, AddSound)},
        {"void CreateModule(const string &in)", asMETHOD(CFResource, CreateModule)},
        {"void CreateEffect(const string &in, int, int)", asMETHOD(CFResource, CreateEffect)},
        {"void AddNamedPart(const string &in, int, int, int)", asMETHOD(CFResource, AddNamedPart)},
        {"int CreateObjectGfx(const string &in, int)", asMETHOD(CFResource, CreateObjectGfx)},
        {"void CreateObjectSfx(const string &in, int)", asMETHOD(CFResource, CreateObjectSfx)},
        {"void CreateObjectClip(const string &in, int)", asMETHOD(CFResource, CreateObjectClip)},
        {"void CreateObjectParticle(const string &in, int, int, int, int)", asMETHOD(CFResource, CreateObjectParticle)},
        {"void CreateObjectBound(const string &in, int)", asMETHOD(CFResource, CreateObjectBound)},
        {"void SetInheritOptions(int, float, int, int, int, int, int, int)", asMETHOD(CFResource, SetInheritOptions)},
        {"void SubstituteAnimation(const string &in, const string &in)", asMETHOD(CFResource, SubstituteAnimation)},
        {"void AddFrameGfx(int, int, int, int, int, int, float, float, float, float, float, float, float, int, int, int)", asMETHOD(CFResource, AddFrameGfx)},
        {"void AddFrameSfx(int, int, int)", asMETHOD(CFResource, AddFrameSfx)},
        {"void AddFrameRect(int, int, int, int, int)", asMETHOD(CFResource, AddFrameRect)},
        {"void AddCommandSection(const string &in)", asMETHOD(CFResource, AddCommandSection)},
        {"void AddParticleCommand(int)", asMETHOD(CFResource, AddParticleCommand)},
    };
    for (const Method& m : methods) {
        e->RegisterObjectMethod("CFResource", m.decl, m.func, asCALL_THISCALL);
        m_nInterfaceCrc = Crc32(reinterpret_cast<const std::uint8_t*>(m.decl), std::strlen(m.decl),
                                m_nInterfaceCrc);
    }
}

// The cache is used while its last-write time equals the script's (or the script is gone);
// otherwise, or when it does not load, the script is compiled and the cache rewritten. Byte code
// runs as it stands, so where others may write the cache's folder (one a group shares) no cache
// is used or written: the script is compiled at every start.
void CFResource::LoadScript(const char* path)
{
    const GamePathParts parts = SplitGamePath(path);
    const std::string cachePath = parts.drive + parts.dir + parts.name + ".bc";
    fs_layer::RemoveLeftovers(cachePath + ".tmp.*");  // of a run killed while it wrote the cache
    cache_key::RemoveLeftovers();
    host_files::FileTime scriptTime = 0;
    const bool scriptBeside = fs_layer::GetModifiedTime(path, scriptTime);
    std::string why;
    const bool cacheKept = !fs_layer::OthersMayWriteBeside(cachePath, &why);
    if (!cacheKept)
        m_pEngine->Log("%s Resource: No byte-code cache %s is used or written here: %s", scriptBeside ? "[I]" : "[E]",
                       cachePath.c_str(), why.c_str());

    asIScriptModule* module = cacheKept ? LoadCachedModule(cachePath, scriptBeside, scriptTime) : nullptr;
    if (module == nullptr && CStopSignals::Received())
        return;  // the program is asked to end: nothing more to load or run
    if (module == nullptr)
        module = BuildModule(path, cacheKept ? cachePath : std::string());
    if (module == nullptr)
        return;
    const std::string stopped = RunScript(module);
    module->Discard();
    if (!m_modules.empty() && !stopped.empty())
        m_pEngine->Log("[E] Resource: %s", stopped.c_str());
    RejectBrokenEffects();
    if (m_modules.empty())
        RefuseScript(stopped.empty() ? std::string("Script ") + path + " declares no graphics module" : stopped);
}

void CFResource::RefuseScript(const std::string& why)
{
    m_pEngine->Log("[E] Resource: %s", why.c_str());
    m_loadFailure = why;
}

// A cache that someone else could have written (another user's, one others may write, a link) is
// not run at all, not even in a child: the child runs as this user. A cache of this user's (or
// root's, for an installed data set) that this data folder's key tagged is loaded as it stands.
// One it did not tag is compiled again from its script; with no script beside it (a data set that
// ships its byte code) it is loaded and run in a child process first, then used and tagged here
// when that child ended well.
asIScriptModule* CFResource::LoadCachedModule(const std::string& cachePath, bool scriptBeside,
                                              host_files::FileTime scriptTime)
{
    std::vector<std::uint8_t> file, code;
    host_files::FileTime cacheTime = 0;
    std::string why;
    const host_files::ETrust trust = fs_layer::ReadTrustedFile(cachePath, file, kMaxCacheSize, &cacheTime, &why);
    if (trust == host_files::ETrust::kNotTrusted) {
        m_pEngine->Log("%s Resource: Byte-code cache %s is not run: %s", scriptBeside ? "[W]" : "[E]", cachePath.c_str(),
                       why.c_str());
        return nullptr;
    }
    if (trust != host_files::ETrust::kTrusted || (scriptBeside && cacheTime != scriptTime))
        return nullptr;
    std::uint64_t tag = 0;
    bool ok = OpenCache(file, m_nInterfaceCrc, code, tag);
    const bool tagged = ok && TaggedWith(cache_key::Read(), code, tag);
    if (ok && !tagged && !scriptBeside)
        ok = RunsWithoutStopping(code, cachePath);
    asIScriptModule* module = ok && (tagged || !scriptBeside) ? LoadByteCode(code) : nullptr;
    if (module == nullptr) {
        if (!CStopSignals::Received())  // a trial left for a stop signal says so itself
            m_pEngine->Log("[W] Resource: Can't load byte-code cache %s", cachePath.c_str());
        return nullptr;
    }
    if (!tagged)
        TagCache(code, cachePath, cacheTime);
    return module;
}

asIScriptModule* CFResource::LoadByteCode(const std::vector<std::uint8_t>& code)
{
    CFMemoryStream stream;
    if (stream.Write(code.data(), static_cast<unsigned>(code.size())) < 0)
        return nullptr;
    asIScriptModule* module = m_pScriptEngine->GetModule(kModuleName, asGM_ALWAYS_CREATE);
    if (module != nullptr && module->LoadByteCode(&stream) >= 0)
        return module;
    if (module != nullptr)
        module->Discard();
    return nullptr;
}

// The script library trusts byte code: its loader asserts on some made-up code, and what it
// loads runs as it stands. So a cache the game did not write here is loaded and run in a child
// first, with its log closed there (the run in this process logs what it has to say once).
// Without a child it is not used.
bool CFResource::RunsWithoutStopping(const std::vector<std::uint8_t>& code, const std::string& cachePath)
{
    const EChildRun result = RunInChild(
        [&] {
            m_pEngine->SetState(EState::LogFile, "");
            m_pScriptEngine->ClearMessageCallback();
            m_bTrialRun = true;
            asIScriptModule* module = LoadByteCode(code);
            if (module == nullptr)
                return false;
            (void)RunScript(module);
            return true;
        },
        CompileLimits());
    if (result == EChildRun::kStopped || result == EChildRun::kTimedOut || result == EChildRun::kSanitizerReport)
        m_pEngine->Log("[E] Resource: The script library stopped on byte-code cache %s", cachePath.c_str());
    if (result == EChildRun::kInterrupted)
        m_pEngine->Log("[I] Resource: The trial of byte-code cache %s is left: the program is asked to end",
                       cachePath.c_str());
    return result == EChildRun::kReturnedTrue;
}

// Kept under this folder's key with the time it came with, so later starts load it at once (and
// a script that comes with the same time is still taken as its source).
void CFResource::TagCache(const std::vector<std::uint8_t>& code, const std::string& cachePath,
                          host_files::FileTime cacheTime)
{
    if (SaveCache(code, cachePath, cacheTime))
        m_pEngine->Log("[I] Resource: Byte-code cache %s was made elsewhere; it ran and is kept for this folder",
                       cachePath.c_str());
}

// The byte code tagged with the folder's key (made now if there is none), stamped with `time`;
// a link found at the key's or the cache's name is replaced, and said.
bool CFResource::SaveCache(const std::vector<std::uint8_t>& code, const std::string& cachePath,
                           host_files::FileTime time)
{
    bool keyLink = false, cacheLink = false;
    const std::optional<SipKey> key = cache_key::ReadOrMake(&keyLink);
    bool ok = key.has_value();
    if (ok) {
        const std::vector<std::uint8_t> wrapped = WrapByteCode(code, m_nInterfaceCrc, *key);
        host_files::WriteOptions options;
        options.mode = kCacheMode;
        options.modified = time;
        options.replacedLink = &cacheLink;
        ok = fs_layer::WriteWholeFile(cachePath, wrapped.data(), wrapped.size(), options);
    }
    if (keyLink)
        m_pEngine->Log("[W] A link stood at %s; it was replaced", cache_key::kPath);
    if (cacheLink)
        m_pEngine->Log("[W] A link stood at %s; it was replaced", cachePath.c_str());
    if (!ok)
        m_pEngine->Log("[W] Resource: Can't write byte-code cache %s", cachePath.c_str());
    return ok;
}

// Written whole or not at all, so a cut-off write never leaves a half cache; stamped with the
// script's time, which is what makes the next start use it.
void CFResource::WriteCache(const std::vector<std::uint8_t>& code, const char* scriptPath, const std::string& cachePath)
{
    host_files::FileTime scriptTime = 0;
    if (fs_layer::GetModifiedTime(scriptPath, scriptTime))
        (void)SaveCache(code, cachePath, scriptTime);
    else
        m_pEngine->Log("[W] Resource: Can't write byte-code cache %s", cachePath.c_str());
}

std::string CFResource::RunScript(asIScriptModule* module)
{
    asIScriptFunction* entry = module->GetFunctionByDecl(kEntryDecl);
    if (entry == nullptr)
        return std::string("Script has no function ") + kEntryDecl;
    asIScriptContext* context = m_pScriptEngine->CreateContext();
    if (context == nullptr)
        return "Script can't be run: the script library gives no context";
    std::uint64_t left = kMaxScriptStatements;
    context->SetLineCallback(asFUNCTION(CountStatement), &left, asCALL_CDECL);
    std::string stopped;
    if (context->Prepare(entry) >= 0 && context->SetArgObject(0, this) >= 0) {
        const int result = context->Execute();
        if (result == asEXECUTION_EXCEPTION)
            stopped = std::string("Script exception: ") + context->GetExceptionString();
        else if (result == asEXECUTION_ABORTED)
            stopped = "Script stopped after " + std::to_string(kMaxScriptStatements) + " statements";
    }
    context->Release();
    return stopped;
}

// Playback indexes keys by frame and divides by frame counts and lengths: such effects go.
void CFResource::RejectBrokenEffects()
{
    for (CFModule& module : m_modules) {
        std::vector<CFEffect> kept;
        for (CFEffect& effect : module.effects) {
            if (effect.frameCount <= 0 || effect.length <= 0) {
                m_pEngine->Log("[E] Resource: Effect %s in module %s has no frames or no length",
                               effect.name.c_str(), module.name.c_str());
                continue;
            }
            bool keysMissing = false;
            for (const CFTrack& track : effect.tracks)
                keysMissing = keysMissing || track.keys.size() < static_cast<std::size_t>(effect.frameCount);
            for (const CFSoundTrack& track : effect.soundTracks)
                keysMissing = keysMissing || track.keys.size() < static_cast<std::size_t>(effect.frameCount);
            if (keysMissing) {
                m_pEngine->Log("[E] Resource: Effect %s in module %s has fewer keys than frames",
                               effect.name.c_str(), module.name.c_str());
                continue;
            }
            kept.push_back(std::move(effect));
        }
        module.effects = std::move(kept);
        module.totalObjects = 0;
        for (const CFEffect& effect : module.effects)
            module.totalObjects += static_cast<int>(effect.tracks.size());
    }
}

void CFResource::FreeAll()
{
    for (CFFontEntry& entry : m_fonts)
        entry.font.reset();
    for (CFSpriteEntry& entry : m_sprites)
        entry.sprite.reset();
    for (CFTextureEntry& entry : m_textures) {
        if (entry.texture != 0 && m_pEngine != nullptr)
            m_pEngine->TextureFree(entry.texture);
        entry.texture = 0;
    }
    for (CFSoundEntry& entry : m_sounds) {
        if (entry.sound != 0 && m_pEngine != nullptr)
            m_pEngine->EffectFree(entry.sound);
        entry.sound = 0;
    }
    m_particleObjects.clear();
}
