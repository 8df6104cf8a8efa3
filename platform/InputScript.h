// InputScript.h: the scripted input that headless runs replay (format in Engine.h).
#pragma once

#include <string>
#include <vector>

struct ScriptedInput {
    enum class Kind { Move, Down, Up, KeyDown, KeyUp, Char, Wheel, Shot };
    int frame = 0;
    Kind kind = Kind::Move;
    int a = 0;  // x, button, key, character or wheel notches
    int b = 0;  // y
    std::string name;  // a shot's picture name: letters, digits, '_' and '-' only
};

// Parses the whole script; on a bad line returns false with "line N: reason" in `error`.
// The result is ordered by frame, keeping the script's order within a frame.
bool ParseInputScript(const std::string& text, std::vector<ScriptedInput>& out, std::string& error);

// Reads a script file of at most maxBytes into `text`. Only a regular file is read: a pipe or a
// device is refused at once. False with the reason in `why` ("not a regular file", "larger than
// N MB" or the system's words).
bool ReadInputScriptFile(const std::string& path, std::size_t maxBytes, std::string& text, std::string& why);
