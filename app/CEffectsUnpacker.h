// CEffectsUnpacker.h: the first-run conversion of the effect images.
//
// Every "gfx/effects/NAME.jp2" is decoded, takes its alpha from the grey levels of
// "gfx/effects/NAME.gif" (when there is one) and is written as a 32-bit TGA under
// "gfx/effects/NAME.png". A pair's sources are deleted once its target is written; a pair that
// fails keeps its sources (and is not retried, since start-up clears "cnv" afterwards).
// GIFs without a ".jp2" are deleted as well. A link at a source's name is not read (it may lead
// to a picture of the player's own rather than the data set's): its pair fails, with a line.
// Progress goes to the engine log when the engine is headless and to the window title otherwise.
//
//     CEffectsUnpacker unpacker("Palmora");  // counts the files
//     if (!unpacker.Run()) ...               // false only after Abort()
#pragma once

#include "platform/EngineRef.h"

#include <atomic>
#include <string>
#include <vector>

class CEffectsUnpacker {
public:
    explicit CEffectsUnpacker(const char* gameTitle = "Palmora");
    ~CEffectsUnpacker();                  // gives the window its title back
    CEffectsUnpacker(const CEffectsUnpacker&) = delete;
    CEffectsUnpacker& operator=(const CEffectsUnpacker&) = delete;

    bool Run();                           // converts everything; false when aborted on the way
    void Abort() { m_bAbort = true; }     // may be called from another thread
    int FileCount() const { return static_cast<int>(m_files.size()); }
    int FilesDone() const { return m_nDone; }

private:
    bool ConvertOne(const std::string& fileName);
    void ShowProgress();
    void DeleteSources();

    CEngineRef m_pEngine;
    std::string m_title;
    std::vector<std::string> m_files;     // names of the ".jp2" files, sorted
    std::vector<std::string> m_converted; // names whose targets were written
    int m_nDone = 0;
    int m_nShownPercent = -1;
    std::atomic<bool> m_bAbort{false};
};
