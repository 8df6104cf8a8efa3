// EngineOptions.cpp: the engine's run options and the command-line options that set them.
#include "platform/Engine.h"
#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

EngineOptions& Options()
{
    static EngineOptions options;
    return options;
}

bool ParseInt(const char* text, int& out)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 1000000000L)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseSeconds(const char* text, float& out)
{
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    if (end == text || *end != '\0' || !(value > 0.0f) || value > 10.0f)
        return false;
    out = value;
    return true;
}

// The system's words for why the input script can't be read, or null when it can.
const char* WhyUnreadable(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::strerror(errno);
    if (S_ISDIR(st.st_mode))
        return std::strerror(EISDIR);
    // A pipe or a device would hold the start (and the folder's lock) until it gives its bytes.
    if (!S_ISREG(st.st_mode))
        return "not a regular file";
    if (static_cast<unsigned long long>(st.st_size) > kMaxInputScriptBytes)
        return "larger than 16 MB";
    return ::access(path.c_str(), R_OK) == 0 ? nullptr : std::strerror(errno);
}

// The same for making the file: its folder must take files, and the name must hold nothing the
// end of the run would refuse to write (host_files::WriteOutputFile): a link, a folder, a pipe.
// Asked of the system, not tried: nothing is written before the run.
const char* WhyUnwritable(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode))
            return "a link stands at its name";
        if (S_ISDIR(st.st_mode))
            return std::strerror(EISDIR);
        if (!S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode))
            return "not a regular file";
    }
    std::string folder = host_files::ParentFolder(path);
    if (folder.empty())
        folder = ".";
    if (::stat(folder.c_str(), &st) != 0)
        return std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return std::strerror(ENOTDIR);
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? nullptr : std::strerror(errno);
}

bool CheckRootFolder(const std::string& root)
{
    struct stat st;
    if (::stat(root.c_str(), &st) != 0) {
        if (errno == ENOENT)
            std::fprintf(stderr, "folder %s does not exist\n", root.c_str());
        else
            std::fprintf(stderr, "can't open folder %s (%s)\n", root.c_str(), std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "%s is not a folder\n", root.c_str());
        return false;
    }
    // Nothing in a folder this user may not search can be opened: that, not a lack of game data,
    // is what the user must hear.
    if (::access(root.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "can't open folder %s (%s)\n", root.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace

bool EngineCheckFileOptions()
{
    const EngineOptions& options = Options();
    if (!options.inputFile.empty()) {
        if (const char* why = WhyUnreadable(options.inputFile)) {
            std::fprintf(stderr, "can't read input file %s (%s)\n", options.inputFile.c_str(), why);
            return false;
        }
    }
    if (!options.screenshotFile.empty()) {
        if (const char* why = WhyUnwritable(options.screenshotFile)) {
            std::fprintf(stderr, "can't write screenshot %s (%s)\n", options.screenshotFile.c_str(), why);
            return false;
        }
    }
    return CheckRootFolder(fs_layer::GetRootFolder());
}

void EngineSetOptions(const EngineOptions& options)
{
    Options() = options;
}

const EngineOptions& EngineGetOptions()
{
    return Options();
}

const char* EngineCommandLineUsage()
{
    return "  --root DIR               the data folder (default: \"data\" beside the program)\n"
           "  --headless               no window and no audio device, a fixed frame time\n"
           "  --frames N               headless: stop after N frames (default: no limit)\n"
           "  --dt SECONDS             headless: the frame time (default 1/60 s)\n"
           "  --input FILE             headless: an input script, one event per line\n"
           "  --screenshot FILE        headless: write a frame as a PNG file\n"
           "  --screenshot-frame N     headless: the frame to write (default: the last)\n"
           "  --full-redraw            draw every frame whole, never only where it changed\n";
}

bool EngineParseCommandLine(int& argc, char** argv)
{
    EngineOptions options = Options();
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        if (std::strcmp(arg, "--headless") == 0) {
            options.headless = true;
            continue;
        }
        if (std::strcmp(arg, "--full-redraw") == 0) {
            options.fullRedraw = true;
            continue;
        }
        const bool takesValue = std::strcmp(arg, "--frames") == 0 || std::strcmp(arg, "--dt") == 0 ||
                                std::strcmp(arg, "--input") == 0 || std::strcmp(arg, "--screenshot") == 0 ||
                                std::strcmp(arg, "--screenshot-frame") == 0 || std::strcmp(arg, "--root") == 0;
        if (!takesValue) {
            argv[kept++] = argv[i];
            continue;
        }
        if (value == nullptr) {
            std::fprintf(stderr, "option %s needs a value\n", arg);
            return false;
        }
        ++i;
        if (*value == '\0') {  // an empty root would be the program's own folder, an empty file none
            std::fprintf(stderr, "bad value for %s: \"\"\n", arg);
            return false;
        }
        if (std::strcmp(arg, "--frames") == 0)
            ok = ParseInt(value, options.frames);
        else if (std::strcmp(arg, "--dt") == 0)
            ok = ParseSeconds(value, options.dt);
        else if (std::strcmp(arg, "--input") == 0)
            options.inputFile = value;
        else if (std::strcmp(arg, "--screenshot") == 0)
            options.screenshotFile = value;
        else if (std::strcmp(arg, "--screenshot-frame") == 0)
            ok = ParseInt(value, options.screenshotFrame);
        else
            fs_layer::SetRootFolder(value);
        if (!ok) {
            std::fprintf(stderr, "bad value for %s: %s\n", arg, value);
            return false;
        }
    }
    argc = kept;
    argv[kept] = nullptr;
    Options() = options;
    return true;
}
