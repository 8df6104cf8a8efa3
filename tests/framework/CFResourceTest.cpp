// CFResourceTest.cpp: the resource script, its byte-code cache and the tables it declares.
// test-labels: untrusted
#include "framework/CFResource.h"

#include "framework/CFFont.h"
#include "framework/CSprite.h"
#include "ResourceTestRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

const char* const kScriptPath = "effects/effects.as";
const char* const kCachePath = "effects/effects.bc";

// Declares a module "menu" of one effect with seven gfx tracks of two keys each; every key
// shows the sprite "card" (texture "cards"), and the second effect adds a sound track.
const char* const kModuleScript = R"(
void LoadAnimations(CFResource@ res)
{
    int tex = res.AddTexture("cards", "gfx/cards.png");
    int card = res.AddSprite("card", tex, 0, 0, 16, 8);
    res.AddSprite("loose", -1, 0, 0, 4, 4);
    res.AddSound("click", "sfx/click.ogg");
    res.CreateModule("menu");
    res.CreateEffect("idle", 2, 500);
    for (int i = 0; i < 7; i++) {
        res.CreateObjectGfx("track", 0);  // a literal: strings built at run time sit misaligned on the script stack
        res.AddFrameGfx(-1, card, 255, 255, 255, 255, 1, 2, 50, 200, 90, 0, 0, 0, i, 0);
        res.AddFrameGfx(-1, card, 255, 255, 255, 255, 1, 2, 50, 200, 90, 0, 0, 0, i, 0);
    }
    res.CreateObjectSfx("sounds", 0);
    res.AddFrameSfx(0, 80, 1);
    res.AddFrameSfx(0, 80, 4);
}
)";

