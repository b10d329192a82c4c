#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/check_command.h"

namespace {

const std::string kData = VIALOOM_TEST_DATA;

struct CheckRun {
    int status;
    std::string out;
    std::string err;
};

std::string drain(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

CheckRun check(const std::vector<std::string>& args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = runCheckCommand(args, out, err);
    return {status, drain(out), drain(err)};
}

std::string writeFile(const std::string& name, const std::string& text)
{
    const std::string path = testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs(text.c_str(), file);
    std::fclose(file);
    return path;
}

MapData gridMap(const std::string& text, GridInfo& grid)
{
    MapData map;
    std::string error;
    EXPECT_TRUE(parseMovingAi(text, "t.map", map, error, &grid)) << error;
    return map;
}

} // namespace

// tests/data/lab.map, x across and y down:
//
//      0123456
//   0  .......
//   1  .@@@@@.
//   2  .@T..@.
//   3  .@..@@.
//   4  ...@...
//   5  .......
//
// Line 2, (0,0) to (6,0): straight along row 0, 6.
// Line 3, (0,0) to (6,4): along row 0 and down column 6, 6 + 4 = 10; round the
//   bottom costs 4 down, a diagonal to (1,5), 4 across and a diagonal up:
//   8 + 2 sqrt 2 = 10.83. (5,0)-(6,1) would cut the corner at (5,1).
// Line 4, (0,0) to (3,2): the pocket (2,3) (3,3) (3,2) (4,2) opens only from
//   (2,4) to (2,3): (3,3)-(2,4) cuts (3,4), (2,3)-(1,4) cuts (1,3), (2,3)-(3,2)
//   cuts the tree at (2,2). So: down to (0,4) 4, across to (2,4) 6, up to (2,3)
//   7, (3,3) 8, (3,2) 9. Cutting corners would give 3 + 3 sqrt 2 = 7.24.
// Line 5, (0,4) to (6,4): row 4 is blocked at (3,4), so cross at (3,5):
//   diagonal to (1,5), across to (4,5), then (5,5) and a diagonal up to (6,4)
//   (its sides (6,5) and (5,4) are open): 4 + 2 sqrt 2 = 6.82842712.
// Line 6 is line 2 recorded wrongly as 5: a mismatch.
// Line 7 starts on the wall at (1,1); line 8's goal (7,0) is off the map.
// Line 9, (5,4) to (6,3): the diagonal cuts (5,3), so (6,4) then up: 2.
// Line 10, (0,0) to itself: 0.
TEST(CheckCommand, ReportsEachFailureAndTheTotalsOnTheHandMadeLab)
{
    const std::string scenario = kData + "/lab.scen";
    const CheckRun run = check({scenario});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, scenario + ":6: route length 6.00000000, optimal 5.00000000\n" +
                           scenario + ":7: start (1, 1) is blocked\n" +
                           scenario + ":8: goal (7, 0) is outside the 7 x 6 map\n" +
                           "6 passed, 3 failed\n");
    EXPECT_EQ(run.err, "");
}

