// StringUtils.h: text helpers shared by the framework and the game (splitting, requirement
// tuples, grouped numbers, narrow/wide conversion, hex colours) and a texture pixel blend.
#pragma once

#include "platform/Engine.h"

#include <cstdint>
#include <string>
#include <vector>

// One rule of a place from the level file: a code and up to three parameters.
struct PlaceRequirement {
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t c = 0;
    std::int32_t d = 0;
};

// Appends the tokens of text between runs of any of the delimiters; never an empty token.
void SplitString(const std::string& text, std::vector<std::string>& out, const char* delimiters);
void SplitStringW(const std::wstring& text, std::vector<std::wstring>& out, const wchar_t* delimiters);

// Reads "a:b:c:d" (missing values 0). An empty text gives a = -1: no requirement.
void ParseRequirement(const std::string& text, PlaceRequirement& out);

// Decimal text, zero-padded to digits characters (-1: no padding), with "," before every
// group of three digits from the right. A negative value keeps its sign in front: "-1,234".
std::string FormatNumber(int value, int digits);
std::wstring FormatNumberW(int value, int digits);

// Byte-for-character conversions: a byte is sign-extended (0x80 becomes 0xFF80); narrowing
// keeps each character's low byte. A null text gives an empty string.
std::wstring WidenString(const char* text);
std::string NarrowString(const wchar_t* text);

// Reads up to 8 hexadecimal digits, stopping at the first other character. Null or "" gives 0.
std::uint32_t ParseHex(const char* text);
std::uint32_t ParseHexW(const wchar_t* text);

// Blends the source rectangle into the same-sized rectangle of the target by the source's alpha
// (the target's alpha too when blendAlpha). Both rectangles are clipped to their textures.
void BlendTextureRect(HTexture source, int sourceX, int sourceY, HTexture target, int targetX,
                      int targetY, int width, int height, bool blendAlpha);
