// NoFileLocks.cpp: a file system without locks (NFS without a lock manager) under the program
// that GameProcessTest starts with this library in LD_PRELOAD: every flock fails so.
#include <cerrno>

extern "C" int flock(int, int)
{
    errno = ENOLCK;
    return -1;
}
