// The search view's risky parts: replaying a trace lands on exactly the sets
// a search stopped at that step had, the vertex-array prefixes the window
// draws colour every vertex as those sets say, the SVG parses back with one
// element per point, link and route vertex, and the optimality words.
#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "graph/scene.h"
#include "mapgen/mapgen.h"
#include "mapgen/random.h"
#include "route/route_walk.h"
#include "route/search.h"
#include "ui/input.h"
#include "ui/layer_image.h"
#include "ui/picture.h"
#include "ui/replay.h"
#include "ui/search_steps.h"
#include "ui/search_view.h"
#include "ui/stats_text.h"
#include "ui/svg_picture.h"

namespace {

// Whole coordinates on a tiny grid: full of equal scores and zero-cost links.
void buildTieGraph(std::mt19937& rng)
{
    clearMap();
    const int count = 2 + static_cast<int>(rng() % 40);
    const int side = 2 + static_cast<int>(rng() % 6);
    for (int i = 0; i < count; ++i)
        addVertex(static_cast<int>(rng() % side) * 10, static_cast<int>(rng() % side) * 10);
    for (int i = 0; i < 3 * count; ++i)
        toggleLink(static_cast<int>(rng() % count), static_cast<int>(rng() % count));
}

float scoreOf(SearchMode mode, float g, float h)
{
    return mode == SearchMode::Dijkstra ? g : mode == SearchMode::Greedy ? h : g + h;
}

// The search as the textbook writes it, stopped after `steps` expansions:
// a waiting list stable-sorted by score before each expansion, the goal
// ending the search when taken. Returns the expanded and waiting sets.
StepSets stoppedSearch(int start, int goal, SearchMode mode, int steps)
{
    std::vector<int> waiting{start};
    std::map<int, float> g{{start, 0.0f}}, score;
    std::set<int> finished;
    StepSets sets;
    score[start] = scoreOf(mode, 0.0f, distanceEstimate(scene.vertices[start], scene.vertices[goal]));
    for (int step = 0; step < steps && !waiting.empty(); ++step) {
        std::stable_sort(waiting.begin(), waiting.end(), [&](int a, int b) { return score[a] < score[b]; });
        const int current = waiting.front();
        if (current == goal)
            break;
        waiting.erase(waiting.begin());
        finished.insert(current);
        sets.expanded.push_back(current);
        for (int i = 0; i < scene.vertices[current].linkCount; ++i) {
            const int next = scene.vertices[current].links[i].to;
            const float tentative = scene.vertices[current].links[i].cost + g[current];
            const bool isWaiting = std::find(waiting.begin(), waiting.end(), next) != waiting.end();
            if (finished.count(next) != 0 || (isWaiting && g[next] <= tentative))
                continue;
            if (!isWaiting)
                waiting.push_back(next);
            g[next] = tentative;
            score[next] = scoreOf(mode, tentative, distanceEstimate(scene.vertices[next], scene.vertices[goal]));
        }
    }
    sets.waiting = waiting;
    std::sort(sets.waiting.begin(), sets.waiting.end());
    return sets;
}

// What the window paints: every reached vertex in the waiting colour, then the
// expanded prefix over it. 0 unpainted, 1 waiting, 2 expanded.
std::vector<int> paintedAt(const SearchTrace& trace, const ReachOrder& order, int step)
{
    std::vector<int> paint(scene.vertices.size(), 0);
    for (int i = 0; i < reachedCount(order, step); ++i)
        paint[order.vertices[i]] = 1;
    for (int i = 0; i < std::min(step, stepCount(trace)); ++i)
        paint[trace.expanded[i]] = 2;
    return paint;
}

std::vector<int> paintOf(const StepSets& sets)
{
    std::vector<int> paint(scene.vertices.size(), 0);
    for (int v : sets.waiting)
        paint[v] = 1;
    for (int v : sets.expanded)
        paint[v] = 2;
    return paint;
}

} // namespace

