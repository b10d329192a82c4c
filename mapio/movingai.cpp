#include "mapio/movingai.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

#include "files/error_text.h"
#include "files/file_text.h"
#include "files/line_source.h"

// Header lines are a keyword and a number; anything longer is not a header.
constexpr std::size_t kMaxHeaderLine = 256;
constexpr int kHeaderLines = 4;
// Grid steps: positions are multiples of 2^-14 below 1024, so floats hold them exactly.
constexpr double kCellStep = 1.0 / 8192.0;
constexpr double kOffsetStep = 1.0 / 16384.0;

struct Direction {
    int row;
    int column;
};

// N, NE, E, SE, S, SW, W, NW: the order of every vertex's link table.
constexpr Direction kDirections[8] = {{-1, 0}, {-1, 1}, {0, 1},  {1, 1},
                                      {1, 0},  {1, -1}, {0, -1}, {-1, -1}};

struct Header {
    int width = 0;
    int height = 0;
};

static bool parseSide(const std::string& word, int& side)
{
    const char* end = word.data() + word.size();
    const auto [stop, fault] = std::from_chars(word.data(), end, side);
    return fault == std::errc() && stop == end && side >= 1 && side <= kMaxGridSide;
}

// Reads "height N" or "width N" into the header, refusing repeats and strangers.
static bool readSideLine(const std::vector<std::string>& words, Header& header, const std::string& where,
                         std::string& error)
{
    const bool isHeight = words.size() == 2 && words[0] == "height";
    const bool isWidth = words.size() == 2 && words[0] == "width";
    int& side = isHeight ? header.height : header.width;
    if ((!isHeight && !isWidth) || side != 0) {
        error = where + "expected \"height N\" and \"width N\", one each";
        return false;
    }
    if (!parseSide(words[1], side)) {
        error = where + words[0] + " must be a whole number from 1 to " + std::to_string(kMaxGridSide);
        side = 0;
        return false;
    }
    return true;
}

static bool gridFits(const Header& header, const std::string& where, std::string& error)
{
    const long cells = static_cast<long>(header.width) * header.height;
    if (cells <= kMaxMapVertices)
        return true;
    error = where + "grid of " + std::to_string(cells) + " cells is over the limit of " + std::to_string(kMaxMapVertices);
    return false;
}

static bool readHeader(LineSource& lines, const std::string& name, Header& header, std::string& error)
{
    std::string_view line;
    for (int number = 1; number <= kHeaderLines; ++number) {
        const std::string where = errorAt(name, number);
        if (!nextLine(lines, line)) {
            error = where + "header ends early";
            return false;
        }
        if (line.size() > kMaxHeaderLine) {
            error = where + "line is longer than " + std::to_string(kMaxHeaderLine) + " characters";
            return false;
        }
        const std::vector<std::string> words = splitWords(line);
        if (number == 1 && words != std::vector<std::string>{"type", "octile"}) {
            error = where + "expected \"type octile\"";
            return false;
        }
        if ((number == 2 || number == 3) && !readSideLine(words, header, where, error))
            return false;
        if (number == 3 && !gridFits(header, where, error))
            return false;
        if (number == 4 && words != std::vector<std::string>{"map"}) {
            error = where + "expected \"map\"";
            return false;
        }
    }
    return true;
}

static bool isPassable(char cell)
{
    return cell == '.' || cell == 'G' || cell == 'S';
}

