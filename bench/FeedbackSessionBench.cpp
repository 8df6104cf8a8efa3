// bench-libs: feedback_core
// Recording events into the feedback session: events per second, and the memory each kept event costs
// (live heap bytes after recording, divided by the events recorded).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "feedback/ConfigSource.h"
#include "feedback/FeedbackSession.h"

namespace {

std::atomic<std::int64_t> g_liveBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);  // keeps the caller's block aligned

}  // namespace

// Counts live heap bytes; each block carries its size in front of it.
void* operator new(std::size_t size)
{
    void* block = std::malloc(size + kHeader);
    if (block == nullptr)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    g_liveBytes += static_cast<std::int64_t>(size);
    return static_cast<char*>(block) + kHeader;
}

// GCC cannot see that these blocks came from the malloc in operator new above and warns about free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* pointer) noexcept
{
    if (pointer == nullptr)
        return;
    void* block = static_cast<char*>(pointer) - kHeader;
    g_liveBytes -= static_cast<std::int64_t>(*static_cast<std::size_t*>(block));
    std::free(block);
}
#pragma GCC diagnostic pop

void operator delete(void* pointer, std::size_t) noexcept
{
    operator delete(pointer);
}

namespace {

enum class Kind { kPlain, kBuffered, kCounted };

void RecordEvents(benchmark::State& state, Kind kind)
{
    ConfigSource config("", "");
    const EventFilterInit filter{u"SYS_MouseButtonChange", nullptr,
                                 kind == Kind::kBuffered ? FilterFlags::BUFFER : FilterFlags::COUNT_ONLY, -1, 1.0};
    const EventFilterInit* filters[] = {kind == Kind::kPlain ? nullptr : &filter, nullptr};
    SessionInit init{};
    init.Version = 0x10006;
    init.EventFilters = filters;
    FeedbackSession session(init, config);

    const std::int64_t liveBefore = g_liveBytes.load();
    std::int64_t events = 0;
    for (auto _ : state) {
        EventRecord record = session.NewEvent(EventRecord::kInput, 0, 12.5, u"SYS_MouseButtonChange");
        record.ReserveParams(5);
        record.AddStringParam(u"player", session.MaskPlayerId(u"Player One"));
        record.AddIntParam(u"button", 1);
        record.AddIntParam(u"upDown", static_cast<std::int32_t>(events & 1));
        record.AddIntParam(u"x", 400);
        record.AddIntParam(u"y", 300);
        session.RecordEvent(std::move(record), 0, u"", std::nullopt);
        ++events;
    }
    state.SetItemsProcessed(events);
    state.counters["bytes_per_event"] =
        events == 0 ? 0.0 : static_cast<double>(g_liveBytes.load() - liveBefore) / static_cast<double>(events);
    state.counters["kept_events"] = static_cast<double>(session.Events().size());
}

void BM_RecordEvent(benchmark::State& state) { RecordEvents(state, Kind::kPlain); }
void BM_RecordBufferedEvent(benchmark::State& state) { RecordEvents(state, Kind::kBuffered); }
void BM_RecordCountedEvent(benchmark::State& state) { RecordEvents(state, Kind::kCounted); }

}  // namespace

BENCHMARK(BM_RecordEvent);
BENCHMARK(BM_RecordBufferedEvent);
BENCHMARK(BM_RecordCountedEvent);
BENCHMARK_MAIN();
