// NimbraClientHost: a host program's view of the client library for tests. It copies libNimbraClient.so
// (and the report helper) into a test folder with the INI beside it, loads the copy, and binds every
// ordinal through the one exported look-up. Each copy is a fresh library with its own process-wide state,
// and its registry file lives in the folder (XDG_CONFIG_HOME points there).
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FeedbackTestFolder.h"
#include "LocalSoapServer.h"
#include "feedback/exports/NimbraClient.h"
#include "platform/feedback_sys/SharedLibrary.h"

class NimbraClientHost {
public:
    bool Load(const FeedbackTestFolder& folder, const std::string& ini = "[Options]\n")
    {
        namespace fs = std::filesystem;
        const fs::path original(NIMBRA_CLIENT_LIBRARY);
        std::error_code error;
        const std::string copy = folder.File("libNimbraClient.so");
        fs::copy_file(original, copy, fs::copy_options::overwrite_existing, error);
        if (error)
            return false;
        fs::create_symlink(original.parent_path() / "NimbraSysReport", folder.File("NimbraSysReport"), error);
        if (!ini.empty())
            folder.Write("libNimbraClient.ini", ini);
        setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
        LocalSoapServer::KeepRequestsLocal();
        m_registryPath = folder.File("config/NimbraClient/registry.txt");
        if (!m_library.Open(copy))
            return false;
        Lookup = reinterpret_cast<NimbraGetProcByOrdinalFn>(m_library.Find("NimbraClient_GetProcByOrdinal"));
        if (Lookup == nullptr)
            return false;
        Bind(CreateSession, 1);
        Bind(IsSessionEnabled, 2);
        Bind(SetClientTimeOffset, 3);
        Bind(EndSessionAndSend, 4);
        Bind(RecordStartGame, 5);
        Bind(RecordEndGame, 6);
        Bind(RecordEnterLevel, 7);
        Bind(RecordExitLevel, 8);
        Bind(RecordUIScreenChange, 9);
        Bind(RecordUIControlChange, 10);
        Bind(RecordMouseButtonChange, 11);
        Bind(RecordKeyChange, 12);
        Bind(RecordGoodAction, 13);
        Bind(RecordNotGoodAction, 14);
        Bind(RecordPowerUpCollected, 15);
        Bind(RecordPowerUpUsed, 16);
        Bind(RecordStatChanged, 17);
        Bind(RecordStatChangedInterval, 18);
        Bind(RecordCustomEvent, 19);
        Bind(SetLogSettings, 20);
        Bind(GetLogSettings, 21);
        Bind(SetDialogHandlers, 100);
        return m_bAllBound;
    }
    const std::string& RegistryPath() const { return m_registryPath; }

    NimbraGetProcByOrdinalFn Lookup = nullptr;
    NimbraCreateSessionFn CreateSession = nullptr;
    NimbraIsSessionEnabledFn IsSessionEnabled = nullptr;
    NimbraSetClientTimeOffsetFn SetClientTimeOffset = nullptr;
    NimbraEndSessionAndSendFn EndSessionAndSend = nullptr;
    NimbraRecordStartGameFn RecordStartGame = nullptr;
    NimbraRecordEndGameFn RecordEndGame = nullptr;
    NimbraRecordEnterLevelFn RecordEnterLevel = nullptr;
    NimbraRecordExitLevelFn RecordExitLevel = nullptr;
    NimbraRecordUIScreenChangeFn RecordUIScreenChange = nullptr;
    NimbraRecordUIControlChangeFn RecordUIControlChange = nullptr;
    NimbraRecordMouseButtonChangeFn RecordMouseButtonChange = nullptr;
    NimbraRecordKeyChangeFn RecordKeyChange = nullptr;
    NimbraRecordActionFn RecordGoodAction = nullptr;
    NimbraRecordActionFn RecordNotGoodAction = nullptr;
    NimbraRecordPowerUpFn RecordPowerUpCollected = nullptr;
    NimbraRecordPowerUpFn RecordPowerUpUsed = nullptr;
    NimbraRecordStatChangedFn RecordStatChanged = nullptr;
    NimbraRecordStatChangedIntervalFn RecordStatChangedInterval = nullptr;
    NimbraRecordCustomEventFn RecordCustomEvent = nullptr;
    NimbraSetLogSettingsFn SetLogSettings = nullptr;
    NimbraGetLogSettingsFn GetLogSettings = nullptr;
    NimbraSetDialogHandlersFn SetDialogHandlers = nullptr;

private:
    template <typename Fn>
    void Bind(Fn& fn, std::uint32_t ordinal)
    {
        fn = reinterpret_cast<Fn>(Lookup(ordinal));
        m_bAllBound = m_bAllBound && fn != nullptr;
    }

    SharedLibrary m_library;
    std::string m_registryPath;
    bool m_bAllBound = true;
};