// Numbers the passable cells row by row; -1 for blocked ones.
static bool readRows(LineSource& lines, const std::string& name, const Header& header, std::vector<int>& cellVertex,
                     int& passable, std::string& error)
{
    // Grown row by row: a header promising more rows than the text holds costs nothing.
    const std::size_t cells = static_cast<std::size_t>(header.width) * header.height;
    cellVertex.clear();
    cellVertex.reserve(std::min(cells, lines.text.size() - lines.position));
    passable = 0;
    std::string_view line;
    for (int row = 0; row < header.height; ++row) {
        const std::string where = errorAt(name, kHeaderLines + 1 + row);
        if (!nextLine(lines, line)) {
            error = where + "expected " + std::to_string(header.height) + " rows, found " + std::to_string(row);
            return false;
        }
        if (line.size() != static_cast<std::size_t>(header.width)) {
            error = where + "row is " + std::to_string(line.size()) + " characters long, expected " +
                    std::to_string(header.width);
            return false;
        }
        for (char cell : line)
            cellVertex.push_back(isPassable(cell) ? passable++ : -1);
    }
    while (nextLine(lines, line)) {
        if (!line.empty()) {
            error = errorAt(name, lines.lineNumber) + "more than " + std::to_string(header.height) + " rows";
            return false;
        }
    }
    return true;
}

static double roundDownTo(double value, double step)
{
    return std::floor(value / step) * step;
}

static void placeVertices(const GridInfo& grid, std::vector<Vertex>& vertices)
{
    const double offsetX = roundDownTo((kFitWidth - grid.width * grid.cellSize) / 2.0, kOffsetStep);
    const double offsetY = roundDownTo((kFitHeight - grid.height * grid.cellSize) / 2.0, kOffsetStep);
    for (int row = 0; row < grid.height; ++row) {
        for (int column = 0; column < grid.width; ++column) {
            const int index = grid.cellVertex[static_cast<std::size_t>(row) * grid.width + column];
            if (index < 0)
                continue;
            vertices[index].x = static_cast<float>(offsetX + (column + 0.5) * grid.cellSize);
            vertices[index].y = static_cast<float>(offsetY + (row + 0.5) * grid.cellSize);
        }
    }
}

static int vertexAt(const GridInfo& grid, int row, int column)
{
    if (row < 0 || row >= grid.height || column < 0 || column >= grid.width)
        return -1;
    return grid.cellVertex[static_cast<std::size_t>(row) * grid.width + column];
}

static void linkCell(const GridInfo& grid, int row, int column, std::vector<Vertex>& vertices)
{
    const int index = vertexAt(grid, row, column);
    if (index < 0)
        return;
    Vertex& vertex = vertices[index];
    for (const Direction& step : kDirections) {
        const int neighbour = vertexAt(grid, row + step.row, column + step.column);
        if (neighbour < 0)
            continue;
        const bool diagonal = step.row != 0 && step.column != 0;
        if (diagonal && (vertexAt(grid, row + step.row, column) < 0 || vertexAt(grid, row, column + step.column) < 0))
            continue;
        vertex.links[vertex.linkCount++] = Link{neighbour, vertexDistance(vertex, vertices[neighbour])};
    }
}

bool parseMovingAi(const std::string& text, const std::string& name, Scene& map, std::string& error,
                   GridInfo* grid)
{
    if (!isPlainText(text, name, error))
        return false;
    LineSource lines = linesOfText(text);
    Header header;
    GridInfo built;
    int count = 0;
    if (!readHeader(lines, name, header, error) || !readRows(lines, name, header, built.cellVertex, count, error))
        return false;
    built.width = header.width;
    built.height = header.height;
    const double fitting = std::min(kFitWidth / header.width, kFitHeight / header.height);
    built.cellSize = roundDownTo(fitting, kCellStep);
    Scene read;
    read.cellSize = built.cellSize;
    read.vertices.resize(count);
    placeVertices(built, read.vertices);
    for (int row = 0; row < built.height; ++row)
        for (int column = 0; column < built.width; ++column)
            linkCell(built, row, column, read.vertices);
    map = std::move(read);
    if (grid)
        *grid = std::move(built);
    return true;
}

bool readMovingAiFile(const std::string& path, Scene& map, std::string& error, GridInfo* grid)
{
    try {
        std::string text;
        return readWholeFile(path, kMaxMovingAiFileBytes, text, error) &&
               parseMovingAi(text, path, map, error, grid);
    } catch (const std::bad_alloc&) {
        error = outOfMemoryError(path);
        return false;
    }
}
