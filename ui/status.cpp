#include "ui/status.h"

#include <chrono>

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
