#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/error_text.h"
#include "mapio/vmap.h"

namespace {

const std::string kHeader = "vialoom-map 1\n";
const std::string kVersion2 = "vialoom-map 2\n";

std::uint32_t bits(float value)
{
    std::uint32_t word = 0;
    std::memcpy(&word, &value, sizeof word);
    return word;
}

// Every field of a map as numbers, floats by their bits, to compare exactly.
std::vector<std::uint64_t> fields(const Scene& map)
{
    std::uint64_t scale = 0, cell = 0;
    std::memcpy(&scale, &map.metresPerUnit, sizeof scale);
    std::memcpy(&cell, &map.cellSize, sizeof cell);
    std::vector<std::uint64_t> out{map.vertices.size(), scale, cell, std::uint64_t(map.startVertex),
                                   std::uint64_t(map.goalVertex), std::uint64_t(map.markedVertex)};
    for (const Vertex& v : map.vertices) {
        out.insert(out.end(), {bits(v.x), bits(v.y), bits(v.z), std::uint64_t(v.linkCount)});
        for (int k = 0; k < v.linkCount; ++k)
            out.insert(out.end(), {std::uint64_t(v.links[k].to), bits(v.links[k].cost)});
    }
    return out;
}

Scene sentinelMap()
{
    Scene map;
    map.vertices.push_back(Vertex{1.0f, 2.0f, 3.0f});
    map.startVertex = 0;
    map.metresPerUnit = 7.0;
    map.cellSize = 3.0;
    return map;
}

// Integers, fractions, any binary exponent, subnormals, signed zeros, extremes.
float pickCoordinate(std::mt19937& random)
{
    static const float specials[] = {0.0f, -0.0f, FLT_MAX, -FLT_MAX, FLT_MIN, 1e-45f, -3e-41f, 1e30f, 0.1f};
    const float unit = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
    switch (random() % 4) {
    case 0:
        return static_cast<float>(static_cast<int>(random() % 2001) - 1000);
    case 1:
        return unit * 1e4f;
    case 2:
        return std::ldexp(unit, static_cast<int>(random() % 250) - 125);
    default:
        return specials[random() % (sizeof specials / sizeof specials[0])];
    }
}

// Links made in random order, as a user might; none whose length overflows,
// which a file may not hold.
Scene randomMap(std::mt19937& random)
{
    Scene map;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i)
        map.vertices.push_back(Vertex{pickCoordinate(random), pickCoordinate(random), pickCoordinate(random)});
    for (int attempt = 0; count > 1 && attempt < count * 6; ++attempt) {
        const int a = static_cast<int>(random() % count);
        const int b = static_cast<int>(random() % count);
        Vertex& u = map.vertices[a];
        Vertex& v = map.vertices[b];
        const float cost = vertexDistance(u, v);
        const bool linked = std::any_of(u.links, u.links + u.linkCount, [&](const Link& l) { return l.to == b; });
        if (a == b || linked || u.linkCount == kMaxLinks || v.linkCount == kMaxLinks || !std::isfinite(cost))
            continue;
        u.links[u.linkCount++] = Link{b, cost};
        v.links[v.linkCount++] = Link{a, cost};
    }
    for (int* selection : {&map.startVertex, &map.goalVertex, &map.markedVertex})
        *selection = count > 0 && random() % 3 != 0 ? static_cast<int>(random() % count) : -1;
    map.metresPerUnit = random() % 2 ? 0.0 : std::ldexp(1.0 + (random() % 1000) / 7.0, random() % 20 - 10);
    map.cellSize = random() % 3 ? 0.0 : std::ldexp(1.0 + (random() % 1000) / 3.0, random() % 20 - 10);
    return map;
}

struct Fault {
    const char* what;
    std::string text;
    int line;
    const char* message;
};

const std::string kThreeVertices = kHeader + "vertices 3\n";

