// EnginePrivate.h: what the engine's front door needs of its backend.
#pragma once

class IEngine;

// Returns the process's SDL engine with one more reference, creating it on first use.
IEngine* AcquireSdlEngine();
