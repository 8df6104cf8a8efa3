// CFCheckBox.cpp: the check box's flip on click.
#include "framework/CFCheckBox.h"

CFCheckBox::CFCheckBox()
{
    SetStateCode(kStateCheckBox);
    OnClick += MakeDelegate(this, &CFCheckBox::OnToggle);
}

void CFCheckBox::SetChecked(bool checked)
{
    m_bChecked = checked;
    PlayCommandSection(checked ? "on" : "off", false);
}

void CFCheckBox::OnToggle(CFObject*, int)
{
    SetChecked(!m_bChecked);
}