const Fault kFaults[] = {
    {"empty file", "", 1, "empty file"},
    {"other format", "type octile\n", 1, "not a .vmap file"},
    {"comment before the header", "# map\n" + kHeader, 1, "not a .vmap file"},
    {"unknown version", "vialoom-map 3\n", 1, "version '3' is not read by this program (it reads 1 and 2)"},
    {"version with a sign", "vialoom-map +2\n", 1, "version '+2' is not read"},
    {"garbage after the version", "vialoom-map 1 x\n", 1, "unexpected 'x'"},
    {"binary bytes", kHeader + "vertices 1\n0 0\x01 0 0\nend\n", 3, "binary byte 0x01"},
    {"stray carriage return", kHeader + "vertices 0\rend\n", 2, "carriage return"},
    {"overlong line", kHeader + "vertices 0\n#" + std::string(4096, 'x') + "\nend\n", 3, "longer than 4096"},
    {"no vertices line", kHeader, 2, "ends before the 'vertices' line"},
    {"vertices misspelt", kHeader + "vertex 1\n", 2, "expected 'vertices N'"},
    {"vertex count missing", kHeader + "vertices\n", 2, "'vertices' takes one count"},
    {"vertex count not a number", kHeader + "vertices -1\n", 2, "vertex count '-1' is not a number"},
    {"vertex count beyond the limit", kHeader + "vertices 10000001\n", 2, "above the limit of 10000000"},
    {"vertex count beyond 64 bits", kHeader + "vertices 99999999999999999999999\n", 2, "above the limit"},
    {"fewer vertex lines than declared", kThreeVertices + "0 0 0 0\n1 1 1 0\nend\n", 5, "after only 2 of the 3"},
    {"file ends among the vertices", kThreeVertices + "0 0 0 0\n", 4, "ends after 1 of the 3"},
    {"more vertex lines than declared", kHeader + "vertices 1\n0 0 0 0\n1 1 1 0\nend\n", 4, "more vertex lines"},
    {"truncated vertex line", kThreeVertices + "0 0\n", 3, "line ends early"},
    {"truncated link list", kThreeVertices + "0 0 0 2 1\n", 3, "ends after 1 of its 2 link targets"},
    {"trailing garbage", kHeader + "vertices 1\n0 0 0 0 x\nend\n", 3, "unexpected 'x' after the 0 link"},
    {"x not a number", kHeader + "vertices 1\nabc 0 0 0\nend\n", 3, "x coordinate 'abc' is not a number"},
    {"number with garbage", kHeader + "vertices 1\n0 1.5e 0 0\nend\n", 3, "y coordinate '1.5e' is not a number"},
    {"hexadecimal", kHeader + "vertices 1\n0x10 0 0 0\nend\n", 3, "x coordinate '0x10' is not"},
    {"infinity", kHeader + "vertices 1\n0 -inf 0 0\nend\n", 3, "'-inf' is not a number"},
    {"overflow to infinity", kHeader + "vertices 1\n0 0 3.5e38 0\nend\n", 3, "'3.5e38' is not a finite float"},
    {"underflow to zero", kHeader + "vertices 1\n1e-50 0 0 0\nend\n", 3, "'1e-50' is not a finite float"},
    {"link count not a number", kHeader + "vertices 1\n0 0 0 two\nend\n", 3, "link count 'two' is not"},
    {"link count above the table", kHeader + "vertices 1\n0 0 0 17\nend\n", 3, "above the table size 16"},
    {"more than 16 links",
     kHeader + "vertices 18\n0 0 0 17 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n", 3, "'17' is above the table"},
    {"16 links and one more", kHeader + "vertices 18\n0 0 0 16 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n", 3,
     "unexpected '17' after the 16 link targets"},
    {"link index out of range", kThreeVertices + "0 0 0 1 3\n", 3, "link target '3' is out of range"},
    {"link index negative", kThreeVertices + "0 0 0 1 -1\n", 3, "link target '-1' is not a vertex index"},
    {"self-link", kThreeVertices + "0 0 0 0\n1 1 1 1 1\n", 4, "vertex 1 links to itself"},
    {"duplicate link", kThreeVertices + "0 0 0 2 1 1\n", 3, "vertex 0 links to 1 twice"},
    {"link at one end only", kThreeVertices + "0 0 0 1 2\n1 1 1 0\n# gap\n2 2 2 0\nend\n", 3,
     "vertex 0 links to 2, but 2 does not link back"},
    {"link back missing on the later line", kThreeVertices + "0 0 0 0\n1 1 1 0\n2 2 2 1 1\nend\n", 5,
     "vertex 2 links to 1, but 1 does not link back"},
    {"link too long for a float", kHeader + "vertices 2\n-3e38 0 0 1 1\n3e38 0 0 1 0\nend\n", 3, "too long"},
    {"start out of range", kHeader + "vertices 1\n0 0 0 0\nstart 1\nend\n", 4, "'start' vertex '1' is out of range"},
    {"goal not an index", kHeader + "vertices 1\n0 0 0 0\ngoal x\nend\n", 4, "'goal' vertex 'x' is not"},
    {"start twice", kHeader + "vertices 1\n0 0 0 0\nstart 0\nstart 0\nend\n", 5, "a second 'start'"},
    {"bad scale", kHeader + "vertices 0\nmetres-per-unit -2\nend\n", 3, "not a positive finite number"},
    {"unknown keyword", kHeader + "vertices 0\nfinish 0\nend\n", 3,
     "unknown line 'finish' (expected start, goal, marked, metres-per-unit or end)"},
    // The cell size is version 2's: version 1 reads as it always did.
    {"cell size in version 1", kHeader + "vertices 0\ncell-size 2\nend\n", 3,
     "unknown line 'cell-size' (expected start, goal, marked, metres-per-unit or end)"},
    {"cell size for a vertex in version 1", kHeader + "vertices 1\ncell-size 2 0 0\nend\n", 3,
     "x coordinate 'cell-size' is not a number"},
    {"unknown keyword in version 2", kVersion2 + "vertices 0\nfinish 0\nend\n", 3,
     "unknown line 'finish' (expected start, goal, marked, metres-per-unit, cell-size, cost-unit, factor or end)"},
    {"cell size for a vertex", kVersion2 + "vertices 1\ncell-size 2\nend\n", 3, "'cell-size' comes after only 0"},
    {"cell size twice", kVersion2 + "vertices 0\ncell-size 2\ncell-size 2\nend\n", 4, "a second 'cell-size' line"},
    {"cell size without a number", kVersion2 + "vertices 0\ncell-size\nend\n", 3, "'cell-size' takes one number"},
    {"cell size zero", kVersion2 + "vertices 0\ncell-size -0\nend\n", 3,
     "cell size '-0' is not a positive finite number"},
    {"cell size infinite", kVersion2 + "vertices 0\ncell-size 1e309\nend\n", 3, "cell size '1e309' is not a"},
    {"cell size not a number", kVersion2 + "vertices 0\ncell-size 0x1p3\nend\n", 3, "cell size '0x1p3' is not a"},
    {"no end line", kHeader + "vertices 1\n0 0 0 0\nstart 0\n", 5, "without its 'end' line"},
    {"content after end", kHeader + "vertices 0\nend\n\nstart 0\n", 5, "after the 'end' line"},
    // Bytes 0x80-0xff reach the quoted tokens: what a terminal would act on is escaped.
    {"terminal control byte", kHeader + "vertices 1\n0 \x9b[2J 0 0\nend\n", 3, "y coordinate '\\x9b[2J' is not"},
    {"C1 control in UTF-8", kHeader + "vertices 0\nstart\xc2\x9b 0\nend\n", 3, "unknown line 'start\\xc2\\x9b'"},
    {"cut UTF-8", kHeader + "vertices 1\n0 0 0 0 \xe5\x9c\nend\n", 3, "unexpected '\\xe5\\x9c' after"},
    {"readable UTF-8", kHeader + "vertices 1\n\xef\xbc\x91 0 0 0\nend\n", 3, "x coordinate '\xef\xbc\x91' is not"},
    {"escape cut at 32 bytes", kHeader + "vertices 1\n" + std::string(31, '1') + "\xff\xff 0 0 0\nend\n", 3,
     "x coordinate '1111111111111111111111111111111\\xff...' is not"},
};

} // namespace

