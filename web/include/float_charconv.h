// Included first in every source of the browser build (-include): its C++
// library declares std::to_chars and std::from_chars for integers only, so
// the floating-point ones the map files and pictures use are added here,
// each handing over to web/port/float_text.cpp.
#pragma once

#include <charconv>

#include "web/port/float_text.h"

namespace std {

inline to_chars_result to_chars(char* first, char* last, float value)
{
    errc error{};
    char* end = floatToChars(first, last, value, error);
    return {end, error};
}

inline to_chars_result to_chars(char* first, char* last, double value)
{
    errc error{};
    char* end = floatToChars(first, last, value, error);
    return {end, error};
}

inline from_chars_result from_chars(const char* first, const char* last, float& value)
{
    errc error{};
    const char* end = floatFromChars(first, last, value, error);
    return {end, error};
}

inline from_chars_result from_chars(const char* first, const char* last, double& value)
{
    errc error{};
    const char* end = floatFromChars(first, last, value, error);
    return {end, error};
}

} // namespace std
