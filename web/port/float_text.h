// Floating-point text conversion for the browser build, whose C++ library
// has no floating-point std::to_chars or std::from_chars. Same results as
// those, built on the C library's correctly rounded printf and strtod.
#pragma once

#include <system_error>

// Writes value as std::to_chars(first, last, value) does: the fewest digits
// that read back to the same value, fixed or scientific, whichever is
// shorter (fixed on a tie); "-0", "inf", "-inf", "nan" for those. Returns
// the end of the text, or last with value_too_large when it does not fit.
char* floatToChars(char* first, char* last, float value, std::errc& error);
char* floatToChars(char* first, char* last, double value, std::errc& error);

// Reads a float or double as std::from_chars(first, last, value) does in
// its general format: an optional '-', digits with an optional point and
// exponent, or inf, infinity, nan; no leading space or '+'. Correctly
// rounded. Returns where the number ends; first with invalid_argument when
// there is none. A result that is infinite, or zero from a number that is
// not, gives result_out_of_range and leaves value alone.
const char* floatFromChars(const char* first, const char* last, float& value, std::errc& error);
const char* floatFromChars(const char* first, const char* last, double& value, std::errc& error);
