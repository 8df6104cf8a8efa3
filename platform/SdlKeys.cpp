// SdlKeys.cpp: key code tables.
#include "platform/SdlKeys.h"

#include <SDL.h>

namespace {

struct KeyPair {
    SDL_Keycode key;
    int vk;
};

// Keys whose SDL code does not follow from a range below.
constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9}, {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 13},
    {SDLK_LSHIFT, 16}, {SDLK_RSHIFT, 16}, {SDLK_LCTRL, 17}, {SDLK_RCTRL, 17},
    {SDLK_LALT, 18}, {SDLK_RALT, 18}, {SDLK_PAUSE, 19}, {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32}, {SDLK_PAGEUP, 33}, {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35}, {SDLK_HOME, 36}, {SDLK_LEFT, 37}, {SDLK_UP, 38},
    {SDLK_RIGHT, 39}, {SDLK_DOWN, 40}, {SDLK_PRINTSCREEN, 44}, {SDLK_INSERT, 45},
    {SDLK_DELETE, 46}, {SDLK_LGUI, 91}, {SDLK_RGUI, 92}, {SDLK_APPLICATION, 93},
    {SDLK_KP_0, 96}, {SDLK_KP_1, 97}, {SDLK_KP_2, 98}, {SDLK_KP_3, 99},
    {SDLK_KP_4, 100}, {SDLK_KP_5, 101}, {SDLK_KP_6, 102}, {SDLK_KP_7, 103},
    {SDLK_KP_8, 104}, {SDLK_KP_9, 105}, {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109}, {SDLK_KP_PERIOD, 110}, {SDLK_KP_DIVIDE, 111},
    {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
    {SDLK_SEMICOLON, 186}, {SDLK_EQUALS, 187}, {SDLK_COMMA, 188}, {SDLK_MINUS, 189},
    {SDLK_PERIOD, 190}, {SDLK_SLASH, 191}, {SDLK_BACKQUOTE, 192}, {SDLK_LEFTBRACKET, 219},
    {SDLK_BACKSLASH, 220}, {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
};

}  // namespace

int VirtualKeyFromSdl(int keycode, int scancode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return 'A' + (keycode - SDLK_a);
    if (keycode >= SDLK_0 && keycode <= SDLK_9)
        return '0' + (keycode - SDLK_0);
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
        return 112 + (keycode - SDLK_F1);
    for (const KeyPair& pair : kKeys)
        if (pair.key == keycode)
            return pair.vk;
    // Layouts without Latin letters: fall back on the key's position.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return '0';
    return 0;
}

int VirtualKeyFromSdlButton(int button)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 4;
    case SDL_BUTTON_X1:
        return 5;
    case SDL_BUTTON_X2:
        return 6;
    default:
        return 0;
    }
}

std::vector<int> CodePointsFromUtf8(const char* text)
{
    std::vector<int> out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (p != nullptr && *p != 0) {
        int length = 0;
        int code = 0;
        if (*p < 0x80) {
            code = *p;
            length = 1;
        } else if ((*p & 0xE0) == 0xC0) {
            code = *p & 0x1F;
            length = 2;
        } else if ((*p & 0xF0) == 0xE0) {
            code = *p & 0x0F;
            length = 3;
        } else if ((*p & 0xF8) == 0xF0) {
            code = *p & 0x07;
            length = 4;
        } else {
            ++p;  // a stray continuation byte
            continue;
        }
        int i = 1;
        for (; i < length && (p[i] & 0xC0) == 0x80; ++i)
            code = (code << 6) | (p[i] & 0x3F);
        if (i == length)
            out.push_back(code);
        p += i;
    }
    return out;
}
