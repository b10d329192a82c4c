// The browser build's floating-point text conversion must agree with the
// desktop C++ library in every character and bit: .vmap files and pictures
// saved in the page are read on the desktop and the other way round.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "app/float_text_web.h"

template <typename Real>
static std::string stdText(Real value)
{
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

template <typename Real>
static std::string webText(Real value)
{
    char text[64];
    std::errc error{};
    char* end = floatToChars(text, text + sizeof text, value, error);
    EXPECT_EQ(error, std::errc());
    return std::string(text, end);
}

template <typename Real, typename Bits>
static Real fromBits(Bits bits)
{
    Real value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <typename Real>
static void expectSameReading(const std::string& text)
{
    Real expected = 7, actual = 7;
    const auto want = std::from_chars(text.data(), text.data() + text.size(), expected);
    std::errc error{};
    const char* end = floatFromChars(text.data(), text.data() + text.size(), actual, error);
    EXPECT_EQ(error, want.ec) << text;
    EXPECT_EQ(end - text.data(), want.ptr - text.data()) << text;
    if (!std::isnan(expected)) {
        EXPECT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0) << text;
    }
}

TEST(FloatTextWeb, WritesAsTheLibraryDoes)
{
    const float edges[] = {0.0f, -0.0f, 1.0f, -1.5f, 0.1f, 0.001f, 1e-4f, 123456.0f, 1234567.0f,
                           16777216.0f, 16777217.0f, 123456789.0f, 1e10f, 3e38f,
                           std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::denorm_min(), 8.589973e9f,
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           100.0f, 1e21f, 1e22f, 9.999999e-5f, 0.30000001f, 1024.0f, 0.5f};
    for (const float value : edges) {
        EXPECT_EQ(webText(value), stdText(value)) << stdText(value);
        EXPECT_EQ(webText(double{value}), stdText(double{value})) << stdText(double{value});
    }
    for (const double value : {1e22, 1e23, 123456789012345678.0, 0.1, 1.0 / 3, 5e-324, 1.7976931348623157e308,
                               9007199254740993.0, 4.35, 1e15, 1e16, 1e17, 12345678901234567890.0})
        EXPECT_EQ(webText(value), stdText(value)) << stdText(value);
    std::mt19937 random(11);
    for (int i = 0; i < 50000; ++i) {
        const float single = fromBits<float>(static_cast<std::uint32_t>(random()));
        const double bits = fromBits<double>((std::uint64_t{random()} << 32) | random());
        for (const double value : {double{single}, bits}) {
            if (!std::isnan(value)) {
                ASSERT_EQ(webText(value), stdText(value));
            }
        }
        if (!std::isnan(single)) {
            ASSERT_EQ(webText(single), stdText(single));
        }
    }
    // Coordinates as maps hold them: small decimals and pixel positions.
    for (int i = 0; i < 200000; ++i) {
        const float value = static_cast<float>(random() % 2000000) / 1000.0f - 1000.0f;
        ASSERT_EQ(webText(value), stdText(value));
    }
}

TEST(FloatTextWeb, WritingRefusesTooSmallRoom)
{
    char text[3];
    std::errc error{};
    EXPECT_EQ(floatToChars(text, text + sizeof text, 12.5f, error), text + sizeof text);
    EXPECT_EQ(error, std::errc::value_too_large);
}

TEST(FloatTextWeb, ReadsAsTheLibraryDoes)
{
    const char* const texts[] = {
        "0", "-0", "1", "-1.5", "0.1", ".5", "5.", ".", "-", "", "+1", " 1", "1e", "1e+", "1e5x",
        "1E-3", "12abc", "1.2.3", "007", "0x10", "inf", "-INF", "infinity", "infinit", "nan", "NaN",
        "nan(1)", "1e39", "1e400", "-1e400", "1e-50", "1e-400", "0e-400", "0.0000e999", "1e-45",
        "7e-46", "1.4e-45", "1e-320", "4.9e-324", "2.5e-324", "3.4028235e38", "3.4028236e38",
        "340282356779733661637539395458142568448", "16777217", "9007199254740993",
        "0.30000001192092896", "1.00000005960464477539062500000000001", "e5", "-.e1", "abc"};
    for (const char* text : texts) {
        expectSameReading<float>(text);
        expectSameReading<double>(text);
    }
    std::mt19937 random(12);
    char text[64];
    for (int i = 0; i < 100000; ++i) {
        const double value = std::ldexp(static_cast<double>(random()), static_cast<int>(random() % 300) - 200);
        std::snprintf(text, sizeof text, "%.*g", static_cast<int>(random() % 20) + 1, value);
        expectSameReading<float>(text);
        expectSameReading<double>(text);
    }
}
