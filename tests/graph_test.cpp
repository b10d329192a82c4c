#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "graph/scene.h"
#include "mapgen/mapgen.h"

namespace {

std::vector<int> targets(int vertex)
{
    std::vector<int> result;
    for (int i = 0; i < scene.vertices[vertex].linkCount; ++i)
        result.push_back(scene.vertices[vertex].links[i].to);
    return result;
}

void placeVertices(int count)
{
    clearMap();
    for (int i = 0; i < count; ++i)
        addVertex(10 * i, 3 * i);
}

bool sameTables(const Vertex& a, const Vertex& b)
{
    return a.linkCount == b.linkCount &&
           std::memcmp(a.links, b.links, a.linkCount * sizeof(Link)) == 0;
}

} // namespace

TEST(VertexDistance, RoundsEveryStepToFloat)
{
    const Vertex origin{};
    const Vertex threeFour{3.0f, 4.0f, 0.0f};
    EXPECT_EQ(vertexDistance(origin, threeFour), 5.0f);
    EXPECT_EQ(vertexDistance(Vertex{0.0f, 0.0f, 12.0f}, Vertex{3.0f, 4.0f, 0.0f}), 13.0f);
    // Computed in double and rounded once, this pair gives 0.538516462f.
    EXPECT_EQ(vertexDistance(Vertex{0.1f, 0.2f, 0.0f}, Vertex{0.3f, 0.7f, 0.0f}), 0.538516521f);
}

// Where the float squares leave float's range: the pair of far-apart.vmap
// whose estimate overflowed, vertices past 2^64 apart and at the float limit,
// and differences so small that their squares underflow (below 2^-63).
TEST(VertexDistance, KeepsItsRoundingBeyondFloatsRange)
{
    const float inf = HUGE_VALF;
    struct Case {
        Vertex a, b;
        float length, estimate;
    };
    const Case cases[] = {
        {{1.2992242e19f, 2.0203944e19f}, {4.3265497e19f, 9.0434254e18f}, inf, 0x1.bfc422p64f},
        {{0x1p70f, 0.0f}, {0.0f, 0x1p70f}, inf, 0x1.6a09e6p70f},
        {{-FLT_MAX, -FLT_MAX, -FLT_MAX}, {FLT_MAX, FLT_MAX, FLT_MAX}, inf, FLT_MAX},
        {{3.0f * 0x1p-75f, 0.0f}, {0.0f, 4.0f * 0x1p-75f}, 5.0f * 0x1p-75f, 5.0f * 0x1p-75f},
        {{3.0f * 0x1p-149f, 0.0f}, {0.0f, 4.0f * 0x1p-149f}, 5.0f * 0x1p-149f, 5.0f * 0x1p-149f},
        {{0x1p-100f, 7.0f}, {0.0f, 7.0f}, 0x1p-100f, 0x1p-100f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vertexDistance(c.a, c.b), c.length) << c.a.x;
        EXPECT_EQ(distanceEstimate(c.a, c.b), c.estimate) << c.a.x;
    }
    // Scaled by a power of two, every step scales exactly: the same bits.
    std::mt19937 rng(6203);
    const auto coordinate = [&] {
        return std::ldexp(1.0f + static_cast<float>(rng() >> 9) * 0x1p-23f, -static_cast<int>(rng() % 12));
    };
    for (int round = 0; round < 3000; ++round) {
        const Vertex a{coordinate(), coordinate(), round % 2 ? coordinate() : 0.0f};
        const Vertex b{coordinate(), coordinate(), round % 3 ? coordinate() : 0.0f};
        const float plain = vertexDistance(a, b);
        for (int shift : {-114, -90, -64, -30, 40, 63, 70, 127}) {
            const auto scaled = [&](const Vertex& v) {
                return Vertex{std::ldexp(v.x, shift), std::ldexp(v.y, shift), std::ldexp(v.z, shift)};
            };
            const float expected = std::ldexp(plain, shift);
            ASSERT_EQ(distanceEstimate(scaled(a), scaled(b)), std::min(expected, FLT_MAX)) << round << " " << shift;
            if (shift < 63) {
                ASSERT_EQ(vertexDistance(scaled(a), scaled(b)), expected) << round << " " << shift;
            }
        }
    }
}

TEST(AddVertex, StartsAllZeroAndNeverMerges)
{
    clearMap();
    addVertex(7, 9);
    addVertex(7, 9);
    ASSERT_EQ(scene.vertices.size(), 2u);
    Vertex expected;
    expected.x = 7.0f;
    expected.y = 9.0f;
    EXPECT_EQ(std::memcmp(&scene.vertices[1], &expected, sizeof expected), 0);
    toggleLink(0, 1);
    EXPECT_EQ(scene.vertices[0].links[0].cost, 0.0f);
}

