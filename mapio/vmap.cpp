#include "mapio/vmap.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

#include "files/error_text.h"
#include "files/file_text.h"
#include "files/line_source.h"
#include "files/progress.h"
#include "graph/costs.h"

constexpr std::string_view kMagic = "vialoom-map";
// x, y, z, the link count, up to kMaxLinks targets, and one more to see excess.
constexpr int kMaxTokens = 4 + kMaxLinks + 1;
// The shortest vertex line, "0 0 0 0" and its line feed: bounds what a
// declared count may reserve before the lines are seen.
constexpr std::size_t kShortestVertexLine = 8;
// Tokens quoted in errors are cut to this many bytes.
constexpr std::size_t kQuoteBytes = 32;

// One line's tokens, the comment cut off. count is at most kMaxTokens.
struct Line {
    std::string_view tokens[kMaxTokens];
    int count = 0;
};

enum class Next { Line, End, Fault };

// Vertex lines between two progress reports.
constexpr std::uint64_t kProgressEvery = 4096;

struct Reader {
    LineSource lines;
    const std::string* name = nullptr;
    std::string* error = nullptr;
    Scene map;
    std::vector<std::uint32_t> lineOf; // each vertex's line, for link errors
    int version = 1;                   // 2 adds the cell-size, cost-unit and factor lines and link costs
    std::vector<bool> factorGiven;     // which vertices a factor line named
    bool costUnitGiven = false;
};

// A link's cost while the file is read: one the file did not give is marked
// by this, and becomes its length once every vertex is known.
constexpr float kLengthCost = -1.0f;

enum class Number { Ok, NotNumber, OutOfRange };

static bool failAt(Reader& reader, long line, const std::string& what)
{
    *reader.error = errorAt(*reader.name, line) + what;
    return false;
}

static bool fail(Reader& reader, const std::string& what)
{
    return failAt(reader, reader.lines.lineNumber, what);
}

// Where a missing line was due: the line after the last one.
static bool failAtEnd(Reader& reader, const std::string& what)
{
    return failAt(reader, reader.lines.lineNumber + 1, what);
}

// Control bytes never get this far (scanLine refuses them), but bytes
// 0x80-0xff may: those that are not printable UTF-8 are escaped.
static std::string quoted(std::string_view token)
{
    if (token.size() <= kQuoteBytes)
        return "'" + printableText(token) + "'";
    return "'" + printableText(token.substr(0, kQuoteBytes)) + "...'";
}

static bool refuseByte(Reader& reader, unsigned char byte)
{
    if (byte == '\r')
        return fail(reader, "carriage return inside the line (only LF or CR LF ends a line)");
    char what[64];
    std::snprintf(what, sizeof what, "binary byte 0x%02x (a .vmap file is text)", byte);
    return fail(reader, what);
}

// One pass over the line: control bytes other than tab are refused anywhere,
// comment included, so no error line can hold one; the part before any '#'
// is split into tokens at spaces and tabs. Tokens past kMaxTokens are dropped.
static bool scanLine(Reader& reader, std::string_view line, Line& out)
{
    out.count = 0;
    std::size_t start = 0;
    bool inToken = false;
    bool comment = false;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const unsigned char byte = i < line.size() ? static_cast<unsigned char>(line[i]) : ' ';
        if ((byte < 0x20 && byte != '\t') || byte == 0x7f)
            return refuseByte(reader, byte);
        if (comment)
            continue;
        const bool gap = byte == ' ' || byte == '\t' || byte == '#';
        if (gap && inToken && out.count < kMaxTokens)
            out.tokens[out.count++] = line.substr(start, i - start);
        if (!gap && !inToken)
            start = i;
        inToken = !gap;
        comment = byte == '#';
    }
    return true;
}

// Takes the next line, blank and comment lines included.
static Next takeLine(Reader& reader, Line& out)
{
    std::string_view line;
    if (!nextLine(reader.lines, line)) {
        const LineSource& lines = reader.lines;
        if (lines.lineTooLong)
            failAt(reader, lines.lineNumber + 1, "line longer than " + std::to_string(kMaxVmapLineBytes) + " bytes");
        else if (lines.tooLarge)
            *reader.error = tooLargeError(*reader.name, kMaxVmapFileBytes);
        else if (lines.readFailed)
            *reader.error = *reader.name + ": cannot read: " + errorReason(lines.readError);
        return lines.lineTooLong || lines.tooLarge || lines.readFailed ? Next::Fault : Next::End;
    }
    if (line.size() > kMaxVmapLineBytes) {
        fail(reader, "line longer than " + std::to_string(kMaxVmapLineBytes) + " bytes");
        return Next::Fault;
    }
    return scanLine(reader, line, out) ? Next::Line : Next::Fault;
}

