// LevelFileName.h: file names built from a level's name ("data/learn/%s.dat", "save/%s.dat").
#pragma once
#include <string>

// A level name comes from the level file, so it is untrusted: it may only name a file inside the
// folder of the pattern. Names that are empty, longer than 64 characters, or that hold a path
// separator, a drive colon, "..", or a control character are refused with false and one log line
// ("[E] Level name {%s} cannot name a file"). `pattern` holds exactly one "%s".
[[nodiscard]] bool MakeLevelFileName(const char* pattern, const std::string& levelName, std::string& out);
