// CFEdit.cpp: the edit's key poll.
#include "framework/CFEdit.h"

#include "framework/CFResource.h"
#include "platform/Engine.h"

namespace {

bool IsTypedKey(int key)
{
    return key == kVkSpace || (key >= '0' && key <= 'Z');
}

// A typed character as the field takes it, 0 when refused: letters become capitals, as their
// keys give them.
int FieldCharacter(int chr)
{
    if (chr >= 'a' && chr <= 'z')
        chr -= 'a' - 'A';
    return IsTypedKey(chr) ? chr : 0;
}

}  // namespace

CFEdit::CFEdit()
{
    OnUpdate += MakeDelegate(this, &CFEdit::PollKey);
}

CFEdit::~CFEdit() = default;

void CFEdit::SetTextKey(const char* key)
{
    m_textKey = key != nullptr ? key : "";
    m_text.clear();
    const wchar_t* wide = GetResource() != nullptr ? GetResource()->GetText(m_textKey.c_str()) : nullptr;
    for (; wide != nullptr && *wide != 0; ++wide)
        m_text.push_back(static_cast<char>(*wide & 0xFF));
    m_nCursor = static_cast<int>(m_text.size());
}

void CFEdit::SetText(const char* text)
{
    m_text = text != nullptr ? text : "";
    m_nCursor = static_cast<int>(m_text.size());
    WriteText();
}

void CFEdit::WriteText()
{
    if (GetResource() != nullptr)
        (void)GetResource()->SetText(m_textKey.c_str(), m_text.c_str());  // an unknown key changes nothing
}

int CFEdit::TakeLastKey()
{
    const int key = m_nLastKey;
    m_nLastKey = 0;
    return key;
}

void CFEdit::PollKey(float)
{
    m_nLastKey = m_pEngine != nullptr ? m_pEngine->GetKey() : 0;
    const int typed = m_pEngine != nullptr ? m_pEngine->GetChar() : 0;
    if (m_nLastKey == 0 && typed == 0)
        return;
    // A keyboard that types text sends the character with its key: then the character decides,
    // so the key is not typed twice, the layout's own letters count and a refused one types nothing.
    const int inserted = typed != 0 ? FieldCharacter(typed) : IsTypedKey(m_nLastKey) ? m_nLastKey : 0;
    std::string text = m_text;
    const int length = static_cast<int>(text.size());
    const std::size_t at = static_cast<std::size_t>(m_nCursor);
    if (inserted != 0) {
        if (length < m_nMaxLength) {
            text.insert(at, 1, static_cast<char>(inserted));
            ++m_nCursor;
        }
    } else if (m_nLastKey == kVkBackspace) {
        if (m_nCursor >= 1) {
            text.erase(at - 1, 1);
            --m_nCursor;
        }
    } else if (m_nLastKey == kVkDelete) {
        if (m_nCursor < length)
            text.erase(at, 1);
    } else if (m_nLastKey == kVkLeft) {
        if (m_nCursor > 0)
            --m_nCursor;
    } else if (m_nLastKey == kVkRight) {
        if (m_nCursor < length)
            ++m_nCursor;
    }
    m_text = text;
    WriteText();
}
