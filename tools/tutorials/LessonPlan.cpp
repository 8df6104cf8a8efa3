// LessonPlan.cpp: reading the lesson list of the tutorials.
#include "LessonPlan.h"

#include "solvers/BundledLevels.h"

#include <cstdlib>
#include <fstream>

namespace {
constexpr const char* kNames[] = {"intro", "rule", "reveal", "home", "cell", "discard", "waste",
                                  "empty", "run", "column", "stock", "redeal", "end"};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == static_cast<std::size_t>(ELesson::Count), "a name per lesson");

using levels::Trim;

bool ParseLesson(const std::string& name, ELesson& lesson)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(ELesson::Count); ++i) {
        if (name == kNames[i]) {
            lesson = static_cast<ELesson>(i);
            return true;
        }
    }
    return false;
}
}  // namespace

const char* LessonPlan::Name(ELesson lesson)
{
    const auto i = static_cast<std::size_t>(lesson);
    return i < static_cast<std::size_t>(ELesson::Count) ? kNames[i] : "?";
}

bool LessonPlan::Load(const std::string& hostPath, std::string& why)
{
    std::ifstream in(hostPath);
    if (!in) {
        why = "cannot read " + hostPath;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = Trim(line);
        if (text.empty() || text[0] == '#')
            continue;
        const std::size_t bar1 = text.find('|');
        const std::size_t bar2 = bar1 == std::string::npos ? bar1 : text.find('|', bar1 + 1);
        ELesson lesson = ELesson::Intro;
        const int tip = bar2 == std::string::npos ? 0 : std::atoi(text.c_str() + bar2 + 1);
        if (bar2 == std::string::npos || !ParseLesson(Trim(text.substr(bar1 + 1, bar2 - bar1 - 1)), lesson) || tip <= 0) {
            why = hostPath + ":" + std::to_string(number) + ": expected <level name> | <lesson> | <window number>";
            return false;
        }
        Tips& tips = m_levels.emplace(Trim(text.substr(0, bar1)), Tips{}).first->second;
        tips[static_cast<std::size_t>(lesson)] = tip;
    }
    return true;
}

int LessonPlan::Tip(const std::string& levelName, ELesson lesson) const
{
    const auto it = m_levels.find(levelName);
    if (it == m_levels.end() || lesson == ELesson::Count)
        return 0;
    return it->second[static_cast<std::size_t>(lesson)];
}
