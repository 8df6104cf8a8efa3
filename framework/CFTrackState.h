// CFTrackState.h: what one track of a playing animation shows in the current frame.
//
// An animation instance computes one state per track every update; its group collects the
// states of all its members into one draw list, sorts them by depth and asks each owner to draw
// its state. Positions are relative to the owning instance's position.
#pragma once

class CFAnimationInstance;

struct CFTrackState {
    CFAnimationInstance* attached = nullptr;  // when set, drawn in place of the track's graphic
    CFAnimationInstance* owner = nullptr;
    int track = 0;                            // index into the owner's tracks
    int depth = 0;
    float x = 0, y = 0;
    float rotation = 0;                       // radians
    float hscale = 1, vscale = 1;
    int alpha = 255, red = 255, green = 255, blue = 255;
};
