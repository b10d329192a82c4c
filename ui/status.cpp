#include "ui/status.h"

#include <chrono>
#include <cmath>

// Past the end, so the redraw then finds the message gone.
constexpr double kPastTheEnd = 0.01;

static std::string statusText;
static double statusShownAt = 0.0;

double statusClock()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void showStatus(const std::string& text)
{
    statusText = text;
    statusShownAt = statusClock();
}

std::string statusAt(double now)
{
    if (statusText.empty() || now - statusShownAt > kStatusSeconds)
        return "";
    return statusText;
}

double statusEndsIn(double now)
{
    if (statusAt(now).empty())
        return HUGE_VAL;
    return statusShownAt + kStatusSeconds - now + kPastTheEnd;
}
