// InputScript.cpp: parsing of scripted input lines.
#include "platform/InputScript.h"

#include "platform/files/HostFiles.h"
#include "platform/files/UniqueFd.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kQuotedBytes = 100;  // of a bad line, in the error: the line may be megabytes

std::string Quoted(const std::string& line)
{
    if (line.size() <= kQuotedBytes)
        return line;
    return line.substr(0, kQuotedBytes) + "... (" + std::to_string(line.size()) + " bytes)";
}

bool ToInt(const std::string& word, int lo, int hi, int& out)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (*end != '\0' || value < lo || value > hi)
        return false;
    out = static_cast<int>(value);
    return true;
}

// A picture name cannot leave the folder it is written to.
bool IsPictureName(const std::string& word)
{
    return !word.empty() && word.size() <= 64 && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-';
    });
}

bool ParseEvent(const std::string& name, std::istringstream& in, ScriptedInput& event)
{
    std::string first, second, extra;
    in >> first >> second >> extra;
    using Kind = ScriptedInput::Kind;
    if (name == "move") {
        event.kind = Kind::Move;
        return extra.empty() && ToInt(first, -100000, 100000, event.a) && ToInt(second, -100000, 100000, event.b);
    }
    if (!second.empty())
        return false;
    if (name == "down" || name == "up") {
        event.kind = name == "down" ? Kind::Down : Kind::Up;
        return ToInt(first, 1, 4, event.a) && event.a != 3;
    }
    if (name == "keydown" || name == "keyup") {
        event.kind = name == "keydown" ? Kind::KeyDown : Kind::KeyUp;
        return ToInt(first, 1, 255, event.a);
    }
    if (name == "char") {
        event.kind = Kind::Char;
        if (first.size() == 1) {
            event.a = static_cast<unsigned char>(first[0]);
            return true;
        }
        return ToInt(first, 1, 0x10FFFF, event.a);
    }
    if (name == "wheel") {
        event.kind = Kind::Wheel;
        return ToInt(first, -1000, 1000, event.a);
    }
    if (name == "shot") {
        event.kind = Kind::Shot;
        event.name = first;
        return IsPictureName(first);
    }
    return false;
}

}  // namespace

bool ParseInputScript(const std::string& text, std::vector<ScriptedInput>& out, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        // One rule for every line: the character '#' itself is typed by its code, "char 35".
        std::istringstream in(line.substr(0, line.find('#')));
        std::string frameWord, name;
        if (!(in >> frameWord))
            continue;
        ScriptedInput event;
        in >> name;
        if (!ToInt(frameWord, 1, 1000000000, event.frame) || !ParseEvent(name, in, event)) {
            error = "line " + std::to_string(number) + ": " + Quoted(line);
            return false;
        }
        out.push_back(event);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const ScriptedInput& x, const ScriptedInput& y) { return x.frame < y.frame; });
    return true;
}

bool ReadInputScriptFile(const std::string& path, std::size_t maxBytes, std::string& text, std::string& why)
{
    // Opened only as a regular file, so that a pipe or a device put in the file's place since the
    // start checked it is refused instead of holding the start or being opened.
    const host_files::CUniqueFd file(host_files::OpenRegularAt(AT_FDCWD, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        why = errno == EINVAL                                ? "not a regular file"
              : errno == host_files::kNotOpenedWithoutProc ? host_files::kNotOpenedWithoutProcWhy
                                                             : std::strerror(errno);
        return false;
    }
    text.clear();
    char piece[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), piece, sizeof piece);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            why = std::strerror(errno);
            return false;
        }
        if (got == 0)
            return true;
        text.append(piece, static_cast<std::size_t>(got));
        if (text.size() > maxBytes) {  // it grew since the start was checked
            why = "larger than " + std::to_string(maxBytes >> 20) + " MB";
            return false;
        }
    }
}
