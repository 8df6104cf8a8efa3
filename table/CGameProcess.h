// CGameProcess.h: the top-level screen in which one level is played.
#pragma once
#include "app/CScreenBase.h"

#include <memory>

class CInterface;
class CSoundManager;

// Owns the in-game controller and forwards the frame to it while active (a popup attached as
// child makes it inactive, so the game stands still under it). Starts the location's music.
class CGameProcess : public CScreenBase {
public:
    // level and mode as the in-game controller takes them; extra: the classic location, the
    // bonus level's location + 1, the hardcore level's location, or -1. Null when it cannot be made.
    static CGameProcess* Create(int level, int mode, int extra);
    ~CGameProcess() override;

    void Update(float dt) override;
    void Render() override;
    void Release() override;

    CInterface* GetInterface() const { return m_pInterface.get(); }
    int GetLevel() const { return level; }
    int GetMode() const { return mode; }
    static int MusicLocation(int level, int mode, int extra);  // the location whose music plays

private:
    CGameProcess(int level, int mode, int extra);

    std::unique_ptr<CInterface> m_pInterface;
    int level;
    int mode;
    CSoundManager* sound = nullptr;
};
