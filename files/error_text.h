// The pieces every error line about a file is made of.
#pragma once

#include <string>
#include <string_view>

// The system's message for errno value number, its first letter lower-cased
// to follow a colon: "no such file or directory".
std::string errorReason(int number);

// "NAME:LINE: ", the start of an error about one line of a file.
std::string errorAt(const std::string& name, long line);

// text made safe to show on a terminal, for anything a user or a file put in
// a message: every byte that could act on the terminal is written "\xNN"
// (lower-case hex): control bytes (tab and line feed too), DEL, the C1
// controls U+0080..U+009F, and any byte not part of well-formed UTF-8 (a lone
// 0x9b, a sequence cut short, overlong or surrogate forms). Printable ASCII
// and every other UTF-8 character pass unchanged, so printable text is
// returned as it came, and an escaped text escapes to itself.
std::string printableText(std::string_view text);

// "NAME: not enough memory to read it", for a read that ran out of memory.
std::string outOfMemoryError(const std::string& name);