TEST(ParseVmap, RefusesEveryMalformedTextWithItsLineAndLeavesTheMapAlone)
{
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.what);
        Scene map = sentinelMap();
        std::string error;
        ASSERT_FALSE(parseVmap(fault.text, "bad.vmap", map, error));
        EXPECT_EQ(error.rfind("bad.vmap:" + std::to_string(fault.line) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(fault.message), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(printableText(error), error) << "holds bytes a terminal would act on";
        EXPECT_EQ(fields(map), fields(sentinelMap()));
    }
}

TEST(ParseVmap, RoundTripsRandomMapsBitForBit)
{
    std::mt19937 random(20240611u);
    for (int round = 0; round < 300; ++round) {
        const Scene original = randomMap(random);
        const std::string text = formatVmap(original);
        Scene read;
        std::string error;
        ASSERT_TRUE(parseVmap(text, "r.vmap", read, error)) << error << "\n" << text;
        ASSERT_EQ(fields(read), fields(original));
        ASSERT_TRUE(sceneIsConsistent(read));
        EXPECT_EQ(formatVmap(read), text);
    }
}

TEST(ParseVmap, ReadsCrLfCommentsBlanksAndTabsLikeThePlainText)
{
    const std::string plain = kHeader + "vertices 3\n0 0 0 2 2 1\n3 4 0 1 0\n-1.5 2.25 1e-45 1 0\ngoal 1\nend\n";
    const std::string dressed = "vialoom-map 1   # the header\r\n\r\n# three points\r\n\tvertices\t3\r\n"
                                "0 0 0 2 2 1 # a comment\r\n   \r\n3 4 0 1 0\n-1.5 2.25 1e-45 1 0\r\n"
                                "# \xe3\x81\x82 UTF-8 in a comment\r\ngoal 1\r\nend";
    Scene a;
    Scene b;
    std::string error;
    ASSERT_TRUE(parseVmap(plain, "a", a, error)) << error;
    ASSERT_TRUE(parseVmap(dressed, "b", b, error)) << error;
    EXPECT_EQ(fields(a), fields(b));
    EXPECT_EQ(a.vertices[0].links[0].to, 2); // the table keeps the written order
    EXPECT_EQ(a.vertices[0].links[1].cost, 5.0f);
    EXPECT_EQ(bits(a.vertices[2].z), 1u); // the smallest subnormal
    EXPECT_EQ(a.startVertex, -1);
}

