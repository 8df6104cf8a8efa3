// CTutorialRecorder.h: records a won game of a level as its tutorial, the learn file.
#pragma once
#include "LessonPlan.h"
#include "solvers/BundledLevels.h"
#include "solvers/LevelSolver.h"
#include "table/CTracker.h"

#include <cstdint>
#include <string>
#include <vector>

class CCardTable;

// The host of a table dealt for recording: the tracker records the deal and every move as the
// game records them, the automatic moves (face-down cards turning, named rules) as marker moves.
// Playing a solver's moves adds a window to the first move of each kind that the level's lessons
// explain, placed clear of the cards the move takes. The record stops where the automatic finish
// would take over, since the replay ends there too. One recorder records one game.
class CTutorialRecorder : public levels::QuietHost {
public:
    CTutorialRecorder(const LessonPlan& plan, const std::string& levelName) : m_plan(plan), m_levelName(levelName) {}

    void RecordMove(int from, int to, int card, int automatic, int flag) override;
    void RecordDeal(int rank, int suit) override;

    // Plays the moves on the table that was dealt with this recorder as its host. False with
    // `why` when the table refuses a move or the game ends before its first move.
    [[nodiscard]] bool Play(CCardTable& table, const std::vector<levels::SolverMove>& moves, std::string& why);

    std::vector<std::uint8_t> FileBytes() const;  // the record, then a window entry per move
    int PlayedMoves() const { return m_nPlayed; }
    int Windows() const;
    std::vector<ELesson> UnusedLessons() const;   // lessons of the level that no move showed

private:
    std::vector<ELesson> LessonsBefore(const CCardTable& table, const levels::SolverMove& m) const;
    void MarkersSince(std::uint32_t first, bool& rule, bool& reveal) const;
    void AddWindow(std::uint32_t moveIndex, const std::vector<ELesson>& offered, int offsetY);
    static int WindowOffsetY(const CCardTable& table, const levels::SolverMove& m);

    const LessonPlan& m_plan;
    std::string m_levelName;
    CTracker m_tracker;
    std::vector<TutorialMessageData> m_windows;  // by move index
    std::vector<bool> m_taught = std::vector<bool>(static_cast<std::size_t>(ELesson::Count), false);
    int m_nPlayed = 0;
    bool m_bMoveRecorded = true;  // the move being played has its record: later ones are automatic
};
