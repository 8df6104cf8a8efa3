// CHiScore.cpp: the two high-score tables, switched by two buttons.
#include "screens/CHiScore.h"

#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "progress/CHiScoreTable.h"

#include <new>
#include <string>

CHiScore* CHiScore::Create()
{
    return new (std::nothrow) CHiScore();
}

CHiScore::CHiScore() : CSlideInPopup("high_scores", "move_high_scores")
{
    TraceEvent(GetGameTime(), L"screenHiScores");
    SetEscapeDelay(0.0f);
    HoldTopScreen();
    m_pBorder = std::make_unique<CFAnimationInstance>(&m_group, CFAnimationInstance::kUnsetPosition,
                                                      CFAnimationInstance::kUnsetPosition);
    (void)m_pBorder->LoadEffect(g_pResource, GetModule().c_str(), "border");  // logged there
    (void)AddPartButton("bt_ok", MakeDelegate(this, &CHiScore::OnOk));
    m_pStory = AddPartButton("bt_story", MakeDelegate(this, &CHiScore::OnSwitch));
    m_pClassic = AddPartButton("bt_classic", MakeDelegate(this, &CHiScore::OnSwitch));
    if (m_pStory != nullptr)
        m_pStory->SetTag(kStory);
    if (m_pClassic != nullptr)
        m_pClassic->SetTag(kClassic);
    m_nShown = kClassic;
    Show(kStory);  // as if the story button were clicked
}

void CHiScore::Release()
{
    delete this;
}

void CHiScore::OnOk(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"back");
    Close();
}

void CHiScore::OnSwitch(CFObject* sender, int state)
{
    if (state == CFMouse::kButtonLeft && sender != nullptr)
        Show(sender->GetTag());
}

void CHiScore::Show(int table)
{
    TraceEvent(GetGameTime(), L"switchMode", std::to_wstring(table));
    m_nShown = table;
    if (g_pResource != nullptr) {
        const wchar_t* title = g_pResource->GetText(Numbered("HS_MODE_", table).c_str());
        g_pResource->SetTextW("HS_MODE", title != nullptr ? title : L"");
    }
    ShowTable();
}

void CHiScore::ShowTable()
{
    if (g_pResource == nullptr || g_pHiScoreTable == nullptr)
        return;
    for (int row = 1; row <= CHiScoreTable::kRows; ++row) {
        const char* name = g_pHiScoreTable->GetName(m_nShown, row - 1);
        const int score = g_pHiScoreTable->GetScore(m_nShown, row - 1);
        const bool blank = (name == nullptr || *name == '\0') && score == 0;
        SetText(Numbered("HS_PLAYER", row), name != nullptr ? name : "");
        SetText(Numbered("HS_SCORE", row), blank ? "" : FormatNumber(score, -1));
        SetText(Numbered("highscores_n", row), blank ? "" : std::to_string(row) + ".");
    }
}

void CHiScore::OnSlideEnded()
{
    GetWindow()->Stop(true);
    m_pBorder->SetVisible(true);
    m_pBorder->Play(false);
}

void CHiScore::OnEscapeKey()
{
    Close();
}

void CHiScore::OnEnterKey()
{
    OnOk(nullptr, 1);
}
