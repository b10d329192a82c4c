// docs/map-format.md promises that a writer built from it alone writes the
// same bytes as Vialoom. Its examples are read out of the document and put
// through the real reader and writer, and its rules for spelling a real are
// followed literally by a plain reference below, which must agree with the
// writer on many values.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "mapio/vmap.h"

namespace {

struct Example {
    std::string read, type, written;
};

std::vector<Example> documentedExamples()
{
    std::ifstream file(VIALOOM_DOCS "/map-format.md");
    const std::regex row(R"(^\| `([^`]+)` \| (binary32|binary64) \| `([^`]+)` \|$)");
    std::vector<Example> examples;
    std::smatch match;
    for (std::string line; std::getline(file, line);)
        if (std::regex_match(line, match, row))
            examples.push_back({match[1], match[2], match[3]});
    return examples;
}

// The lines of formatVmap's text.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

template <typename Real>
bool readsBackTo(const std::string& text, Real value)
{
    Real read = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), read);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::memcmp(&read, &value, sizeof value) == 0;
}

// digits (a decimal numeral) plus delta (+1 or -1) in its last place, the
// count of digits kept; "" below zero. "999" + 1 gives "1000".
std::string stepped(std::string digits, int delta)
{
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0; --i) {
        char& d = digits[static_cast<std::size_t>(i)];
        if (delta > 0 && d != '9') {
            ++d;
            return digits;
        }
        if (delta < 0 && d != '0') {
            --d;
            return digits;
        }
        d = delta > 0 ? '0' : '9';
    }
    return delta > 0 ? "1" + digits : "";
}

std::string withoutTrailingZeros(std::string fraction)
{
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    return fraction;
}

// Rule 1's exponent form of the digits d1 d2 ... times 10^exponent (d1 the
// units digit); "" when the digits are not p of them with d1 from 1 to 9.
std::string exponentForm(bool negative, const std::string& digits, int exponent, std::size_t p)
{
    if (digits.size() != p || digits[0] == '0')
        return "";
    const std::string fraction = withoutTrailingZeros(digits.substr(1));
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return (negative ? "-" : "") + digits.substr(0, 1) + (fraction.empty() ? "" : "." + fraction) + power;
}

// Rule 1's plain form of the digits times 10^-q; "" when it is not one.
std::string plainForm(bool negative, std::string digits, int q)
{
    if (digits.empty())
        return "";
    if (static_cast<int>(digits.size()) <= q)
        digits = std::string(static_cast<std::size_t>(q) + 1 - digits.size(), '0') + digits;
    const std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(q));
    const std::string fraction = digits.substr(whole.size());
    if ((whole.size() > 1 && whole[0] == '0') || (!fraction.empty() && fraction.back() == '0'))
        return "";
    return (negative ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
}

// Rule 3 at one precision: the nearest text (printf rounds exactly, ties to
// even), else whichever neighbour reads back; when the nearest does not, at
// most one of them can, the one on the far side.
template <typename Real, typename Form>
std::string nearestThatReadsBack(Real value, const std::string& nearest, const Form& form)
{
    for (const std::string& digits : {nearest, stepped(nearest, +1), stepped(nearest, -1)}) {
        const std::string text = form(digits);
        if (!text.empty() && readsBackTo(text, value))
            return text;
    }
    return "";
}

