// In the page redraws already wait for the browser's animation frames, and
// a sleep there would spin the page's only thread; so no wait at all.
#include "window/frame_pacing.h"

void waitForFrameSlot()
{
}