TEST(Replay, EveryStepReachedByPlayingOrSteppingShowsTheStoppedSearchsSets)
{
    std::mt19937 rng(20240610);
    for (int round = 0; round < 120; ++round) {
        if (round % 10 == 9) {
            randomSeed(rng());
            generateGridMap();
        } else {
            buildTieGraph(rng);
        }
        const int count = static_cast<int>(scene.vertices.size());
        const int start = static_cast<int>(rng() % count), goal = static_cast<int>(rng() % count);
        const SearchMode mode = static_cast<SearchMode>(round % 3);
        std::map<int, int> cameFrom;
        SearchTrace trace;
        searchRoute(cameFrom, scene.vertices, start, goal, mode, &trace);
        const int total = stepCount(trace);
        const ReachOrder order = reachOrder(trace);

        // Space, wait, pause, then steps back and forth past both ends.
        Replay replay;
        double now = 100.0;
        playOrPause(replay, total, now);
        now += static_cast<double>(rng() % 1000) / 1000.0;
        playOrPause(replay, total, now);
        std::vector<int> shown{replayStepAt(replay, total, now)};
        for (int delta : {+1, -1, -1, +3, -7, +2, +50, +1, -2, -1, +1, -100, +1}) {
            stepReplayBy(replay, delta, total, now);
            shown.push_back(replayStepAt(replay, total, now));
        }
        for (int step : shown) {
            SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step));
            ASSERT_GE(step, 0);
            ASSERT_LE(step, total);
            const StepSets fresh = stoppedSearch(start, goal, mode, step);
            const StepSets sets = setsAtStep(trace, step);
            EXPECT_EQ(sets.expanded, fresh.expanded);
            EXPECT_EQ(sets.waiting, fresh.waiting);
            EXPECT_EQ(paintedAt(trace, order, step), paintOf(sets));
            EXPECT_EQ(vertexExpandedAt(trace, step), step == 0 ? -1 : sets.expanded.back());
        }
    }
}

TEST(Replay, PlaysAtItsSpeedEndsAtTheFinishedSearchAndKeepsTheSpeedInRange)
{
    struct Case {
        const char* what;
        double elapsed; // seconds after space
        int total;
        int step;
        bool showing;
    };
    const Case cases[] = {
        {"before the first tick", 0.01, 100, 0, true},
        {"64 a second", 1.0, 100, 64, true},
        {"runs to the end and ends", 2.0, 100, 100, false},
        {"an empty search ends at once", 0.0, 0, 0, false},
    };
    for (const Case& c : cases) {
        Replay replay;
        playOrPause(replay, c.total, 10.0);
        EXPECT_EQ(replayStepAt(replay, c.total, 10.0 + c.elapsed), c.step) << c.what;
        EXPECT_EQ(replayShowing(replay, c.total, 10.0 + c.elapsed), c.showing) << c.what;
    }

    Replay replay;
    playOrPause(replay, 1000, 0.0);
    scaleSpeed(replay, true, 1000, 1.0); // 64 steps shown, then 128 a second
    EXPECT_EQ(replayStepAt(replay, 1000, 2.0), 64 + 128);
    playOrPause(replay, 1000, 2.0); // pause holds the step
    EXPECT_EQ(replayStepAt(replay, 1000, 50.0), 192);
    for (int i = 0; i < 40; ++i)
        scaleSpeed(replay, true, 1000, 50.0);
    EXPECT_EQ(replay.speed, kMaxReplaySpeed);
    for (int i = 0; i < 40; ++i)
        scaleSpeed(replay, false, 1000, 50.0);
    EXPECT_EQ(replay.speed, kMinReplaySpeed);
    playOrPause(replay, 1000, 50.0);
    EXPECT_EQ(replayStepAt(replay, 1000, 53.0), 195) << "resumes from the paused step";
    endReplay(replay);
    EXPECT_EQ(replayStepAt(replay, 1000, 60.0), 1000) << "ended: the finished search";
}