// A line ends only at LF or CR LF; every line counts, blank or not, and a
// lone CR anywhere (the end of the text included) is refused where it stands.
TEST(ParseVmap, EndsLinesOnlyAtLfOrCrLfAndCountsEveryLine)
{
    using namespace std::string_literals;
    const std::string body = "vertices 1\n0 0 0 0\nend";
    const std::string x4096 = "#" + std::string(4095, 'x');
    const std::string crInLine = "e.vmap:3: carriage return inside the line (only LF or CR LF ends a line)";
    const std::pair<std::string, std::string> cases[] = {
        {kHeader + body + "\n", "1"},
        {"vialoom-map 1\r\nvertices 1\r\n0 0 0 0\r\nend\r\n", "1"},
        {kHeader + body, "1"},
        {kHeader + body + "\n\n\r\n \t\n", "1"},
        {kHeader + "vertices 1\n0 0\r0 0\nend\n", crInLine},
        {kHeader + "vertices 1\n0 0 0 0\r\r\nend\n", crInLine},
        {kHeader + body + "\r", "e.vmap:4: carriage return inside the line (only LF or CR LF ends a line)"},
        {"\r", "e.vmap:1: carriage return inside the line (only LF or CR LF ends a line)"},
        {"", "e.vmap:1: empty file (a .vmap file starts with 'vialoom-map 1')"},
        {"\n", "e.vmap:1: not a .vmap file (the first line must be 'vialoom-map 1')"},
        {"\r\n\r\n", "e.vmap:1: not a .vmap file (the first line must be 'vialoom-map 1')"},
        {"vialoom-map 1", "e.vmap:2: the file ends before the 'vertices' line"},
        {kHeader + "\n \n\r\n", "e.vmap:5: the file ends before the 'vertices' line"},
        {kHeader + "vertices 1\n0 0 0 0\n\n", "e.vmap:5: the file ends without its 'end' line (truncated?)"},
        {kHeader + "vertices 1\n0 0 0 0\0\nend\n"s, "e.vmap:3: binary byte 0x00 (a .vmap file is text)"},
        {kHeader + "vertices 1\n0 0 0 0 #\0\nend\n"s, "e.vmap:3: binary byte 0x00 (a .vmap file is text)"},
        {kHeader + "vertices 0\n" + x4096 + "\nend\n", "0"},
        {kHeader + "vertices 0\n" + x4096 + "\r\nend\n", "0"},
        {kHeader + "vertices 0\n" + x4096 + "x\nend\n", "e.vmap:3: line longer than 4096 bytes"},
        {kHeader + "vertices 0\nend\n" + x4096 + "\r", "e.vmap:4: line longer than 4096 bytes"},
        {kHeader + "vertices 0\nend\n" + x4096 + "x", "e.vmap:4: line longer than 4096 bytes"},
    };
    for (const auto& [text, outcome] : cases) {
        Scene map;
        std::string error;
        const bool read = parseVmap(text, "e.vmap", map, error);
        EXPECT_EQ(read ? std::to_string(map.vertices.size()) : error, outcome) << text;
    }
}

