// CParticleDesc.h: the description of one particle effect, as read from a 128-byte ".psi" file.
//
// The file's first word is a placeholder: in memory it holds the sprite that draws the
// particles, which whoever loads the description sets (and keeps alive); the file's value is ignored.
#pragma once

#include "framework/CColor.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CSprite;

class CParticleDesc {
public:
    static constexpr std::size_t kFileSize = 128;

    CSprite* sprite = nullptr;     // not owned
    int emission = 0;              // particles per second
    float lifetime = 0;            // seconds of emission after Fire; -1 = until stopped
    float particleLifeMin = 0, particleLifeMax = 0;
    float direction = 0;           // radians; 0 is straight up, growing clockwise
    float spread = 0;              // radians, full width of the fan
    bool relative = false;         // turn the direction with the system's motion
    float speedMin = 0, speedMax = 0;            // pixels per update step
    float gravityMin = 0, gravityMax = 0;        // per second, positive is down
    float radialAccelMin = 0, radialAccelMax = 0;
    float tangentialAccelMin = 0, tangentialAccelMax = 0;
    float sizeStart = 0, sizeEnd = 0, sizeVar = 0;
    float spinStart = 0, spinEnd = 0, spinVar = 0;
    CColor colorStart, colorEnd;
    float colorVar = 0, alphaVar = 0;

    // Reads the record field by field. Fewer than 128 bytes fail; bytes after the record are ignored.
    [[nodiscard]] static bool Parse(const std::uint8_t* data, std::size_t size, CParticleDesc& out);
    // Loads a ".psi" file through the engine's resource loader; logs and fails on a short file.
    [[nodiscard]] static bool LoadFile(const char* path, CParticleDesc& out);
};
