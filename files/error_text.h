// The words error lines about files share.
#pragma once

#include <string>

// The system's message for errno value number, its first letter lower-cased
// to follow a colon: "no such file or directory".
std::string errorReason(int number);
