// CFResource.h: the resource manager. It runs the resource script and answers by name for
// graphics modules, sprites, textures, sounds, fonts and texts.
//
// The script "void LoadAnimations(CFResource@)" only declares; textures, sprites and fonts load
// on first use (a module at a time or on demand) and are counted per use. The compiled script
// is cached as byte code beside it ("dir/name.bc") and reused while its last-write time equals
// the script's. Created with new: the script's handle counts a reference, and Release deletes.
#pragma once

#include "framework/CFModule.h"
#include "framework/CFResourceEntries.h"
#include "platform/EngineRef.h"
#include "platform/files/HostFiles.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace AngelScript {
class asIScriptEngine;
class asIScriptModule;
}  // namespace AngelScript

class CFFont;
class CParticleManager;
class CSprite;

class CFResource {
public:
    explicit CFResource(const char* scriptPath);
    ~CFResource();
    CFResource(const CFResource&) = delete;
    CFResource& operator=(const CFResource&) = delete;

    // ---- Script type behaviours and messages ------------------------------------------------
    void AddRef();
    void Release();                    // deletes the manager at 0
    void Write(const char* text);      // one line, unchanged, to the engine log

    // Why the manager holds no graphics module, in the words of the error it logged (without
    // its "[E] Resource: "): the script missing, its first compiler error, a limit its compile
    // ran into. Empty when the script declared modules, or when a stop signal left the compile.
    const std::string& GetLoadFailure() const { return m_loadFailure; }
    // The compile's bounds in its child, the same for every manager: processor time (the clock
    // allows twelve times as much) and memory beyond the program's. Tests make them small.
    static void SetCompileLimits(std::chrono::milliseconds cpu, std::size_t memoryBytes);

    // ---- Settings that animations read ------------------------------------------------------
    void SetSoundVolume(int percent) { m_nSoundVolume = percent; }
    int GetSoundVolume() const { return m_nSoundVolume; }
    void SetHighDetail(bool) { m_bHighDetail = true; }  // high detail cannot be turned off
    bool IsHighDetail() const { return m_bHighDetail; }

    // ---- Script methods (declarations; registered for scripts in this order) ----------------
    void AddPsiFile(const std::string& name, const std::string& file);
    int AddTexture(const std::string& name, const std::string& file);
    int AddSprite(const std::string& name, int texture, float x, float y, float width, float height);
    int AddFont(const std::string& name, const std::string& file);
    void AddTextFile(const std::string& path);
    void AddText(const std::string& name, int font, int number, int lineSpacing, int letterSpacing,
                 int alignment);
    void AddSound(const std::string& name, const std::string& file);
    void CreateModule(const std::string& name);
    void CreateEffect(const std::string& name, int frameCount, int length);
    void AddNamedPart(const std::string& name, int firstFrame, int lastFrame, int extra);
    int CreateObjectGfx(const std::string& name, int layer);
    void CreateObjectSfx(const std::string& name, int value);
    void CreateObjectClip(const std::string& name, int layer);
    void CreateObjectParticle(const std::string& name, int psi, int sprite, int layer, int blend);
    void CreateObjectBound(const std::string& name, int value);
    void SetInheritOptions(int position, float scale, int rotation, int unused1, int unused2,
                           int alpha, int depth, int unused3);
    void SubstituteAnimation(const std::string& module, const std::string& effect);
    void AddFrameGfx(int text, int sprite, int alpha, int red, int green, int blue, float x, float y,
                     float hscalePercent, float vscalePercent, float rotationDegrees, float hotX,
                     float hotY, int interpolate, int depth, int blend);
    void AddFrameSfx(int sound, int volume, int mode);
    void AddFrameRect(int x, int y, int width, int height, int depth);
    void AddCommandSection(const std::string& path);
    void AddParticleCommand(int value);

    // ---- Modules -----------------------------------------------------------------------------
    bool LoadModule(const char* name, int count);  // count -1: everything not yet loaded
    bool FindModule(const char* name);             // true when all its objects are loaded
    bool FreeModule(const char* name);
    int GetModuleObjectCount(const char* name) const;  // -1: no such module
    int GetModuleObjectsLeft(const char* name) const;  // -1: no such module
    int GetModuleCount() const { return static_cast<int>(m_modules.size()); }
    const char* GetModuleName(int index) const;        // null out of range
    const std::vector<CFModule>& GetModules() const { return m_modules; }

    // ---- Resources by name (created on demand, counted) --------------------------------------
    CSprite* GetSprite(const char* name);
    CFFont* GetFont(const char* name);
    HTexture GetTexture(const char* name) const;
    HEffect GetSound(const char* name) const;

    // Table rows by declaration index, null out of range.
    CFSpriteEntry* GetSpriteEntry(int index);
    CFFontEntry* GetFontEntry(int index);
    CFTextEntry* GetTextEntry(int index);
    CFSoundEntry* GetSoundEntry(int index);

