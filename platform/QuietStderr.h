// QuietStderr.h: stderr pointed at /dev/null while the object lives. The libraries under SDL
// (ALSA's, Wayland's) print their own complaints there when no device or display answers; the
// failure reaches the log, and a start that ends on it stderr, in one line of ours.
#pragma once

class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();  // stderr as it was
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int m_saved = -1;
};
