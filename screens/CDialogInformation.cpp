// CDialogInformation.cpp: a message window that closes on OK, Enter or Escape.
#include "screens/CDialogInformation.h"

#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFMouse.h"
#include "framework/TraceEvent.h"

#include <new>

CDialogInformation* CDialogInformation::Create(const char* module, const char* move, const char* ok)
{
    return new (std::nothrow) CDialogInformation(module, move, ok);
}

CDialogInformation::CDialogInformation(const char* module, const char* move, const char* ok)
    : CSlideInPopup(module, move)
{
    HideBackdrop();
    SetEscapeDelay(0.0f);
    TraceEvent(GetGameTime(), L"dialogInformation");
    if (GetShadow()->GetTrackCount() > 1) {
        if (CFAnimationInstance* glow = GetShadow()->GetPartInstance(1, 0))
            glow->Play(true);
    }
    m_pOk = AddPartButton(ok, MakeDelegate(this, &CDialogInformation::OnOk));
}

void CDialogInformation::Release()
{
    delete this;
}

void CDialogInformation::OnOk(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"ok");
    Close();
}

void CDialogInformation::OnEscapeKey()
{
    TraceEvent(GetGameTime(), L"esc");
    Close();
}

void CDialogInformation::OnEnterKey()
{
    OnOk(nullptr, 1);
}

void CDialogInformation::OnSlideEnded()
{
    GetWindow()->Stop(true);
    GetShadow()->Stop(false);  // its looping part keeps moving
}
