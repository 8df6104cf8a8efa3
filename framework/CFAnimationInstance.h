// CFAnimationInstance.h: one playing copy of an effect of a graphics module.
//
// The instance copies the effect's description when it loads it, so several instances of one
// effect play independently. It keeps its own clock, frame range, loop flag, speed, position,
// scale, rotation and colour, and owns one child instance (a part) for every substitution of
// its tracks, so effects nest. Its group (not owned) advances it once per frame and draws the
// track states it collects, sorted by depth. Frame events start command sections of parts and
// particle objects at given frames; frame sounds play through the engine.
//
// Robustness: a track with fewer keys than frames shows its last key for the frames it lacks;
// an effect without frames or length never divides by zero; substitutions nest at most
// kMaxNesting levels, so an effect that substitutes itself stops there.
#pragma once

#include "framework/CFModule.h"
#include "framework/CFTrackState.h"
#include "platform/EngineRef.h"

#include <memory>
#include <string>
#include <vector>

class CFAnimationGroup;
class CFFont;
class CFResource;
struct CFTextEntry;
struct CFTextLink;

class CFAnimationInstance {
public:
    static constexpr float kUnsetPosition = -65535.0f;  // x of this value: the view's centre
    static constexpr int kMaxNesting = 8;               // levels of parts below a top instance

    CFAnimationInstance(CFAnimationGroup* group, float x, float y);
    ~CFAnimationInstance();
    CFAnimationInstance(const CFAnimationInstance&) = delete;
    CFAnimationInstance& operator=(const CFAnimationInstance&) = delete;

    // ---- Loading and playing ------------------------------------------------------------------
    // False (and one log line) when the module or the effect does not exist; the instance then
    // keeps what it had.
    bool LoadEffect(CFResource* res, const char* module, const char* effect);
    void Play(bool loop);                              // the whole effect
    void PlayRange(int first, int last, bool loop);
    void PlayCommandSection(const std::string& name, bool loop);  // unknown names do nothing
    void PlayCommand(int trackIndex, const char* path, bool loop);
    void Stop(bool recursive);                         // takes effect at the end of the next update
    void SetFrame(float frame);                        // jumps within the range, playing or not
    void ResetRange();                                 // whole effect, without playing
    void SaveState();
    void RestoreState();

    // "part.#1.inner.command": the part named "part" on track trackIndex, inside it the part
    // named "inner" on its track 1; the last component (the command) is not looked at.
    CFAnimationInstance* FindPart(int trackIndex, const char* path);
    CFAnimationInstance* GetPartInstance(int trackIndex, int n);  // n-th part on that track

    // ---- Per-frame work (the group calls these) -----------------------------------------------
    // mode 0: ordinary update; 1: the parent was updated; 2: a forced jump that computes the
    // frame even when not playing and plays no sounds. collect: add the track states to the
    // group's draw list.
    void Advance(float dt, int mode, bool collect);
    void Render(CFTrackState* state);                  // null: every state, then every part

    // ---- Queries --------------------------------------------------------------------------------
    int GetCurrentFrame() const { return m_nCurrentFrame; }
    int GetFrameCount() const { return m_nFrameCount; }
    double GetDuration() const { return m_fLength; }
    bool IsPlaying() const { return m_bPlaying; }
    bool IsVisible() const { return m_bVisible; }
    bool IsPart() const { return m_bPart; }
    int GetTrackCount() const { return static_cast<int>(m_effect.tracks.size()); }
    int GetFirstFrame() const { return m_nFirstFrame; }
    int GetLastFrame() const { return m_nLastFrame; }
    bool IsLooping() const { return m_bLoop; }
    float GetSpeed() const { return m_fSpeed; }
    const std::string& GetName() const { return m_effect.name; }
    CFAnimationInstance* GetParent() const { return m_pParent; }
    CFAnimationGroup* GetGroup() const { return m_pGroup; }
    void GetPosition(float& x, float& y) const { x = m_fX; y = m_fY; }
    const CFTrackState* GetTrackState(int track) const;  // null out of range
    int GetPartCount() const { return static_cast<int>(m_parts.size()); }

