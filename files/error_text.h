// The pieces every error line about a file is made of.
#pragma once

#include <string>

// The system's message for errno value number, its first letter lower-cased
// to follow a colon: "no such file or directory".
std::string errorReason(int number);

// "NAME:LINE: ", the start of an error about one line of a file.
std::string errorAt(const std::string& name, long line);

// "NAME: not enough memory to read it", for a read that ran out of memory.
std::string outOfMemoryError(const std::string& name);
