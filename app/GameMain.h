// GameMain.h: the program's start-up, loop and teardown; main() only calls this.
#pragma once

constexpr const char* kGameTitle = "Palmora";

// Exit code 1 when another instance runs (on this display, or on this data folder), 2 when the
// command line is malformed, else 0.
int GameMain(int argc, char** argv);
