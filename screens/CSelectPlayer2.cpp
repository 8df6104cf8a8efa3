// CSelectPlayer2.cpp: the list of players and its new, delete and OK buttons.
#include "screens/CSelectPlayer2.h"

#include "app/Globals.h"
#include "app/ShellServices.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "progress/CHiScoreTable.h"
#include "screens/CNewPlayer.h"
#include "progress/CProfileStore.h"

#include <new>
#include <string>
#include <vector>

CSelectPlayer2* CSelectPlayer2::Create()
{
    return new (std::nothrow) CSelectPlayer2();
}

// The rows are parts of the window that stand still while it slides, so the slide does not play them.
CSelectPlayer2::CSelectPlayer2() : CSlideInPopup("profile", "move_selekt_player_wind", false)
{
    TraceEvent(GetGameTime(), L"screenChangePlayer");
    SetEscapeDelay(0.0f);
    HoldTopScreen();
    for (int row = 0; row < kRows; ++row) {
        const std::string name = Numbered("player_", row + 1);
        m_rowParts[static_cast<std::size_t>(row)] = GetWindow()->FindPart(0, (name + ".all").c_str());
        CFButton* button = AddEffectButton(name.c_str(), MakeDelegate(this, &CSelectPlayer2::OnRow));
        button->SetSize(381, 41);
        button->SetTag(row);
        m_rows[static_cast<std::size_t>(row)] = button;
    }
    m_pOk = AddPartButton("bt_ok", MakeDelegate(this, &CSelectPlayer2::OnOk));
    m_pNew = AddPartButton("bt_1", MakeDelegate(this, &CSelectPlayer2::OnNew));
    m_pDelete = AddPartButton("bt_2", MakeDelegate(this, &CSelectPlayer2::OnDelete));
    Refresh();
}

void CSelectPlayer2::Release()
{
    delete this;
}

void CSelectPlayer2::Refresh()
{
    if (g_pProfileStore == nullptr)
        return;
    std::vector<std::string> names;
    g_pProfileStore->GetPlayerNames(names);
    const int count = static_cast<int>(names.size());
    for (int row = 0; row < kRows; ++row) {
        CFButton* button = m_rows[static_cast<std::size_t>(row)];
        CFAnimationInstance* part = m_rowParts[static_cast<std::size_t>(row)];
        const bool listed = row < count;
        if (listed)
            SetText(Numbered("Player_", row + 1), names[static_cast<std::size_t>(row)]);
        if (part != nullptr)
            part->SetVisible(listed);
        button->SetVisible(listed);
        if (listed && row == g_pProfileStore->m_nCurrentIndex)
            button->PlayState("select", false, true);
        else if (listed)
            button->ResetState();
    }
    if (m_pDelete != nullptr)
        m_pDelete->SetEnabled(count != 1);
    if (m_pNew != nullptr)
        m_pNew->SetEnabled(count < kRows);
    if (count > 0)
        SetText("profile_player", g_pProfileStore->m_current.GetName());
}

void CSelectPlayer2::OnUpdateStart(float)
{
    if (m_bReturnedFromNew) {
        m_bReturnedFromNew = false;
        Refresh();
    }
    if (m_bDeleteAsked) {
        m_bDeleteAsked = false;
        if (CDialogConfirmation::Answer() == CDialogConfirmation::kYes)
            DeleteCurrentPlayer();
    }
}

void CSelectPlayer2::DeleteCurrentPlayer()
{
    if (g_pProfileStore == nullptr)
        return;
    const std::string name = g_pProfileStore->m_current.GetName();
    if (g_pHiScoreTable != nullptr) {
        g_pHiScoreTable->RemoveName(0, name);
        g_pHiScoreTable->RemoveName(1, name);
    }
    (void)g_pProfileStore->DeletePlayer(g_pProfileStore->m_nCurrentIndex);  // refuses the last one
    Refresh();
}

void CSelectPlayer2::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    GetShadow()->SetVisible(false);
}

void CSelectPlayer2::OnRow(CFObject* sender, int state)
{
    if (state != CFMouse::kButtonLeft || sender == nullptr || g_pProfileStore == nullptr)
        return;
    const int row = sender->GetTag();
    TraceEvent(GetGameTime(), L"selectPlayer", std::to_wstring(row));
    (void)g_pProfileStore->SelectPlayer(row);  // saves
    Refresh();
}

void CSelectPlayer2::OnOk(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"ok");
    ShellApplyVolumes();
    Close();
}

void CSelectPlayer2::OnNew(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || m_pNew == nullptr)
        return;
    if (!m_pNew->IsEnabled()) {
        TraceEvent(GetGameTime(), L"new", L"disabled");
        Attach(this, CDialogInformation::Create("profile", "move_list_full_wind", "bt_ok2"));
        return;
    }
    TraceEvent(GetGameTime(), L"new");
    if (Attach(this, CNewPlayer::Create()))
        m_bReturnedFromNew = true;
}

void CSelectPlayer2::OnDelete(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || m_pDelete == nullptr)
        return;
    if (!m_pDelete->IsEnabled()) {
        TraceEvent(GetGameTime(), L"delete", L"disabled");
        return;
    }
    TraceEvent(GetGameTime(), L"delete");
    if (Attach(this, CDialogConfirmation::Create("profile", "move_yes_no_wind", "bt_yes", "bt_no", 100)))
        m_bDeleteAsked = true;
}

void CSelectPlayer2::OnEscapeKey()
{
    TraceEvent(GetGameTime(), L"esc");
    ShellApplyVolumes();
    Close();
}

void CSelectPlayer2::OnEnterKey()
{
    OnOk(nullptr, 1);
}
