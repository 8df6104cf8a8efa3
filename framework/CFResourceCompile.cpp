// The resource script's compile: in a child process, within bounds, and in words a player can act
// on when it fails.
#include "framework/CFResource.h"

#include "framework/CFMemoryStream.h"
#include "framework/ResourceScriptShared.h"
#include "platform/ChildRun.h"
#include "platform/FileSystem.h"
#include "platform/SharedPages.h"

#include <angelscript.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

using namespace AngelScript;
using namespace resource_script;

namespace {

// A compile or a cache trial that takes more processor time is taken as hung (the bundled script
// compiles in about 50 ms), and one that takes more memory is stopped (a text of 3.6 MB takes
// about 450 MB). Processor time, not time on the clock: a busy machine stretches a long compile
// far beyond its work. The clock's bound is for a child that waits instead of working.
struct CompileBounds {
    std::chrono::milliseconds cpu{10000};
    std::size_t memoryBytes = std::size_t{1024} << 20;
};
CompileBounds g_compileBounds;

const char* MessageKind(asEMsgType type)
{
    switch (type) {
    case asMSGTYPE_ERROR: return "Error";
    case asMSGTYPE_WARNING: return "Warning";
    case asMSGTYPE_INFORMATION: return "Info";
    }
    return "Info";
}

void CollectLine(const asSMessageInfo* message, void* param)
{
    char line[2048];
    FormatMessage(message, line, sizeof line);
    static_cast<std::vector<std::string>*>(param)->push_back(line);
}

// "line 20, column 22: Unexpected token '@'": the first error among the compiler's messages.
std::string FirstError(const std::vector<std::string>& messages)
{
    static const char kError[] = ") : Error : ";
    for (const std::string& line : messages) {
        const std::size_t kind = line.find(kError);
        const std::size_t place = line.rfind(" (", kind);
        int row = 0, column = 0;
        if (kind != std::string::npos && place != std::string::npos &&
            std::sscanf(line.c_str() + place, " (%d, %d)", &row, &column) == 2)
            return "line " + std::to_string(row) + ", column " + std::to_string(column) + ": " +
                   line.substr(kind + sizeof kError - 1);
    }
    return "the compiler gave no reason";
}

// The compiler recurses once per bracket and overflows its stack at a few thousand levels, so a
// text is refused at the first line that nests them deeper than this.
constexpr int kMaxNesting = 1000;

// Where the comment or string that starts at `at` ends (its last byte), counting its lines.
std::size_t SkipCommentOrString(const std::vector<std::uint8_t>& text, std::size_t at, int& line)
{
    const auto rest = [&](std::size_t from, const std::string& close, bool escapes) {
        for (std::size_t i = from; i < text.size(); ++i) {
            if (escapes && text[i] == '\\') {
                ++i;
                continue;
            }
            if (text.size() - i >= close.size() && std::equal(close.begin(), close.end(), text.begin() + i))
                return i + close.size() - 1;
            line += text[i] == '\n';
        }
        return text.size();
    };
    const std::string start(text.begin() + at, text.begin() + std::min(text.size(), at + 3));
    if (start.rfind("//", 0) == 0)
        return rest(at + 2, "\n", false) - 1;  // the line break is the caller's to count
    if (start.rfind("/*", 0) == 0)
        return rest(at + 2, "*/", false);
    if (start == "\"\"\"")
        return rest(at + 3, "\"\"\"", false);
    return rest(at + 1, std::string(1, static_cast<char>(text[at])), true);
}

// The line at which brackets outside comments and strings first nest deeper than kMaxNesting;
// 0 when they never do.
int LineNestedTooDeep(const std::vector<std::uint8_t>& text)
{
    int line = 1, depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = static_cast<char>(text[i]);
        const char next = i + 1 < text.size() ? static_cast<char>(text[i + 1]) : '\0';
        if (c == '"' || c == '\'' || (c == '/' && (next == '/' || next == '*')))
            i = SkipCommentOrString(text, i, line);
        else if (c == '(' || c == '[' || c == '{')
            depth += 1;
        else if (c == ')' || c == ']' || c == '}')
            depth = std::max(0, depth - 1);
        line += c == '\n';
        if (depth > kMaxNesting)
            return line;
    }
    return 0;
}

// What the compile in a child hands back, in pages shared with it: a header, then the compiler's
// messages one after another (each ending in '\0'), then the byte code of a good build.
constexpr std::size_t kMaxMessageBytes = 1u << 20;  // more messages than this are counted, not kept

enum ECompileState : std::uint32_t {
    kBuildFailed = 0,
    kCodeHandedBack,   // built, and its byte code follows the messages
    kCodeNotHandedBack,  // built, but the byte code could not be saved or is too large
};

struct CompileOutcome {
    std::uint32_t state;         // ECompileState
    std::uint32_t messageBytes;  // of the messages kept
    std::uint32_t messagesCut;   // messages left out for want of room
    std::uint64_t codeBytes;
};

