// Writing .vmap text: shortest round-trip numbers, one vertex a line.
#include "mapio/vmap.h"

#include <cerrno>
#include <charconv>
#include <new>

#include "files/atomic_file.h"
#include "files/error_text.h"
#include "graph/costs.h"

// A float in its shortest form that reads back to the same bits, "-0" for
// negative zero, and any link index fit in this.
constexpr int kNumberBytes = 32;
// Bytes a vertex line is guessed to take, to reserve the text once.
constexpr std::size_t kGuessedLineBytes = 48;

template <typename Number>
static char* put(char* at, Number value)
{
    return std::to_chars(at, at + kNumberBytes, value).ptr;
}

// A link's cost is written only where it is not its length.
static void appendVertex(std::string& text, const std::vector<Vertex>& all, const Vertex& vertex)
{
    char line[(4 + 2 * kMaxLinks) * (kNumberBytes + 1) + 1];
    char* at = line;
    for (const float coordinate : {vertex.x, vertex.y, vertex.z}) {
        at = put(at, coordinate);
        *at++ = ' ';
    }
    at = put(at, vertex.linkCount);
    for (int i = 0; i < vertex.linkCount; ++i) {
        *at++ = ' ';
        at = put(at, vertex.links[i].to);
        if (vertex.links[i].cost != vertexDistance(vertex, all[static_cast<std::size_t>(vertex.links[i].to)])) {
            *at++ = ':';
            at = put(at, vertex.links[i].cost);
        }
    }
    *at++ = '\n';
    text.append(line, static_cast<std::size_t>(at - line));
}

static void appendSelection(std::string& text, const char* keyword, int vertex)
{
    if (vertex != -1)
        text += std::string(keyword) + " " + std::to_string(vertex) + "\n";
}

static const char* costUnitWord(CostUnit unit)
{
    switch (unit) {
    case CostUnit::FileUnits:
        return "file";
    case CostUnit::Metres:
        return "metres";
    case CostUnit::Seconds:
        return "seconds";
    case CostUnit::Length:
        break;
    }
    return nullptr;
}

std::string formatVmap(const Scene& map)
{
    std::string text;
    text.reserve(64 + map.vertices.size() * kGuessedLineBytes);
    // Version 2 only for what version 1 cannot hold, so other maps are
    // written as they always were.
    const bool costs = costModelOf(map.vertices).given || map.costUnit != CostUnit::Length;
    text += map.cellSize != 0.0 || costs ? "vialoom-map 2\n" : "vialoom-map 1\n";
    text += "# x y z, link count, linked vertices in table order\n";
    text += "vertices " + std::to_string(map.vertices.size()) + "\n";
    for (const Vertex& vertex : map.vertices)
        appendVertex(text, map.vertices, vertex);
    if (map.metresPerUnit != 0.0) {
        char scale[kNumberBytes];
        text += "metres-per-unit ";
        text.append(scale, put(scale, map.metresPerUnit));
        text += "\n";
    }
    if (map.cellSize != 0.0) {
        char size[kNumberBytes];
        text += "cell-size ";
        text.append(size, put(size, map.cellSize));
        text += "\n";
    }
    if (const char* unit = costUnitWord(map.costUnit))
        text += std::string("cost-unit ") + unit + "\n";
    for (std::size_t i = 0; i < map.vertices.size(); ++i) {
        if (map.vertices[i].factor == 1.0f)
            continue;
        char factor[kNumberBytes];
        text += "factor " + std::to_string(i) + " ";
        text.append(factor, put(factor, map.vertices[i].factor));
        text += "\n";
    }
    appendSelection(text, "start", map.startVertex);
    appendSelection(text, "goal", map.goalVertex);
    appendSelection(text, "marked", map.markedVertex);
    text += "end\n";
    return text;
}

bool writeVmapFile(const std::string& path, const Scene& map, std::string& error)
{
    try {
        return writeFileAtomically(path, formatVmap(map), error);
    } catch (const std::bad_alloc&) {
        error = path + ": cannot save: " + errorReason(ENOMEM);
        return false;
    }
}
