// ScriptedDialogs: a dialog layer for tests that answers from a script and remembers what was asked.
// Its progress view reports a cancel request once the script's trigger says so.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "feedback/FeedbackDialogs.h"

class ScriptedDialogs : public FeedbackDialogs {
public:
    std::int32_t ConsentAnswer = 206;
    std::int32_t CancelAnswer = 206;
    bool ShiftDown = false;
    bool PageOpens = true;
    std::function<bool()> CancelTrigger;  // asked on each progress tick

    std::vector<std::int32_t> ConsentAsked;  // the preselected answer of each question
    std::vector<std::u16string> Headings, BetaOffers, PagesOpened, Messages;
    std::atomic<int> CancelAsked{0}, ProgressOpened{0}, ProgressClosed{0}, HiddenUpdates{0};
    std::vector<std::u16string> Statuses;
    std::mutex Mutex;

    std::int32_t AskConsent(std::u16string_view heading, std::int32_t preselected) override
    {
        ConsentAsked.push_back(preselected);
        Headings.emplace_back(heading);
        return ConsentAnswer;
    }
    std::int32_t OfferBeta(std::u16string_view betaUrl) override
    {
        BetaOffers.emplace_back(betaUrl);
        return 1;
    }
    std::int32_t ConfirmCancel() override
    {
        ++CancelAsked;
        return CancelAnswer;
    }
    void ShowMessage(std::u16string_view caption, std::u16string_view text) override
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Messages.push_back(std::u16string(caption) + u": " + std::u16string(text));
    }
    bool OpenWebPage(std::u16string_view url) override
    {
        std::lock_guard<std::mutex> lock(Mutex);
        PagesOpened.emplace_back(url);
        return PageOpens;
    }
    bool IsShiftDown() override { return ShiftDown; }

    class View : public ProgressView {
    public:
        explicit View(ScriptedDialogs& owner) : m_owner(owner) {}
        bool Open(std::u16string_view, std::u16string_view) override
        {
            ++m_owner.ProgressOpened;
            return true;
        }
        void Update(const ProgressState& state) override
        {
            std::lock_guard<std::mutex> lock(m_owner.Mutex);
            if (!state.Visible)
                ++m_owner.HiddenUpdates;
            if (m_owner.Statuses.empty() || m_owner.Statuses.back() != state.Status)
                m_owner.Statuses.push_back(state.Status);
        }
        bool TakeCancelRequest() override { return m_owner.CancelTrigger && m_owner.CancelTrigger(); }
        void Close() override { ++m_owner.ProgressClosed; }

    private:
        ScriptedDialogs& m_owner;
    };
    std::unique_ptr<ProgressView> NewProgressView() override { return std::make_unique<View>(*this); }
};
