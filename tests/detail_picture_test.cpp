// The level-of-detail picture: the levels keep the graph's shape, and a frame
// that visits only the tiles near the window paints what visiting every point
// and link paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <random>
#include <vector>

#include "graph/scene.h"
#include "ui/detail_picture.h"

namespace {

const Colour kGround{0.5f, 0.5f, 0.5f}, kPoint{1.0f, 1.0f, 1.0f}, kLink{1.0f, 0.5f, 0.0f};

// A lattice of side x side vertices spacing apart, linked right and down, with
// a few long links across it.
std::vector<Vertex> lattice(int side, float spacing, std::mt19937& random)
{
    std::vector<Vertex> vertices(static_cast<std::size_t>(side * side));
    for (int i = 0; i < side * side; ++i) {
        vertices[static_cast<std::size_t>(i)].x = static_cast<float>(i % side) * spacing;
        vertices[static_cast<std::size_t>(i)].y = static_cast<float>(i / side) * spacing;
    }
    for (int i = 0; i < side * side; ++i) {
        if (i % side + 1 < side)
            toggleLinkIn(vertices, i, i + 1);
        if (i + side < side * side)
            toggleLinkIn(vertices, i, i + side);
    }
    for (int k = 0; k < 20; ++k)
        toggleLinkIn(vertices, static_cast<int>(random() % vertices.size()), static_cast<int>(random() % vertices.size()));
    return vertices;
}

// The same level with every point and link in one tile: painting it visits all.
DetailLevel untiled(const DetailLevel& level)
{
    DetailLevel all = level;
    all.left = all.top = -1e30;
    all.tileSize = 1e32;
    const int points = static_cast<int>(level.xy.size() / 2), links = static_cast<int>(level.ends.size() / 2);
    for (std::size_t t = 0; t < all.pointStart.size(); ++t) {
        all.pointStart[t] = t == 0 ? 0 : points;
        all.linkStart[t] = t == 0 ? 0 : links;
    }
    return all;
}

} // namespace

TEST(DetailPicture, LevelsMergeCellsAndKeepLinksBetweenThem)
{
    std::mt19937 random(7);
    const std::vector<Vertex> vertices = lattice(120, 0.6f, random);
    std::vector<DetailLevel> levels;
    buildDetailLevels(levels, vertices, 0.25);
    ASSERT_GE(levels.size(), 3u);
    EXPECT_EQ(levels[0].xy.size(), 2 * vertices.size());
    std::size_t links = 0;
    for (const Vertex& vertex : vertices)
        links += static_cast<std::size_t>(vertex.linkCount);
    EXPECT_EQ(levels[0].ends.size(), links); // each link once, as two ends
    for (std::size_t k = 1; k < levels.size(); ++k) {
        EXPECT_DOUBLE_EQ(levels[k].cellSize, 0.25 * static_cast<double>(1u << (k - 1)));
        EXPECT_LE(levels[k].xy.size(), levels[k - 1].xy.size());
        EXPECT_LE(levels[k].ends.size(), levels[k - 1].ends.size());
        for (std::size_t e = 0; e < levels[k].ends.size(); e += 2)
            EXPECT_NE(levels[k].ends[e], levels[k].ends[e + 1]) << "a link inside one cell at level " << k;
    }
    EXPECT_LT(levels.back().xy.size(), levels[0].xy.size() / 8);
    EXPECT_EQ(detailLevelFor(levels, 100.0f), 0u);
    EXPECT_EQ(levels[detailLevelFor(levels, 1.0f)].cellSize, 2.0);
}

// Each merged level holds exactly one point per occupied cell, however far
// from the origin the cells lie (beyond any integer type) and with -0 and 0
// one cell, checked against a plain count of distinct cells.
TEST(DetailPicture, MergedLevelsHoldOnePointPerOccupiedCell)
{
    std::mt19937 random(11);
    const float bases[] = {0.0f, -0.0f, 3e9f, -1e30f, 3e38f};
    for (float base : bases) {
        std::vector<Vertex> vertices(6000); // more than a level stops merging at
        for (Vertex& vertex : vertices) {
            const float step = base == 0.0f ? 1.0f : std::fabs(base) * 0x1p-20f;
            vertex.x = base + step * static_cast<float>(random() % 97) * (random() % 2 == 0 ? 1.0f : -1.0f);
            vertex.y = step * static_cast<float>(random() % 89);
        }
        vertices[0].x = -0.0f;
        vertices[1].x = 0.0f;
        std::vector<DetailLevel> levels;
        const double cell = base == 0.0f ? 0.5 : std::fabs(base) * 0x1p-21;
        buildDetailLevels(levels, vertices, cell);
        ASSERT_GE(levels.size(), 2u) << base;
        std::vector<std::pair<double, double>> cells;
        for (const Vertex& vertex : vertices)
            cells.emplace_back(std::floor(vertex.x / cell) + 0.0, std::floor(vertex.y / cell) + 0.0);
        std::sort(cells.begin(), cells.end());
        cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
        EXPECT_EQ(levels[1].xy.size(), 2 * cells.size()) << base;
    }
}

TEST(DetailPicture, VisitingNearTilesPaintsWhatVisitingAllPaints)
{
    std::mt19937 random(11);
    const std::vector<Vertex> vertices = lattice(90, 7.0f, random);
    std::vector<DetailLevel> levels;
    buildDetailLevels(levels, vertices, 2.0);
    std::uniform_real_distribution<float> where(-200.0f, 700.0f), zoom(0.05f, 4.0f);
    for (int trial = 0; trial < 40; ++trial) {
        const ViewTransform view{zoom(random), where(random), where(random)};
        const DetailLevel& level = levels[static_cast<std::size_t>(trial) % levels.size()];
        std::vector<std::uint8_t> near, all;
        paintDetail(near, 120, 90, view, level, kGround, kPoint, kLink);
        paintDetail(all, 120, 90, view, untiled(level), kGround, kPoint, kLink);
        ASSERT_EQ(near, all) << "trial " << trial;
    }
}

TEST(DetailPicture, PointsAreThreePixelBlocksAndLinksOpaqueLines)
{
    std::vector<Vertex> vertices(2);
    vertices[0].x = 2.0f;
    vertices[0].y = 2.0f;
    vertices[1].x = 12.0f;
    vertices[1].y = 2.0f;
    toggleLinkIn(vertices, 0, 1);
    std::vector<DetailLevel> levels;
    buildDetailLevels(levels, vertices, 0.0);
    std::vector<std::uint8_t> rgba;
    paintDetail(rgba, 16, 6, ViewTransform{}, levels[0], kGround, kPoint, kLink);
    // Rows come bottom first: window row y is image row 5 - y.
    const auto pixel = [&](int x, int y) { return &rgba[static_cast<std::size_t>(((5 - y) * 16 + x) * 4)]; };
    EXPECT_EQ(pixel(1, 1)[0], 255); // the dot's corner, white, no link mask
    EXPECT_EQ(pixel(1, 1)[1], 255);
    EXPECT_EQ(pixel(1, 1)[3], 0);
    for (int x = 2; x <= 12; ++x) {
        EXPECT_EQ(pixel(x, 2)[1], 128) << x; // orange over the dots too
        EXPECT_EQ(pixel(x, 2)[3], 255) << x;
    }
    EXPECT_EQ(pixel(7, 4)[0], 128); // ground
    EXPECT_EQ(pixel(7, 4)[3], 0);
}
