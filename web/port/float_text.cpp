#include "web/port/float_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <strings.h>

// Enough for "%.16e" of any double; fixed integers are at most 309 digits.
constexpr int kTextBytes = 64;
constexpr int kWholeBytes = 320;

// A finite number as decimal digits d1 d2 ... dn meaning d1.d2...dn x 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

static bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

static const char* skipDigits(const char* at, const char* last)
{
    while (at != last && isDigit(*at))
        ++at;
    return at;
}

template <typename Real>
static Real readReal(const char* text);

template <>
float readReal<float>(const char* text)
{
    return std::strtof(text, nullptr);
}

template <>
double readReal<double>(const char* text)
{
    return std::strtod(text, nullptr);
}

// The fewest significant digits that read back as value (nearest of that
// length); max_digits10 of them always do.
template <typename Real>
static Decimal shortestDecimal(Real value)
{
    char text[kTextBytes];
    for (int precision = 0; precision < std::numeric_limits<Real>::max_digits10; ++precision) {
        std::snprintf(text, sizeof text, "%.*e", precision, static_cast<double>(value));
        if (readReal<Real>(text) == value)
            break;
    }
    Decimal decimal;
    const char* at = text;
    decimal.negative = *at == '-';
    at += decimal.negative ? 1 : 0;
    for (; *at != 'e'; ++at)
        if (*at != '.')
            decimal.digits += *at;
    decimal.exponent = std::atoi(at + 1);
    return decimal;
}

static std::string scientificText(const Decimal& d)
{
    std::string text = d.negative ? "-" : "";
    text += d.digits[0];
    if (d.digits.size() > 1)
        text += "." + d.digits.substr(1);
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
    return text + exponent;
}

// Integers past the digits kept are written in full, as the C++ library does.
template <typename Real>
static std::string fixedText(const Decimal& d, Real value)
{
    const int count = static_cast<int>(d.digits.size());
    std::string text = d.negative ? "-" : "";
    if (d.exponent >= count - 1) {
        char whole[kWholeBytes];
        std::snprintf(whole, sizeof whole, "%.0f", std::fabs(static_cast<double>(value)));
        return text + whole;
    }
    if (d.exponent >= 0)
        return text + d.digits.substr(0, d.exponent + 1) + "." + d.digits.substr(d.exponent + 1);
    return text + "0." + std::string(-d.exponent - 1, '0') + d.digits;
}

template <typename Real>
static std::string shortestText(Real value)
{
    if (std::isnan(value))
        return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0)
        return std::signbit(value) ? "-0" : "0";
    const Decimal decimal = shortestDecimal(value);
    const std::string fixed = fixedText(decimal, value);
    const std::string scientific = scientificText(decimal);
    return fixed.size() <= scientific.size() ? fixed : scientific;
}

// Length of the longest [-]digits[.digits][(e|E)[+|-]digits] at first, with
// at least one digit before the exponent; 0 when there is none. nonZero
// tells whether a digit before the exponent is not 0.
static std::size_t decimalLength(const char* first, const char* last, bool& nonZero)
{
    const char* at = first != last && *first == '-' ? first + 1 : first;
    const char* wholeEnd = skipDigits(at, last);
    const char* end = wholeEnd;
    if (end != last && *end == '.')
        end = skipDigits(end + 1, last);
    if (end - at == (end == wholeEnd ? 0 : 1))
        return 0;
    nonZero = std::find_if(at, end, [](char c) { return c >= '1' && c <= '9'; }) != end;
    if (end != last && (*end == 'e' || *end == 'E')) {
        const char* exponent = end + 1;
        if (exponent != last && (*exponent == '+' || *exponent == '-'))
            ++exponent;
        const char* exponentEnd = skipDigits(exponent, last);
        if (exponentEnd != exponent)
            end = exponentEnd;
    }
    return static_cast<std::size_t>(end - first);
}

static bool startsWithWord(const char* at, const char* last, const char* word)
{
    const std::size_t length = std::strlen(word);
    return static_cast<std::size_t>(last - at) >= length && strncasecmp(at, word, length) == 0;
}

// Past "(letters, digits, _)" at at, or at itself when that is not there.
static const char* skipNanPayload(const char* at, const char* last)
{
    if (at == last || *at != '(')
        return at;
    const char* end = std::find_if(at + 1, last, [](char c) {
        return !std::isalnum(static_cast<unsigned char>(c)) && c != '_';
    });
    return end != last && *end == ')' ? end + 1 : at;
}

// Length of [-]inf, [-]infinity or [-]nan[(payload)] at first, else 0.
static std::size_t wordLength(const char* first, const char* last)
{
    const char* at = first != last && *first == '-' ? first + 1 : first;
    for (const char* word : {"infinity", "inf"})
        if (startsWithWord(at, last, word))
            return static_cast<std::size_t>(at - first) + std::strlen(word);
    if (startsWithWord(at, last, "nan"))
        return static_cast<std::size_t>(skipNanPayload(at + 3, last) - first);
    return 0;
}

template <typename Real>
static const char* fromChars(const char* first, const char* last, Real& value, std::errc& error)
{
    bool nonZero = false;
    std::size_t length = decimalLength(first, last, nonZero);
    const bool word = length == 0;
    if (word)
        length = wordLength(first, last);
    if (length == 0) {
        error = std::errc::invalid_argument;
        return first;
    }
    const Real read = readReal<Real>(std::string(first, length).c_str());
    const bool outOfRange = !word && (std::isinf(read) || (read == 0 && nonZero));
    error = outOfRange ? std::errc::result_out_of_range : std::errc();
    if (!outOfRange)
        value = read;
    return first + length;
}

template <typename Real>
static char* toChars(char* first, char* last, Real value, std::errc& error)
{
    const std::string text = shortestText(value);
    if (static_cast<std::size_t>(last - first) < text.size()) {
        error = std::errc::value_too_large;
        return last;
    }
    error = std::errc();
    return std::copy(text.begin(), text.end(), first);
}

char* floatToChars(char* first, char* last, float value, std::errc& error)
{
    return toChars(first, last, value, error);
}

char* floatToChars(char* first, char* last, double value, std::errc& error)
{
    return toChars(first, last, value, error);
}

const char* floatFromChars(const char* first, const char* last, float& value, std::errc& error)
{
    return fromChars(first, last, value, error);
}

const char* floatFromChars(const char* first, const char* last, double& value, std::errc& error)
{
    return fromChars(first, last, value, error);
}
