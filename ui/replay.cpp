#include "ui/replay.h"

#include <algorithm>
#include <cmath>

int replayStepAt(const Replay& replay, int total, double now)
{
    if (!replay.active)
        return total;
    if (!replay.playing)
        return std::clamp(replay.anchorStep, 0, total);
    const double advanced = std::floor(std::max(0.0, now - replay.anchorTime) * replay.speed);
    const double step = std::min(static_cast<double>(total), replay.anchorStep + advanced);
    return static_cast<int>(step);
}

bool replayShowing(const Replay& replay, int total, double now)
{
    return replay.active && !(replay.playing && replayStepAt(replay, total, now) >= total);
}

void playOrPause(Replay& replay, int total, double now)
{
    if (!replayShowing(replay, total, now)) {
        replay.active = true;
        replay.playing = true;
        replay.anchorStep = 0;
        replay.anchorTime = now;
        return;
    }
    replay.anchorStep = replayStepAt(replay, total, now);
    replay.anchorTime = now;
    replay.playing = !replay.playing;
}

void stepReplayBy(Replay& replay, int delta, int total, double now)
{
    // Stepping forward starts a replay at its beginning, stepping back at its end.
    const int start = delta > 0 ? 0 : total;
    const int from = replayShowing(replay, total, now) ? replayStepAt(replay, total, now) : start;
    replay.anchorStep = std::clamp(from + delta, 0, total);
    replay.anchorTime = now;
    replay.active = true;
    replay.playing = false;
}

void scaleSpeed(Replay& replay, bool faster, int total, double now)
{
    if (replay.active && replay.playing) {
        replay.anchorStep = replayStepAt(replay, total, now);
        replay.anchorTime = now;
    }
    const double speed = faster ? replay.speed * 2.0 : replay.speed / 2.0;
    replay.speed = std::clamp(speed, kMinReplaySpeed, kMaxReplaySpeed);
}

void endReplay(Replay& replay)
{
    replay.active = false;
    replay.playing = false;
    replay.anchorStep = 0;
}
