// The status line: one short message shown at the bottom of the window for a
// few seconds after a command that has something to say.
#pragma once

#include <string>

// How long a message stays.
constexpr double kStatusSeconds = 4.0;

// Shows text from now on, replacing any message shown; also used for errors.
void showStatus(const std::string& text);

// The message to draw at time now (seconds, any steady clock), or "" when
// none is due; the clock is read by the caller so this stays testable.
std::string statusAt(double now);

// The steady clock statusAt is read with, in seconds.
double statusClock();

// Seconds from now until the message shown at now goes away (a little past
// the moment, so statusAt then gives ""); infinity when none is shown.
double statusEndsIn(double now);