TEST(Replay, StepsFromTheStartForwardAndFromTheEndBackward)
{
    struct Case {
        const char* what;
        bool played;               // space pressed, and the replay run to its end, first
        std::vector<int> deltas;   // '.' is +1, ',' is -1
        std::vector<int> shown;    // the step after each
    };
    const Case cases[] = {
        {"'.' starts at step 1", false, {+1, +1, +1, -1}, {1, 2, 3, 2}},
        {"',' starts one before the end", false, {-1, -1, +1}, {99, 98, 99}},
        {"'.' on to the end stays there", false, {+100, +1, -1}, {100, 100, 99}},
        {"a replay played to the end starts over", true, {+1, +1}, {1, 2}},
    };
    for (const Case& c : cases) {
        Replay replay;
        if (c.played)
            playOrPause(replay, 100, 0.0);
        std::vector<int> shown;
        for (int delta : c.deltas) {
            stepReplayBy(replay, delta, 100, 10.0);
            shown.push_back(replayStepAt(replay, 100, 20.0));
            EXPECT_TRUE(replayShowing(replay, 100, 20.0) && !replay.playing) << c.what;
        }
        EXPECT_EQ(shown, c.shown) << c.what;
    }
    Replay replay;
    stepReplayBy(replay, +1, 100, 0.0);
    stepReplayBy(replay, +1, 100, 0.0);
    playOrPause(replay, 100, 0.0);
    EXPECT_EQ(replayStepAt(replay, 100, 1.0), 2 + 64) << "space plays on from the step shown";
    endReplay(replay);
    playOrPause(replay, 100, 5.0);
    EXPECT_EQ(replayStepAt(replay, 100, 5.0), 0) << "space with no replay plays from the start";
}

TEST(RouteTo, FollowsParentsAndStopsOnALoop)
{
    SearchTrace trace;
    trace.start = 0;
    trace.reachedAt = {0, 1, 2, -1, 3};
    trace.expandedAt = {0, 1, -1, -1, -1};
    trace.parent = {-1, 0, 1, -1, 4};
    EXPECT_EQ(routeTo(trace, 2), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(routeTo(trace, 3), std::vector<int>{}) << "never reached";
    EXPECT_EQ(routeTo(trace, 9), std::vector<int>{}) << "beyond the tables";
    EXPECT_LE(routeTo(trace, 4).size(), trace.parent.size() + 1) << "a self-loop must not hang";
}

TEST(Stats, CostsAreGivenInTheMapsOwnUnit)
{
    Scene plain, grid, roads;
    grid.cellSize = 12.25;
    roads.metresPerUnit = 2.5;
    EXPECT_EQ(costText(414.39f, plain), "414.39");
    EXPECT_EQ(costText(414.39f, grid), "33.83 cells");
    EXPECT_EQ(costText(414.39f, roads), "1036.0 m");

    SearchTrace trace;
    trace.start = 0;
    trace.goal = 1;
    trace.found = true;
    trace.g = {0.0f, 49.0f};
    trace.h = {0.0f, 0.0f};
    trace.reachedAt = {0, 1};
    trace.expandedAt = {0, -1};
    trace.parent = {-1, 0};
    grid.vertices.resize(2);
    EXPECT_EQ(searchLine(trace, grid).substr(0, 32), "A*: cost 4.00 cells, 1 hops, exp");
    EXPECT_EQ(checkLine(trace, Reference{49.0f, 2}, grid),
              "Dijkstra check: cost 4.00 cells, expanded 2 - cheapest: yes");
}

TEST(Stats, OptimalityWordsFollowTheCosts)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        float cost;      // the trace's g at the goal, inf when not found
        float cheapest;  // the reference
        const char* tail;
    };
    const Case cases[] = {
        {"equal", 100.0f, 100.0f, "cheapest: yes"},
        {"one ulp apart", 100.0f, std::nextafter(100.0f, 0.0f), "cheapest: yes"},
        {"greedy, dearer", 110.0f, 100.0f, "cheapest: no, 10.0% dearer"},
        {"reference finds none", 100.0f, inf, "cheapest: no"},
        {"search misses a route", inf, 100.0f, "cheapest: no"},
        {"neither finds one", inf, inf, "no route either, expanded 7"},
    };
    for (const Case& c : cases) {
        SearchTrace trace;
        trace.start = 0;
        trace.goal = 1;
        trace.found = !std::isinf(c.cost);
        trace.g = {0.0f, c.cost};
        trace.h = {0.0f, 0.0f};
        trace.reachedAt = {0, 1};
        trace.expandedAt = {0, -1};
        trace.parent = {-1, 0};
        const std::string line = checkLine(trace, Reference{c.cheapest, 7}, Scene{});
        EXPECT_EQ(line.substr(line.size() - std::string(c.tail).size()), c.tail) << c.what << ": " << line;
    }
    EXPECT_TRUE(costsAgree(1000.0f, 1000.0f * (1.0f + 4.0f * FLT_EPSILON), 10));
    EXPECT_FALSE(costsAgree(1000.0f, 1000.01f, 10));
}