// Takes the next line that holds a token.
static Next nextTokenLine(Reader& reader, Line& out)
{
    for (;;) {
        const Next next = takeLine(reader, out);
        if (next != Next::Line || out.count > 0)
            return next;
    }
}

static bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

static std::size_t skipDigits(std::string_view token, std::size_t i)
{
    while (i < token.size() && isDigit(token[i]))
        ++i;
    return i;
}

// -?(D+(.D*)?|.D+)([eE][+-]?D+)?
static bool isDecimal(std::string_view token)
{
    std::size_t i = token.size() > 0 && token[0] == '-' ? 1 : 0;
    const std::size_t wholeStart = i;
    i = skipDigits(token, i);
    bool digits = i > wholeStart;
    if (i < token.size() && token[i] == '.') {
        const std::size_t fractionStart = ++i;
        i = skipDigits(token, i);
        digits = digits || i > fractionStart;
    }
    if (!digits)
        return false;
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
            ++i;
        const std::size_t exponentStart = i;
        i = skipDigits(token, i);
        if (i == exponentStart)
            return false;
    }
    return i == token.size();
}

// Correctly rounded to nearest; refused when the result is infinite, or zero
// from a number that is not zero.
template <typename Real>
static Number parseReal(std::string_view token, Real& value)
{
    if (!isDecimal(token))
        return Number::NotNumber;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size() || !std::isfinite(value))
        return Number::OutOfRange;
    return Number::Ok;
}

// Decimal digits only; values beyond kMaxMapVertices read as one more than it,
// which every check refuses.
static bool parseIndex(std::string_view token, std::uint64_t& value)
{
    if (token.empty())
        return false;
    constexpr std::uint64_t kBeyond = static_cast<std::uint64_t>(kMaxMapVertices) + 1;
    value = 0;
    for (const char c : token) {
        if (!isDigit(c))
            return false;
        value = std::min(kBeyond, value * 10 + static_cast<std::uint64_t>(c - '0'));
    }
    return true;
}

static bool startsNumber(std::string_view token)
{
    return isDigit(token[0]) || token[0] == '-' || token[0] == '.';
}

static bool isKeyword(const Reader& reader, std::string_view token)
{
    if (token[0] < 'a' || token[0] > 'z')
        return false;
    for (std::string_view keyword : {"vertices", "start", "goal", "marked", "metres-per-unit", "end"})
        if (token == keyword)
            return true;
    return reader.version >= 2 && (token == "cell-size" || token == "cost-unit" || token == "factor");
}

static bool readCoordinate(Reader& reader, std::string_view token, const char* axis, float& value)
{
    const Number number = parseReal(token, value);
    if (number == Number::NotNumber)
        return fail(reader, std::string(axis) + " coordinate " + quoted(token) + " is not a number");
    if (number == Number::OutOfRange)
        return fail(reader, std::string(axis) + " coordinate " + quoted(token) + " is not a finite float");
    return true;
}

static bool readTargets(Reader& reader, const Line& line, long linkCount, std::uint64_t vertexCount, Vertex& vertex)
{
    const long self = static_cast<long>(reader.map.vertices.size());
    for (int i = 0; i < linkCount; ++i) {
        std::string_view token = line.tokens[4 + i];
        float cost = kLengthCost;
        if (const std::size_t colon = token.find(':'); colon != std::string_view::npos && reader.version >= 2) {
            const std::string_view costToken = token.substr(colon + 1);
            token = token.substr(0, colon);
            if (parseReal(costToken, cost) != Number::Ok || cost < kMinGivenCost || cost > kMaxGivenCost)
                return fail(reader, "link cost " + quoted(costToken) + " is not a number from 2^-64 to 2^64");
        }
        std::uint64_t target = 0;
        if (!parseIndex(token, target))
            return fail(reader, "link target " + quoted(token) + " is not a vertex index");
        if (target >= vertexCount)
            return fail(reader, "link target " + quoted(token) + " is out of range (the map has " +
                                    std::to_string(vertexCount) + " vertices)");
        const int to = static_cast<int>(target);
        if (to == self)
            return fail(reader, "vertex " + std::to_string(self) + " links to itself");
        if (findLink(vertex, to) != nullptr)
            return fail(reader, "vertex " + std::to_string(self) + " links to " + std::to_string(to) + " twice");
        vertex.links[vertex.linkCount++] = Link{to, cost};
    }
    return true;
}

