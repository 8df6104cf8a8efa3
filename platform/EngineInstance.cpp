// EngineInstance.cpp: the one engine of the process and its reference count.
#include "platform/Engine.h"
#include "platform/EnginePrivate.h"

namespace {
IEngine* g_pOverride = nullptr;
}

void engine2dOverride(IEngine* engine)
{
    g_pOverride = engine;
}

IEngine* engine2dCreate(int version)
{
    if (version != kEngineVersion)
        return nullptr;
    if (g_pOverride != nullptr)
        return g_pOverride;
    return AcquireSdlEngine();
}