namespace {

struct SvgCounts {
    bool wellFormed = false;
    std::map<std::string, int> elements; // "group/element" -> count
    int routePoints = -1;
    std::string text;
    std::map<std::string, std::string> root;          // the <svg> element's attributes
    std::vector<std::pair<double, double>> points;     // cx, cy of the "points" circles
};

struct ParseState {
    std::vector<std::string> groups;
    SvgCounts* counts;
};

SvgCounts parseSvg(const std::string& svg)
{
    SvgCounts counts;
    ParseState state{{}, &counts};
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto& s = *static_cast<ParseState*>(data);
            std::string id;
            if (std::string(name) == "svg")
                for (int i = 0; attributes[i] != nullptr; i += 2)
                    s.counts->root[attributes[i]] = attributes[i + 1];
            if (std::string(name) == "circle" && !s.groups.empty() && s.groups.back() == "points") {
                // Positions are written as floats: read back as what they stand for.
                std::map<std::string, double> at;
                for (int i = 0; attributes[i] != nullptr; i += 2)
                    at[attributes[i]] = std::strtof(attributes[i + 1], nullptr);
                s.counts->points.emplace_back(at["cx"], at["cy"]);
            }
            for (int i = 0; attributes[i] != nullptr; i += 2) {
                if (std::string(attributes[i]) == "id")
                    id = attributes[i + 1];
                if (std::string(name) == "polyline" && std::string(attributes[i]) == "points" &&
                    !s.groups.empty() && s.groups.back() == "route") {
                    std::istringstream pairs(attributes[i + 1]);
                    std::string pair;
                    s.counts->routePoints = 0;
                    while (pairs >> pair)
                        ++s.counts->routePoints;
                }
            }
            if (!s.groups.empty())
                ++s.counts->elements[s.groups.back() + "/" + name];
            s.groups.push_back(id.empty() && !s.groups.empty() ? s.groups.back() : id);
        },
        [](void* data, const XML_Char*) { static_cast<ParseState*>(data)->groups.pop_back(); });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        static_cast<ParseState*>(data)->counts->text.append(text, static_cast<std::size_t>(length));
    });
    counts.wellFormed = XML_Parse(parser, svg.data(), static_cast<int>(svg.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return counts;
}

int linkPairs()
{
    int ends = 0;
    for (const Vertex& vertex : scene.vertices)
        ends += vertex.linkCount;
    return ends / 2;
}

} // namespace

