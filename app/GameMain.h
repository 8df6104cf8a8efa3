// GameMain.h: the program's start-up, loop and teardown; main() only calls this.
#pragma once

constexpr const char* kGameTitle = "Palmora";

// Exit code 1 when another instance runs (on this display, or on this data folder), the data
// folder holds no game data or a screenshot asked for could not be written; 2 when the command
// line is malformed or names a file that can't be used; else 0.
int GameMain(int argc, char** argv);
