// EventRecord: one recorded event of the session: name, class, game and client time, level and an ordered list of
// name/value parameters. The session owns its records; the upload reads them in order and serialises them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// 100-ns units since 1601-01-01 UTC, as Windows FILETIME counts them.
using FileTime = std::uint64_t;

class EventRecord {
public:
    enum EventClass : std::int32_t { kSessionFlow = 0, kGameplay = 1, kInput = 2, kCustom = 3 };

    struct Param {
        std::u16string Name;
        std::optional<std::u16string> Value;  // none: the host passed a null string
    };

    EventRecord() = default;
    EventRecord(std::int32_t eventClass, std::int32_t level, double gameTime, std::u16string name, FileTime clientTime)
    {
        Init(eventClass, level, gameTime, std::move(name), clientTime);
    }

    // A custom (class 3) name that starts with lower-case "sys_" and goes on is a session-flow event.
    void Init(std::int32_t eventClass, std::int32_t level, double gameTime, std::u16string name, FileTime clientTime);

    // Callers that know their parameter count avoid the vector's growth steps (memory kept per event).
    void ReserveParams(std::size_t count) { m_params.reserve(count); }
    void AddStringParam(std::u16string name, std::optional<std::u16string> value);
    void AddIntParam(std::u16string name, std::int32_t value);       // "%d"
    void AddUnsignedParam(std::u16string name, std::uint32_t value); // "%u"
    void AddNumberParam(std::u16string name, double value);          // "%f"

    const std::u16string& Name() const { return m_name; }
    std::int32_t Class() const { return m_class; }
    double GameTime() const { return m_gameTime; }
    FileTime ClientTime() const { return m_clientTime; }
    std::int32_t Level() const { return m_level; }  // -1: the filter's level applies
    const std::vector<Param>& Params() const { return m_params; }

private:
    std::u16string m_name;
    std::int32_t m_class = kCustom;
    double m_gameTime = 0.0;
    FileTime m_clientTime = 0;
    std::vector<Param> m_params;
    std::int32_t m_level = 0;
};
