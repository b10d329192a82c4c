#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "mapio/scenario.h"

namespace {

// The problems' lines and map names, or the error.
std::string outcome(const std::string& text)
{
    std::vector<ScenarioProblem> problems;
    std::string error;
    if (!parseScenario(text, "e.scen", problems, error))
        return error;
    std::string read;
    for (const ScenarioProblem& problem : problems)
        read += std::to_string(problem.line) + ":" + problem.mapName + " ";
    return read;
}

} // namespace

// Only CR LF or LF end a line; blank lines are skipped but counted.
TEST(ParseScenario, LineEndsBlankLinesAndBinaryBytes)
{
    using namespace std::string_literals;
    const std::string problem = "0 m.map 2 1 0 0 1 0 1";
    const std::string longName(5000, 'n');
    const std::pair<std::string, std::string> cases[] = {
        {"version 1\n" + problem + "\n", "2:m.map "},
        {"version 1\r\n" + problem + "\r\n\r\n" + problem + "\r\n", "2:m.map 4:m.map "},
        {"version 1.0\n" + problem, "2:m.map "},
        {"version 1", ""},
        {"version 1\n\n \t\n\n", ""},
        {"version 1\n\n \t\n" + problem + "\n\n", "4:m.map "},
        {"version 1\n0 m.map\r2 1 0 0 1 0 1\n", "e.scen:2: stray carriage return"},
        {"version 1\n" + problem + "\r", "e.scen:2: stray carriage return"},
        {"version 1\r\r\n", "e.scen:1: stray carriage return"},
        {"", "e.scen:1: expected \"version 1\""},
        {"\n", "e.scen:1: expected \"version 1\""},
        {"\r\n" + problem + "\n", "e.scen:1: expected \"version 1\""},
        {"version 1\n0\0"s, "e.scen:2: binary byte 0x00"},
        {"version 1\n0 " + longName + " 2 1 0 0 1 0 1\n", "2:" + longName + " "},
        {"version 1\n\n0 m.map 2 1 0 0 1 0\n",
         "e.scen:3: expected 9 fields (bucket map width height startX startY goalX goalY length), found 8"},
    };
    for (const auto& [text, read] : cases)
        EXPECT_EQ(outcome(text), read) << text;
}

TEST(ScenarioMapPath, BaseNameBesideTheScenarioThenAsWrittenThenTheFirstTried)
{
    char pattern[] = "/tmp/scenario-test-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    mkdir((folder + "/sub").c_str(), 0700);
    std::ofstream(folder + "/lab.map") << "";
    std::ofstream(folder + "/sub/deep.map") << "";
    const std::string scenario = folder + "/s.scen";
    const struct {
        std::string scenario, mapName, path;
    } cases[] = {
        {scenario, "maps/lab.map", folder + "/lab.map"},
        {scenario, "sub/deep.map", folder + "/sub/deep.map"},
        {scenario, "/elsewhere/none.map", folder + "/none.map"},
        {"s.scen", folder + "/lab.map", folder + "/lab.map"},
        {"s.scen", "maps/none.map", "none.map"},
        {"/s.scen", "none.map", "/none.map"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(scenarioMapPath(test.scenario, test.mapName), test.path) << test.scenario << " " << test.mapName;
    std::filesystem::remove_all(folder);
}
