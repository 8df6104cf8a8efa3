// CFModule.h: the graphics modules that the resource script declares, and what they are made of.
//
// A module is a named set of effects and the unit of loading. An effect is one animation: a
// number of frames played over a length, made of tracks (one key per frame), sound tracks,
// named frame ranges and frame commands. Indices into the resource manager's tables (texts,
// sprites, sounds) are checked when declared; -1 means none. After the script has run, every
// effect has at least one frame, a positive length and a key for every frame on every track.
#pragma once

#include <string>
#include <vector>

enum ETrackKind : int {
    kTrackGfx = 0,
    kTrackClip = 1,
    kTrackParticle = 2,
};

// What a track shows in one frame.
struct CFFrameKey {
    int text = -1;       // text entry index
    int sprite = -1;     // sprite entry index
    int alpha = 255, red = 255, green = 255, blue = 255;
    float x = 0, y = 0;  // relative to the instance
    float hscale = 1, vscale = 1;  // factors
    float rotation = 0;  // radians
    float hotX = 0, hotY = 0;
    int interpolate = 0; // 1: blend toward the next key within the frame
    int depth = 0;       // drawing order key
    int blend = 0;       // 1: the engine's blend mode 3, else mode 2
    int clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;  // clip tracks
};

// How a part attached to a track takes over the track's state.
struct CFInheritOptions {
    int position = 1;
    float scale = 1.0f;
    int rotation = 1;
    int unused1 = 1;
    int unused2 = 1;
    int alpha = 1;
    int depth = 1;
    int unused3 = 1;
};

struct CFSubstitution {
    std::string module;
    std::string effect;
};

struct CFTrack {
    std::string name;
    std::vector<CFFrameKey> keys;  // key i belongs to frame i
    int reserved = 0;
    std::vector<CFSubstitution> substitutions;
    CFInheritOptions inherit;
    int kind = kTrackGfx;
    std::string particleFile;      // particle tracks: the description file
    int particleSprite = -1;       // particle tracks: sprite entry index
    int particleManager = -1;      // index of the started particle object, -1 before
    int particleBlend = 0;         // 1: the particle sprite adds (engine blend mode 0), 0: mode 2
    int layer = 0;
};

enum ESoundMode : int {
    kSoundPlay = 1,
    kSoundLoop = 2,
    kSoundStop = 4,
};

struct CFSoundKey {
    int sound = -1;   // sound entry index
    int volume = 100; // percent
    int pan = 0;
    float pitch = 1.0f;
    int mode = 0;     // ESoundMode; any other value plays nothing
    bool played = false;
};

struct CFSoundTrack {
    std::string name;
    int value = 0;
    std::vector<CFSoundKey> keys;  // key i belongs to frame i
};

struct CFNamedPart {
    std::string name;
    int firstFrame = 0;
    int lastFrame = 0;
    int extra = 0;
};

enum EFrameCommandKind : int {
    kCommandPlay = 0,
    kCommandParticle = 1,
};

struct CFFrameCommand {
    int kind = kCommandPlay;
    std::string path;  // play commands: the section to start
    int frame = -1;
    int track = -1;
    int value = 0;     // particle commands: 1 fire, 2 stop emitting, 3 stop and kill
};

// Which track or sound track, in declaration order across both lists.
struct CFTrackRef {
    bool sound = false;
    int index = 0;
};

struct CFEffect {
    std::string name;
    int frameCount = 0;
    int length = 0;  // milliseconds for all frames
    std::vector<CFTrackRef> trackOrder;
    std::vector<CFTrack> tracks;
    std::vector<CFSoundTrack> soundTracks;
    std::vector<CFNamedPart> sections;       // no declaration fills this list
    std::vector<CFNamedPart> namedParts;
    std::vector<CFFrameCommand> commands;
};

struct CFModule {
    std::string name;
    std::vector<CFEffect> effects;
    int loadedObjects = 0;
    int totalObjects = 0;  // gfx, clip and particle tracks; sound tracks do not count
    int effectCursor = 0;
    int objectCursor = 0;
};
