// NimbraSysReport: writes a plain-text report on this machine (operating system, kernel, processor,
// memory, display and sound devices) to the file named by its one argument. The feedback client
// starts it during an upload and passes the text on as it is. Every source is the machine's own
// (/etc/os-release, /proc, /sys); whatever cannot be read is reported as "unknown" or left out.

#include <sys/utsname.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxSourceBytes = 1u << 20;  // /proc/cpuinfo on a large machine stays below this
const char* const kEol = "\r\n";

std::string ReadSmallFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text;
    char buffer[4096];
    while (text.size() < kMaxSourceBytes && in.read(buffer, sizeof buffer).gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return text;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Value of "key<sep>value" lines such as /proc/meminfo ("MemTotal:  1 kB") or os-release.
std::string FindValue(const std::string& text, const std::string& key, char separator)
{
    for (const std::string& line : Lines(text)) {
        const std::size_t at = line.find(separator);
        if (at == std::string::npos || Trim(line.substr(0, at)) != key) continue;
        std::string value = Trim(line.substr(at + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return value;
    }
    return {};
}

std::string OrUnknown(const std::string& text)
{
    return text.empty() ? "unknown" : text;
}

class Report {
public:
    void Heading(const std::string& title)
    {
        const std::string rule(title.size(), '-');
        m_text += rule + kEol + title + kEol + rule + kEol;
    }
    void Line(const std::string& label, const std::string& value)
    {
        const std::size_t width = 22;
        const std::string pad = label.size() < width ? std::string(width - label.size(), ' ') : "";
        m_text += pad + label + ": " + value + kEol;
    }
    void Blank() { m_text += kEol; }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

std::string MemoryText(const std::string& meminfo, const std::string& key)
{
    const std::string value = FindValue(meminfo, key, ':');  // "16318204 kB"
    if (value.empty()) return "unknown";
    const long long kb = std::atoll(value.c_str());
    return std::to_string(kb / 1024) + "MB";
}

std::string TimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc {};
    if (!gmtime_r(&now, &utc)) return "unknown";
    char buffer[64];
    return std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S UTC", &utc) ? buffer : "unknown";
}

void SystemSection(Report& r)
{
    utsname names {};
    const bool haveNames = uname(&names) == 0;
    const std::string osRelease = ReadSmallFile("/etc/os-release");
    const std::string meminfo = ReadSmallFile("/proc/meminfo");
    const std::string cpuinfo = ReadSmallFile("/proc/cpuinfo");
    int processors = 0;
    for (const std::string& line : Lines(cpuinfo)) {
        if (line.rfind("processor", 0) == 0) ++processors;
    }
    std::string cpu = FindValue(cpuinfo, "model name", ':');
    if (cpu.empty()) cpu = FindValue(cpuinfo, "Hardware", ':');  // ARM kernels name it so

    r.Heading("System Information");
    r.Line("Time of this report", TimeText());
    r.Line("Machine name", OrUnknown(Trim(ReadSmallFile("/proc/sys/kernel/hostname"))));
    r.Line("Operating System", OrUnknown(FindValue(osRelease, "PRETTY_NAME", '=')));
    r.Line("Kernel", haveNames ? std::string(names.sysname) + " " + names.release : "unknown");
    r.Line("Kernel build", haveNames ? names.version : "unknown");
    r.Line("Architecture", haveNames ? names.machine : "unknown");
    const char* lang = std::getenv("LANG");
    r.Line("Language", OrUnknown(lang ? lang : ""));
    r.Line("Processor", OrUnknown(cpu) + (processors > 0 ? " (" + std::to_string(processors) + " CPUs)" : ""));
    r.Line("Memory", MemoryText(meminfo, "MemTotal"));
    r.Line("Available memory", MemoryText(meminfo, "MemAvailable"));
    r.Line("Swap", MemoryText(meminfo, "SwapTotal"));
    r.Blank();
}

std::string LinkTargetName(const std::filesystem::path& link)
{
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(link, error);
    return error ? std::string() : target.filename().string();
}

std::vector<std::filesystem::path> SortedEntries(const std::filesystem::path& dir)
{
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

void DisplaySection(Report& r)
{
    r.Heading("Display Devices");
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string session = wayland && *wayland ? "Wayland" : (x11 && *x11 ? "X11" : "none");
    r.Line("Display session", session);
    int cards = 0;
    for (const std::filesystem::path& entry : SortedEntries("/sys/class/drm")) {
        const std::string name = entry.filename().string();
        const bool isCard = name.rfind("card", 0) == 0 && name.find('-') == std::string::npos;
        if (isCard) {
            ++cards;
            r.Line("Card", name);
            r.Line("Driver", OrUnknown(LinkTargetName(entry / "device" / "driver")));
            r.Line("Vendor ID", OrUnknown(Trim(ReadSmallFile((entry / "device" / "vendor").string()))));
            r.Line("Device ID", OrUnknown(Trim(ReadSmallFile((entry / "device" / "device").string()))));
            continue;
        }
        const std::string status = Trim(ReadSmallFile((entry / "status").string()));
        if (name.rfind("card", 0) != 0 || status.empty()) continue;
        const std::vector<std::string> modes = Lines(ReadSmallFile((entry / "modes").string()));
        r.Line("Output", name + ", " + status + (modes.empty() ? "" : ", " + Trim(modes.front())));
    }
    if (cards == 0) r.Line("Card", "none found");
    r.Blank();
}

void SoundSection(Report& r)
{
    r.Heading("Sound Devices");
    // Lines of /proc/asound/cards: " 0 [PCH            ]: HDA-Intel - HDA Intel PCH", then a detail line.
    int devices = 0;
    for (const std::string& line : Lines(ReadSmallFile("/proc/asound/cards"))) {
        const std::size_t colon = line.find("]: ");
        if (colon == std::string::npos) continue;
        ++devices;
        r.Line("Description", Trim(line.substr(colon + 3)));
    }
    if (devices == 0) r.Line("Description", "none found");
    r.Blank();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    Report report;
    SystemSection(report);
    DisplaySection(report);
    SoundSection(report);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << report.Text();
    out.close();
    return out ? 0 : 1;
}
