#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"

namespace {

// Leaves selections, a mark and a route behind for a generator to wipe.
void dirtyScene()
{
    clearMap();
    addVertex(1, 1);
    addVertex(2, 2);
    scene.startVertex = 0;
    scene.goalVertex = 1;
    scene.markedVertex = 1;
    scene.cameFrom = predecessorTable({{1, 0}});
}

// The next few numbers, which tell where in the sequence the generator is.
std::vector<int> nextNumbers()
{
    std::vector<int> numbers;
    for (int i = 0; i < 4; ++i)
        numbers.push_back(randomNext());
    return numbers;
}

std::vector<int> numbersAfter(std::uint32_t seed, int draws)
{
    randomSeed(seed);
    for (int i = 0; i < draws; ++i)
        randomNext();
    return nextNumbers();
}

void expectWiped()
{
    EXPECT_EQ(scene.startVertex, -1);
    EXPECT_EQ(scene.goalVertex, -1);
    EXPECT_EQ(scene.markedVertex, -1);
    EXPECT_TRUE(noPredecessors(scene.cameFrom));
    EXPECT_TRUE(sceneIsConsistent(scene));
}

} // namespace

TEST(GenerateRandomMap, ScattersThirtyToFiftyNineVerticesWithBoundedLinks)
{
    for (std::uint32_t seed : {0u, 1u, 7u, 1234567u, 0xFFFFFFFFu}) {
        dirtyScene();
        randomSeed(seed);
        generateRandomMap();
        const int count = static_cast<int>(scene.vertices.size());
        ASSERT_GE(count, 30);
        ASSERT_LE(count, 59);
        const std::vector<int> after = nextNumbers();
        EXPECT_EQ(after, numbersAfter(seed, 1 + 4 * count)) << "seed " << seed;
        for (const Vertex& v : scene.vertices) {
            EXPECT_TRUE(v.x >= 0 && v.x <= 799 && v.y >= 0 && v.y <= 599 && v.z == 0);
            EXPECT_LE(v.linkCount, 15);
        }
        expectWiped();
    }
}

TEST(GenerateGridMap, LinksOnlyLatticeNeighbours)
{
    const float diagonal = std::sqrt(450.0f);
    ASSERT_EQ(diagonal, 21.213203f);
    for (std::uint32_t seed : {1u, 99u}) {
        dirtyScene();
        randomSeed(seed);
        generateGridMap();
        ASSERT_EQ(scene.vertices.size(), 1600u);
        const std::vector<int> after = nextNumbers();
        EXPECT_EQ(after, numbersAfter(seed, 3 * 40 * 39 + 2 * 39 * 39)) << "seed " << seed;
        EXPECT_EQ(scene.vertices[41].x, 15.0f);
        EXPECT_EQ(scene.vertices[41].y, 15.0f);
        EXPECT_EQ(scene.vertices[1599].x, 585.0f);
        int links = 0;
        for (int i = 0; i < 1600; ++i) {
            const Vertex& v = scene.vertices[i];
            EXPECT_LE(v.linkCount, 8);
            for (int k = 0; k < v.linkCount; ++k) {
                const int to = v.links[k].to;
                const int dc = std::abs(to % 40 - i % 40);
                const int dr = std::abs(to / 40 - i / 40);
                EXPECT_TRUE(dc <= 1 && dr <= 1);
                EXPECT_EQ(v.links[k].cost, dc + dr == 2 ? diagonal : 15.0f);
            }
            links += v.linkCount;
        }
        // About 2/3 of 4602 horizontal and diagonal pairs, 4/9 of 1560 vertical.
        EXPECT_NEAR(links / 2, 3068 + 693, 150);
        expectWiped();
    }
}