// The three rules of the document's section 7.1, followed literally.
template <typename Real>
std::string spelledByTheRules(Real value)
{
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(static_cast<double>(value));
    if (magnitude == 0.0)
        return negative ? "-0" : "0";
    char text[512];
    // The shortest exponent form: the fewest digits that read back.
    std::string exponent;
    for (int p = 1; exponent.empty(); ++p) {
        std::snprintf(text, sizeof text, "%.*e", p - 1, magnitude);
        const std::string printed = text;
        const std::size_t e = printed.find('e');
        const int power = std::atoi(printed.c_str() + e + 1);
        std::string digits = printed.substr(0, e);
        digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
        exponent = nearestThatReadsBack(value, digits, [&](const std::string& candidate) {
            // A carry or a borrow moves the point.
            if (candidate.size() > static_cast<std::size_t>(p))
                return exponentForm(negative, candidate.substr(0, static_cast<std::size_t>(p)), power + 1,
                                    static_cast<std::size_t>(p));
            if (candidate[0] == '0')
                return p == 1 ? std::string() : exponentForm(negative, candidate.substr(1) + "9", power - 1,
                                                             static_cast<std::size_t>(p));
            return exponentForm(negative, candidate, power, static_cast<std::size_t>(p));
        });
    }
    // A plain form no longer wins; equally short, it does.
    for (int q = 0;; ++q) {
        std::snprintf(text, sizeof text, "%.*f", q, magnitude);
        std::string digits = text;
        if (digits.size() + (negative ? 1 : 0) > exponent.size())
            return exponent;
        digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
        const std::string plain = nearestThatReadsBack(value, digits, [&](const std::string& candidate) {
            return plainForm(negative, candidate, q);
        });
        if (!plain.empty() && plain.size() <= exponent.size())
            return plain;
    }
}

float randomFloat(std::mt19937& random)
{
    for (;;) {
        const std::uint32_t bits = random() % 4 == 0 ? (random() % 254 + 1) << 23 : random(); // powers of two often
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            return value;
    }
}

double randomDouble(std::mt19937_64& random)
{
    for (;;) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            return value;
    }
}

} // namespace

TEST(MapFormatDocument, EveryExampleOfSpellingARealIsWhatTheWriterWrites)
{
    const std::vector<Example> examples = documentedExamples();
    ASSERT_GE(examples.size(), 25u) << "the examples table was not found";
    int doubles = 0;
    for (const Example& example : examples) {
        SCOPED_TRACE(example.read + " as " + example.type);
        Scene map;
        std::string error;
        if (example.type == "binary32") {
            ASSERT_TRUE(parseVmap("vialoom-map 1\nvertices 1\n" + example.read + " 0 0 0\nend\n", "x", map, error))
                << error;
            EXPECT_EQ(linesOf(formatVmap(map)).at(3), example.written + " 0 0 0");
        } else {
            ++doubles;
            const std::string text = "vialoom-map 2\nvertices 0\nmetres-per-unit " + example.read + "\ncell-size " +
                                     example.read + "\nend\n";
            ASSERT_TRUE(parseVmap(text, "x", map, error)) << error;
            const std::vector<std::string> lines = linesOf(formatVmap(map));
            EXPECT_EQ(lines.at(3), "metres-per-unit " + example.written);
            EXPECT_EQ(lines.at(4), "cell-size " + example.written);
        }
        // The reference knows the rules, not the examples.
        const std::string reference = example.type == "binary32"
                                          ? spelledByTheRules(std::strtof(example.read.c_str(), nullptr))
                                          : spelledByTheRules(std::strtod(example.read.c_str(), nullptr));
        EXPECT_EQ(reference, example.written);
    }
    EXPECT_GT(doubles, 0);
}

TEST(MapFormatDocument, TheRulesForSpellingARealGiveTheWritersBytes)
{
    std::mt19937 random(20240612);
    Scene map;
    for (int i = 0; i < 20000; ++i) {
        Vertex vertex;
        vertex.x = randomFloat(random);
        vertex.y = static_cast<float>(static_cast<int>(random() % 20001) - 10000) / 8.0f;
        map.vertices.push_back(vertex);
    }
    const std::vector<std::string> lines = linesOf(formatVmap(map));
    for (std::size_t i = 0; i < map.vertices.size(); ++i) {
        const Vertex& vertex = map.vertices[i];
        const std::string expected = spelledByTheRules(vertex.x) + " " + spelledByTheRules(vertex.y) + " 0 0";
        ASSERT_EQ(lines.at(3 + i), expected) << std::hexfloat << vertex.x << " " << vertex.y;
    }

    std::mt19937_64 random64(20240613);
    for (int i = 0; i < 3000; ++i) {
        Scene scaled;
        scaled.metresPerUnit = randomDouble(random64);
        ASSERT_EQ(linesOf(formatVmap(scaled)).at(3), "metres-per-unit " + spelledByTheRules(scaled.metresPerUnit))
            << std::hexfloat << scaled.metresPerUnit;
    }
}
