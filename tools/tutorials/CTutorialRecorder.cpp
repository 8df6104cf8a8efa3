// CTutorialRecorder.cpp: playing a won game through the tracker and choosing its windows.
#include "CTutorialRecorder.h"

#include "table/CAutoFinisher.h"
#include "table/CCardTable.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"
#include "table/TutorialFile.h"

#include <algorithm>

namespace {
constexpr const char* kShowSection = "show";
constexpr int kHighWindow = -160;  // window centre 140: above cards that lie low
constexpr int kLowWindow = 130;    // window centre 430: below cards that lie high
constexpr int kCentreWindow = 0;
constexpr int kMiddleY = 300;

bool IsFoundation(const CPlace* place)
{
    return IsHouseType(place->type);
}

bool IsColumn(const CPlace* place)
{
    return place->type == kPlaceColumn || place->type == kPlaceSideColumn;
}
}  // namespace

void CTutorialRecorder::RecordMove(int from, int to, int card, int automatic, int flag)
{
    // The first record of a move is the move. A rule that scores the cards it moves records them
    // as moves too; the replay runs the rule itself, so those become markers it does not play.
    if (automatic == 0 && m_bMoveRecorded)
        automatic = 1;
    m_bMoveRecorded = true;
    m_tracker.AddMove(static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), static_cast<std::uint8_t>(card),
                      automatic, flag);
}

void CTutorialRecorder::RecordDeal(int rank, int suit)
{
    m_tracker.AddDeal(static_cast<std::uint8_t>(rank), static_cast<std::uint8_t>(suit));
}

bool CTutorialRecorder::Play(CCardTable& table, const std::vector<levels::SolverMove>& moves, std::string& why)
{
    levels::RunAutomaticMoves(table);
    CAutoFinisher& finisher = *table.GetAutoFinisher();
    for (std::size_t i = 0; i < moves.size(); ++i) {
        // A first step only decides whether the finish starts; it moves no card yet.
        finisher.Step(0.0f);
        if (finisher.IsRunning())
            break;  // the replay ends here: the rest would go home by itself
        const levels::SolverMove& m = moves[i];
        std::vector<ELesson> offered = LessonsBefore(table, m);
        const int offsetY = WindowOffsetY(table, m);
        const std::uint32_t index = m_tracker.Record().moveCount;
        m_bMoveRecorded = false;
        // A click records itself, as the table's click handling does; a drag is recorded here,
        // as the score keeper records a dropped card.
        if (m.kind == kMoveDrag)
            RecordMove(m.from, m.to, m.card, 0, 0);
        if (!levels::PlayMove(table, m)) {
            why = "move " + std::to_string(i) + " was refused";
            return false;
        }
        bool rule = false, reveal = false;
        MarkersSince(index + 1, rule, reveal);
        if (reveal)
            offered.insert(offered.begin(), ELesson::Reveal);
        if (rule)
            offered.insert(offered.begin(), ELesson::Rule);
        if (m_nPlayed == 0)
            offered.insert(offered.begin(), ELesson::Intro);
        AddWindow(index, offered, offsetY);
        ++m_nPlayed;
    }
    if (m_nPlayed == 0) {
        why = "the game finishes by itself before its first move";
        return false;
    }
    AddWindow(m_tracker.Record().moveCount, {ELesson::End}, kCentreWindow);
    return true;
}

std::vector<ELesson> CTutorialRecorder::LessonsBefore(const CCardTable& table, const levels::SolverMove& m) const
{
    std::vector<ELesson> lessons;
    const CPlace* src = table.GetPlace(m.from);
    if (m.kind == kMoveClick) {
        if (src->type == kPlaceDeck)
            lessons.push_back(m.card >= 0 ? ELesson::Stock : ELesson::Redeal);
        return lessons;
    }
    const CPlace* dst = table.GetPlace(m.to);
    if (IsFoundation(dst))
        lessons.push_back(ELesson::Home);
    if (dst->type == kPlaceFreeCell)
        lessons.push_back(ELesson::Cell);
    if (dst->type == kPlaceDiscard)
        lessons.push_back(ELesson::Discard);
    if (src->type == kPlacePop)
        lessons.push_back(ELesson::Waste);
    if (IsColumn(dst) && dst->Size() == 0)
        lessons.push_back(ELesson::Empty);
    if (src->Size() - m.card > 1)
        lessons.push_back(ELesson::Run);
    if (IsColumn(dst) && dst->Size() > 0)
        lessons.push_back(ELesson::Column);
    return lessons;
}

// Marker moves that the automatic moves recorded after a move: a card clicked in its own place
// turned over; a card sent elsewhere went by a named rule.
void CTutorialRecorder::MarkersSince(std::uint32_t first, bool& rule, bool& reveal) const
{
    const TutorialRecord& r = m_tracker.Record();
    for (std::uint32_t i = first; i < r.moveCount; ++i) {
        if (static_cast<std::int8_t>(r.moveFlags[i]) <= 0)
            continue;
        if (r.moveFrom[i] == r.moveTo[i])
            reveal = true;
        else
            rule = true;
    }
}

void CTutorialRecorder::AddWindow(std::uint32_t moveIndex, const std::vector<ELesson>& offered, int offsetY)
{
    for (ELesson lesson : offered) {
        const int tip = m_plan.Tip(m_levelName, lesson);
        const auto taught = static_cast<std::size_t>(lesson);
        if (tip == 0 || m_taught[taught])
            continue;
        m_taught[taught] = true;
        if (m_windows.size() <= moveIndex)
            m_windows.resize(moveIndex + 1);
        m_windows[moveIndex] = TutorialMessageData{"tip_" + std::to_string(tip), kShowSection, 0, offsetY};
        return;
    }
}

// The window keeps clear of the card the move takes and of the place it goes to.
int CTutorialRecorder::WindowOffsetY(const CCardTable& table, const levels::SolverMove& m)
{
    const CPlace* src = table.GetPlace(m.from);
    const CPlace* dst = table.GetPlace(m.to);
    int x = 0, fromY = 0, toY = 0;
    table.GetCardPosition(src, std::max(m.card, 0), nullptr, x, fromY);
    table.GetCardPosition(dst, dst->Size(), nullptr, x, toY);
    if (std::max(fromY, toY) < kMiddleY + 30)
        return kLowWindow;
    if (std::min(fromY, toY) > kMiddleY - 70)
        return kHighWindow;
    return kLowWindow;
}

std::vector<std::uint8_t> CTutorialRecorder::FileBytes() const
{
    std::vector<std::uint8_t> bytes;
    tutorial_file::WriteRecord(m_tracker.Record(), bytes);
    tutorial_file::WriteMessages(m_windows, bytes);
    return bytes;
}

int CTutorialRecorder::Windows() const
{
    return static_cast<int>(std::count_if(m_windows.begin(), m_windows.end(),
                                          [](const TutorialMessageData& w) { return !w.effect.empty(); }));
}

std::vector<ELesson> CTutorialRecorder::UnusedLessons() const
{
    std::vector<ELesson> unused;
    for (std::size_t i = 0; i < m_taught.size(); ++i) {
        const auto lesson = static_cast<ELesson>(i);
        if (!m_taught[i] && m_plan.Tip(m_levelName, lesson) != 0)
            unused.push_back(lesson);
    }
    return unused;
}
