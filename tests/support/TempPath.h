// TempPath.h: file names in the test temporary folder that no other test process shares.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

// Several build trees (and ctest -j) run the same tests at once: a fixed name in the shared
// temporary folder would be rewritten by one run while another reads it.
inline std::string UniqueTempPath(const std::string& name)
{
    return ::testing::TempDir() + std::to_string(::getpid()) + "_" + name;
}
