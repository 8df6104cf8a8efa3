// CFObject.cpp: the object tree's update, render and input passes.
#include "framework/CFObject.h"

#include "framework/CFHoverEffect.h"

#include <algorithm>

CFObject::CFObject() = default;

// The hover effect goes with the unique_ptr; the event lists free their delegates.
CFObject::~CFObject() = default;

void CFObject::Update(float dt)
{
    if (!OnUpdate.IsEmpty())
        OnUpdate.Fire(dt);
    // By index: a handler may add or remove children while the pass runs.
    for (std::size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->Update(dt);
    if (m_bMouseOver) {
        m_fHoverTime += dt;
        if (m_fHoverTime >= m_fHoverDelay && m_pHoverEffect == nullptr && m_bHoverEnabled)
            ShowHoverEffect();
    }
    if (m_pHoverEffect != nullptr)
        m_pHoverEffect->Update(dt);
}

void CFObject::ShowHoverEffect()
{
    // Without a resource manager there is nothing to load the animation from.
    if (m_pResource == nullptr)
        return;
    m_pHoverEffect = std::make_unique<CFHoverEffect>();
    m_pHoverEffect->SetPosition(m_fHoverX, m_fHoverY);
    m_pHoverEffect->Show(m_pResource, m_hoverModule.c_str(), m_hoverEffect.c_str());
}

void CFObject::Render()
{
    if (!m_bVisible)
        return;
    if (!OnRender.IsEmpty())
        OnRender.Fire();
    for (std::size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->Render();
    if (!m_bHoverApart)
        RenderHoverEffect();
}

void CFObject::RenderHoverEffect()
{
    if (m_bVisible && m_pHoverEffect != nullptr)
        m_pHoverEffect->Render();
}

bool CFObject::Input(float x, float y, int code, int button)
{
    CFObject* taker = nullptr;
    for (std::size_t i = m_children.size(); i-- > 0;) {
        if (i >= m_children.size())
            continue;  // a handler removed children behind us
        if (m_children[i]->Input(x, y, code, button)) {
            taker = m_children[i];
            break;
        }
    }
    for (std::size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i] != taker)
            m_children[i]->Leave();
    if (taker != nullptr)
        return true;
    if (!m_bCapture && !HitTest(x, y))
        return false;
    if (!m_bVisible || m_bIgnoreInput)
        return false;
    ActOnInput(code, button);
    return true;
}

void CFObject::ActOnInput(int code, int button)
{
    switch (code) {
    case kInputNone:
    case kInputOverOnly:
        Enter();
        if (!OnMouseOver.IsEmpty())
            OnMouseOver.Fire(this, button);
        break;
    case kInputReleased:
        if (m_bPressed) {
            m_bPressed = false;
            if (!OnClick.IsEmpty())
                OnClick.Fire(this, button);
        }
        if (!OnMouseUp.IsEmpty())
            OnMouseUp.Fire(this, button);
        break;
    case kInputPressed:
        m_bPressed = true;
        if (!OnMouseDown.IsEmpty())
            OnMouseDown.Fire(this, button);
        break;
    case kInputDoubleClick:
        if (!OnDoubleClick.IsEmpty())
            OnDoubleClick.Fire(this, button);
        break;
    case kInputEnterOnly:
        Enter();
        break;
    case kInputLeaveOnly:
        Leave();
        break;
    default:
        break;  // 4 and above 7: taken, nothing done
    }
}

bool CFObject::HitTest(float x, float y) const
{
    return x >= m_fX && y >= m_fY && x <= m_fX + m_fWidth && y <= m_fY + m_fHeight;
}

void CFObject::Enter()
{
    if (m_bMouseOver)
        return;
    m_bMouseOver = true;
    if (!OnMouseEnter.IsEmpty())
        OnMouseEnter.Fire(this, -1);
}

void CFObject::Leave()
{
    if (!m_bMouseOver)
        return;
    m_fHoverTime = 0;
    m_pHoverEffect.reset();
    m_bMouseOver = false;
    if (!OnMouseLeave.IsEmpty())
        OnMouseLeave.Fire(this, -1);
}

void CFObject::SetRect(float x, float y, float w, float h)
{
    m_fX = x;
    m_fY = y;
    m_fWidth = w;
    m_fHeight = h;
}

void CFObject::SetSize(float w, float h)
{
    m_fWidth = w;
    m_fHeight = h;
}

void CFObject::SetPosition(float x, float y)
{
    m_fX = x;
    m_fY = y;
}

void CFObject::Move(float dx, float dy)
{
    m_fX += dx;
    m_fY += dy;
}

void CFObject::GetRect(float* x, float* y, float* w, float* h) const
{
    if (x != nullptr)
        *x = m_fX;
    if (y != nullptr)
        *y = m_fY;
    if (w != nullptr)
        *w = m_fWidth;
    if (h != nullptr)
        *h = m_fHeight;
}

void CFObject::GetPosition(float* x, float* y) const
{
    GetRect(x, y, nullptr, nullptr);
}

void CFObject::AddChild(CFObject* child)
{
    if (child == nullptr || HasChild(child))
        return;
    m_children.push_back(child);
}

void CFObject::RemoveChild(CFObject* child)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it != m_children.end())
        m_children.erase(it);
}

void CFObject::RemoveAllChildren()
{
    m_children.clear();
}

bool CFObject::HasChild(const CFObject* child) const
{
    return std::find(m_children.begin(), m_children.end(), child) != m_children.end();
}

CFObject* CFObject::GetChild(int index) const
{
    if (index < 0 || index >= GetChildCount())
        return nullptr;
    return m_children[static_cast<std::size_t>(index)];
}

void CFObject::SetCapture(bool capture)
{
    m_bCapture = capture;
    if (!OnCaptureChanged.IsEmpty())
        OnCaptureChanged.Fire(this, capture);
}

void CFObject::SetHoverEffect(const char* module, const char* effect, float delay)
{
    m_bHoverEnabled = true;
    m_hoverModule = module != nullptr ? module : "";
    m_hoverEffect = effect != nullptr ? effect : "";
    m_fHoverDelay = delay;
}

void CFObject::SetHoverEffectPosition(float x, float y)
{
    m_fHoverX = x;
    m_fHoverY = y;
}
