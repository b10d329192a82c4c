#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/check_command.h"

namespace {

const std::string kData = VIALOOM_TEST_DATA;

struct CheckRun {
    int status;
    std::string out, err;
};

CheckRun check(const std::vector<std::string>& args, const SearchChoice& choice = SearchChoice{})
{
    char* text[2] = {nullptr, nullptr};
    std::size_t size[2] = {0, 0};
    std::FILE* out = open_memstream(&text[0], &size[0]);
    std::FILE* err = open_memstream(&text[1], &size[1]);
    const int status = runCheckCommand(args, out, err, choice);
    std::fclose(out);
    std::fclose(err);
    CheckRun run{status, std::string(text[0], size[0]), std::string(text[1], size[1])};
    std::free(text[0]);
    std::free(text[1]);
    return run;
}

std::string writeFile(const std::string& name, const std::string& text)
{
    const std::string path = testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs(text.c_str(), file);
    std::fclose(file);
    return path;
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
    // Beside the scenario by base name first, else as written.
    EXPECT_EQ(scenarioMapPath(scenario, "maps/absent.map"), kData + "/absent.map");
    EXPECT_EQ(scenarioMapPath("s.scen", kData + "/lab.map"), kData + "/lab.map");
}

// The exact searches that prepare judge the lab as A* does.
TEST(CheckCommand, JumpPointsAndLandmarksJudgeTheLabAsAStarDoes)
{
    const std::string scenario = kData + "/lab.scen";
    const CheckRun aStar = check({scenario});
    for (SearchMode mode : {SearchMode::Jps, SearchMode::Alt}) {
        const CheckRun run = check({scenario}, SearchChoice{mode});
        EXPECT_EQ(run.status, aStar.status);
        EXPECT_EQ(run.out, aStar.out);
        EXPECT_EQ(run.err, "");
    }
}

TEST(CheckCommand, PassesWhenEveryLengthMatchesWithinTolerance)
{
    // The lab's good lines with lengths nudged inside and just outside 1e-4 relative.
    const std::string good = writeFile("check-good.scen",
        "version 1.0\n"
        "0 elsewhere/lab.map 7 6 0 0 6 4 10.00099\n"
        "\n"
        "0  elsewhere/lab.map\t7 6 0 4 6 4 6.8284271247\r\n"
        "0 elsewhere/lab.map 7 6 0 0 3 2 8.99911\n");
    const CheckRun run = check({good, kData + "/lab.map"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "3 passed, 0 failed\n");
    const std::string bad = writeFile("check-bad.scen", "version 1\n0 lab.map 7 6 0 0 6 4 10.0011\n");
    EXPECT_EQ(check({bad, kData + "/lab.map"}).out,
              bad + ":2: route length 10.00000000, optimal 10.00110000\n0 passed, 1 failed\n");
    // The only diagonal between the two open cells would cut both walls.
    const std::string cut = writeFile("check-cut.scen", "version 1\n0 cut.map 2 2 0 0 1 1 1.41421356\n");
    writeFile("cut.map", "type octile\nheight 2\nwidth 2\nmap\n.@\n@.\n");
    EXPECT_EQ(check({cut}).out, cut + ":2: no route found, optimal 1.41421356\n0 passed, 1 failed\n");
}

TEST(CheckCommand, RefusesBadUsageAndUnreadableOrMalformedFilesWithStatusTwo)
{
    const std::string lab = kData + "/lab.scen";
    const std::string scen = testing::TempDir() + "check.scen"; // holds each case's text
    const std::string huge = writeFile("check-huge.scen", "");
    ASSERT_EQ(truncate(huge.c_str(), kMaxScenarioFileBytes + 1), 0);
    const std::string usage = "usage: vialoom check SCENFILE [MAPFILE]";
    const std::string fields = "version 1\n0\tm.map\t7\t6\t0\t0\t6\t0\t";
    const std::string badLength = scen + ":2: optimal length must be a finite number >= 0";
    const struct {
        std::vector<std::string> args;
        std::string text, err;
    } cases[] = {
        {{}, "", usage},
        {{lab, lab, lab}, "", usage},
        {{kData + "/absent.scen"}, "", kData + "/absent.scen: cannot read: no such file or directory"},
        {{kData}, "", kData + ": is a directory, not a file"},
        {{huge}, "", huge + ": is larger than the 16 MiB this file may hold"},
        {{scen}, "version 1\n0 nowhere.map 7 6 0 0 6 0 6\n",
         testing::TempDir() + "nowhere.map: cannot read: no such file or directory"},
        {{scen}, "version 2\n", scen + ":1: expected \"version 1\""},
        {{scen}, fields + "6 7\n",
         scen + ":2: expected 9 fields (bucket map width height startX startY goalX goalY length), found 10"},
        {{scen}, "version 1\n0 m.map 7 6 0 1.5 6 0 6\n", scen + ":2: coordinates must be whole numbers"},
        {{scen}, fields + "nan\n", badLength},
        {{scen}, fields + "1e999\n", badLength},
        {{scen}, fields + "6\x80\n", scen + ":2: binary byte 0x80"},
    };
    for (const auto& test : cases) {
        if (!test.text.empty())
            writeFile("check.scen", test.text);
        const CheckRun run = check(test.args);
        EXPECT_EQ(run.status, 2) << test.err;
        EXPECT_EQ(run.err, "vialoom: " + test.err + "\n");
        EXPECT_EQ(run.out, "");
    }
}
