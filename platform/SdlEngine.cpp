// SdlEngine.cpp: placeholder until the SDL backend lands.
#include "platform/EnginePrivate.h"

IEngine* AcquireSdlEngine()
{
    return nullptr;
}