static bool readLinkCount(Reader& reader, const Line& line, long& linkCount)
{
    std::uint64_t count = 0;
    if (!parseIndex(line.tokens[3], count))
        return fail(reader, "link count " + quoted(line.tokens[3]) + " is not a number");
    if (count > static_cast<std::uint64_t>(kMaxLinks))
        return fail(reader, "link count " + quoted(line.tokens[3]) + " is above the table size " +
                                std::to_string(kMaxLinks));
    linkCount = static_cast<long>(count);
    if (line.count < 4 + linkCount)
        return fail(reader, "line ends after " + std::to_string(line.count - 4) + " of its " +
                                std::to_string(linkCount) + " link targets");
    if (line.count > 4 + linkCount)
        return fail(reader, "unexpected " + quoted(line.tokens[4 + linkCount]) + " after the " +
                                std::to_string(linkCount) + " link targets");
    return true;
}

static bool readVertex(Reader& reader, const Line& line, std::uint64_t vertexCount)
{
    if (line.count < 4)
        return fail(reader, "vertex line ends early: it needs x, y, z and a link count");
    Vertex vertex;
    long linkCount = 0;
    if (!readCoordinate(reader, line.tokens[0], "x", vertex.x) ||
        !readCoordinate(reader, line.tokens[1], "y", vertex.y) ||
        !readCoordinate(reader, line.tokens[2], "z", vertex.z) || !readLinkCount(reader, line, linkCount) ||
        !readTargets(reader, line, linkCount, vertexCount, vertex))
        return false;
    reader.map.vertices.push_back(vertex);
    reader.lineOf.push_back(static_cast<std::uint32_t>(reader.lines.lineNumber));
    return true;
}

static bool readHeader(Reader& reader)
{
    Line line;
    const Next next = takeLine(reader, line);
    if (next == Next::Fault)
        return false;
    if (next == Next::End)
        return failAt(reader, 1, "empty file (a .vmap file starts with 'vialoom-map 1')");
    if (line.count == 0 || line.tokens[0] != kMagic)
        return fail(reader, "not a .vmap file (the first line must be 'vialoom-map 1')");
    if (line.count < 2)
        return fail(reader, "the header names no version (expected 'vialoom-map 1')");
    if (line.tokens[1] != "1" && line.tokens[1] != "2")
        return fail(reader, "version " + quoted(line.tokens[1]) + " is not read by this program (it reads 1 and 2)");
    reader.version = line.tokens[1] == "2" ? 2 : 1;
    if (line.count > 2)
        return fail(reader, "unexpected " + quoted(line.tokens[2]) + " after the version");
    return true;
}

static bool readVertexCount(Reader& reader, std::uint64_t& count)
{
    Line line;
    const Next next = nextTokenLine(reader, line);
    if (next == Next::Fault)
        return false;
    if (next == Next::End)
        return failAtEnd(reader, "the file ends before the 'vertices' line");
    if (line.tokens[0] != "vertices")
        return fail(reader, "expected 'vertices N', found " + quoted(line.tokens[0]));
    if (line.count != 2)
        return fail(reader, "'vertices' takes one count");
    if (!parseIndex(line.tokens[1], count))
        return fail(reader, "vertex count " + quoted(line.tokens[1]) + " is not a number");
    if (count > static_cast<std::uint64_t>(kMaxMapVertices))
        return fail(reader, "vertex count " + quoted(line.tokens[1]) + " is above the limit of " +
                                std::to_string(kMaxMapVertices));
    const std::uint64_t room = linesLeft(reader.lines) / kShortestVertexLine + 1;
    reader.map.vertices.reserve(static_cast<std::size_t>(std::min(count, room)));
    reader.lineOf.reserve(static_cast<std::size_t>(std::min(count, room)));
    return true;
}

static std::string listed(std::uint64_t done, std::uint64_t count)
{
    return std::to_string(done) + " of the " + std::to_string(count) + " vertices";
}

static bool readVertices(Reader& reader, std::uint64_t count)
{
    Line line;
    for (std::uint64_t i = 0; i < count; ++i) {
        const Next next = nextTokenLine(reader, line);
        if (next == Next::Fault)
            return false;
        if (next == Next::End)
            return failAtEnd(reader, "the file ends after " + listed(i, count));
        if (isKeyword(reader, line.tokens[0]))
            return fail(reader, quoted(line.tokens[0]) + " comes after only " + listed(i, count));
        if (!readVertex(reader, line, count))
            return false;
        if (i % kProgressEvery == 0)
            progressUpdate(linesOffset(reader.lines));
    }
    return true;
}

