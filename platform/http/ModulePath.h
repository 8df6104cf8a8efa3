// ModulePath.h: where the running code lives, for finding files shipped beside it and for
// checksums of the program and of the library.
#pragma once

#include <string>

namespace http_layer {

std::string HostProgramPath();   // the running program's file; empty when unknown
std::string ThisModulePath();    // the file (shared library or program) that holds this code
std::string FolderOf(const std::string& path);  // "a/b/c" -> "a/b/"; "" for a bare name

}  // namespace http_layer
