// CDialogConfirmation.h: the yes/no question of the whole game (leave the game, leave a level,
// delete a player), built from the caller's module, move effect and button objects.
//
// The answer goes to one process-wide value that the opener polls: -1 while a question waits
// (each new dialog sets it), 0 yes, 1 no; it keeps its value after the dialog has closed until
// the next question. Enter answers yes and Escape no, so the question can always be answered
// from the keyboard, even when a button object is missing from the module. Only one question
// may be open at a time.
#pragma once

#include "screens/CSlideInPopup.h"

class CDialogConfirmation : public CSlideInPopup {
public:
    enum EAnswer { kPending = -1, kYes = 0, kNo = 1 };

    // Null when memory runs out. Every caller passes backdrop alpha 100.
    static CDialogConfirmation* Create(const char* module, const char* move, const char* yes, const char* no,
                                       int backdropAlpha);
    static int& Answer();  // the shared answer (the shell's g_nConfirmationAnswer)

    void Release() override;

    CFButton* GetYesButton() const { return m_pYes; }
    CFButton* GetNoButton() const { return m_pNo; }

private:
    CDialogConfirmation(const char* module, const char* move, const char* yes, const char* no);

    void OnYes(CFObject* sender, int state);
    void OnNo(CFObject* sender, int state);
    void OnEscapeKey() override;
    void OnEnterKey() override;
    void GiveAnswer(int answer, const wchar_t* trace);

    CFButton* m_pYes;  // owned by the base; null when the module has no such object
    CFButton* m_pNo;
};
