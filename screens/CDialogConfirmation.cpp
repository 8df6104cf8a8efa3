// CDialogConfirmation.cpp: a yes/no question that leaves its answer in the shared value.
#include "screens/CDialogConfirmation.h"

#include "app/Globals.h"
#include "framework/CFMouse.h"
#include "framework/TraceEvent.h"

#include <new>

int& CDialogConfirmation::Answer()
{
    return g_nConfirmationAnswer;
}

CDialogConfirmation* CDialogConfirmation::Create(const char* module, const char* move, const char* yes,
                                                 const char* no, int backdropAlpha)
{
    CDialogConfirmation* dialog = new (std::nothrow) CDialogConfirmation(module, move, yes, no);
    if (dialog != nullptr)
        dialog->SetBackdropAlpha(backdropAlpha);
    return dialog;
}

CDialogConfirmation::CDialogConfirmation(const char* module, const char* move, const char* yes, const char* no)
    : CSlideInPopup(module, move)
{
    TraceEvent(GetGameTime(), L"dialogConfirmation");
    if (CFMouse* mouse = CFMouse::GetInstance(); mouse != nullptr && !mouse->IsVisible())
        mouse->SetVisible(true);
    Answer() = kPending;
    m_pYes = AddPartButton(yes, MakeDelegate(this, &CDialogConfirmation::OnYes));
    m_pNo = AddPartButton(no, MakeDelegate(this, &CDialogConfirmation::OnNo));
}

void CDialogConfirmation::Release()
{
    delete this;
}

void CDialogConfirmation::OnYes(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        GiveAnswer(kYes, L"yes");
}

void CDialogConfirmation::OnNo(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        GiveAnswer(kNo, L"no");
}

void CDialogConfirmation::OnEscapeKey()
{
    GiveAnswer(kNo, L"esc");
}

void CDialogConfirmation::OnEnterKey()
{
    GiveAnswer(kYes, L"yes");
}

void CDialogConfirmation::GiveAnswer(int answer, const wchar_t* trace)
{
    TraceEvent(GetGameTime(), trace);
    Answer() = answer;
    Close();
}
