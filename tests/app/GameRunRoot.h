// GameRunRoot.h: whole runs of the program (GameMain) on the real engine, headless, over a copy
// of the generated data set in a folder of their own, driven by an input script, with the log,
// a screenshot and the stores' files to look at afterwards. The shell's screens come from the
// screen factory: a test puts the game's makers (or stand-ins) in place first.
//
// Random numbers restart from a fixed seed when the program starts and whenever a level is dealt,
// so a run plays the same frames and the same deals every time and a script may hold moves
// recorded on a deal.
//
// Input scripts count frames from the moment the main menu stands (after the intro, the loading
// of every preloaded object at a fixed number a frame, and the menu's fade-in), so they do not
// change when the data set grows. With SOL_SCREENSHOT_DIR set, each run's screenshot is also kept there.
#pragma once

#include "app/CLoadingScreen.h"
#include "app/GameMain.h"
#include "app/Globals.h"
#include "framework/CFResource.h"
#include "platform/FileSystem.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A place in the 800 x 600 view.
struct ScreenPoint {
    int x, y;
};

class GameRunRoot : public ::testing::Test {
protected:
    static constexpr int kIntroFrames = 102;     // the loading screen's fade-in and intro
    static constexpr int kMenuFadeFrames = 70;   // the switch to the menu: fade out, fade in

    void SetUp() override
    {
        m_root = MakeTempRoot();
        ASSERT_FALSE(m_root.empty());
        ASSERT_TRUE(CopyBundledData(m_root)) << "the data set is made by game_data";
        std::filesystem::remove(m_root + "/data/save.dat");
        std::filesystem::remove(m_root + "/data/hiscores.dat");
        std::filesystem::create_directories(m_root + "/run");
        ::setenv("XDG_RUNTIME_DIR", (m_root + "/run").c_str(), 1);
    }

    void TearDown() override
    {
        EngineSetOptions(EngineOptions());
        fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
        RemoveTree(m_root);
    }

    // Objects the loading screen preloads from this data set.
    int PreloadObjectCount()
    {
        EnginePtr engine = CreateHeadlessEngine(m_root);
        if (engine == nullptr)
            return -1;
        CFResource* resource = new CFResource("effects/effects.as");
        int total = 0;
        for (const std::string& name : CLoadingScreen::GetModuleNames())
            total += std::max(0, resource->GetModuleObjectCount(name.c_str()));
        resource->Release();
        return total;
    }

    // Frames the loading screen spends on that many objects, headless.
    static int PreloadFrames(int objects)
    {
        const int perFrame = CLoadingScreen::HeadlessObjectsPerFrame();
        return (objects + perFrame - 1) / perFrame;
    }

    // The frame in which the main menu stands, counted from the start.
    int MenuFrame()
    {
        if (m_nMenuFrame == 0)
            m_nMenuFrame = kIntroFrames + PreloadFrames(PreloadObjectCount()) + kMenuFadeFrames;
        return m_nMenuFrame;
    }

    // Runs the program for `frames` frames after the menu stands (or until it ends itself) with
    // the script, whose frame numbers count from the menu as well. screenshotFrame is counted
    // the same way; 0 means the last frame.
    int Run(int frames, const std::string& script = "", int screenshotFrame = 0, const std::string& shot = "shot")
    {
        const int menu = MenuFrame();
        std::ofstream(m_root + "/input.txt") << Shifted(script, menu);
        m_shot = m_root + "/" + shot + ".png";
        std::filesystem::remove(m_shot);
        std::vector<std::string> args = {"solitaire", "--headless", "--frames", std::to_string(menu + frames),
                                         "--root", m_root, "--input", m_root + "/input.txt", "--screenshot", m_shot,
                                         "--screenshot-frame", std::to_string(screenshotFrame > 0 ? menu + screenshotFrame : 0)};
        if (m_bFullRedraw)
            args.push_back("--full-redraw");
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        g_bMenuReached = false;
        g_bExitRequested = false;
        EngineSetLogHook(&Reseed, nullptr);
        const int code = GameMain(static_cast<int>(args.size()), argv.data());
        EngineSetLogHook(nullptr, nullptr);
        KeepScreenshot(shot);
        return code;
    }

    bool ScreenshotTaken() const { return std::filesystem::exists(m_shot); }