TEST(Svg, ParsesBackWithOneElementPerPointLinkAndRouteVertex)
{
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        randomSeed(seed);
        seed % 2 == 0 ? generateGridMap() : generateRandomMap();
        const int count = static_cast<int>(scene.vertices.size());
        std::map<int, int> cameFrom;
        SearchTrace trace;
        const int start = 0, goal = count - 1;
        searchRoute(cameFrom, scene.vertices, start, goal, SearchMode::AStar, &trace);
        SvgScene svg;
        svg.vertices = &scene.vertices;
        svg.start = start;
        svg.goal = goal;
        svg.marked = 1;
        svg.route = routeTo(trace, goal);
        const StepSets sets = setsAtStep(trace, stepCount(trace) / 2);
        svg.expanded = sets.expanded;
        svg.waiting = sets.waiting;
        svg.current = sets.expanded.empty() ? -1 : sets.expanded.back();
        svg.routeToCurrent = routeTo(trace, svg.current);
        svg.panels.push_back(panelAt({"A* & <Dijkstra> \"quoted\"", "\x01 control"}, 4, 4));

        const SvgCounts parsed = parseSvg(formatSvg(svg));
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_TRUE(parsed.wellFormed);
        EXPECT_EQ(parsed.elements.at("points/circle"), count);
        EXPECT_EQ(parsed.elements.count("links/line") ? parsed.elements.at("links/line") : 0, linkPairs());
        EXPECT_EQ(parsed.routePoints, trace.found ? static_cast<int>(svg.route.size()) : -1);
        EXPECT_EQ(parsed.elements.count("expanded/circle") ? parsed.elements.at("expanded/circle") : 0,
                  static_cast<int>(sets.expanded.size()));
        EXPECT_EQ(parsed.elements.count("waiting/circle") ? parsed.elements.at("waiting/circle") : 0,
                  static_cast<int>(sets.waiting.size()));
        EXPECT_NE(parsed.text.find("A* & <Dijkstra> \"quoted\""), std::string::npos);
    }
}

TEST(Svg, ConvertRefusesMissingVerticesAndWritesAFileThatParses)
{
    randomSeed(7);
    generateGridMap();
    Scene map;
    map.vertices = scene.vertices;
    const std::string path = ::testing::TempDir() + "vialoom-convert-test.svg";
    std::remove(path.c_str());
    std::string error;
    EXPECT_FALSE(exportMapSvg(map, 0, 1600, true, nullptr, path, error));
    EXPECT_EQ(error, "--to 1600: no such vertex, the map has 1600");
    EXPECT_FALSE(std::ifstream(path).good()) << "a refused export writes nothing";

    ASSERT_TRUE(exportMapSvg(map, 0, 1599, true, nullptr, path, error)) << error;
    std::stringstream written;
    written << std::ifstream(path).rdbuf();
    const SvgCounts svg = parseSvg(written.str());
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.elements.at("points/circle"), 1600);
    EXPECT_NE(svg.text.find("Dijkstra check"), std::string::npos);
    EXPECT_EQ(svg.elements.count("back-expanded/circle"), 0u) << "one search, one pair of colours";

    // A bidirectional search's halves: every expansion drawn once, in its half's group, and the meeting.
    for (SearchMode mode : {SearchMode::BiDijkstra, SearchMode::BiAStar}) {
        ASSERT_TRUE(exportMapSvg(map, 0, 1599, true, nullptr, path, error, SearchChoice{mode})) << error;
        std::stringstream bidirectional;
        bidirectional << std::ifstream(path).rdbuf();
        const SvgCounts halves = parseSvg(bidirectional.str());
        ASSERT_TRUE(halves.wellFormed);
        std::map<int, int> cameFrom;
        SearchTrace trace;
        searchRouteWith(cameFrom, map.vertices, 0, 1599, SearchChoice{mode}, &trace);
        int backward = 0;
        for (signed char side : trace.expandedSide)
            backward += side;
        ASSERT_GT(backward, 0);
        EXPECT_EQ(halves.elements.at("back-expanded/circle"), backward);
        EXPECT_EQ(halves.elements.at("expanded/circle"), static_cast<int>(trace.expanded.size()) - backward);
        EXPECT_EQ(halves.elements.at("meeting/circle"), 1);
    }
    std::remove(path.c_str());
}

// The number of a whole attribute value; NaN unless all of it is a number.
static double wholeNumber(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' ? value : std::nan("");
}

