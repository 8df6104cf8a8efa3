// ResourceScriptShared.h: what the resource manager's script loading (CFResource.cpp) and its
// compile (CFResourceCompile.cpp) share: the script library's names, bounds and message lines.
#pragma once

#include "platform/ChildRun.h"

#include <angelscript.h>

#include <cstddef>

namespace resource_script {

inline constexpr const char* kModuleName = "resmodule";
inline constexpr const char* kSectionName = "resource";
inline constexpr std::size_t kMaxScriptSize = 16u << 20;
inline constexpr std::size_t kMaxCacheSize = 256u << 20;

// One compiler message as a log line.
void FormatMessage(const AngelScript::asSMessageInfo* message, char* line, std::size_t size);
// The script library's message callback: each line to the manager's log (param: the CFResource).
void MessageCallback(const AngelScript::asSMessageInfo* message, void* param);

// The bounds of a compile or a cache trial in its child (CFResource::SetCompileLimits).
ChildLimits CompileLimits();

}  // namespace resource_script
