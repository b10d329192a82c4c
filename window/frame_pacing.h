// Keeps the continuous redraw at the display rate instead of as fast as the
// processor allows, so an idle window costs little.
#pragma once

// Frames a second the window is redrawn at, at most.
constexpr int kFramesPerSecond = 60;

// Sleeps until one frame period after the previous slot; returns at once, and
// starts counting from now, when that moment has already passed.
void waitForFrameSlot();