static bool readSelection(Reader& reader, const Line& line, int& selection)
{
    const std::string keyword = quoted(line.tokens[0]);
    if (line.count != 2)
        return fail(reader, keyword + " takes one vertex index");
    if (selection != -1)
        return fail(reader, "a second " + keyword + " line");
    std::uint64_t index = 0;
    if (!parseIndex(line.tokens[1], index))
        return fail(reader, keyword + " vertex " + quoted(line.tokens[1]) + " is not a vertex index");
    if (index >= reader.map.vertices.size())
        return fail(reader, keyword + " vertex " + quoted(line.tokens[1]) + " is out of range (the map has " +
                                std::to_string(reader.map.vertices.size()) + " vertices)");
    selection = static_cast<int>(index);
    return true;
}

static bool readScale(Reader& reader, const Line& line)
{
    if (line.count != 2)
        return fail(reader, "'metres-per-unit' takes one number");
    if (reader.map.metresPerUnit != 0.0)
        return fail(reader, "a second 'metres-per-unit' line");
    double scale = 0.0;
    if (parseReal(line.tokens[1], scale) != Number::Ok || !(scale > 0.0))
        return fail(reader, "metres per unit " + quoted(line.tokens[1]) + " is not a positive finite number");
    reader.map.metresPerUnit = scale;
    return true;
}

static bool readCellSize(Reader& reader, const Line& line)
{
    if (line.count != 2)
        return fail(reader, "'cell-size' takes one number");
    if (reader.map.cellSize != 0.0)
        return fail(reader, "a second 'cell-size' line");
    double size = 0.0;
    if (parseReal(line.tokens[1], size) != Number::Ok || !(size > 0.0))
        return fail(reader, "cell size " + quoted(line.tokens[1]) + " is not a positive finite number");
    reader.map.cellSize = size;
    return true;
}

static bool readCostUnit(Reader& reader, const Line& line)
{
    if (line.count != 2)
        return fail(reader, "'cost-unit' takes one word");
    if (reader.costUnitGiven)
        return fail(reader, "a second 'cost-unit' line");
    const std::string_view word = line.tokens[1];
    if (word == "file")
        reader.map.costUnit = CostUnit::FileUnits;
    else if (word == "metres")
        reader.map.costUnit = CostUnit::Metres;
    else if (word == "seconds")
        reader.map.costUnit = CostUnit::Seconds;
    else
        return fail(reader, "cost unit " + quoted(word) + " is not file, metres or seconds");
    reader.costUnitGiven = true;
    return true;
}

static bool readFactor(Reader& reader, const Line& line)
{
    if (line.count != 3)
        return fail(reader, "'factor' takes a vertex index and a number");
    std::uint64_t index = 0;
    const std::size_t count = reader.map.vertices.size();
    if (!parseIndex(line.tokens[1], index))
        return fail(reader, "factor vertex " + quoted(line.tokens[1]) + " is not a vertex index");
    if (index >= count)
        return fail(reader, "factor vertex " + quoted(line.tokens[1]) + " is out of range (the map has " +
                                std::to_string(count) + " vertices)");
    reader.factorGiven.resize(count, false);
    if (reader.factorGiven[index])
        return fail(reader, "a second 'factor' line for vertex " + std::to_string(index));
    float factor = 0.0f;
    if (parseReal(line.tokens[2], factor) != Number::Ok || factor < kMinFactor || factor > kMaxFactor)
        return fail(reader, "factor " + quoted(line.tokens[2]) + " is not a number from 2^-20 to 2^20");
    reader.factorGiven[index] = true;
    reader.map.vertices[index].factor = factor;
    return true;
}

static bool readTrailerLine(Reader& reader, const Line& line)
{
    const std::string_view keyword = line.tokens[0];
    if (keyword == "start")
        return readSelection(reader, line, reader.map.startVertex);
    if (keyword == "goal")
        return readSelection(reader, line, reader.map.goalVertex);
    if (keyword == "marked")
        return readSelection(reader, line, reader.map.markedVertex);
    if (keyword == "metres-per-unit")
        return readScale(reader, line);
    if (keyword == "cell-size" && reader.version >= 2)
        return readCellSize(reader, line);
    if (keyword == "cost-unit" && reader.version >= 2)
        return readCostUnit(reader, line);
    if (keyword == "factor" && reader.version >= 2)
        return readFactor(reader, line);
    if (startsNumber(keyword))
        return fail(reader, "more vertex lines than the " + std::to_string(reader.map.vertices.size()) +
                                " declared");
    // Version 1's words stay as they were.
    const char* expected = reader.version >= 2
                               ? " (expected start, goal, marked, metres-per-unit, cell-size, cost-unit, factor or end)"
                               : " (expected start, goal, marked, metres-per-unit or end)";
    return fail(reader, "unknown line " + quoted(keyword) + expected);
}

