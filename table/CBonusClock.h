// CBonusClock.h: the phase of a bonus level, its countdown, what the level measured and its medal.
#pragma once

// The phases of a bonus level. Their meaning within a game is the script's; the clock gives each
// its time. Phase 8 wins the level.
enum EBonusPhase : int {
    kPhaseNone = -1,         // the script resets itself and starts the deal
    kPhaseDeal = 0,          // lasts while the cards are dealt
    kPhaseSetUp = 1,         // an attempt is laid out
    kPhaseShow = 2,          // the cards are shown, then hidden
    kPhasePlay = 3,          // the player's turn
    kPhaseAttemptWon = 4,
    kPhaseAttemptLost = 5,
    kPhaseEnd = 6,           // the cards are put away
    kPhaseShuffle = 7,       // shuffling or scrambling before the player's turn
    kPhaseWon = 8,
};

// The medal of a finished bonus level, as the profile stores it.
enum EBonusGrade : int { kGradeNone = 0, kGradeBronze = 2, kGradeSilver = 3, kGradeGold = 4 };

// Owned by the table, which ticks it every frame; the bonus level script sets its phases and
// records the results of the game. Outside a bonus level a phase is never set, so the clock
// stays at kPhaseNone. Grading reads only what was recorded since the last ResetGoals.
class CBonusClock {
public:
    static constexpr int kAttempts = 3;

    CBonusClock(int level, bool bonusLevel) : m_nLevel(level), m_bBonusLevel(bonusLevel) {}

    static float PhaseTime(int level, int phase);  // 0 for a level or phase outside the table
    void SetPhase(int phase, float seconds);   // seconds -1.0: the phase's own time; restarts the level time
    // Straight into another phase with this countdown, keeping the level time and the elapsed flag.
    void ContinueAs(int phase, float seconds);
    void Restart(float seconds);               // a new countdown within the phase
    void Tick(float dt);

    int Phase() const { return m_nPhase; }
    bool HasElapsed() const { return m_bPhaseElapsed; }
    float PhaseTimer() const { return m_fPhaseTimer; }
    float LevelTime() const { return m_fLevelTime; }

    // ---- Results and medal ---------------------------------------------------------------
    void ResetGoals();                         // nothing played, nothing measured
    void RecordAttempt(int attempt, bool won); // attempt 1..3 of a level played in attempts
    void RecordGoal(int seconds);              // the value of a level played against the clock
    void GradeBonusLevel();                    // m_nGoalsMet and m_nGrade from what was recorded
    int GoalCount(int attempt) const { return m_nGoalCount[attempt - 1]; }  // 1 won, 0 lost, -1 not played
    int Goal() const { return m_nGoal; }
    int GoalsMet() const { return m_nGoalsMet; }
    int Grade() const { return m_nGrade; }
    void SetGrade(int grade) { m_nGrade = grade; }  // a medal decided elsewhere (a result popup's test)

private:
    int m_nLevel;                              // the bonus level's number: its location
    bool m_bBonusLevel;
    int m_nPhase = kPhaseNone;
    float m_fPhaseTimer = 0;                   // 0 never elapses
    bool m_bPhaseElapsed = false;
    float m_fLevelTime = 0;                    // seconds since the phase was set
    int m_nGoalCount[kAttempts] = {-1, -1, -1};
    int m_nGoal = -1;                          // seconds; -1 while the level is played in attempts
    int m_nGoalsMet = 0;
    int m_nGrade = kGradeNone;
};