TEST(Svg, MapsOfAnyFloatCoordinatesGetAFinitePositiveBoxHoldingEveryPoint)
{
    const float big = std::numeric_limits<float>::max(), tiny = std::numeric_limits<float>::denorm_min();
    const std::vector<std::vector<std::pair<float, float>>> maps = {
        {{3e9f, 10.0f}, {20.0f, 30.0f}},
        {{-3e9f, -5.0f}, {100.0f, 2e9f}},
        {{big, big}},
        {{-big, -big}, {big, big}},
        {{tiny, -tiny}, {-tiny, 1e-38f}},
        {{-0.0f, 0.0f}, {-1.0f, -1.0f}},
    };
    const std::string path = ::testing::TempDir() + "vialoom-wide-test.svg";
    for (const auto& points : maps) {
        Scene map;
        for (const auto& [x, y] : points) {
            map.vertices.emplace_back();
            map.vertices.back().x = x;
            map.vertices.back().y = y;
        }
        std::string error;
        ASSERT_TRUE(exportMapSvg(map, -1, -1, false, nullptr, path, error)) << error;
        std::stringstream written;
        written << std::ifstream(path).rdbuf();
        const SvgCounts svg = parseSvg(written.str());
        SCOPED_TRACE(written.str().substr(0, 200));
        ASSERT_TRUE(svg.wellFormed);
        const double width = wholeNumber(svg.root.at("width")), height = wholeNumber(svg.root.at("height"));
        EXPECT_TRUE(std::isfinite(width) && width >= 800.0);
        EXPECT_TRUE(std::isfinite(height) && height >= 600.0);
        std::istringstream box(svg.root.at("viewBox"));
        std::string left, top, boxWidth, boxHeight, more;
        ASSERT_TRUE(box >> left >> top >> boxWidth >> boxHeight && !(box >> more));
        EXPECT_EQ(wholeNumber(boxWidth), width);
        EXPECT_EQ(wholeNumber(boxHeight), height);
        const double x0 = wholeNumber(left), y0 = wholeNumber(top);
        ASSERT_TRUE(std::isfinite(x0) && std::isfinite(y0) && x0 <= 0.0 && y0 <= 0.0);
        ASSERT_EQ(svg.points.size(), points.size());
        for (const auto& [x, y] : svg.points) {
            EXPECT_TRUE(x >= x0 && x <= x0 + width) << x;
            EXPECT_TRUE(y >= y0 && y <= y0 + height) << y;
        }
    }
    std::remove(path.c_str());
}

TEST(PicturePath, NamesByTheClockBesideTheMapAndNeverOverwrites)
{
    EXPECT_EQ(folderOf("maps/town.vmap"), "maps/");
    EXPECT_EQ(folderOf("town.vmap"), "");
    EXPECT_EQ(folderOf("/town.vmap"), "/");

    const std::string folder = ::testing::TempDir();
    const std::time_t when = 1700000000;
    const std::string first = picturePath(folder, when);
    ASSERT_EQ(first.rfind(folder + "vialoom-", 0), 0u) << first;
    ASSERT_EQ(first.size(), folder.size() + std::string("vialoom-YYYYMMDD-HHMMSS.svg").size()) << first;
    std::ofstream(first) << "kept";
    const std::string second = picturePath(folder, when);
    EXPECT_EQ(second, first.substr(0, first.size() - 4) + "-2.svg");
    std::remove(first.c_str());
}