    // ---- Texts ---------------------------------------------------------------------------------
    bool SetText(const char* name, const char* text);
    bool SetTextW(const char* name, const wchar_t* text);
    const wchar_t* GetText(const char* name) const;   // null when no entry has the name
    const std::vector<std::wstring>& GetTextStore() const { return m_textStore; }

    // ---- Particle objects of animation tracks -------------------------------------------------
    // Starts the track's particle object (a manager at 50 updates a second with the track's
    // description and sprite) and stores its index in the track; -1 when it cannot.
    int CreateParticleObject(CFTrack& track);
    CParticleManager* GetParticleManager(int index);
    CFParticleObject* GetParticleObject(int index);

    // ---- Images ---------------------------------------------------------------------------------
    // mode 0: through the engine; 1: JPEG-2000; 2: JPEG-2000 with the GIF's grey levels as alpha.
    HTexture LoadTexture(const char* file, int mode);
    static std::string ReplaceExtension(const char* file, const char* extension);

    // The image library installs the JPEG-2000 loader of modes 1 and 2 (the framework cannot
    // depend on it). It returns 0 and fills `error` with the codec's last error text on failure.
    using Jp2TextureLoader = HTexture (*)(IEngine& engine, const char* jp2File, const char* gifFile,
                                          std::string& error);
    static void SetJp2TextureLoader(Jp2TextureLoader loader);

private:
    void RegisterScriptInterface();
    void LoadScript(const char* path);
    AngelScript::asIScriptModule* LoadCachedModule(const std::string& cachePath, bool scriptBeside,
                                                   host_files::FileTime scriptTime);
    AngelScript::asIScriptModule* LoadByteCode(const std::vector<std::uint8_t>& code);
    AngelScript::asIScriptModule* BuildModule(const char* path, const std::string& cachePath);  // "": no cache
    AngelScript::asIScriptModule* BuildHere(const std::vector<std::uint8_t>& text, const char* path,
                                            const std::string& cachePath);
    enum class ECompileTrial {
        kBuilt,        // the child built it: its messages and byte code came back
        kFailed,       // the child's build failed: its messages came back
        kStopped,      // the compile stopped, hung or ran out of memory: `why` says which
        kInterrupted,  // a stop signal came meanwhile
        kHere,         // no child could do it: compile in this process
    };
    ECompileTrial CompileInChild(const std::vector<std::uint8_t>& text, std::vector<std::string>& messages,
                                 std::vector<std::uint8_t>& code, std::string& why);
    void WriteMessages(const std::vector<std::string>& messages);
    void RefuseScript(const std::string& why);  // logs the error and keeps it as the load failure
    bool RunsWithoutStopping(const std::vector<std::uint8_t>& code, const std::string& cachePath);
    void TagCache(const std::vector<std::uint8_t>& code, const std::string& cachePath, host_files::FileTime cacheTime);
    bool SaveCache(const std::vector<std::uint8_t>& code, const std::string& cachePath, host_files::FileTime time);
    void WriteCache(const std::vector<std::uint8_t>& code, const char* scriptPath, const std::string& cachePath);
    std::string RunScript(AngelScript::asIScriptModule* module);  // why it stopped; empty when it ran through
    void RejectBrokenEffects();
    void FreeAll();

    CFModule* LastModule(const char* method);
    CFEffect* LastEffect(const char* method);
    CFTrack* LastTrack(const char* method);
    bool CheckIndex(const char* method, const char* table, int index, std::size_t size, bool noneOk);

    CFModule* Find(const char* name);
    const CFModule* Find(const char* name) const;
    CFTextEntry* FindText(const char* name);
    void UseGfxKey(const CFFrameKey& key);
    void ReleaseGfxKey(const CFFrameKey& key);
    bool UseFont(CFFontEntry& entry);
    bool UseSprite(CFSpriteEntry& entry);

    std::vector<CFPsiEntry> m_psiFiles;
    std::vector<CFTextureEntry> m_textures;
    std::vector<CFSpriteEntry> m_sprites;
    std::vector<CFSoundEntry> m_sounds;
    std::vector<CFFontEntry> m_fonts;
    std::vector<CFTextEntry> m_texts;
    std::vector<CFModule> m_modules;
    int m_nCurrentModule = -1;
    CEngineRef m_pEngine;
    AngelScript::asIScriptEngine* m_pScriptEngine = nullptr;
    std::vector<std::wstring> m_textStore;
    std::vector<CFParticleObject> m_particleObjects;
    int m_nRefCount = 1;
    int m_nSoundVolume = 100;
    bool m_bHighDetail = true;
    int m_nObjectKind = -1;      // of the last declared object: 0 clip, 1 bound, 2 particle
    int m_nTextureLoadMode = 0;
    std::uint32_t m_nInterfaceCrc = 0;  // of the registered declarations; stamps the cache
    bool m_bTrialRun = false;           // in the child that tries a cache: no sound is loaded
    std::string m_loadFailure;
};
