// SessionHarness: a session with a configuration file, a registry file and scripted dialogs of its own, all
// in a fresh temporary folder, for the start and upload tests.
#pragma once
#include <memory>
#include <string>

#include "FeedbackTestFolder.h"
#include "ScriptedDialogs.h"
#include "feedback/ConfigSource.h"
#include "feedback/FeedbackSession.h"
#include "feedback/RegistryStore.h"
#include "feedback/SessionRegistry.h"

class SessionHarness {
public:
    static constexpr Guid kGame = {0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};

    explicit SessionHarness(std::string ini = "[Options]\n")
    {
        if (!ini.empty())
            m_folder.Write("libNimbraClient.ini", ini);
        m_config = std::make_unique<ConfigSource>(m_folder.File("libNimbraClient.so"), m_folder.File("host"));
        m_registry = std::make_shared<RegistryStore>(m_folder.File("config/NimbraClient/registry.txt"));
    }

    // A new session with these flags (and the service address, when given).
    FeedbackSession& Make(std::uint32_t flags = 0, const std::u16string& url = u"",
                          const std::u16string& optOutUrl = u"")
    {
        m_url = url;
        m_optOut = optOutUrl;
        SessionInit init{};
        init.Flags = flags;
        init.Version = 0x10006;
        init.GameName = u"Palmora";
        init.GameID = kGame;
        init.GameVersion = 7;
        init.BuildConfig = u"release";
        init.ServiceUrl = m_url.c_str();
        init.OptOutUrl = m_optOut.c_str();
        m_session = std::make_unique<FeedbackSession>(init, *m_config);
        m_session->UseRegistry(m_registry);
        m_session->UseDialogs(Dialogs);
        m_session->UseSystemReportHelper(m_folder.File("no-such-helper"));
        return *m_session;
    }

    FeedbackSession& Session() { return *m_session; }
    RegistryStore& Registry() { return *m_registry; }
    std::u16string GameKey() const { return SessionRegistry::GameKey(kGame); }
    std::optional<std::uint32_t> GameEnabled() const { return m_registry->ReadDword(GameKey(), u"Enabled"); }
    const FeedbackTestFolder& Folder() const { return m_folder; }

    ScriptedDialogs Dialogs;

private:
    FeedbackTestFolder m_folder;
    std::unique_ptr<ConfigSource> m_config;
    std::shared_ptr<RegistryStore> m_registry;
    std::unique_ptr<FeedbackSession> m_session;
    std::u16string m_url, m_optOut;
};
