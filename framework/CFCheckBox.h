// CFCheckBox.h: a check box of the GUI object tree; each click flips it.
//
// Its looks are the command sections "on" and "off" of its animations. A new check box plays
// "on" with its first animation although it starts unchecked; screens call SetChecked once
// they know the setting. A disabled check box still flips on a click, but its picture stays.
#pragma once

#include "framework/CFAnimatedObject.h"

class CFCheckBox : public CFAnimatedObject {
public:
    CFCheckBox();

    void SetChecked(bool checked);  // plays "on" or "off"
    bool IsChecked() const { return m_bChecked; }

private:
    void OnToggle(CFObject* sender, int button);

    bool m_bChecked = false;
};