class CFResourceTest : public ResourceTestRoot {
protected:
    static std::string ReadFile(const std::string& hostPath)
    {
        std::ifstream in(hostPath, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::unique_ptr<CFResource> Load(const std::string& script)
    {
        WriteFile(kScriptPath, script);
        return std::make_unique<CFResource>(kScriptPath);
    }

    std::unique_ptr<CFResource> Reload() { return std::make_unique<CFResource>(kScriptPath); }
};

TEST_F(CFResourceTest, ScriptDeclaresModuleAndWritesCacheStampedWithScriptTime)
{
    m_fake->AddTextureFile("gfx/cards.png", 64, 64);
    auto res = Load(kModuleScript);
    ASSERT_EQ(res->GetModuleCount(), 1);
    EXPECT_STREQ(res->GetModuleName(0), "menu");
    EXPECT_EQ(res->GetModuleName(1), nullptr);
    EXPECT_EQ(res->GetModuleObjectCount("menu"), 7);  // the sound track does not count
    EXPECT_EQ(res->GetModuleObjectCount("none"), -1);
    const CFEffect& effect = res->GetModules()[0].effects.at(0);
    EXPECT_EQ(effect.frameCount, 2);
    EXPECT_EQ(effect.length, 500);
    ASSERT_EQ(effect.tracks.size(), 7u);
    ASSERT_EQ(effect.trackOrder.size(), 8u);
    EXPECT_TRUE(effect.trackOrder[7].sound);
    const CFFrameKey& key = effect.tracks[3].keys.at(1);
    EXPECT_FLOAT_EQ(key.hscale, 0.5f);
    EXPECT_FLOAT_EQ(key.vscale, 2.0f);
    EXPECT_NEAR(key.rotation, 1.5707963f, 1e-6f);
    EXPECT_EQ(key.depth, 3);
    ASSERT_EQ(effect.soundTracks.at(0).keys.size(), 2u);
    EXPECT_EQ(effect.soundTracks[0].keys[1].mode, kSoundStop);
    EXPECT_NE(res->GetSound("click"), 0u);

    ASSERT_TRUE(Exists(kCachePath));
    EXPECT_EQ(FileTime(kCachePath), FileTime(kScriptPath));
    EXPECT_FALSE(Exists(std::string(kCachePath) + ".tmp"));
}

TEST_F(CFResourceTest, SecondStartUsesCacheUntilScriptTimeChanges)
{
    Load(R"(void LoadAnimations(CFResource@ res) { res.CreateModule("first"); })");
    const auto scriptTime = FileTime(kScriptPath);

    // Same time, other text: the stale cache wins, which proves it was used.
    WriteFile(kScriptPath, R"(void LoadAnimations(CFResource@ res) { res.CreateModule("second"); })");
    SetFileTime(kScriptPath, scriptTime);
    EXPECT_STREQ(Reload()->GetModuleName(0), "first");

    // Any other time rebuilds, and the rebuilt cache takes the new time.
    SetFileTime(kScriptPath, scriptTime + std::chrono::seconds(5));
    EXPECT_STREQ(Reload()->GetModuleName(0), "second");
    EXPECT_EQ(FileTime(kCachePath), FileTime(kScriptPath));

    SetFileTime(kScriptPath, scriptTime - std::chrono::seconds(60));
    EXPECT_STREQ(Reload()->GetModuleName(0), "second");
    EXPECT_EQ(FileTime(kCachePath), FileTime(kScriptPath));
}

TEST_F(CFResourceTest, CacheBesideMissingScriptIsUsed)
{
    Load(R"(void LoadAnimations(CFResource@ res) { res.CreateModule("cached"); })");
    std::filesystem::remove(HostPath(kScriptPath));
    EXPECT_STREQ(Reload()->GetModuleName(0), "cached");
}

TEST_F(CFResourceTest, MissingScriptAndCacheLeaveEmptyTables)
{
    auto res = std::make_unique<CFResource>("effects/none.as");
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: Can't load AngelScript file effects/none.as"));
    EXPECT_EQ(res->GetModuleCount(), 0);
    EXPECT_EQ(res->GetSprite("card"), nullptr);
}

TEST_F(CFResourceTest, DamagedCacheFallsBackToCompilingScript)
{
    Load(R"(void LoadAnimations(CFResource@ res) { res.CreateModule("built"); })");
    const auto cacheTime = FileTime(kCachePath);
    std::ifstream in(HostPath(kCachePath), std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string flipped = good, truncated = good.substr(0, good.size() - 1), foreign = good, madeUp = good;
    flipped.back() = static_cast<char>(flipped.back() ^ 0x40);
    foreign[8] = static_cast<char>(foreign[8] ^ 1);  // made against another script interface
    // A right header around byte code the game did not write: the loader would assert on it.
    for (std::size_t i = 24; i < madeUp.size(); i += 7)
        madeUp[i] = static_cast<char>(0xC3);
    for (const std::string& junk : {std::string(), std::string("\x01\x02garbage", 9), flipped, truncated, foreign, madeUp}) {
        SCOPED_TRACE("cache of " + std::to_string(junk.size()) + " bytes");
        WriteFile(kCachePath, junk);
        SetFileTime(kCachePath, cacheTime);
        auto res = Reload();
        EXPECT_STREQ(res->GetModuleName(0), "built");
        EXPECT_TRUE(m_fake->HasLogLine("[W] Resource: Can't load byte-code cache effects/effects.bc"));
        EXPECT_EQ(FileTime(kCachePath), FileTime(kScriptPath));
    }
}

// The cache is trusted as it stands only under the key of the data folder it was written in.
// Without its script beside it (a data set that ships its byte code) it is tried in a child
// process first, then used and kept under this folder's key.
TEST_F(CFResourceTest, CacheOfAnotherDataFolderIsCompiledAgainOrTriedWithoutItsScript)
{
    Load(R"(void LoadAnimations(CFResource@ res) { res.CreateModule("built"); })");
    ASSERT_TRUE(Exists("data/cache.key"));
    EXPECT_EQ(std::filesystem::file_size(HostPath("data/cache.key")), 16u);
    const auto scriptTime = FileTime(kScriptPath);

    WriteFile("data/cache.key", std::string(16, 'k'));  // the cache came from elsewhere
    WriteFile(kScriptPath, R"(void LoadAnimations(CFResource@ res) { res.CreateModule("again"); })");
    SetFileTime(kScriptPath, scriptTime);
    EXPECT_STREQ(Reload()->GetModuleName(0), "again");
    EXPECT_TRUE(m_fake->HasLogLine("[W] Resource: Can't load byte-code cache effects/effects.bc"));
    std::filesystem::remove(HostPath(kScriptPath));
    EXPECT_STREQ(Reload()->GetModuleName(0), "again");  // rewritten under the folder's key, then used

    // Shipped without its script and without a key: tried, used, and kept with its time.
    const std::string tag = "[I] Resource: Byte-code cache effects/effects.bc was made elsewhere; it ran and is kept "
                            "for this folder";
    const auto shippedTime = FileTime(kCachePath);
    std::filesystem::remove(HostPath("data/cache.key"));
    EXPECT_STREQ(Reload()->GetModuleName(0), "again");
    EXPECT_TRUE(m_fake->HasLogLine(tag));
    EXPECT_EQ(FileTime(kCachePath), shippedTime);
    m_fake->logLines.clear();
    EXPECT_STREQ(Reload()->GetModuleName(0), "again");
    EXPECT_FALSE(m_fake->HasLogLine(tag));  // no second trial

    // A made-up cache under a right header, on which the script library's loader asserts: the
    // child stops, the cache is refused, and this process goes on without resources.
    std::string madeUp = ReadFile(HostPath(kCachePath)).substr(0, 24);
    const char* source = std::getenv("SOL_SOURCE_DIR");  // set by CTest
    const std::string seed = ReadFile(std::string(source != nullptr ? source : "../../..") +
                                      "/fuzz/seeds/bytecode/made-up-cache-asserts-in-loader");
    ASSERT_GT(seed.size(), 20u);
    const std::string found = seed.substr(20);
    const auto size = static_cast<std::uint32_t>(found.size());
    for (int i = 0; i < 4; ++i)
        madeUp[12 + i] = static_cast<char>(size >> (8 * i));
    WriteFile(kCachePath, madeUp + found);
    std::filesystem::remove(HostPath("data/cache.key"));
    auto res = Reload();
    EXPECT_EQ(res->GetModuleCount(), 0);
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: The script library stopped on byte-code cache effects/effects.bc"));
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: Can't load AngelScript file effects/effects.as"));
    EXPECT_EQ(ReadFile(HostPath(kCachePath)), madeUp + found);
}

// Byte code runs as it stands, so where others may write the cache's folder no cache is used or
// written: the script is compiled, and without it nothing runs. The cache left there is used again
// once the folder is this user's alone. (A group's write bit counts only where the group has
// another member: the whole-process tests run as members of one.)
TEST_F(CFResourceTest, NoCacheIsUsedOrWrittenWhereOthersMayWriteItsFolder)
{
    Load(R"(void LoadAnimations(CFResource@ res) { res.CreateModule("first"); })");
    const auto scriptTime = FileTime(kScriptPath);
    const std::string cache = ReadFile(HostPath(kCachePath));
    WriteFile(kScriptPath, R"(void LoadAnimations(CFResource@ res) { res.CreateModule("second"); })");
    SetFileTime(kScriptPath, scriptTime);  // the cache would win if it were used
    const std::string line = "Resource: No byte-code cache effects/effects.bc is used or written here: others may write "
                             "folder " + HostPath("effects");
    std::filesystem::permissions(HostPath("effects"), std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::add);
    EXPECT_STREQ(Reload()->GetModuleName(0), "second");
    EXPECT_TRUE(m_fake->HasLogLine("[I] " + line));
    EXPECT_EQ(ReadFile(HostPath(kCachePath)), cache) << "not written";
    std::filesystem::rename(HostPath(kScriptPath), HostPath("effects/effects.as.kept"));
    EXPECT_EQ(Reload()->GetModuleCount(), 0);
    EXPECT_TRUE(m_fake->HasLogLine("[E] " + line));
    std::filesystem::permissions(HostPath("effects"), std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_STREQ(Reload()->GetModuleName(0), "first");
}

// Whatever holds the key's name without being a key is replaced at the first start that writes
// the cache; the next start finds the new key and uses the cache.
TEST_F(CFResourceTest, DamagedKeyIsReplacedOnce)
{
    const std::string key = HostPath("data/cache.key");
    const struct {
        const char* what;
        std::function<void()> make;
    } damages[] = {
        {"short", [&] { WriteFile("data/cache.key", "0123456789"); }},
        {"a folder", [&] { std::filesystem::create_directories(key + "/inside"); }},
        {"unreadable", [&] { std::filesystem::create_symlink("cache.key", key); }},  // a loop
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.what);
        std::filesystem::remove_all(HostPath("data"));
        std::filesystem::create_directories(HostPath("data"));
        d.make();
        Load(R"(void LoadAnimations(CFResource@ res) { res.CreateModule("first"); })");
        ASSERT_TRUE(std::filesystem::is_regular_file(key));
        EXPECT_EQ(std::filesystem::file_size(key), 16u);
        EXPECT_EQ(std::filesystem::is_directory(key + ".bad/inside"), std::string(d.what) == "a folder");

        // Same time, other text: the cache wins, which proves the key tagged it.
        const auto scriptTime = FileTime(kScriptPath);
        WriteFile(kScriptPath, R"(void LoadAnimations(CFResource@ res) { res.CreateModule("second"); })");
        SetFileTime(kScriptPath, scriptTime);
        m_fake->logLines.clear();
        EXPECT_STREQ(Reload()->GetModuleName(0), "first");
        EXPECT_EQ(CountLogLinesStartingWith("[W] "), 0);
    }
}

// A text that does not compile leaves the manager empty and the cache as it was, and the error
// says why in a player's terms (the first compiler error with its line, a limit the compile ran
// into, how its child ended); the compiler's own messages reach the log too.
TEST_F(CFResourceTest, ATextThatDoesNotCompileIsRefusedWithItsReasonAndLeavesCacheAlone)
{
    Load(R"(void LoadAnimations(CFResource@ res) { res.CreateModule("good"); })");
    const auto goodTime = FileTime(kCachePath);
    const std::string good = ReadFile(HostPath(kCachePath));
    // Quadratic in the compiler: a few thousand locals take seconds; a long function takes memory.
    std::string locals = "int Locals()\n{\n    int v0 = 0;\n", pad = "int Pad(int y)\n{\n    int x = 0;\n";
    for (int i = 1; i < 8000; ++i)
        locals += "    int v" + std::to_string(i) + " = v" + std::to_string(i - 1) + " + 1;\n";
    for (int i = 0; i < 30000; ++i)
        pad += "    x = x + " + std::to_string(i) + " * y;\n";
    const std::string cant = "Can't compile AngelScript file effects/effects.as: ";
    const struct {
        const char* what;
        std::string text;
        std::string failure;  // what GetLoadFailure tells, and the log's error line after "[E] Resource: "
        std::string message;  // the compiler's own, when it gave one
        std::chrono::milliseconds cpu = std::chrono::seconds(10);  // the compile's bounds
        std::size_t memoryBytes = std::size_t{1024} << 20;
    } cases[] = {
        {"an unknown method", "void LoadAnimations(CFResource@ res)\n{\n    res.NoSuchMethod();\n}\n",
         cant + "line 3, column 9: No matching symbol 'NoSuchMethod'", "resource (3, 9) : Error : "},
        // The script library's compiler stops the program on an assertion for this text.
        {"an assertion", "void LoadAnimations(CFResource@ res) { res.AddSound(\"a\", \"b\") ^ res.CreateModule(\"x\"); }\n",
         cant + "the script compiler crashed on it (signal 6, Aborted)", ""},
        // A comment's and a string's brackets do not count: the line is the third.
        {"nested too deeply", "// " + std::string(1001, '(') + "\nstring s = \"" + std::string(1001, '(') +
                                  "\";\nint Deep() { return " + std::string(1000, '(') + "1" + std::string(1000, ')') + "; }\n",
         cant + "line 3: brackets nested deeper than 1000", ""},
        {"past the time limit", locals + "    return v7999;\n}\n", cant + "the compile took more than its 0.2 s of processor time", "",
         std::chrono::milliseconds(200)},
        {"past the memory limit", pad + "    return x;\n}\n", cant + "the compile needed more than the 64 MB of memory it may take", "",
         std::chrono::seconds(10), std::size_t{64} << 20},
        {"no entry function", "void Other(CFResource@ res) {}\n", "Script has no function void LoadAnimations(CFResource@)", ""},
        {"no module declared", "void LoadAnimations(CFResource@ res) {}\n", "Script effects/effects.as declares no graphics module", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (kSanitized && c.memoryBytes < (std::size_t{1024} << 20))
            continue;  // the sanitizers' allocator reserves its memory up front, where a bound of the address space can't see it
        CFResource::SetCompileLimits(c.cpu, c.memoryBytes);
        m_fake->logLines.clear();
        auto res = Load(c.text);
        EXPECT_EQ(res->GetModuleCount(), 0);
        const std::string failure = res->GetLoadFailure();
        if (kSanitized && failure == cant + "the script compiler met a memory error (its report is on stderr)")
            continue;  // the sanitizers' runtime ends the child on an allocation it can't make, and may on an abort
        EXPECT_EQ(failure, c.failure);
        EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: " + c.failure));
        EXPECT_EQ(CountLogLinesStartingWith("[E] "), 1);
        if (!c.message.empty()) {
            EXPECT_EQ(CountLogLinesStartingWith(c.message), 1);
        }
        if (c.failure.rfind(cant, 0) == 0) {
            EXPECT_TRUE(ReadFile(HostPath(kCachePath)) == good) << "a refused text is not cached";
            EXPECT_EQ(FileTime(kCachePath), goodTime);  // neither rewritten nor stamped
        }
    }
    CFResource::SetCompileLimits(std::chrono::seconds(10), std::size_t{1024} << 20);
}

TEST_F(CFResourceTest, WriteLogsTextUnchangedEvenWithPercentSigns)
{
    auto res = Load("void LoadAnimations(CFResource@ res) {}");
    res->Write("100% of %s and %d");
    EXPECT_TRUE(m_fake->HasLogLine("100% of %s and %d"));
}

// A script that fails or never ends is logged and stopped; what it declared before stays.
TEST_F(CFResourceTest, ScriptExceptionOrEndlessLoopIsLoggedAndStopped)
{
    const struct {
        const char* script;
        const char* line;
    } cases[] = {
        {R"(void LoadAnimations(CFResource@ res) { res.CreateModule("a"); CFResource@ none; none.CreateModule("x"); })",
         "[E] Resource: Script exception: Null pointer access"},
        {R"(void LoadAnimations(CFResource@ res) { res.CreateModule("a"); for (int i = 1; i < 3; 80, 2); })",
         "[E] Resource: Script stopped after 2000000 statements"},
        {R"(void LoadAnimations(CFResource@ res) { res.CreateModule("a"); while (true) { res.CreateObjectClip("c", 0); } })",
         "[E] Resource: Script stopped after 2000000 statements"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        auto res = Load(c.script);
        EXPECT_TRUE(m_fake->HasLogLine(c.line));
        EXPECT_EQ(res->GetModuleCount(), 1);
    }
}

TEST_F(CFResourceTest, ModuleLoadsInSlicesAndReportsObjectsLeft)
{
    m_fake->AddTextureFile("gfx/cards.png", 64, 64);
    auto res = Load(kModuleScript);
    const int expectedLeft[] = {4, 1, 0};
    EXPECT_EQ(res->GetModuleObjectsLeft("menu"), 7);
    for (int left : expectedLeft) {
        SCOPED_TRACE("left " + std::to_string(left));
        EXPECT_TRUE(res->LoadModule("menu", 3));
        EXPECT_EQ(res->GetModuleObjectsLeft("menu"), left);
    }
    EXPECT_TRUE(res->FindModule("menu"));
    CFSpriteEntry* card = res->GetSpriteEntry(0);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->useCount, 14);  // one per key
    ASSERT_NE(card->sprite, nullptr);
    EXPECT_FLOAT_EQ(card->sprite->GetWidth(), 16.0f);
    EXPECT_NE(res->GetTexture("cards"), 0u);

    const std::size_t textures = m_fake->TextureCount();
    EXPECT_TRUE(res->LoadModule("menu", -1));  // loaded: nothing more
    EXPECT_EQ(card->useCount, 14);
    EXPECT_EQ(m_fake->TextureCount(), textures);
}

TEST_F(CFResourceTest, FreeModuleReleasesSpritesAndTextures)
{
    m_fake->AddTextureFile("gfx/cards.png", 64, 64);
    auto res = Load(kModuleScript);
    EXPECT_FALSE(res->FreeModule("menu"));  // not loaded: nothing to free
    res->LoadModule("menu", -1);
    const std::size_t textures = m_fake->TextureCount();
    EXPECT_TRUE(res->FreeModule("menu"));
    EXPECT_EQ(res->GetSpriteEntry(0)->sprite, nullptr);
    EXPECT_EQ(res->GetSpriteEntry(0)->useCount, 0);
    EXPECT_EQ(res->GetTexture("cards"), 0u);
    EXPECT_EQ(m_fake->TextureCount(), textures - 1);
    EXPECT_EQ(res->GetModuleObjectsLeft("menu"), 7);
}

TEST_F(CFResourceTest, SpriteSharedByTwoModulesLivesUntilLastIsFreed)
{
    m_fake->AddTextureFile("gfx/cards.png", 64, 64);
    auto res = Load(R"(
void Module(CFResource@ res, const string &in name, int sprite)
{
    res.CreateModule(name);
    res.CreateEffect("e", 1, 100);
    res.CreateObjectGfx("t", 0);
    res.AddFrameGfx(-1, sprite, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
}
void LoadAnimations(CFResource@ res)
{
    int card = res.AddSprite("card", res.AddTexture("cards", "gfx/cards.png"), 0, 0, 8, 8);
    Module(res, "a", card);
    Module(res, "b", card);
})");
    res->LoadModule("a", -1);
    CSprite* sprite = res->GetSpriteEntry(0)->sprite.get();
    res->LoadModule("b", -1);
    EXPECT_EQ(res->GetSpriteEntry(0)->sprite.get(), sprite);  // created once
    res->FreeModule("a");
    EXPECT_EQ(res->GetSpriteEntry(0)->sprite.get(), sprite);
    EXPECT_NE(res->GetTexture("cards"), 0u);
    res->FreeModule("b");
    EXPECT_EQ(res->GetSpriteEntry(0)->sprite, nullptr);
    EXPECT_EQ(res->GetTexture("cards"), 0u);
}

TEST_F(CFResourceTest, UnknownModuleIsWarnedAboutAndLoadsNothing)
{
    auto res = Load(kModuleScript);
    EXPECT_FALSE(res->FindModule("nope"));
    EXPECT_TRUE(res->LoadModule("nope", -1));
    EXPECT_FALSE(res->FreeModule("nope"));
    EXPECT_EQ(CountLogLinesStartingWith("[W] Resource: Can't load module nope"), 3);
}

TEST_F(CFResourceTest, SpriteOnDemandAndWithoutTexture)
{
    m_fake->AddTextureFile("gfx/cards.png", 64, 64);
    auto res = Load(kModuleScript);
    EXPECT_EQ(res->GetSprite("missing"), nullptr);
    CSprite* loose = res->GetSprite("loose");
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->GetTexture(), 0u);
    EXPECT_TRUE(m_fake->HasLogLine("[W] CModule: Sprite loose created without texture."));
    EXPECT_EQ(res->GetSprite("loose"), loose);
    EXPECT_EQ(res->GetSpriteEntry(1)->useCount, 1);
    CSprite* card = res->GetSprite("card");
    ASSERT_NE(card, nullptr);
    EXPECT_NE(card->GetTexture(), 0u);
    EXPECT_EQ(res->GetTexture("cards"), card->GetTexture());
}

TEST_F(CFResourceTest, FrameRectFollowsTheLastObjectKind)
{
    auto res = Load(R"(
void LoadAnimations(CFResource@ res)
{
    res.CreateModule("m");
    res.CreateEffect("e", 1, 100);
    res.AddFrameRect(1, 1, 1, 1, 1);          // no kind yet: ignored (and no track either)
    res.CreateObjectClip("clip", 0);
    res.AddFrameRect(5, 6, 70, 80, 9);
    res.CreateObjectGfx("after clip", 0);
    res.AddFrameRect(1, 2, 3, 4, 5);          // still clip: added
    res.AddCommandSection("early");
    res.CreateObjectBound("bound", 0);
    res.CreateObjectGfx("after bound", 0);
    res.AddCommandSection("before any key");
    res.AddFrameRect(1, 2, 3, 4, 5);          // bound: ignored
    res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    res.AddParticleCommand(3);
})");
    const CFEffect& e = res->GetModules().at(0).effects.at(0);
    ASSERT_EQ(e.tracks.size(), 3u);
    ASSERT_EQ(e.tracks[0].keys.size(), 1u);
    EXPECT_EQ(e.tracks[0].keys[0].clipWidth, 70);
    EXPECT_EQ(e.tracks[0].keys[0].depth, 9);
    EXPECT_EQ(e.tracks[0].kind, kTrackClip);
    EXPECT_EQ(e.tracks[1].keys.size(), 1u);
    EXPECT_EQ(e.tracks[2].keys.size(), 1u);
    ASSERT_EQ(e.commands.size(), 3u);
    EXPECT_EQ(e.commands[0].path, "early");
    EXPECT_EQ(e.commands[0].frame, 0);
    EXPECT_EQ(e.commands[0].track, 1);
    EXPECT_EQ(e.commands[1].frame, -1);
    EXPECT_EQ(e.commands[1].track, 2);
    EXPECT_EQ(e.commands[2].kind, kCommandParticle);
    EXPECT_EQ(e.commands[2].value, 3);
    EXPECT_EQ(e.commands[2].frame, 0);
}

TEST_F(CFResourceTest, DeclarationsWithoutModuleOrTrackAreLoggedNotFatal)
{
    auto res = Load(R"(
void LoadAnimations(CFResource@ res)
{
    res.CreateEffect("e", 1, 100);
    res.CreateObjectGfx("t", 0);
    res.CreateModule("m");
    res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    res.CreateEffect("e", 1, 100);
    res.SetInheritOptions(1, 1, 1, 1, 1, 1, 1, 1);
    res.AddFrameSfx(0, 100, 1);
    res.AddCommandSection("x");
})");
    const char* const expected[] = {
        "[E] Resource: CreateEffect needs a module declared first",
        "[E] Resource: CreateObjectGfx needs a module declared first",
        "[E] Resource: AddFrameGfx needs an effect declared first",
        "[E] Resource: SetInheritOptions needs an object declared first",
        "[E] Resource: AddFrameSfx needs an object declared first",
        "[E] Resource: AddCommandSection needs an object declared first",
    };
    for (const char* line : expected)
        EXPECT_TRUE(m_fake->HasLogLine(line)) << line;
    EXPECT_EQ(res->GetModuleCount(), 1);
}

TEST_F(CFResourceTest, IndicesOutsideTheTablesBecomeNone)
{
    auto res = Load(R"(
void LoadAnimations(CFResource@ res)
{
    res.AddSprite("s", 4, 0, 0, 1, 1);
    res.AddFont("f", "data/fonts/f.fnt");
    res.AddText("t", 7, 0, 0, 0, 0);
    res.CreateModule("m");
    res.CreateEffect("e", 1, 100);
    res.CreateObjectParticle("p", 2, 9, 0, 1);
    res.AddFrameGfx(3, -5, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    res.CreateObjectSfx("s", 0);
    res.AddFrameSfx(2, 100, 1);
})");
    const char* const expected[] = {
        "[E] Resource: AddSprite: texture index 4 out of range",
        "[E] Resource: AddText: font index 7 out of range",
        "[E] Resource: CreateObjectParticle: psi index 2 out of range",
        "[E] Resource: CreateObjectParticle: sprite index 9 out of range",
        "[E] Resource: AddFrameGfx: text index 3 out of range",
        "[E] Resource: AddFrameGfx: sprite index -5 out of range",
        "[E] Resource: AddFrameSfx: sound index 2 out of range",
    };
    for (const char* line : expected)
        EXPECT_TRUE(m_fake->HasLogLine(line)) << line;
    EXPECT_EQ(res->GetSpriteEntry(0)->texture, -1);
    EXPECT_EQ(res->GetTextEntry(0)->font, -1);
    const CFEffect& e = res->GetModules().at(0).effects.at(0);
    EXPECT_EQ(e.tracks[0].particleSprite, -1);
    EXPECT_TRUE(e.tracks[0].particleFile.empty());
    EXPECT_EQ(e.tracks[0].keys[0].text, -1);
    EXPECT_EQ(e.tracks[0].keys[0].sprite, -1);
    EXPECT_EQ(e.soundTracks[0].keys[0].mode, 0);  // plays nothing

    res->LoadModule("m", -1);  // and loading them touches nothing outside the tables
    EXPECT_TRUE(res->FindModule("m"));
}

TEST_F(CFResourceTest, EffectsWithoutFramesLengthOrKeysAreRejected)
{
    auto res = Load(R"(
void Effect(CFResource@ res, const string &in name, int frames, int length, int keys)
{
    res.CreateEffect(name, frames, length);
    res.CreateObjectGfx("t", 0);
    for (int i = 0; i < keys; i++)
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
}
void LoadAnimations(CFResource@ res)
{
    res.CreateModule("m");
    Effect(res, "good", 2, 100, 2);
    Effect(res, "no frames", 0, 100, 0);
    Effect(res, "no length", 1, 0, 1);
    Effect(res, "short", 3, 100, 2);
    res.CreateEffect("short sound", 2, 100);
    res.AddSound("s", "sfx/s.ogg");
    res.CreateObjectSfx("s", 0);
    res.AddFrameSfx(0, 100, 1);
})");
    const CFModule& m = res->GetModules().at(0);
    ASSERT_EQ(m.effects.size(), 1u);
    EXPECT_EQ(m.effects[0].name, "good");
    EXPECT_EQ(m.totalObjects, 1);
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: Effect no frames in module m has no frames or no length"));
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: Effect no length in module m has no frames or no length"));
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: Effect short in module m has fewer keys than frames"));
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: Effect short sound in module m has fewer keys than frames"));
}

TEST_F(CFResourceTest, FontsAndTextsAreCountedPerKey)
{
    auto res = Load(R"(
void LoadAnimations(CFResource@ res)
{
    int font = res.AddFont("main", "data/fonts/missing.fnt");
    res.AddText("title", font, 0, 1, 2, 1);
    res.CreateModule("m");
    res.CreateEffect("e", 2, 100);
    res.CreateObjectGfx("t", 0);
    res.AddFrameGfx(0, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    res.AddFrameGfx(0, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
})");
    res->LoadModule("m", -1);
    CFFontEntry* font = res->GetFontEntry(0);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->useCount, 2);
    EXPECT_NE(font->font, nullptr);
    EXPECT_EQ(res->GetFont("main"), font->font.get());
    EXPECT_TRUE(m_fake->HasLogLine("[E] Font: Can't load data from file data/fonts/missing.fnt"));
    res->FreeModule("m");
    EXPECT_EQ(font->useCount, 0);
    EXPECT_EQ(font->font, nullptr);
    EXPECT_EQ(res->GetFont("other"), nullptr);
}

TEST_F(CFResourceTest, HighDetailStaysOnAndReferencesCount)
{
    auto* res = new CFResource("effects/none.as");
    res->SetHighDetail(false);
    EXPECT_TRUE(res->IsHighDetail());
    res->AddRef();
    res->Release();
    res->Release();  // deletes: ASan would report a leak or a double delete otherwise
}

TEST_F(CFResourceTest, ReplaceExtensionKeepsDriveAndFolder)
{
    const struct {
        const char* file;
        const char* ext;
        const char* expected;
    } cases[] = {
        {"gfx/a.png", "jp2", "gfx/a.jp2"},
        {"C:\\game\\gfx\\b.c.png", "gif", "C:\\game\\gfx\\b.c.gif"},
        {"noext", "bc", "noext.bc"},
        {"dir.x/name", "bc", "dir.x/name.bc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(CFResource::ReplaceExtension(c.file, c.ext), c.expected);
    }
}

TEST_F(CFResourceTest, JpegModesFailCleanlyWithoutDecoder)
{
    auto res = Load("void LoadAnimations(CFResource@ res) {}");
    EXPECT_EQ(res->LoadTexture("gfx/effects/glow.png", 1), 0u);
    EXPECT_TRUE(m_fake->HasLogLine(
        "[I] Image {gfx/effects/glow.jp2}, loaded with code {JPEG-2000 decoder not available}"));
    m_fake->AddTextureFile("gfx/effects/glow.png", 4, 4);
    EXPECT_NE(res->LoadTexture("gfx/effects/glow.png", 0), 0u);
}

TEST_F(CFResourceTest, ParticleObjectTakesTrackDescriptionAndSprite)
{
    m_fake->AddTextureFile("gfx/p.png", 64, 32);
    std::string psi(128, '\0');
    psi[4] = 25;  // emission
    m_fake->AddResource("gfx/particles/spark.psi", psi);
    auto res = Load(R"(
void LoadAnimations(CFResource@ res)
{
    res.AddPsiFile("spark", "gfx/particles/spark.psi");
    int dot = res.AddSprite("dot", res.AddTexture("p", "gfx/p.png"), 0, 0, 32, 16);
    res.CreateModule("m");
    res.CreateEffect("e", 1, 100);
    res.CreateObjectParticle("emitter", 0, dot, 0, 1);
    res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
})");
    CFTrack track = res->GetModules().at(0).effects.at(0).tracks.at(0);
    EXPECT_EQ(track.particleFile, "gfx/particles/spark.psi");
    EXPECT_EQ(res->CreateParticleObject(track), 0);
    EXPECT_EQ(track.particleManager, 0);
    CFParticleObject* object = res->GetParticleObject(0);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->desc.emission, 25);
    ASSERT_EQ(object->desc.sprite, res->GetSprite("dot"));
    EXPECT_EQ(object->desc.sprite->GetBlendMode(), 0);
    float hx = 0, hy = 0;
    object->desc.sprite->GetHotSpot(hx, hy);
    EXPECT_FLOAT_EQ(hx, 16.0f);
    EXPECT_FLOAT_EQ(hy, 8.0f);
    EXPECT_EQ(res->GetParticleManager(0), object->manager.get());
    EXPECT_EQ(res->GetParticleManager(1), nullptr);
}

}  // namespace