TEST(CheckCommand, PassesWhenEveryLengthMatchesWithinTolerance)
{
    // The lab's good lines with lengths nudged inside and just outside 1e-4 relative.
    const std::string good = writeFile("check-good.scen",
        "version 1.0\n"
        "0 elsewhere/lab.map 7 6 0 0 6 4 10.00099\n"
        "\n"
        "0 elsewhere/lab.map 7 6 0 4 6 4 6.8284271247\n"
        "0 elsewhere/lab.map 7 6 0 0 3 2 8.99911\n");
    const CheckRun run = check({good, kData + "/lab.map"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "3 passed, 0 failed\n");
    const std::string bad = writeFile("check-bad.scen", "version 1\n0 lab.map 7 6 0 0 6 4 10.0011\n");
    EXPECT_EQ(check({bad, kData + "/lab.map"}).out, bad + ":2: route length 10.00000000, optimal 10.00110000\n0 passed, 1 failed\n");
    const std::string empty = writeFile("check-empty.scen", "version 1\n");
    EXPECT_EQ(check({empty, kData + "/lab.map"}).out, "0 passed, 0 failed\n");
}

TEST(CheckCommand, RefusesBadUsageAndUnreadableFilesWithStatusTwo)
{
    const std::string scenario = kData + "/lab.scen";
    const std::string lost = writeFile("check-lost.scen", "version 1\n0 nowhere.map 7 6 0 0 6 0 6\n");
    const std::string broken = writeFile("check-broken.scen", "version 1\n0 lab.map 7 6 0 0 6 0\n");
    const std::string folder = testing::TempDir();
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{}, "vialoom: usage: vialoom check SCENFILE [MAPFILE]\n"},
        {{scenario, scenario, scenario}, "vialoom: usage: vialoom check SCENFILE [MAPFILE]\n"},
        {{kData + "/absent.scen"}, "vialoom: " + kData + "/absent.scen: cannot read: No such file or directory\n"},
        {{scenario, scenario}, "vialoom: " + scenario + ":1: expected \"type octile\"\n"},
        {{lost}, "vialoom: " + folder + "nowhere.map: cannot read: No such file or directory\n"},
        {{broken}, "vialoom: " + broken + ":2: expected 9 fields (bucket map width height startX startY goalX "
                                          "goalY length), found 8\n"},
    };
    for (const auto& test : cases) {
        const CheckRun run = check(test.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, test.err);
        EXPECT_EQ(run.out, "");
    }
}

TEST(CheckCommand, FailsUnreachableGoalsAndForeignSizes)
{
    // The only diagonal between the two open cells cuts both walls.
    GridInfo grid;
    const MapData map = gridMap("type octile\nheight 2\nwidth 2\nmap\n.@\n@.\n", grid);
    ScenarioProblem problem;
    problem.mapWidth = 2;
    problem.mapHeight = 2;
    problem.goalX = 1;
    problem.goalY = 1;
    problem.optimalLength = 1.41421356;
    double length = 0.0;
    EXPECT_EQ(checkProblem(map, grid, problem, length), "no route found, optimal 1.41421356");
    EXPECT_EQ(length, -1.0);
    problem.mapHeight = 3;
    EXPECT_EQ(checkProblem(map, grid, problem, length), "the map is 2 x 2, the scenario says 2 x 3");
    problem = {};
    problem.mapWidth = 2;
    problem.mapHeight = 2;
    problem.startX = -1;
    EXPECT_EQ(checkProblem(map, grid, problem, length), "start (-1, 0) is outside the 2 x 2 map");
}

TEST(RouteCost, SumsLinksBackFromTheGoalAndRefusesBrokenChains)
{
    GridInfo grid;
    const MapData map = gridMap("type octile\nheight 1\nwidth 3\nmap\n...\n", grid);
    const double cell = grid.cellSize;
    const struct {
        std::map<int, int> cameFrom;
        int start, goal;
        double cost;
    } cases[] = {
        {{{1, 0}, {2, 1}}, 0, 2, 2 * cell},
        {{}, 1, 1, 0.0},
        {{{2, 1}}, 0, 2, -1.0},         // 1 has no predecessor
        {{{2, 0}}, 0, 2, -1.0},         // 0 and 2 are not linked
        {{{1, 2}, {2, 1}}, 0, 2, -1.0}, // a loop
        {{{2, 7}}, 0, 2, -1.0},         // no such vertex
    };
    for (const auto& test : cases)
        EXPECT_EQ(routeCost(test.cameFrom, map.vertices, test.start, test.goal), test.cost);
}

