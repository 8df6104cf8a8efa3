// TestScreens.h: screens for tests that count their updates, draws and releases.
#pragma once

#include "app/CPopupBase.h"
#include "app/CScreenBase.h"

#include <string>
#include <vector>

struct ScreenLog {
    std::vector<std::string> events;  // "update A", "render A", "release A"
    int live = 0;

    int Count(const std::string& event) const
    {
        int n = 0;
        for (const std::string& e : events)
            n += e == event ? 1 : 0;
        return n;
    }
};

class TestScreen : public CScreenBase {
public:
    TestScreen(ScreenLog& log, std::string name) : m_log(log) { m_sName = std::move(name); ++m_log.live; }
    ~TestScreen() override { --m_log.live; }

    void Update(float dt) override
    {
        if (m_bActive)
            m_log.events.push_back("update " + m_sName);
        CScreenBase::Update(dt);
    }
    void Render() override
    {
        if (m_bVisible)
            m_log.events.push_back("render " + m_sName);
        CScreenBase::Render();
    }
    void Release() override
    {
        m_log.events.push_back("release " + m_sName);
        delete this;
    }

private:
    ScreenLog& m_log;
};

class TestPopup : public CPopupBase {
public:
    TestPopup(ScreenLog& log, std::string name) : m_log(log) { m_sName = std::move(name); ++m_log.live; }
    ~TestPopup() override { --m_log.live; }

    void Update(float dt) override
    {
        if (m_bActive)
            m_log.events.push_back("update " + m_sName);
        CPopupBase::Update(dt);
    }
    void Render() override
    {
        RenderBackdrop();
        if (m_bVisible)
            m_log.events.push_back("render " + m_sName);
        CPopupBase::Render();
    }
    void Release() override
    {
        m_log.events.push_back("release " + m_sName);
        CPopupBase::Release();
    }
    void Close() { m_pParent->SetChild(nullptr, true, true); }

private:
    ScreenLog& m_log;
};