static bool readTrailer(Reader& reader)
{
    Line line;
    for (;;) {
        const Next next = nextTokenLine(reader, line);
        if (next == Next::Fault)
            return false;
        if (next == Next::End)
            return failAtEnd(reader, "the file ends without its 'end' line (truncated?)");
        if (line.tokens[0] == "end")
            break;
        if (!readTrailerLine(reader, line))
            return false;
    }
    if (line.count > 1)
        return fail(reader, "unexpected " + quoted(line.tokens[1]) + " after 'end'");
    const Next next = nextTokenLine(reader, line);
    if (next == Next::Line)
        return fail(reader, "unexpected " + quoted(line.tokens[0]) + " after the 'end' line");
    return next == Next::End;
}

static std::string linkName(std::size_t from, int to)
{
    return std::to_string(from) + " to " + std::to_string(to);
}

// A link's cost: the one the file gave, else its length.
static float costOf(const Vertex& from, const Vertex& to, const Link& link)
{
    return link.cost == kLengthCost ? vertexDistance(from, to) : link.cost;
}

static std::string costName(float cost)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, cost).ptr);
}

// Both ends must list a link, at one cost; a cost not given is the distance of its ends.
static bool checkLinks(Reader& reader)
{
    std::vector<Vertex>& all = reader.map.vertices;
    for (std::size_t from = 0; from < all.size(); ++from) {
        Vertex& vertex = all[from];
        for (int i = 0; i < vertex.linkCount; ++i) {
            Link& link = vertex.links[i];
            const Link* twin = findLink(all[link.to], static_cast<int>(from));
            if (twin == nullptr)
                return failAt(reader, reader.lineOf[from], "vertex " + std::to_string(from) + " links to " +
                                                              std::to_string(link.to) + ", but " +
                                                              std::to_string(link.to) + " does not link back");
            link.cost = costOf(vertex, all[link.to], link);
            const float back = costOf(all[link.to], vertex, *twin);
            if (link.cost != back && std::isfinite(link.cost) && std::isfinite(back))
                return failAt(reader, reader.lineOf[from], "the link from vertex " + linkName(from, link.to) +
                                                              " costs " + costName(link.cost) + " here but " +
                                                              costName(back) + " at vertex " +
                                                              std::to_string(link.to));
            if (!std::isfinite(link.cost) || !std::isfinite(back))
                return failAt(reader, reader.lineOf[from], "the link from vertex " + linkName(from, link.to) +
                                                              " is too long: its length overflows a float");
        }
    }
    return true;
}

// Reads every part of the map from reader.lines into map.
static bool readAll(Reader& reader, const std::string& name, Scene& map, std::string& error)
{
    // Only LF and CR LF end a line: a lone CR is refused wherever it stands,
    // the end of the text included.
    reader.lines.keepFinalCr = true;
    // Room for a longest line and the CR of its CR LF: anything longer is
    // refused before the rest of it is looked at.
    reader.lines.maxLineBytes = kMaxVmapLineBytes + 1;
    reader.name = &name;
    reader.error = &error;
    std::uint64_t count = 0;
    if (!readHeader(reader) || !readVertexCount(reader, count) || !readVertices(reader, count) ||
        !readTrailer(reader) || !checkLinks(reader))
        return false;
    map = std::move(reader.map);
    return true;
}

bool parseVmap(std::string_view text, const std::string& name, Scene& map, std::string& error)
{
    Reader reader;
    reader.lines = linesOfText(text);
    return readAll(reader, name, map, error);
}

bool readVmapFile(const std::string& path, Scene& map, std::string& error)
{
    Reader reader;
    bool read = false;
    try {
        std::uint64_t size = 0;
        const int fd = openFileToRead(path, kMaxVmapFileBytes, size, error);
        if (fd >= 0 && !linesOfFile(fd, size, reader.lines)) {
            error = path + ": cannot read: " + errorReason(errno);
        } else if (fd >= 0) {
            reader.lines.maxFileBytes = kMaxVmapFileBytes;
            progressBegin(path, size);
            read = readAll(reader, path, map, error);
            if (read)
                progressUpdate(size);
        }
    } catch (const std::bad_alloc&) {
        error = outOfMemoryError(path);
    }
    progressEnd();
    closeLines(reader.lines);
    return read;
}
