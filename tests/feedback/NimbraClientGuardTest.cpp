// The call guard seen from a host: calls that overlap put the library out of service for good, without a
// crash, and nothing works afterwards. Each test loads its own copy of the library.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "NimbraClientHost.h"

namespace {

constexpr Guid kGame = {0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};

SessionInit Unattended()
{
    SessionInit init{};
    init.Flags = SessionFlags::UNATTENDED_MODE;
    init.Version = 0x10006;
    init.GameID = kGame;
    init.ServiceUrl = u"http://127.0.0.1:9/data/dataservice.asmx";
    return init;
}

// While the library runs CreateSession, the host's SHIFT handler makes a second call from another thread.
NimbraClientHost* g_pHost = nullptr;
std::int32_t OverlapFromAnotherThread(void*)
{
    std::thread other([] { g_pHost->RecordUIScreenChange(1.0, u"overlap"); });
    other.join();
    return 0;
}

}  // namespace

TEST(NimbraClientGuard, ACallDuringAnotherPutsTheLibraryOutOfServiceForGood)
{
    FeedbackTestFolder folder;
    NimbraClientHost host;
    ASSERT_TRUE(host.Load(folder));
    g_pHost = &host;
    // A stored "yes" makes the start ask whether SHIFT is held, which is when the second call comes.
    std::filesystem::create_directories(folder.File("config/NimbraClient"));
    folder.Write("config/NimbraClient/registry.txt",
                 std::string("[Software\\Quenlo Games\\Feedback Services\\1.0\\Games\\"
                             "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9]\n\"Enabled\"=dword:00000001\n"));
    NimbraDialogHandlers handlers{};
    handlers.Size = sizeof handlers;
    handlers.IsShiftDown = &OverlapFromAnotherThread;
    host.SetDialogHandlers(&handlers);
    SessionInit init = Unattended();
    init.Flags = 0;
    EXPECT_EQ(host.CreateSession(&init), 1);  // the call that was running finishes its work

    EXPECT_EQ(host.IsSessionEnabled(), 0);
    // Out of service, ordinal 1 makes no session either.
    SessionInit unattended = Unattended();
    EXPECT_EQ(host.CreateSession(&unattended), 0);
    EXPECT_EQ(host.IsSessionEnabled(), 0);
    host.EndSessionAndSend(u"quit");  // sends nothing: the address would refuse the connection anyway
}

TEST(NimbraClientGuard, TwoThreadsCallingAtOnceEndServiceWithoutACrash)
{
    FeedbackTestFolder folder;
    NimbraClientHost host;
    ASSERT_TRUE(host.Load(folder));
    SessionInit init = Unattended();
    ASSERT_EQ(host.CreateSession(&init), 1);
    std::atomic<bool> stop{false};
    auto hammer = [&host, &stop](const char16_t* name) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!stop.load() && std::chrono::steady_clock::now() < end) {
            for (int k = 0; k < 1000; ++k)
                host.RecordGoodAction(k, u"p", name, u"v", 0);
        }
    };
    std::thread a(hammer, u"a");
    std::thread b(hammer, u"b");
    // Watch from a third thread; any overlap ends service, and this check may be the overlap itself.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(12);
    while (host.IsSessionEnabled() == 1 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop = true;
    a.join();
    b.join();
    EXPECT_EQ(host.IsSessionEnabled(), 0);
    EXPECT_EQ(host.CreateSession(&init), 0);
}
