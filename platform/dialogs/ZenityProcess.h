// ZenityProcess: runs the desktop's "zenity" program for one dialog, or keeps a "zenity --progress"
// window alive and feeds it lines through its standard input. Texts are UTF-8 and pass as program
// arguments (never through a shell). Without a display or without zenity in PATH, Available() is false
// and the feedback client shows no dialogs.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace dialogs_layer {

class ZenityProcess {
public:
    static constexpr std::size_t kMaxOutputBytes = 64 * 1024;

    ZenityProcess() = default;
    ~ZenityProcess();
    ZenityProcess(const ZenityProcess&) = delete;
    ZenityProcess& operator=(const ZenityProcess&) = delete;

    // A display (X11 or Wayland) is set and an executable "zenity" is found in PATH.
    static bool Available();
    // Runs one modal dialog to its end. The exit code (0 for OK, 1 for Cancel or the close box), or -1
    // when it could not run; output gets what it printed, cut at kMaxOutputBytes, without the line end.
    static int RunModal(const std::vector<std::string>& args, std::string& output);
    // Pango markup would read "&" and "<" in a text; this makes them plain.
    static std::string EscapeMarkup(const std::string& text);

    // A window that stays open: started with its standard input as a pipe.
    bool Start(const std::vector<std::string>& args);
    bool Send(const std::string& line);  // false once the window has gone
    bool IsRunning();
    void Stop();                         // ends the window and reaps it

private:
    int m_nPid = -1;
    int m_nInput = -1;
};

}  // namespace dialogs_layer
