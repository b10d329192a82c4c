// Playing a finished search back one expansion at a time. The clock is passed
// in (seconds, any steady clock), so the rules are testable without waiting.
#pragma once

constexpr double kMinReplaySpeed = 1.0;
constexpr double kMaxReplaySpeed = 100000.0;
constexpr double kDefaultReplaySpeed = 64.0; // halving lands on exactly 1

struct Replay {
    bool active = false;  // false: the finished search is shown
    bool playing = false; // advancing with the clock; false: paused
    int anchorStep = 0;   // the step shown at anchorTime
    double anchorTime = 0.0;
    double speed = kDefaultReplaySpeed; // expansions a second
};

// The step shown at now: the finished search's last step (total) when not
// active; never beyond total.
int replayStepAt(const Replay& replay, int total, double now);

// True while a step other than the finished picture is shown: active, and not
// a playback that has run to the end (which ends the replay).
bool replayShowing(const Replay& replay, int total, double now);

// Space: starts from step 0 when not showing, else pauses or resumes.
void playOrPause(Replay& replay, int total, double now);

// . and ,: moves delta steps from the one shown, clamped to 0..total, and
// pauses. With no replay showing, a step forward starts from step 0 (so '.'
// shows step 1) and a step back from the end (',' shows total - 1).
void stepReplayBy(Replay& replay, int delta, int total, double now);

// + and -: doubles or halves the speed within 1 to 100,000; a playing replay
// goes on from the step it shows.
void scaleSpeed(Replay& replay, bool faster, int total, double now);

// Back to the finished search; the speed is kept.
void endReplay(Replay& replay);
