#include "feedback/EventRecord.h"

#include "feedback/WideText.h"

void EventRecord::Init(std::int32_t eventClass, std::int32_t level, double gameTime, std::u16string name,
                       FileTime clientTime)
{
    // Only the exact lower-case prefix counts: hosts spell their own events "SYS_..." and keep them custom.
    if (eventClass == kCustom && name.size() > 4 && name.compare(0, 4, u"sys_") == 0)
        eventClass = kSessionFlow;
    m_name = std::move(name);
    m_class = eventClass;
    m_level = level;
    m_gameTime = gameTime;
    m_clientTime = clientTime;
    m_params.clear();
}

void EventRecord::AddStringParam(std::u16string name, std::optional<std::u16string> value)
{
    m_params.push_back(Param{std::move(name), std::move(value)});
}

void EventRecord::AddIntParam(std::u16string name, std::int32_t value)
{
    AddStringParam(std::move(name), WideText::FormatInt(value));
}

void EventRecord::AddUnsignedParam(std::u16string name, std::uint32_t value)
{
    AddStringParam(std::move(name), WideText::FormatUnsigned(value));
}

void EventRecord::AddNumberParam(std::u16string name, double value)
{
    AddStringParam(std::move(name), WideText::FormatNumber(value));
}