TEST(FormatVmap, WritesTheCanonicalFormItReadsVersionTwoOnlyForACellSize)
{
    const std::string body = "# x y z, link count, linked vertices in table order\nvertices 2\n"
                             "0.1 -0 3e+18 1 1\n10 20.5 1e-45 1 0\nmetres-per-unit 0.5\n";
    const std::string canonical[] = {
        "vialoom-map 1\n" + body + "marked 1\nend\n",
        "vialoom-map 2\n" + body + "cell-size 12.2449951171875\nmarked 1\nend\n",
    };
    for (const std::string& text : canonical) {
        Scene map;
        std::string error;
        ASSERT_TRUE(parseVmap(text, "c", map, error)) << error;
        EXPECT_EQ(formatVmap(map), text);
    }
    Scene map;
    std::string error;
    ASSERT_TRUE(parseVmap("vialoom-map 2\n" + body + "end\n", "c", map, error)) << error;
    EXPECT_EQ(formatVmap(map).substr(0, 14), "vialoom-map 1\n") << "version 1 holds a map without a cell size";
}

TEST(ReadVmapFile, ReadsAFileAndRefusesWhatIsNotAReadableTextFile)
{
    Scene map;
    std::string error;
    ASSERT_TRUE(readVmapFile(VIALOOM_TEST_DATA "/triangle.vmap", map, error)) << error;
    EXPECT_EQ(map.vertices[1].links[0].cost, 50.0f);
    char folder[] = "/tmp/vmap-test-XXXXXX";
    const std::string base = mkdtemp(folder);
    ASSERT_EQ(mkfifo((base + "/pipe.vmap").c_str(), 0600), 0);
    const int fd = open((base + "/huge.vmap").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kMaxVmapFileBytes) + 1), 0); // sparse: no disk used
    close(fd);
    const std::pair<std::string, std::string> cases[] = {
        {base + "/missing.vmap", ": cannot read: no such file or directory"},
        {base, ": is a directory, not a file"},
        {base + "/pipe.vmap", ": is not a regular file"},
        {base + "/huge.vmap", ": is larger than the 1024 MiB this file may hold"},
    };
    for (const auto& [path, message] : cases) {
        const Scene before = map;
        EXPECT_FALSE(readVmapFile(path, map, error));
        EXPECT_EQ(error, path + message);
        EXPECT_EQ(fields(map), fields(before));
    }
    std::filesystem::remove_all(base);
}

