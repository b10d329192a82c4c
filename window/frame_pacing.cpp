#include "window/frame_pacing.h"

#include <chrono>
#include <thread>

using Clock = std::chrono::steady_clock;

constexpr Clock::duration kFramePeriod =
    std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / kFramesPerSecond;

static Clock::time_point nextSlot;

void waitForFrameSlot()
{
    const Clock::time_point now = Clock::now();
    if (now >= nextSlot) {
        nextSlot = now + kFramePeriod;
        return;
    }
    std::this_thread::sleep_until(nextSlot);
    nextSlot += kFramePeriod;
}
