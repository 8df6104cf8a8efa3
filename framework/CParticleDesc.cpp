#include "framework/CParticleDesc.h"

#include "platform/EngineRef.h"
#include "platform/bytes/CByteReader.h"

#include <vector>

namespace {

bool ReadColor(CByteReader& in, CColor& out)
{
    return in.ReadF32(out.r) && in.ReadF32(out.g) && in.ReadF32(out.b) && in.ReadF32(out.a);
}

}  // namespace

bool CParticleDesc::Parse(const std::uint8_t* data, std::size_t size, CParticleDesc& out)
{
    if (data == nullptr || size < kFileSize)
        return false;
    CByteReader in(data, size);
    CParticleDesc d;
    std::uint8_t relative = 0;
    const bool ok = in.Skip(4) && in.ReadI32(d.emission) && in.ReadF32(d.lifetime) &&
                    in.ReadF32(d.particleLifeMin) && in.ReadF32(d.particleLifeMax) &&
                    in.ReadF32(d.direction) && in.ReadF32(d.spread) && in.ReadU8(relative) &&
                    in.Skip(3) && in.ReadF32(d.speedMin) && in.ReadF32(d.speedMax) &&
                    in.ReadF32(d.gravityMin) && in.ReadF32(d.gravityMax) &&
                    in.ReadF32(d.radialAccelMin) && in.ReadF32(d.radialAccelMax) &&
                    in.ReadF32(d.tangentialAccelMin) && in.ReadF32(d.tangentialAccelMax) &&
                    in.ReadF32(d.sizeStart) && in.ReadF32(d.sizeEnd) && in.ReadF32(d.sizeVar) &&
                    in.ReadF32(d.spinStart) && in.ReadF32(d.spinEnd) && in.ReadF32(d.spinVar) &&
                    ReadColor(in, d.colorStart) && ReadColor(in, d.colorEnd) &&
                    in.ReadF32(d.colorVar) && in.ReadF32(d.alphaVar);
    if (!ok)
        return false;
    d.relative = relative != 0;
    out = d;
    return true;
}

bool CParticleDesc::LoadFile(const char* path, CParticleDesc& out)
{
    CEngineRef engine;
    if (engine == nullptr)
        return false;
    std::vector<std::uint8_t> bytes;
    if (path == nullptr || !engine->ResourceLoad(path, bytes)) {
        engine->Log("[E] Particles: Can't load data from file %s", path != nullptr ? path : "");
        return false;
    }
    if (!Parse(bytes.data(), bytes.size(), out)) {
        engine->Log("[E] Particles: File %s is too short", path);
        return false;
    }
    return true;
}
