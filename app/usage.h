// The usage text printed once at start-up.
#pragma once

#include <string>

// The text as the console of the given character set reads it: converted for
// Japanese multibyte sets (Shift-JIS, CP932, EUC-JP), UTF-8 for any other
// set or if conversion fails.
std::string usageTextFor(const char* codeset);

// Writes the text in the user's console encoding and flushes it at once, so
// a pipe sees it before the first window event.
void writeUsage();