namespace {

// What reading gives: the map's fields, or the error with the file's name
// replaced by NAME.
std::string outcome(bool read, const Scene& map, std::string error, const std::string& name)
{
    if (!read)
        return error.rfind(name, 0) == 0 ? "NAME" + error.substr(name.size()) : "(unnamed) " + error;
    std::string text;
    for (std::uint64_t field : fields(map))
        text += std::to_string(field) + " ";
    return text;
}

} // namespace

// The file is read in chunks, the text in memory: both must take and refuse
// exactly the same, with the same lines in their errors.
TEST(ReadVmapFile, ReadsEveryTextExactlyAsParseVmapDoes)
{
    std::vector<std::string> texts;
    for (const Fault& fault : kFaults)
        texts.push_back(fault.text);
    std::mt19937 random(7u);
    for (int round = 0; round < 20; ++round)
        texts.push_back(formatVmap(randomMap(random)));
    // Over a megabyte, so lines straddle the chunks a file is read in.
    Scene big;
    for (int i = 0; i < 40000; ++i)
        big.vertices.push_back(Vertex{i * 0.37f, i * 1.13f, 1e-7f * i});
    const std::string bigText = formatVmap(big);
    texts.insert(texts.end(), {bigText, bigText + "x", bigText.substr(0, bigText.size() - 1) + "\r",
                               bigText.substr(0, 1 << 20) + std::string(5000, 'x') + "\n"});
    char folder[] = "/tmp/vmap-test-XXXXXX";
    const std::string path = std::string(mkdtemp(folder)) + "/m.vmap";
    for (const std::string& text : texts) {
        std::ofstream(path, std::ios::binary) << text;
        Scene inMemory, fromFile;
        std::string memoryError, fileError;
        const bool parsed = parseVmap(text, "m", inMemory, memoryError);
        const bool read = readVmapFile(path, fromFile, fileError);
        EXPECT_EQ(outcome(read, fromFile, fileError, path), outcome(parsed, inMemory, memoryError, "m"))
            << text.substr(0, 200);
    }
    std::filesystem::remove_all(folder);
}

// A huge file bad from its first line is refused after one chunk of it.
TEST(ReadVmapFile, RefusesAHugeFileBadAtLineOneWithoutReadingIt)
{
    char folder[] = "/tmp/vmap-test-XXXXXX";
    const std::string path = std::string(mkdtemp(folder)) + "/zeros.vmap";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(ftruncate(fd, 1000l << 20), 0); // sparse: no disk used
    close(fd);
    const auto bytesReadSoFar = [] {
        std::ifstream io("/proc/self/io");
        std::string key;
        std::uint64_t value = 0;
        while (io >> key >> value)
            if (key == "rchar:")
                return value;
        return std::uint64_t{0};
    };
    Scene map = sentinelMap();
    std::string error;
    const std::uint64_t before = bytesReadSoFar();
    EXPECT_FALSE(readVmapFile(path, map, error));
    const std::uint64_t read = bytesReadSoFar() - before;
    EXPECT_EQ(error, path + ":1: line longer than 4096 bytes");
    EXPECT_LE(read, 2u << 20);
    EXPECT_EQ(fields(map), fields(sentinelMap()));
    std::filesystem::remove_all(folder);
}