struct MessageSink {
    CompileOutcome* outcome;
    unsigned char* messages;  // kMaxMessageBytes
};

void CollectMessage(const asSMessageInfo* message, void* param)
{
    MessageSink& sink = *static_cast<MessageSink*>(param);
    char line[2048];
    FormatMessage(message, line, sizeof line);
    const std::size_t length = std::strlen(line) + 1;
    if (kMaxMessageBytes - sink.outcome->messageBytes < length) {
        ++sink.outcome->messagesCut;
        return;
    }
    std::memcpy(sink.messages + sink.outcome->messageBytes, line, length);
    sink.outcome->messageBytes += static_cast<std::uint32_t>(length);
}

std::vector<std::string> SplitMessages(const unsigned char* messages, std::size_t size)
{
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (messages[i] != '\0')
            continue;
        lines.emplace_back(reinterpret_cast<const char*>(messages) + begin, i - begin);
        begin = i + 1;
    }
    return lines;
}

std::string Seconds(std::chrono::milliseconds time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(time.count()) / 1000.0);
    return text;
}

// A compile's child that did not come back, in words the player can act on.
std::string WhyTheCompileStopped(EChildRun result, const ChildEnding& ending)
{
    const ChildLimits limits = CompileLimits();
    if (result == EChildRun::kSanitizerReport)
        return "the script compiler met a memory error (its report is on stderr)";
    if (result == EChildRun::kTimedOut && ending.pastWallLimit)
        return "the compile took more than " + Seconds(limits.wall);
    if (result == EChildRun::kTimedOut)
        return "the compile took more than its " + Seconds(limits.cpu) + " of processor time";
    if (ending.outOfMemory)
        return "the compile needed more than the " + std::to_string(limits.memoryBytes >> 20) + " MB of memory it may take";
    if (ending.signal == 0)
        return "the script compiler stopped on it";
    if (IsFaultSignal(ending.signal))
        return "the script compiler crashed on it (" + SignalName(ending.signal) + ")";
    return "the compile was killed (" + SignalName(ending.signal) + ")";
}

}  // namespace

namespace resource_script {

void FormatMessage(const asSMessageInfo* message, char* line, std::size_t size)
{
    std::snprintf(line, size, "%s (%d, %d) : %s : %s", message->section ? message->section : "", message->row,
                  message->col, MessageKind(message->type), message->message ? message->message : "");
}

void MessageCallback(const asSMessageInfo* message, void* param)
{
    char line[2048];
    FormatMessage(message, line, sizeof line);
    static_cast<CFResource*>(param)->Write(line);
}

ChildLimits CompileLimits()
{
    ChildLimits limits;
    limits.cpu = g_compileBounds.cpu;
    limits.wall = g_compileBounds.cpu * 12;
    limits.memoryBytes = g_compileBounds.memoryBytes;
    return limits;
}

}  // namespace resource_script

void CFResource::SetCompileLimits(std::chrono::milliseconds cpu, std::size_t memoryBytes)
{
    g_compileBounds.cpu = cpu;
    g_compileBounds.memoryBytes = memoryBytes;
}

// The script is compiled in a child process (see CompileInChild) and its byte code loaded here, so
// the program never compiles a text itself unless no child can do it: a stop signal during the
// compile then ends the start at once, and a start compiles once. A text that does not compile
// leaves the manager empty, and the error says why in the player's terms.
asIScriptModule* CFResource::BuildModule(const char* path, const std::string& cachePath)
{
    std::vector<std::uint8_t> text;
    if (!fs_layer::ReadWholeFile(path, text, kMaxScriptSize)) {
        RefuseScript(std::string("Can't load AngelScript file ") + path);
        return nullptr;
    }
    const std::string cant = std::string("Can't compile AngelScript file ") + path + ": ";
    if (const int line = LineNestedTooDeep(text)) {
        RefuseScript(cant + "line " + std::to_string(line) + ": brackets nested deeper than " +
                     std::to_string(kMaxNesting));
        return nullptr;
    }
    std::vector<std::string> messages;
    std::vector<std::uint8_t> code;
    std::string why;
    switch (CompileInChild(text, messages, code, why)) {
    case ECompileTrial::kStopped:
        RefuseScript(cant + why);
        return nullptr;
    case ECompileTrial::kInterrupted:
        m_pEngine->Log("[I] Resource: The compile of %s is left: the program is asked to end", path);
        return nullptr;
    case ECompileTrial::kFailed:
        WriteMessages(messages);
        RefuseScript(cant + FirstError(messages));
        return nullptr;
    case ECompileTrial::kHere:
        return BuildHere(text, path, cachePath);
    case ECompileTrial::kBuilt:
        break;
    }
    asIScriptModule* module = LoadByteCode(code);
    if (module == nullptr) {
        RefuseScript(cant + "the script library can't load the byte code compiled from it");
        return nullptr;
    }
    WriteMessages(messages);
    if (!cachePath.empty())
        WriteCache(code, path, cachePath);
    return module;
}

