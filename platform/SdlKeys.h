// SdlKeys.h: SDL key and button codes to Windows virtual-key codes, and typed text to characters.
#pragma once

#include <vector>

int VirtualKeyFromSdl(int keycode, int scancode);   // 0 for keys the game has no code for
int VirtualKeyFromSdlButton(int button);            // 1 left, 2 right, 4 middle, 5/6 extra
std::vector<int> CodePointsFromUtf8(const char* text);