    std::vector<std::string> ProblemLines() const
    {
        std::ifstream log(m_root + "/Palmora.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);)
            lines.push_back(line);
        return ::ProblemLines(lines);
    }

    // Pixels of the last screenshot (or of a picture the script's "shot NAME" took), read back
    // through a fresh headless engine.
    std::vector<std::uint32_t> ShotRow(int x, int y, int count, const std::string& name = "")
    {
        EnginePtr engine = CreateHeadlessEngine(m_root);
        if (engine == nullptr)
            return {};
        const std::string file = name.empty() ? std::filesystem::path(m_shot).filename().string() : name + ".png";
        const HTexture shot = engine->TextureLoad(file.c_str());
        std::vector<std::uint32_t> row;
        if (const std::uint32_t* pixels = engine->TextureLock(shot, true, x, y, count, 1)) {
            row.assign(pixels, pixels + count);
            engine->TextureUnlock(shot);
        }
        engine->TextureFree(shot);
        return row;
    }

    std::uint32_t ShotPixel(int x, int y, const std::string& name = "")
    {
        const std::vector<std::uint32_t> row = ShotRow(x, y, 1, name);
        return row.empty() ? 0 : row[0];
    }

    // Script lines, frames counted from the menu: a left click, a key pressed and let go, capital
    // letters typed by their keys, and the picture kept after a frame.
    static std::string Click(int frame, ScreenPoint at)
    {
        const std::string xy = std::to_string(at.x) + " " + std::to_string(at.y);
        return std::to_string(frame) + " move " + xy + "\n" + std::to_string(frame + 1) + " down 1\n" +
               std::to_string(frame + 2) + " up 1\n";
    }

    static std::string Key(int frame, int vk)
    {
        return std::to_string(frame) + " keydown " + std::to_string(vk) + "\n" + std::to_string(frame + 1) +
               " keyup " + std::to_string(vk) + "\n";
    }

    static std::string Type(int frame, const std::string& capitals)
    {
        std::string script;
        for (char c : capitals) {
            script += Key(frame, static_cast<unsigned char>(c));
            frame += 3;
        }
        return script;
    }

    // Text typed on a keyboard: "char" events (by their codes) without keys, one every 3 frames.
    static std::string Chars(int frame, const std::string& text)
    {
        std::string script;
        for (char c : text) {
            script += std::to_string(frame) + " char " + std::to_string(static_cast<unsigned char>(c)) + "\n";
            frame += 3;
        }
        return script;
    }

    static std::string Shot(int frame, const std::string& name)
    {
        return std::to_string(frame) + " shot " + name + "\n";
    }

    std::string m_root;
    bool m_bFullRedraw = false;  // runs draw every frame whole, as given

private:
    static void Reseed(const char* line, void*)
    {
        static constexpr std::uint32_t kSeed = 20061;
        const std::string text = line;
        if (text.rfind("COMPILE DATE", 0) != 0 && text.find("Starting Solitaire") == std::string::npos)
            return;
        if (IEngine* engine = engine2dCreate(kEngineVersion)) {
            engine->RandomSeed(kSeed);
            engine->Release();
        }
    }

    static std::string Shifted(const std::string& script, int offset)
    {
        std::istringstream in(script);
        std::ostringstream out;
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            int frame = 0;
            if (!(fields >> frame)) {
                out << line << "\n";
                continue;
            }
            std::string rest;
            std::getline(fields, rest);
            out << frame + offset << rest << "\n";
        }
        return out.str();
    }

    // The run's screenshot and the script's named pictures (the PNG files beside it).
    void KeepScreenshot(const std::string& name) const
    {
        const char* dir = std::getenv("SOL_SCREENSHOT_DIR");
        if (dir == nullptr || *dir == '\0')
            return;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(m_root, error)) {
            const std::filesystem::path& file = entry.path();
            if (file.extension() != ".png")
                continue;
            const std::string kept = file == std::filesystem::path(m_shot) ? name : file.stem().string();
            std::filesystem::copy_file(file, std::string(dir) + "/" + kept + ".png",
                                       std::filesystem::copy_options::overwrite_existing, error);
        }
    }

    int m_nMenuFrame = 0;
    std::string m_shot;
};
