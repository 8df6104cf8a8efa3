// CNewPlayer.cpp: name entry, the text cursor, and creating or selecting the named player.
#include "screens/CNewPlayer.h"

#include "app/Globals.h"
#include "app/ShellServices.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFEdit.h"
#include "framework/CFFont.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "progress/CProfileStore.h"

#include <algorithm>
#include <new>

namespace {

bool g_bNewPlayerOpen = false;

const char* const kNameText = "profile_new_name";

std::string Trimmed(const std::string& name)
{
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

}  // namespace

CNewPlayer* CNewPlayer::Create()
{
    return new (std::nothrow) CNewPlayer();
}

bool CNewPlayer::IsOpen()
{
    return g_bNewPlayerOpen;
}

CNewPlayer::CNewPlayer() : CSlideInPopup("profile", "move_new_player_wind")
{
    g_bNewPlayerOpen = true;
    g_bReportAllKeys = false;
    SetEscapeDelay(0.0f);
    SetEnterWhileSliding(true);  // the name field takes letters while the window slides in
    TraceEvent(GetGameTime(), L"screenNewPlayer");
    m_pCursor = std::make_unique<CFAnimationInstance>(&m_group, CFAnimationInstance::kUnsetPosition,
                                                      CFAnimationInstance::kUnsetPosition);
    (void)m_pCursor->LoadEffect(g_pResource, "profile", "cursor");  // logged there
    m_pCursor->SetVisible(true);
    m_pCursor->Play(true);
    m_pOk = AddPartButton("bt_ok2", MakeDelegate(this, &CNewPlayer::OnOk));
    m_pName = std::make_unique<CFEdit>();
    m_pName->SetResource(g_pResource);
    m_pName->SetTextKey(kNameText);
    m_pName->SetText("");
    m_pName->SetMaxLength(kMaxName);
    m_controller.Add(m_pName.get());
}

CNewPlayer::~CNewPlayer()
{
    g_bNewPlayerOpen = false;
    g_bReportAllKeys = true;
}

void CNewPlayer::Release()
{
    delete this;
}

std::string CNewPlayer::GetName() const
{
    const wchar_t* text = g_pResource != nullptr ? g_pResource->GetText(kNameText) : nullptr;
    return text != nullptr ? NarrowString(text) : m_pName->GetText();
}

void CNewPlayer::OnUpdateStart(float)
{
    CheckName();
    PlaceCursor();
}

void CNewPlayer::CheckName()
{
    if (m_pOk == nullptr)
        return;
    const bool usable = !Trimmed(GetName()).empty();
    if (usable != m_pOk->IsEnabled())
        m_pOk->SetEnabled(usable);  // only on a change: enabling plays "normal" over the hover look
}

void CNewPlayer::PlaceCursor()
{
    CFFont* font = g_pResource != nullptr ? g_pResource->GetFont("DATA/FONTS/font1.fgchst11") : nullptr;
    if (font == nullptr)
        return;
    const std::string name = GetName();
    const std::size_t edit = std::min<std::size_t>(static_cast<std::size_t>(std::max(m_pName->GetCursor(), 0)), name.size());
    font->SetLetterSpacing(-1);
    const float whole = static_cast<float>(font->GetTextWidth(name.c_str()));
    const float before = static_cast<float>(font->GetTextWidth(name.substr(0, edit).c_str()));
    const float x = static_cast<float>(static_cast<int>(before + kNameCentreX - whole / 2));
    m_pCursor->SetPosition(x, kCursorY, true);
    m_pCursor->SetVisible(!IsSliding());  // it stands where the field will be, not where it slides
}

void CNewPlayer::OnOk(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || (m_pOk != nullptr && !m_pOk->IsEnabled()))
        return;
    const std::string name = Trimmed(GetName());
    if (name.empty() || g_pProfileStore == nullptr)
        return;
    TraceEvent(GetGameTime(), L"ok");
    const int existing = g_pProfileStore->FindPlayer(name);
    if (existing < 0)
        g_pProfileStore->NewPlayer(name, true);
    else
        g_pProfileStore->SelectPlayer(existing);
    ShellApplyVolumes();
    Close();
}

void CNewPlayer::OnEscapeKey()
{
    if (g_pProfileStore == nullptr || g_pProfileStore->GetPlayerCount() == 0)
        return;  // the first start: there is no player to go back to
    TraceEvent(GetGameTime(), L"esc");
    Close();
}

void CNewPlayer::OnEnterKey()
{
    CheckName();  // a letter typed in the last frame counts
    OnOk(nullptr, 1);
}
