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

#include "web/port/float_text.h"

template <typename Real>
static void expectSameText(Real value)
{
    char want[64], got[64];
    std::errc error{};
    const std::string wanted(want, std::to_chars(want, want + sizeof want, value).ptr);
    ASSERT_EQ(std::string(got, floatToChars(got, got + sizeof got, value, error)), wanted);
}

template <typename Real>
static void expectSameReading(const std::string& text)
{
    Real expected = 7, actual = 7;
    const auto want = std::from_chars(text.data(), text.data() + text.size(), expected);
    std::errc error{};
    const char* end = floatFromChars(text.data(), text.data() + text.size(), actual, error);
    EXPECT_EQ(error, want.ec) << text;
    EXPECT_EQ(end, want.ptr) << text;
    EXPECT_TRUE(std::isnan(expected) || std::memcmp(&expected, &actual, sizeof actual) == 0) << text;
}

TEST(FloatTextWeb, WritesAsTheLibraryDoes)
{
    using Limits = std::numeric_limits<float>;
    for (const float value : {0.0f, -0.0f, -1.5f, 0.1f, 0.001f, 1e-4f, 9.999999e-5f, 1234567.0f, 16777217.0f,
                              123456789.0f, 8.589973e9f, 1e10f, 1e21f, 1e22f, Limits::max(), Limits::min(),
                              Limits::denorm_min(), Limits::infinity(), -Limits::infinity()}) {
        expectSameText(value);
        expectSameText(double{value});
    }
    for (const double value : {1e22, 1e23, 123456789012345678.0, 1.0 / 3, 5e-324, 1.7976931348623157e308,
                               9007199254740993.0, 1e15, 1e16, 1e17, 12345678901234567890.0})
        expectSameText(value);
    std::mt19937 random(11);
    for (int i = 0; i < 30000; ++i) {
        const std::uint32_t low = random(), high = random();
        float single;
        double pair;
        const std::uint64_t both = std::uint64_t{high} << 32 | low;
        std::memcpy(&single, &low, sizeof single);
        std::memcpy(&pair, &both, sizeof pair);
        if (!std::isnan(single))
            expectSameText(single);
        if (!std::isnan(pair))
            expectSameText(pair);
        // Coordinates as maps hold them: pixel positions to the thousandth.
        expectSameText(static_cast<float>(random() % 2000000) / 1000.0f - 1000.0f);
    }
}

TEST(FloatTextWeb, ReadsAsTheLibraryDoes)
{
    for (const char* text : {"0", "-0", "-1.5", ".5", "5.", ".", "-", "", "+1", " 1", "1e", "1e+", "1e5x",
                             "1E-3", "1.2.3", "007", "0x10", "inf", "-INF", "infinity", "infinit", "nan",
                             "nan(1)", "1e39", "1e400", "-1e400", "1e-50", "1e-400", "0e-400", "0.0000e999",
                             "7e-46", "1.4e-45", "1e-320", "2.5e-324", "3.4028235e38", "3.4028236e38",
                             "9007199254740993", "1.00000005960464477539062500000000001", "e5", "-.e1"}) {
        expectSameReading<float>(text);
        expectSameReading<double>(text);
    }
    std::mt19937 random(12);
    char text[64];
    for (int i = 0; i < 50000; ++i) {
        const double value = std::ldexp(static_cast<double>(random()), static_cast<int>(random() % 300) - 200);
        std::snprintf(text, sizeof text, "%.*g", static_cast<int>(random() % 20) + 1, value);
        expectSameReading<float>(text);
        expectSameReading<double>(text);
    }
}