TEST(ScenarioReader, RefusesMalformedLinesAndKeepsWhatItHad)
{
    const std::string line = "0\tm.map\t7\t6\t0\t0\t6\t0\t";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "s.scen:1: expected \"version 1\""},
        {"version 2\n", "s.scen:1: expected \"version 1\""},
        {"\nversion 1\n", "s.scen:1: expected \"version 1\""},
        {"version 1\n" + line + "6 7\n", "s.scen:2: expected 9 fields (bucket map width height startX startY goalX "
                                         "goalY length), found 10"},
        {"version 1\n-1 m.map 7 6 0 0 6 0 6\n", "s.scen:2: bucket must be a whole number >= 0"},
        {"version 1\n0 m.map 0 6 0 0 6 0 6\n", "s.scen:2: map width and height must be whole numbers >= 1"},
        {"version 1\n0 m.map 7 6x 0 0 6 0 6\n", "s.scen:2: map width and height must be whole numbers >= 1"},
        {"version 1\n0 m.map 7 6 0 1.5 6 0 6\n", "s.scen:2: coordinates must be whole numbers"},
        {"version 1\n0 m.map 7 6 0 0 6 99999999999 6\n", "s.scen:2: coordinates must be whole numbers"},
        {"version 1\n\n" + line + "nan\n", "s.scen:3: optimal length must be a finite number >= 0"},
        {"version 1\n" + line + "inf\n", "s.scen:2: optimal length must be a finite number >= 0"},
        {"version 1\n" + line + "-1\n", "s.scen:2: optimal length must be a finite number >= 0"},
        {"version 1\n" + line + "1e999\n", "s.scen:2: optimal length must be a finite number >= 0"},
        {"version 1\n" + line + "0x10\n", "s.scen:2: optimal length must be a finite number >= 0"},
        {"version 1\n" + line + "6\x80\n", "s.scen:2: binary byte 0x80"},
    };
    for (const auto& test : cases) {
        std::vector<ScenarioProblem> problems(1);
        std::string error;
        EXPECT_FALSE(parseScenario(test.text, "s.scen", problems, error)) << test.error;
        EXPECT_EQ(error, test.error);
        EXPECT_EQ(problems.size(), 1u);
    }
}

TEST(ScenarioReader, ReadsEveryFieldOfEachLine)
{
    std::vector<ScenarioProblem> problems;
    std::string error;
    ASSERT_TRUE(parseScenario("version 1\r\n\r\n3 maps/dao/a.map  512\t256 -1 2 3 4 1.5e1\r\n", "s", problems, error))
        << error;
    ASSERT_EQ(problems.size(), 1u);
    const ScenarioProblem& p = problems[0];
    EXPECT_EQ(p.line, 3);
    EXPECT_EQ(p.bucket, 3);
    EXPECT_EQ(p.mapName, "maps/dao/a.map");
    EXPECT_EQ(std::vector<int>({p.mapWidth, p.mapHeight, p.startX, p.startY, p.goalX, p.goalY}),
              std::vector<int>({512, 256, -1, 2, 3, 4}));
    EXPECT_EQ(p.optimalLength, 15.0);
}

TEST(ScenarioReader, FindsTheMapBesideByBaseNameThenAsWritten)
{
    const std::string folder = testing::TempDir() + "scenario-maps";
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/sub").c_str(), 0755);
    writeFile("scenario-maps/sub/deep.map", "");
    writeFile("scenario-maps/both.map", "");
    writeFile("scenario-maps/sub/both.map", "");
    const std::string scenario = folder + "/s.scen";
    const struct {
        std::string scenario, mapName, path;
    } cases[] = {
        {scenario, "maps/dao/both.map", folder + "/both.map"},
        {scenario, "sub/both.map", folder + "/both.map"},
        {scenario, "sub/deep.map", folder + "/sub/deep.map"},
        {scenario, "maps/absent.map", folder + "/absent.map"},
        {"s.scen", "maps/absent.map", "absent.map"},
        {scenario, kData + "/lab.map", kData + "/lab.map"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(scenarioMapPath(test.scenario, test.mapName), test.path) << test.mapName;
}
