// CFEdit.h: a one-line text field, edited from the keyboard in every frame.
//
// It shows and writes one text entry of the resource manager (its key). There is no keyboard
// focus: every edit on a screen takes every key. Letters arrive as upper-case letters (their
// virtual-key codes), digits as digits; a typed character (keyboard text) is taken the same way,
// small letters as capitals, and decides over the key that typed it. Backspace, Delete, Left and
// Right edit and move the cursor. Without a resource manager the edit keeps its text to itself.
#pragma once

#include "framework/CFObject.h"
#include "platform/EngineRef.h"

#include <string>

class CFEdit : public CFObject {
public:
    static constexpr int kDefaultMaxLength = 10;

    CFEdit();
    ~CFEdit();

    // Takes the entry's text (the low byte of each character) and puts the cursor at its end.
    void SetTextKey(const char* key);
    // Stores the text, puts the cursor at its end and writes it into the entry.
    void SetText(const char* text);
    const std::string& GetText() const { return m_text; }
    const std::string& GetTextKey() const { return m_textKey; }
    void SetMaxLength(int length) { m_nMaxLength = length; }
    int GetCursor() const { return m_nCursor; }
    int TakeLastKey();  // the key read in the last frame (0 none), then 0

private:
    void PollKey(float dt);
    void WriteText();

    std::string m_textKey;
    std::string m_text;
    int m_nLastKey = 0;
    int m_nCursor = 0;
    int m_nMaxLength = kDefaultMaxLength;
    CEngineRef m_pEngine;
};
