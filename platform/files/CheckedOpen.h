// CheckedOpen.h: what a name leads to, opened only once that very file is known to be of the type
// asked for; private to the file layer (HostFiles.cpp).
#pragma once

#include <string>

#include <sys/types.h>

namespace host_files {

// The name in the open folder (or AT_FDCWD) is opened as a path first (O_PATH opens no device and
// waits for no pipe), that very file is checked and then opened through /proc/self/fd, so a name
// swapped meanwhile changes nothing. Without /proc it is looked up again by name, link by link,
// and its last part opened only where no one but this user and root may give that name to another
// file; elsewhere -1 with errno kNotOpenedWithoutProc (HostFiles.h). -1 with errno ELOOP for a
// link (with O_NOFOLLOW), EISDIR for a folder and EINVAL for anything else but `type` (S_IFREG,
// S_IFCHR).
int OpenOfTypeAt(int folder, const std::string& name, int flags, mode_t type);

// The text of the link `name` in the open folder ("" for the folder descriptor itself, a link
// opened with O_PATH); empty, with errno set, when it can't be read or is longer than a path.
std::string LinkTextAt(int folder, const char* name);

}  // namespace host_files
