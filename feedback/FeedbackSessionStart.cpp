// FeedbackSession: admission at start (configuration, registry, prerequisites, standing consent) and the
// opt-out. The per-user values are those of SessionRegistry.
#include "feedback/FeedbackSession.h"

#include <cstdio>

#include "feedback/ConfigSource.h"
#include "feedback/ConfigText.h"
#include "feedback/DialogTexts.h"
#include "feedback/FeedbackDialogs.h"
#include "feedback/GetPermissionDialog.h"
#include "feedback/LanguageId.h"
#include "feedback/RegistryStore.h"
#include "feedback/SessionRegistry.h"
#include "feedback/WideText.h"
#include "platform/http/WebAddress.h"

RegistryStore& FeedbackSession::Registry()
{
    if (!m_pRegistry)
        m_pRegistry = std::make_shared<RegistryStore>(RegistryStore::DefaultPath());
    return *m_pRegistry;
}

FeedbackDialogs& FeedbackSession::Dialogs()
{
    return m_pDialogs != nullptr ? *m_pDialogs : FeedbackDialogs::Process();
}

std::u16string FeedbackSession::GameKey() const
{
    return SessionRegistry::GameKey(m_options.GameID);
}

bool FeedbackSession::Start()
{
    if (m_pConfig->Type() == ConfigSource::kNone || Has(SessionFlags::FORCE_DISABLE))
        return false;
    RegistryStore& registry = Registry();
    const std::u16string gameKey = GameKey();
    if (!registry.CreateKey(SessionRegistry::kBaseKey) || !registry.CreateKey(gameKey))
        return false;
    LoadFirstRunTime(gameKey);

    // A missing prerequisite refuses this session only: a stored answer is the user's and stays as it is.
    bool hardFailure = false;
    std::string message;
    if (!CheckPrerequisites(hardFailure, message))
        return false;

    if (Has(SessionFlags::UNATTENDED_MODE))
        return true;
    bool present = false;
    if (!SessionRegistry::RegReadEnabled(registry, SessionRegistry::kBaseKey, true, present))
        return false;
    return AskAgainAtStart(gameKey);
}

void FeedbackSession::LoadFirstRunTime(const std::u16string& gameKey)
{
    if (std::optional<std::uint64_t> stored = SessionRegistry::ReadFirstRun(Registry(), gameKey)) {
        m_firstRunTime = *stored;
        return;
    }
    m_firstRunTime = GetClientTime();
    (void)SessionRegistry::WriteFirstRun(Registry(), gameKey, m_firstRunTime);  // asked again next time if lost
}

// An absent answer admits the session; consent is then asked at upload. A stored "yes" may be changed by
// holding SHIFT while the game starts.
bool FeedbackSession::AskAgainAtStart(const std::u16string& gameKey)
{
    bool present = false;
    if (!SessionRegistry::RegReadEnabled(Registry(), gameKey, true, present))
        return false;
    if (!present || !Dialogs().IsShiftDown())
        return true;
    const std::int32_t answer = GetPermissionDialog(m_options.GameName, DialogTexts::kYes).ShowModal(Dialogs());
    if (answer == DialogTexts::kNoAnswer)
        return true;  // nobody answered: the stored "yes" stands
    (void)SessionRegistry::RegWriteEnabled(Registry(), gameKey, answer == DialogTexts::kYes);
    return answer == DialogTexts::kYes;
}

bool FeedbackSession::CheckPrerequisites(bool& hardFailure, std::string& message) const
{
    hardFailure = false;
    message.clear();
    const std::uint16_t required = static_cast<std::uint16_t>(m_options.RequireLanguageId & 0xFFFF);
    if (required == 0)
        return true;
    const std::uint16_t user = LanguageId::UserDefault();
    char text[96];
    if (LanguageId::Primary(user) != LanguageId::Primary(required)) {
        std::snprintf(text, sizeof text, "User's current primary language is id 0x%04x; id 0x%04x is required",
                      user, required);
        message = text;
        hardFailure = true;
        return false;
    }
    if (required > 1023 && LanguageId::Sub(user) != LanguageId::Sub(required)) {
        std::snprintf(text, sizeof text, "User's current sublanguage is id 0x%04x; id 0x%04x is required", user,
                      required);
        message = text;
        hardFailure = true;
        return false;
    }
    // The language is the one prerequisite checked: the dialogs and the XML parser that a session
    // needs are built into this library, so nothing else can be missing.
    return true;
}

void FeedbackSession::OptOut(bool openPage)
{
    (void)SessionRegistry::RegWriteEnabled(Registry(), GameKey(), false);
    if (!openPage)
        return;
    if (!m_options.OptOutUrl.empty()) {
        const std::u16string url =
            m_options.OptOutUrl + u"gameid=" + ConfigText::FormatGuid(m_options.GameID, false);
        // The address comes from the configuration: only a web page is opened, whoever opens it.
        if (http_layer::IsWebAddress(WideText::ToUtf8(url)) && Dialogs().OpenWebPage(url))
            return;
    }
    Dialogs().ShowMessage(DialogTexts::String(DialogTexts::kThankYou),
                          DialogTexts::String(DialogTexts::kOptOutMessage));
}
