// CrashHandlerTest.cpp: a crashing child process leaves its diagnostic file behind.
#include "platform/CrashHandler.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

TEST(CCrashHandler, ACrashWritesTheDumpWithABacktraceAndStillEndsTheProcess)
{
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "palmora-crash-test";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    fs_layer::SetRootFolder(root.string());
    const std::string path = CCrashHandler::DumpPath("Palmora");

    EXPECT_EXIT(
        {
            fs_layer::SetRootFolder(root.string());
            CCrashHandler handler("Palmora");
            std::raise(SIGSEGV);
        },
        ::testing::KilledBySignal(SIGSEGV), "Saved dump file to '.*Palmora.dmp'");

    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    std::ifstream file(path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Crash detected: signal 11 (segmentation fault)"), std::string::npos) << text;
    EXPECT_NE(text.find("backtrace:\n"), std::string::npos);
    EXPECT_GT(text.size(), std::string("backtrace:\n").size() + 40);  // some frames were written
    std::filesystem::remove_all(root);
}

TEST(CCrashHandler, ANullNameBecomesApplication)
{
    CCrashHandler handler(nullptr);
    EXPECT_EQ(handler.GetName(), "Application");
    std::signal(SIGSEGV, SIG_DFL);
    std::signal(SIGBUS, SIG_DFL);
    std::signal(SIGILL, SIG_DFL);
    std::signal(SIGFPE, SIG_DFL);
    std::signal(SIGABRT, SIG_DFL);
}
