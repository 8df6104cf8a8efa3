// CFObjectController.cpp: the per-frame input pass over the root objects.
#include "framework/CFObjectController.h"

#include "framework/CFMouse.h"
#include "platform/Engine.h"

#include <algorithm>

CFObjectController::CFObjectController(CFMouse* mouse)
    : m_pMouse(mouse)
{
}

CFObjectController::~CFObjectController() = default;

void CFObjectController::Add(CFObject* object)
{
    if (object == nullptr || HasRoot(object))
        return;
    m_roots.push_back(object);
    Subscribe(object);
}

void CFObjectController::Subscribe(CFObject* object)
{
    object->OnCaptureChanged += MakeDelegate(this, &CFObjectController::OnCaptureChanged);
    for (int i = 0; i < object->GetChildCount(); ++i)
        Subscribe(object->GetChild(i));
}

void CFObjectController::Remove(CFObject* object)
{
    auto it = std::find(m_roots.begin(), m_roots.end(), object);
    if (it != m_roots.end())
        m_roots.erase(it);
}

bool CFObjectController::HasRoot(const CFObject* object) const
{
    return std::find(m_roots.begin(), m_roots.end(), object) != m_roots.end();
}

void CFObjectController::Update(float dt)
{
    // Roots added by handlers during this frame are first updated in the next one.
    const std::size_t count = m_roots.size();
    InputPass();
    for (std::size_t i = 0; i < count && i < m_roots.size(); ++i)
        m_roots[i]->Update(dt);
}

void CFObjectController::InputPass()
{
    if (!m_bInputEnabled || m_pMouse == nullptr)
        return;
    float x = 0, y = 0;
    m_pMouse->GetPosition(x, y);
    const int code = m_pMouse->GetButtonEvent();
    const int button = m_pMouse->GetActiveButton();

    if (m_pCapture != nullptr) {
        CFObject* target = m_pCapture;
        if (!target->Input(x, y, code, button)) {
            target->Leave();
            if (button == 1)
                target->ClearPressed();
        }
        return;
    }

    CFObject* taker = nullptr;
    for (std::size_t i = m_roots.size(); i-- > 0;) {
        if (i >= m_roots.size())
            continue;  // a handler removed roots behind us
        if (m_roots[i]->Input(x, y, code, button)) {
            taker = m_roots[i];
            break;
        }
    }
    for (std::size_t i = 0; i < m_roots.size(); ++i) {
        if (m_roots[i] == taker)
            continue;
        m_roots[i]->Leave();
        if (button == 1)
            m_roots[i]->ClearPressed();
    }
}

void CFObjectController::Render()
{
    for (std::size_t i = 0; i < m_roots.size(); ++i)
        m_roots[i]->Render();
}

void CFObjectController::PopInputState()
{
    if (m_savedInput.empty())
        return;
    m_bInputEnabled = m_savedInput.back();
    m_savedInput.pop_back();
}

void CFObjectController::GetMouseButtonState(int& button, int& code) const
{
    button = m_pMouse != nullptr ? m_pMouse->GetActiveButton() : 0;
    code = m_pMouse != nullptr ? m_pMouse->GetButtonEvent() : 0;
}

void CFObjectController::OnCaptureChanged(CFObject* object, bool capture)
{
    if (capture)
        m_pCapture = object;
    else if (m_pCapture == object)
        m_pCapture = nullptr;
}
