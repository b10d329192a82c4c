#include "graph/scene.h"

#include <cfloat>
#include <cmath>

std::vector<Vertex> vertices;
std::map<int, int> cameFrom;
int startVertex = -1;
int goalVertex = -1;
int markedVertex = -1;
std::uint64_t verticesRevision = 0;

static int findLink(const Vertex& from, int target)
{
    for (int i = 0; i < from.linkCount; ++i)
        if (from.links[i].to == target)
            return i;
    return -1;
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

float vertexDistance(const Vertex& a, const Vertex& b)
{
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float dz = a.z - b.z;
    const float xx = dx * dx;
    const float yy = dy * dy;
    const float zz = dz * dz;
    const float planar = xx + yy;
    const float sum = planar + zz;
    return std::sqrt(sum);
}

void addVertex(int x, int y)
{
    Vertex vertex;
    vertex.x = static_cast<float>(x);
    vertex.y = static_cast<float>(y);
    vertices.push_back(vertex);
    ++verticesRevision;
}

void toggleLink(int a, int b)
{
    if (a == b)
        return;
    Vertex& first = vertices[a];
    Vertex& second = vertices[b];
    const int inFirst = findLink(first, b);
    const int inSecond = findLink(second, a);
    const bool noRoom = (inFirst < 0 && first.linkCount == kMaxLinks) ||
                        (inSecond < 0 && second.linkCount == kMaxLinks);
    if (noRoom)
        return;
    ++verticesRevision;
    const float cost = vertexDistance(first, second);
    if (inFirst >= 0)
        removeLinkAt(first, inFirst);
    else
        appendLink(first, b, cost);
    if (inSecond >= 0)
        removeLinkAt(second, inSecond);
    else
        appendLink(second, a, cost);
}

int nearestVertex(int x, int y)
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    float bestDistance = FLT_MAX;
    int best = -1;
    for (int i = 0; i < static_cast<int>(vertices.size()); ++i) {
        const float dx = vertices[i].x - px;
        const float dy = vertices[i].y - py;
        const float xx = dx * dx;
        const float yy = dy * dy;
        const float distance = xx + yy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}