    // Top-left and size of the key's graphic on a track in a frame (0, 0 size without a sprite).
    void GetPartPosition(float* x, float* y, int track, int frame) const;
    void GetPartSize(float* w, float* h, int track, int frame) const;
    // Track 0 at the current frame, placed where its state is now.
    void GetBounds(float* x, float* y, float* w, float* h) const;
    // The box of every sprite the instance's own tracks show now, its parts not counted (nor
    // texts, rotation or particles); false, and nothing written, when they show none.
    bool GetDrawnBounds(float* x, float* y, float* w, float* h) const;
    // Replaces the text that the key shows; the entry is shared with every instance showing it.
    void SetFrameText(int track, int frame, const char* text);
    void GetTextLinks(std::vector<CFTextLink>& links, int track, int frame);
    // Breaks the key's text anew into lines of at most `width` pixels of its font (CFFont::Rewrap);
    // the entry is shared with every instance showing it.
    void RewrapFrameText(int track, int frame, int width);

    // ---- Settings -------------------------------------------------------------------------------
    void SetVisible(bool visible);                     // and every part
    void SetPosition(float x, float y, bool recursive);
    void SetGroup(CFAnimationGroup* group, bool recursive);
    void ForgetGroup();                                // the group is going away: no group, parts too
    void SetScale(float scale) { m_fScale = scale; }
    void SetRotation(float radians) { m_fRotation = radians; }
    void SetColor(int argb) { m_nColor = argb; }       // -1: the keys give the colour
    void SetSpeed(float speed) { m_fSpeed = speed; }
    void SetPlayParts(bool play) { m_bPlayParts = play; }
    void SetStartOnLoad(bool start) { m_bStartOnLoad = start; }
    void SetRepeatFrameEvents(bool repeat) { m_bRepeatFrameEvents = repeat; }
    void SetKeepPlayingParts(bool keep);               // and every part
    void SetStateInstance(int track, CFAnimationInstance* instance);

private:
    struct FrameEvent {
        bool fired = false;
        bool active = false;
        int frame = 0;
        std::string command;
        CFAnimationInstance* target = nullptr;  // a part of this instance
        int kind = kCommandPlay;
        int value = 0;
        int track = 0;
        bool firedInPlay = false;
    };

    bool LoadNested(CFResource* res, const char* module, const char* effect, int depth);
    void TakeEffect(const CFEffect& effect, int depth);
    void BuildFrameEvents();
    void ResetFrameEvents(bool clearFiredInPlay);
    void ResetSoundKeys();
    void TimeToFrame(float dt, int& frame, float& fraction);
    void FireFrameEvents();
    void FireParticleCommand(const FrameEvent& event);
    void PlayFrameSounds();
    void ComputeTrackStates(float fraction, int mode, float dt);
    void ComputeTrackState(CFTrackState& state, float fraction);
    void InheritFromParent(CFTrackState& state) const;
    void StepParticles(CFTrackState& state, const CFTrack& track, float dt);
    void RenderState(CFTrackState& state);
    void RenderSprite(const CFTrackState& state, const CFFrameKey& key);
    void RenderText(const CFTrackState& state, const CFFrameKey& key);
    CFFont* SpacedFontFor(const CFTextEntry& text);
    void RemoveStatesFromGroup();
    void AddStatesToGroup();
    const CFFrameKey* KeyAt(int track, int frame) const;
    int NestingDepth() const;

    bool m_bVisible = false;
    bool m_bPart = false;
    int m_nFrameCount = 0;
    double m_fLength = 0;           // seconds
    double m_fSecondsPerFrame = 0;
    CFEffect m_effect;              // this instance's copy: tracks keep their own particle objects
    int m_nPartIndex = 0;           // for a part: the parent's track it hangs on
    int m_nFirstFrame = 0, m_nLastFrame = 0;
    float m_fSpeed = 1.0f;
    bool m_bStopRequested = false;
    CEngineRef m_pEngine;
    CFResource* m_pResource = nullptr;
    std::vector<FrameEvent> m_events;
    bool m_bPlayParts = true;
    CFAnimationInstance* m_pParent = nullptr;
    std::vector<std::unique_ptr<CFAnimationInstance>> m_parts;
    std::vector<CFTrackState> m_states;
    CFAnimationGroup* m_pGroup = nullptr;
    double m_fTime = 0, m_fSavedTime = 0;
    int m_nCurrentFrame = 0, m_nSavedFrame = 0;
    bool m_bPlaying = false;
    bool m_bLoop = false;
    float m_fX = 400.0f, m_fY = 300.0f;
    float m_fScale = 1.0f;
    int m_nColor = -1;
    float m_fRotation = 0;
    bool m_bRepeatFrameEvents = false;
    bool m_bStartOnLoad = true;
    bool m_bKeepPlayingParts = false;
};