void CFResource::WriteMessages(const std::vector<std::string>& messages)
{
    for (const std::string& line : messages)
        Write(line.c_str());
}

asIScriptModule* CFResource::BuildHere(const std::vector<std::uint8_t>& text, const char* path,
                                       const std::string& cachePath)
{
    asIScriptModule* module = m_pScriptEngine->GetModule(kModuleName, asGM_ALWAYS_CREATE);
    if (module == nullptr)
        return nullptr;
    module->AddScriptSection(kSectionName, reinterpret_cast<const char*>(text.data()), text.size());
    std::vector<std::string> messages;
    m_pScriptEngine->SetMessageCallback(asFUNCTION(CollectLine), &messages, asCALL_CDECL);
    const bool built = module->Build() >= 0;
    m_pScriptEngine->SetMessageCallback(asFUNCTION(MessageCallback), this, asCALL_CDECL);
    WriteMessages(messages);
    // A failed build leaves the old cache alone: a broken script must not be cached as good.
    if (!built) {
        RefuseScript(std::string("Can't compile AngelScript file ") + path + ": " + FirstError(messages));
        module->Discard();
        return nullptr;
    }
    if (cachePath.empty())
        return module;
    CFMemoryStream code;
    if (module->SaveByteCode(&code) >= 0)
        WriteCache(code.GetBytes(), path, cachePath);
    else
        m_pEngine->Log("[W] Resource: Can't write byte-code cache %s", cachePath.c_str());
    return module;
}

// The script library stops the whole program on an assertion for some wrong texts (an operator
// between two calls that return nothing, say), and a long text takes seconds to compile, so a
// text is compiled in a child process, which hands back its compiler messages and the byte code
// of a good build through shared pages. Only a child that stopped or hung refuses the text.
CFResource::ECompileTrial CFResource::CompileInChild(const std::vector<std::uint8_t>& text,
                                                     std::vector<std::string>& messages,
                                                     std::vector<std::uint8_t>& code, std::string& why)
{
    SharedPages shared(sizeof(CompileOutcome) + kMaxMessageBytes + kMaxCacheSize);  // touched pages only
    if (shared.Data() == nullptr)
        return ECompileTrial::kHere;
    auto* outcome = new (shared.Data()) CompileOutcome{};
    unsigned char* messageArea = shared.Data() + sizeof(CompileOutcome);
    unsigned char* codeArea = messageArea + kMaxMessageBytes;
    ChildEnding ending;
    const EChildRun result = RunInChild(
        [&] {
            MessageSink sink{outcome, messageArea};
            m_pScriptEngine->SetMessageCallback(asFUNCTION(CollectMessage), &sink, asCALL_CDECL);
            asIScriptModule* module = m_pScriptEngine->GetModule(kModuleName, asGM_ALWAYS_CREATE);
            module->AddScriptSection(kSectionName, reinterpret_cast<const char*>(text.data()), text.size());
            if (module->Build() < 0)
                return false;
            CFMemoryStream built;
            outcome->state = kCodeNotHandedBack;
            if (module->SaveByteCode(&built) < 0 || built.GetSize() > kMaxCacheSize)
                return false;
            std::memcpy(codeArea, built.GetBytes().data(), built.GetSize());
            outcome->codeBytes = built.GetSize();
            outcome->state = kCodeHandedBack;
            return true;
        },
        CompileLimits(), &ending);
    switch (result) {
    case EChildRun::kStopped:
    case EChildRun::kTimedOut:
    case EChildRun::kSanitizerReport:  // a memory error in the compiler is the trial's to find, as a stop is
        why = WhyTheCompileStopped(result, ending);
        return ECompileTrial::kStopped;
    case EChildRun::kInterrupted:
        return ECompileTrial::kInterrupted;
    case EChildRun::kUnavailable:
    case EChildRun::kNoProcess:
        return ECompileTrial::kHere;
    case EChildRun::kReturnedTrue:
    case EChildRun::kReturnedFalse:
        break;
    }
    // Compiled again here, the text could stop this process where it stopped the child.
    if (outcome->state == kCodeNotHandedBack || outcome->messageBytes > kMaxMessageBytes ||
        (outcome->state == kCodeHandedBack && outcome->codeBytes > kMaxCacheSize)) {
        why = "its byte code could not be handed back from the compile (over " + std::to_string(kMaxCacheSize >> 20) +
              " MB?)";
        return ECompileTrial::kStopped;
    }
    messages = SplitMessages(messageArea, outcome->messageBytes);
    if (outcome->messagesCut > 0)
        messages.push_back("[W] Resource: " + std::to_string(outcome->messagesCut) + " more compiler messages are left out");
    if (result == EChildRun::kReturnedFalse || outcome->state != kCodeHandedBack)
        return ECompileTrial::kFailed;
    code.assign(codeArea, codeArea + outcome->codeBytes);
    return ECompileTrial::kBuilt;
}

