// CResultPopup.h: what the three popups that close a won game share (story or hardcore level,
// bonus level, classic game).
//
// The popup slides in over the game screen, whose cards' cascade it keeps moving, reads the won
// game's figures once and runs a count-up (CCountUp) whose phases each popup defines: each batch
// of points climbs on the score text with a looping count sound and lands in the player's total.
// OK, Enter and Escape fast-forward: every remaining batch lands at once and every phase runs,
// one per frame, so the totals come out the same; the popup's last phase then waits for OK.
//
// The result is committed once, as soon as every batch is in (or when the popup goes, if that
// comes first): the player's total enters the high-score table and both stores are saved, so a
// program that ends under the finished result loses nothing. Owns its count sound, its
// particles and its OK button (through the base); the game screen is not owned.
#pragma once

#include "screens/CCountUp.h"
#include "screens/CSlideInPopup.h"
#include "screens/ResultFigures.h"

#include <cstddef>
#include <memory>
#include <string>

class CParticleManager;
struct PlayerRecord;

class CResultPopup : public CSlideInPopup, protected CCountUp::IClient {
public:
    ~CResultPopup() override;
    void Render() override;

    // ---- What tests look at ------------------------------------------------------------------
    const CCountUp& GetCount() const { return m_count; }
    const ResultFigures& GetFigures() const { return m_figures; }
    CFButton* GetOkButton() const { return m_pOk; }
    bool IsCommitted() const { return m_bCommitted; }
    bool IsEnded() const { return m_bEnded; }
    HChannel GetCountChannel() const { return m_hCountChannel; }

protected:
    enum class ETotal { kStory, kClassic };  // the player's total the batches land in

    struct Setup {
        const char* module;
        const char* move;
        bool playParts;
        const char* okEffect;       // the module's OK button
        const char* scoreText;      // the text variable the running total shows in
        ETotal total;
        int highScoreTable;         // 0 story, 1 classic
    };

    // The figures are those of the game screen now on top (none in a popup opened without one).
    explicit CResultPopup(const Setup& setup);

    // ---- Frame -------------------------------------------------------------------------------
    void OnUpdateStart(float dt) override;  // the cards' cascade and the particles move
    void OnUpdateEnd(float dt) override;    // the count steps, unless the popup holds it
    virtual bool IsCountHeld() const { return false; }
    virtual void RenderAbove() {}           // after the OK button
    void OnEscapeKey() override { OnOk(nullptr, 1); }
    void OnEnterKey() override { OnOk(nullptr, 1); }
    void OnOk(CFObject* sender, int button);  // any button: fast-forward

    // ---- Tools of the phases -----------------------------------------------------------------
    // A batch of points with its sound: once, then again looping until the batch is in.
    void CountWithSound(int points, float seconds, float loopPitch = 1.0f);
    void PlayCountSoundOnce();
    void PlayMedalSound();
    static void SetTextW(const char* name, const std::wstring& text);
    static std::wstring LookUpText(const std::string& name);  // "" when the data has no such text
    static std::string Plus(int points);                      // "+1,500"
    void CommitResult();
    // Runs the follow-up once: the popup's phases ask for it on OK at their last phase.
    bool BeginEnd();
    static PlayerRecord& Record();

    // ---- Phase tables ------------------------------------------------------------------------
    // A popup's phases are a table of steps in the order of its phase names. A step acts, then
    // says how the count goes on: to the next phase after a pause (Then), to a later one (Skip),
    // or not yet (Stay: it runs again next frame). Past the table the popup waits for OK.
    struct PhaseTurn {
        int next;  // kNextPhase, kStayPhase or a phase
        float pause;
    };
    static constexpr int kNextPhase = -1, kStayPhase = -2;
    static constexpr PhaseTurn Then(float pause) { return {kNextPhase, pause}; }
    static constexpr PhaseTurn Skip(int phase, float pause) { return {phase, pause}; }
    static constexpr PhaseTurn Stay() { return {kStayPhase, 0.0f}; }
    template <class Popup>
    using PhaseStep = PhaseTurn (*)(Popup&);
    // The steps every popup opens and closes its table with.
    template <class Popup>
    static PhaseTurn WaitStep(Popup&) { return Then(0.0f); }
    template <class Popup>
    static PhaseTurn CommitStep(Popup& popup)
    {
        popup.CommitResult();
        return Then(0.0f);
    }
    // Runs the step of `phase`; false past the end of the table.
    template <class Popup, std::size_t N>
    bool RunPhaseTable(Popup& popup, const PhaseStep<Popup> (&steps)[N], int phase)
    {
        if (phase < 0 || phase >= static_cast<int>(N))
            return false;
        const PhaseTurn turn = steps[phase](popup);
        if (turn.next != kStayPhase)
            m_count.Next(turn.next == kNextPhase ? phase + 1 : turn.next, turn.pause);
        return true;
    }

    // ---- CCountUp::IClient -------------------------------------------------------------------
    void ShowScore(int displayed) override;
    void OnCountEnded(int total) override;

    CInterface* m_pGame;  // not owned; null without a game screen
    ResultFigures m_figures;
    CCountUp m_count;
    CFButton* m_pOk = nullptr;  // owned by the base
    std::unique_ptr<CParticleManager> m_pParticles;

private:
    void StopCountSound();

    Setup m_setup;
    HEffect m_hCountSound = 0;
    HChannel m_hCountChannel = 0;
    float m_fFrameTime = 0.0f;
    bool m_bCommitted = false;
    bool m_bEnded = false;
};
