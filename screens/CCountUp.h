// CCountUp.h: the running score count and the timed list of phases that every result popup runs.
//
// A batch of points counts up over a set time from the shown total to the total that includes
// it; between batches the popup's phases run one after another, each after the pause the previous
// one asked for. No phase runs while a batch counts. Fast-forward ends a running batch on the next
// step and lets every later phase run at once, one per step, so the totals come out the same.
//
// The sequencer keeps no clock: it moves only by the time it is given in Step, so a popup runs
// it on the frame time and a test on a clock of its own. What a phase does, where a counted total
// is stored and how the score is shown belong to the popup, the client.
#pragma once

class CCountUp {
public:
    static constexpr int kNoBatch = -65535;
    static constexpr int kShortBatch = 10;          // fewer points end on the next step, unseen
    static constexpr float kShortCount = 0.0001f;
    static constexpr float kFirstPause = 0.3f;      // before phase 0

    class IClient {
    public:
        virtual void ShowScore(int displayed) = 0;  // the shown total changed since it was last shown
        virtual void OnCountEnded(int total) = 0;   // a batch is in: store the total, stop the sound
        virtual void RunPhase(int phase) = 0;       // its pause is over: act, then Next (or stay)

    protected:
        ~IClient() = default;
    };

    explicit CCountUp(int base);

    void Step(float dt, IClient& client);
    // The next batch: counted from the next step on, over that many seconds.
    void Count(int points, float seconds);
    // The phase that runs once the pause is over and no batch counts (the current one again to wait).
    void Next(int phase, float pause);
    void FastForward() { m_bFastForward = true; }

    bool IsFastForward() const { return m_bFastForward; }
    bool IsCounting() const { return m_nBatch != kNoBatch || m_fCountLeft > 0.0f; }
    int GetPhase() const { return m_nPhase; }
    int GetShown() const { return m_nShown; }        // the total the running batch started from
    int GetTarget() const { return m_nTarget; }
    int GetDisplayed() const { return m_nDisplayed; }
    float GetPause() const { return m_fPause; }

private:
    void StartBatch();
    void RunCount(float dt, IClient& client);

    int m_nShown;
    int m_nTarget;
    int m_nDisplayed;
    int m_nLastShownText;  // the total the client last showed
    int m_nBatch = kNoBatch;
    int m_nPhase = 0;
    float m_fPause = kFirstPause;
    float m_fCountLength = 0.0f;
    float m_fCountLeft = 0.0f;
    bool m_bFastForward = false;
};