TEST(ToggleLink, KeepsBothTablesInStep)
{
    placeVertices(5);
    scene.vertices[1] = Vertex{3.0f, 4.0f, 0.0f};
    scene.vertices[0] = Vertex{};

    toggleLink(0, 1); // append, same cost at both ends
    EXPECT_EQ(targets(0), (std::vector<int>{1}));
    EXPECT_EQ(targets(1), (std::vector<int>{0}));
    EXPECT_EQ(scene.vertices[0].links[0].cost, 5.0f);
    EXPECT_EQ(scene.vertices[1].links[0].cost, 5.0f);

    toggleLink(0, 2);
    toggleLink(0, 3);
    toggleLink(0, 1); // removing the first of three keeps the rest in order
    EXPECT_EQ(targets(0), (std::vector<int>{2, 3}));
    EXPECT_TRUE(targets(1).empty());

    toggleLink(0, 2);
    toggleLink(0, 2); // twice moves an existing link to the end
    EXPECT_EQ(targets(0), (std::vector<int>{3, 2}));

    const Vertex before = scene.vertices[0];
    toggleLink(0, 4);
    toggleLink(4, 0); // twice restores an unlinked pair exactly
    EXPECT_TRUE(sameTables(scene.vertices[0], before));
    EXPECT_TRUE(targets(4).empty());

    toggleLink(3, 3); // a self-link is never written
    EXPECT_EQ(targets(3), (std::vector<int>{0}));
    EXPECT_TRUE(sceneIsConsistent(scene));
}

TEST(ToggleLink, RefusesToOverfillEitherEnd)
{
    placeVertices(kMaxLinks + 3);
    const int hub = 0;
    for (int i = 1; i <= kMaxLinks; ++i)
        toggleLink(hub, i);
    const int spare = kMaxLinks + 1;
    const int other = kMaxLinks + 2;
    const Vertex hubBefore = scene.vertices[hub];
    const Vertex spareBefore = scene.vertices[spare];

    for (const auto& [a, b] : {std::pair{hub, spare}, std::pair{spare, hub}, std::pair{hub, hub}}) {
        toggleLink(a, b);
        EXPECT_TRUE(sameTables(scene.vertices[hub], hubBefore)) << a << "-" << b;
        EXPECT_TRUE(sameTables(scene.vertices[spare], spareBefore)) << a << "-" << b;
    }

    toggleLink(hub, 5); // a full vertex can still drop a link and take another
    toggleLink(other, hub);
    EXPECT_EQ(scene.vertices[hub].linkCount, kMaxLinks);
    EXPECT_EQ(targets(hub).back(), other);
    EXPECT_TRUE(sceneIsConsistent(scene));
}

TEST(NearestVertex, PicksTheLowestIndexAmongTheClosest)
{
    clearMap();
    EXPECT_EQ(nearestVertex(0, 0), -1);
    addVertex(10, 0);
    addVertex(0, 10);
    addVertex(10, 0);
    addVertex(30, 30);
    struct Case {
        int x, y, expected;
    };
    const Case cases[] = {{0, 0, 0}, {10, 1, 0}, {1, 10, 1}, {29, 40, 3}, {-5000, 5000, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(nearestVertex(c.x, c.y), c.expected) << c.x << "," << c.y;
    // Squares that overflow, or underflow, to a tie.
    const std::vector<std::vector<Vertex>> lists = {
        {{3e20f, 0.0f}, {-2e20f, 1e20f}, {FLT_MAX, -FLT_MAX}, {2e20f, 0.0f}},
        {{0x1p-80f, 0.0f}, {0.0f, 0x1p-79f}, {0x1p-90f, 0x1p-90f}, {-0x1p-81f, 0.0f}},
    };
    for (const std::vector<Vertex>& list : lists) {
        Scene far;
        far.vertices = list;
        replaceScene(far);
        EXPECT_EQ(nearestVertex(0, 0), list[0].x > 1.0f ? 3 : 2) << list[0].x;
    }
}

// Every cache of the graph trusts the revision: a change that slipped past it
// would leave a stale picture on screen, and a bump for a selection would
// throw good pictures away.
TEST(GraphRevision, MovesOnForEveryGraphChangeAndOnlyThen)
{
    struct Case {
        const char* what;
        void (*apply)();
        bool changesGraph;
    };
    static Vertex record;
    static std::vector<Vertex> list;
    const Case cases[] = {
        {"add a vertex", [] { addVertex(7, 7); }, true},
        {"link", [] { toggleLink(0, 2); }, true},
        {"unlink", [] { toggleLink(0, 1); }, true},
        {"link a vertex to itself", [] { toggleLink(1, 1); }, false},
        {"replace the scene", [] { replaceScene(scene); }, true},
        {"swap the vertex list", [] { list.assign(2, Vertex{}), swapVertexList(list); }, true},
        {"swap one vertex", [] { swapVertexRecord(1, record); }, true},
        {"cut the tail", [] { cutVerticesFrom(2, list); }, true},
        {"append it back", [] { appendVertices(list); }, true},
        {"select", [] { scene.startVertex = 0, scene.goalVertex = 2, scene.markedVertex = 1; }, false},
        {"route table", [] { scene.cameFrom = predecessorTable({{2, 1}, {1, 0}}); }, false},
        {"find the nearest", [] { nearestVertex(0, 0); }, false},
    };
    for (const Case& c : cases) {
        placeVertices(3);
        toggleLink(0, 1);
        const std::uint64_t before = graphRevision();
        c.apply();
        EXPECT_EQ(graphRevision() > before, c.changesGraph) << c.what;
        EXPECT_GE(graphRevision(), before) << c.what;
    }
}
