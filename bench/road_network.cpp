#include "bench/road_network.h"

#include <cmath>
#include <random>

constexpr float kSpacing = 10.0f;
constexpr float kJitter = 3.0f;

// Cost per length of a road along lattice line `line`.
static float slowness(int line)
{
    if (line % 256 == 0)
        return 1.0f;
    if (line % 64 == 0)
        return 1.4f;
    if (line % 16 == 0)
        return 2.0f;
    return 4.0f;
}

static void link(std::vector<Vertex>& vertices, int a, int b, float perLength)
{
    const float dx = vertices[a].x - vertices[b].x, dy = vertices[a].y - vertices[b].y;
    const float cost = std::ceil(std::sqrt(dx * dx + dy * dy) * perLength * 16.0f) / 16.0f;
    vertices[a].links[vertices[a].linkCount++] = Link{b, cost};
    vertices[b].links[vertices[b].linkCount++] = Link{a, cost};
}

std::vector<Vertex> roadNetwork(int side, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> jitter(-kJitter, kJitter);
    std::vector<Vertex> vertices(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            Vertex& v = vertices[static_cast<std::size_t>(y) * side + x];
            v.x = x * kSpacing + jitter(rng);
            v.y = y * kSpacing + jitter(rng);
        }
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int v = y * side + x;
            if (x + 1 < side && (slowness(y) < 4.0f || rng() % 10 != 0))
                link(vertices, v, v + 1, slowness(y));
            if (y + 1 < side && (slowness(x) < 4.0f || rng() % 10 != 0))
                link(vertices, v, v + side, slowness(x));
        }
    return vertices;
}
