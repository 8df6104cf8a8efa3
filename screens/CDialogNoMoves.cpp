// CDialogNoMoves.cpp: the no-moves window's slide, its OK button and its keys.
#include "screens/CDialogNoMoves.h"

#include "app/Globals.h"
#include "framework/CFButton.h"
#include "framework/TraceEvent.h"

#include <new>
#include <string>

CDialogNoMoves* CDialogNoMoves::Create(int variant)
{
    return new (std::nothrow) CDialogNoMoves(variant);
}

CDialogNoMoves::CDialogNoMoves(int variant)
    : CSlideInPopup("No_more_moves", ("no_more_moves" + std::to_string(variant)).c_str()), m_nVariant(variant)
{
    m_sName = "dialogNoMoreMoves";
    TraceEvent(GetGameTime(), L"dialogNoMoreMoves");
    HideBackdrop();
    SetEscapeDelay(0.0f);
    m_pOk = AddEffectButton("bt_ok", MakeDelegate(this, &CDialogNoMoves::OnOk));
    m_pOk->SetVisible(false);
}

void CDialogNoMoves::Release()
{
    delete this;
}

void CDialogNoMoves::OnEscapeKey()
{
    TraceEvent(GetGameTime(), L"esc");
    Close();
}

void CDialogNoMoves::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    m_pOk->SetVisible(true);
}

void CDialogNoMoves::OnOk(CFObject*, int button)
{
    if (button != 1)
        return;
    TraceEvent(GetGameTime(), L"ok");
    Close();
}