TEST(LayerImage, PaintsEachPointOnThePixelTheWindowDrawsItOnExpandedOverWaiting)
{
    // 4 x 3 window; rows of the image count from the bottom.
    const std::vector<float> reached{0.0f, 0.0f, 3.0f, 2.0f, -1.0f, 0.0f, 1.4f, 0.6f, 4.0f, 1.0f};
    const std::vector<float> expanded{3.0f, 2.0f};
    std::vector<std::uint8_t> rgba;
    paintLayer(rgba, 4, 3, ViewTransform{}, reached, 5, Colour{1, 0, 0}, expanded, 1, Colour{0, 0, 1});
    const auto at = [&](int column, int rowFromBottom) {
        const std::size_t i = static_cast<std::size_t>((rowFromBottom * 4 + column) * 4);
        return std::vector<int>{rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    };
    const std::vector<int> none{0, 0, 0, 0}, waiting{255, 0, 0, 255}, done{0, 0, 255, 255};
    EXPECT_EQ(at(0, 2), waiting) << "(0, 0) is the top-left pixel";
    EXPECT_EQ(at(3, 0), done) << "(3, 2) is bottom-right, expanded over waiting";
    EXPECT_EQ(at(1, 1), waiting) << "(1.4, 0.6) rounds to pixel (1, 1)";
    int painted = 0;
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        painted += rgba[i] != 0;
    EXPECT_EQ(painted, 3) << "points outside the window are skipped";
    EXPECT_EQ(at(2, 2), none);
}

// Drawing never searches; the input path does, so that undo bringing back
// ends whose search is not the last one run still shows their search.
TEST(SearchView, DrawingOnlyReadsAndEveryInputSettlesTheView)
{
    randomSeed(3);
    handleKey('2', 0, 0);
    handleMouse(kLeftButton, kButtonDown, 0, 0, kModifierAlt);
    handleMouse(kLeftButton, kButtonDown, 585, 585, kModifierShift);
    const Predecessors routeBefore = scene.cameFrom;
    const int goalBefore = scene.goalVertex;
    handleKey('v', 0, 0);
    const auto checked = [] {
        const SearchPicture picture = searchPictureAt(0.0, 800, 600);
        return !picture.panels.empty() && picture.panels[0].lines.size() == 2 &&
               picture.panels[0].lines[1].rfind("Dijkstra check", 0) == 0;
    };
    EXPECT_TRUE(checked());

    handleMouse(kLeftButton, kButtonDown, 300, 15, kModifierShift);
    handleKey('u', 0, 0);
    EXPECT_EQ(scene.goalVertex, goalBefore);
    EXPECT_TRUE(samePredecessors(scene.cameFrom, routeBefore)) << "the drawn route is what undo left";
    EXPECT_EQ(lastSearch.goal, goalBefore) << "the view shows the search of the ends undo brought back";
    EXPECT_TRUE(checked());
    scene.goalVertex = 40; // as if undo brought it back, unsearched
    const std::uint64_t generation = lastSearch.generation;
    for (int frame = 0; frame < 3; ++frame)
        searchPictureAt(0.0, 800, 600);
    EXPECT_EQ(lastSearch.generation, generation) << "a frame searched";
    settleSearchView();
    EXPECT_GT(lastSearch.generation, generation);
    EXPECT_EQ(lastSearch.goal, 40);
    EXPECT_TRUE(checked());

    handleKey('v', 0, 0);
}

TEST(TextPanel, WrapsLongLinesAtCommasThenSpacesThenAnywhere)
{
    const struct {
        std::string line;
        int most;
        std::vector<std::string> wrapped;
    } cases[] = {
        {"short", 10, {"short"}},
        {"A*: cost 35.49, 33 hops, expanded 212", 20, {"A*: cost 35.49,", "  33 hops, expanded", "  212"}},
        {"one two three four", 10, {"one two", "  three", "  four"}},
        {"abcdefghijklmnop", 8, {"abcdefgh", "  ijklmn", "  op"}},
        {"fits exactly", 12, {"fits exactly"}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> wrapped = wrapLines({c.line}, c.most);
        EXPECT_EQ(wrapped, c.wrapped) << c.line;
        for (const std::string& line : wrapped)
            EXPECT_LE(static_cast<int>(line.size()), c.most) << c.line;
    }
    // Stacked panels move up or down to sit below the one before, the help overlay stays.
    std::vector<TextPanel> panels{panelAt({std::string(60, 'x')}, kPanelMargin, kPanelMargin),
                                  panelAt({"below"}, kPanelMargin, 100.0f), panelAt({"help"}, 300.0f, 200.0f)};
    fitPanels(panels, 400);
    EXPECT_LE(panels[0].width, 400.0f - 2 * kPanelMargin);
    EXPECT_EQ(panels[1].y, panels[0].y + panels[0].height + kPanelMargin);
    EXPECT_EQ(panels[2].x, 300.0f);
    EXPECT_EQ(panels[2].y, 200.0f);
}
