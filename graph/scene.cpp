#include "graph/scene.h"

#include <utility>

#include "graph/vertex_grid.h"

Scene scene;
static std::uint64_t revision = 0;
static std::uint64_t layout = 0;

// Every change of the scene's vertices or links ends here.
static void graphChanged()
{
    ++revision;
    ++layout;
}

// A change of terrain factors alone leaves the layout as it was.
static void factorsChanged()
{
    ++revision;
}

// Position of target in from's table; -1 when it is not there.
static int linkPosition(const Vertex& from, int target)
{
    const Link* link = findLink(from, target);
    return link == nullptr ? -1 : static_cast<int>(link - from.links);
}

static void removeLinkAt(Vertex& from, int position)
{
    for (int i = position + 1; i < from.linkCount; ++i)
        from.links[i - 1] = from.links[i];
    --from.linkCount;
}

static void appendLink(Vertex& from, int target, float cost)
{
    from.links[from.linkCount] = Link{target, cost};
    ++from.linkCount;
}

std::uint64_t graphRevision()
{
    return revision;
}

std::uint64_t layoutRevision()
{
    return layout;
}

void addVertex(int x, int y)
{
    addVertexAt(static_cast<float>(x), static_cast<float>(y));
}

void addVertexAt(float x, float y)
{
    Vertex vertex;
    vertex.x = x;
    vertex.y = y;
    scene.vertices.push_back(vertex);
    graphChanged();
}

const Link* findLink(const Vertex& from, int target)
{
    for (int i = 0; i < from.linkCount; ++i)
        if (from.links[i].to == target)
            return &from.links[i];
    return nullptr;
}

void toggleLink(int a, int b)
{
    if (toggleLinkIn(scene.vertices, a, b))
        graphChanged();
}

bool toggleLinkIn(std::vector<Vertex>& graph, int a, int b)
{
    if (a == b)
        return false;
    Vertex& first = graph[a];
    Vertex& second = graph[b];
    const int inFirst = linkPosition(first, b);
    const int inSecond = linkPosition(second, a);
    const bool noRoom = (inFirst < 0 && first.linkCount == kMaxLinks) ||
                        (inSecond < 0 && second.linkCount == kMaxLinks);
    if (noRoom)
        return false;
    const float cost = vertexDistance(first, second);
    if (inFirst >= 0)
        removeLinkAt(first, inFirst);
    else
        appendLink(first, b, cost);
    if (inSecond >= 0)
        removeLinkAt(second, inSecond);
    else
        appendLink(second, a, cost);
    return true;
}

int nearestVertex(int x, int y)
{
    return nearestVertexAt(static_cast<float>(x), static_cast<float>(y));
}

int nearestVertexAt(float x, float y)
{
    return nearestInGrid(sceneGrid(), scene.vertices, x, y);
}

void setVertexFactor(int index, float factor)
{
    float& held = scene.vertices[static_cast<std::size_t>(index)].factor;
    if (held == factor)
        return;
    held = factor;
    factorsChanged();
}

void replaceScene(Scene next)
{
    scene = std::move(next);
    graphChanged();
}

void swapVertexList(std::vector<Vertex>& list)
{
    scene.vertices.swap(list);
    graphChanged();
}

void swapVertexFactors(std::map<int, float>& factors)
{
    for (auto& [index, factor] : factors)
        std::swap(scene.vertices[static_cast<std::size_t>(index)].factor, factor);
    factorsChanged();
}

void swapVertexRecord(int index, Vertex& record)
{
    std::swap(scene.vertices[static_cast<std::size_t>(index)], record);
    graphChanged();
}

void cutVerticesFrom(std::size_t keep, std::vector<Vertex>& tail)
{
    const auto first = scene.vertices.begin() + static_cast<std::ptrdiff_t>(keep);
    tail.assign(first, scene.vertices.end());
    scene.vertices.erase(first, scene.vertices.end());
    graphChanged();
}

void appendVertices(std::vector<Vertex>& tail)
{
    scene.vertices.insert(scene.vertices.end(), tail.begin(), tail.end());
    std::vector<Vertex>().swap(tail);
    graphChanged();
}
