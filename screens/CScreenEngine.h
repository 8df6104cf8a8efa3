// CScreenEngine.h: the engine calls that menus, popups and dialogs make, through the screen's
// own engine reference (taken when the screen is built, given back when it goes; Log and Get
// come with the reference).
//
// Sounds play at the current player's effect volume, centred, at normal pitch. Two calls that
// the screens make of the graphics device have nothing to do on our engine layer and do nothing:
// discarding the managed textures before a screen builds (our textures are never evicted behind
// the game's back) and asking the device for its focus window (there is only the one window,
// which MinimizeWindow reaches directly).
#pragma once

#include "platform/EngineRef.h"

#include <cstdint>

class CScreenEngine : public CEngineRef {
public:
    // ---- Keys --------------------------------------------------------------------------------
    int LastKey() const;             // virtual-key code pressed in this frame, 0 when none
    bool KeyHeld(int key) const;     // true while the key is down

    // ---- Sound effects -----------------------------------------------------------------------
    HEffect LoadSound(const char* path) const;  // 0 on failure
    void FreeSound(HEffect effect) const;
    HChannel PlaySound(HEffect effect, bool loop) const;
    // A pitch of 0 or below would freeze a looping sound on an engine that honours pitch; such a
    // sound plays at normal pitch instead.
    HChannel PlaySound(HEffect effect, bool loop, float pitch) const;
    bool IsChannelPlaying(HChannel channel) const;
    void StopChannel(HChannel channel) const;

    // ---- View and window ---------------------------------------------------------------------
    void Clear(std::uint32_t colour) const;     // the current render target
    void DiscardManagedResources() const {}     // nothing is evicted on our engine
    void MinimizeFocusWindow() const;
};
