#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/commands.h"

namespace {

struct Case {
    std::vector<const char*> argv;
    Command command;
    std::vector<std::string> words;
    const char* error; // fragment of the complaint, for Wrong
};

CommandLine parse(std::vector<const char*> argv)
{
    argv.insert(argv.begin(), "vialoom");
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

// Runs a command, returning its exit status and what it printed.
int run(const std::vector<const char*>& argv, std::string& out, std::string& err)
{
    std::FILE* outFile = std::tmpfile();
    std::FILE* errFile = std::tmpfile();
    const int status = runCommand(parse(argv), outFile, errFile);
    for (auto [file, text] : {std::pair{outFile, &out}, std::pair{errFile, &err}}) {
        std::rewind(file);
        text->clear();
        for (int c; (c = std::fgetc(file)) != EOF;)
            text->push_back(static_cast<char>(c));
        std::fclose(file);
    }
    return status;
}

} // namespace

TEST(CommandLine, ReadsEveryFormAndRefusesTheRest)
{
    const std::vector<Case> cases = {
        {{}, Command::Window, {}, ""},
        {{"map.vmap"}, Command::Window, {"map.vmap"}, ""},
        {{"-display", ":1", "map.vmap", "-sync"}, Command::Window, {"map.vmap"}, ""},
        {{"-geometry", "100x100", "-iconic"}, Command::Window, {}, ""},
        {{"--help"}, Command::Help, {}, ""},
        {{"-h"}, Command::Help, {}, ""},
        {{"--version"}, Command::Version, {}, ""},
        {{"route", "m.vmap", "0", "5"}, Command::Route, {"m.vmap", "0", "5"}, ""},
        {{"check", "a.scen"}, Command::Check, {"a.scen"}, ""},
        {{"check", "a.scen", "a.map"}, Command::Check, {"a.scen", "a.map"}, ""},
        {{"convert", "a.map", "a.svg", "--from", "1", "--to", "2"}, Command::Convert,
         {"a.map", "a.svg", "--from", "1", "--to", "2"}, ""},
        {{"--bogus"}, Command::Wrong, {}, "unknown option '--bogus'"},
        {{"-display"}, Command::Wrong, {}, "needs a value"},
        {{"a.vmap", "b.vmap"}, Command::Wrong, {}, "only one map file"},
        {{"route", "m.vmap", "0"}, Command::Wrong, {}, "wrong number of arguments for 'route'"},
        {{"check"}, Command::Wrong, {}, "'check'"},
        {{"convert", "in.map"}, Command::Wrong, {}, "'convert'"},
        {{"--help", "x"}, Command::Wrong, {}, "takes no arguments"},
        // Options stand anywhere after the command word; the command's own go behind its words.
        {{"convert", "--view", "a.map", "--from", "1", "a.svg", "--algorithm", "bfs", "--to", "2"},
         Command::Convert, {"a.map", "a.svg", "--view", "--from", "1", "--to", "2"}, ""},
        {{"route", "--heuristic", "zero", "m.vmap", "0", "--weight", "5", "5"}, Command::Route,
         {"m.vmap", "0", "5"}, ""},
        {{"compare", "m.vmap", "0", "5", "--csv"}, Command::Compare, {"m.vmap", "0", "5"}, ""},
        {{"route", "m.vmap", "0", "5", "--algorithm", "jsp"}, Command::Wrong, {},
         "unknown algorithm 'jsp' (known: astar, dijkstra, greedy, weighted, bidijkstra, biastar, bfs, jps, alt, ch)"},
        {{"route", "--algorithm", "alt", "m.vmap", "--pairs", "p.txt"}, Command::Route, {"m.vmap", "--pairs", "p.txt"},
         ""},
        {{"route", "--pairs", "p.txt", "m.vmap"}, Command::Route, {"m.vmap", "--pairs", "p.txt"}, ""},
        {{"route", "m.vmap", "--pairs", "p.txt", "0"}, Command::Wrong, {}, "wrong number of arguments for 'route'"},
        {{"route", "m.vmap", "0", "5", "--pairs", "p.txt"}, Command::Wrong, {}, "wrong number of arguments"},
        {{"route", "m.vmap", "--pairs"}, Command::Wrong, {}, "'--pairs' needs a value"},
        {{"check", "a.scen", "--heuristic", "Euclid"}, Command::Wrong, {},
         "unknown heuristic 'Euclid' (known: euclidean, octile, manhattan, chebyshev, zero)"},
        {{"route", "m.vmap", "0", "5", "--weight", "0.5"}, Command::Wrong, {}, "at least 1, not '0.5'"},
        {{"route", "m.vmap", "0", "5", "--weight", "2x"}, Command::Wrong, {}, "not '2x'"},
        {{"route", "m.vmap", "0", "5", "--weight", "inf"}, Command::Wrong, {}, "not 'inf'"},
        {{"route", "m.vmap", "0", "5", "--algorithm"}, Command::Wrong, {}, "'--algorithm' needs a value"},
        {{"compare", "m.vmap", "0"}, Command::Wrong, {}, "wrong number of arguments for 'compare'"},
        {{"route", "m.osm", "0", "5", "--costs", "time"}, Command::Route, {"m.osm", "0", "5"}, ""},
        {{"route", "--costs", "distance", "m.osm", "0", "5"}, Command::Route, {"m.osm", "0", "5"}, ""},
        {{"convert", "m.osm", "--costs", "time", "m.svg", "--view"}, Command::Convert, {"m.osm", "m.svg", "--view"}, ""},
        {{"m.osm", "--costs", "time", "-sync"}, Command::Window, {"m.osm"}, ""},
        {{"route", "m.osm", "0", "5", "--costs"}, Command::Wrong, {}, "'--costs' needs a value"},
        {{"route", "m.osm", "0", "5", "--costs", "hours"}, Command::Wrong, {}, "unknown --costs value 'hours'"},
        {{"m.osm", "--costs", "time", "--costs", "time"}, Command::Wrong, {}, "'--costs' given twice"},
        {{"route", "m.osm", "0", "--costs", "time"}, Command::Wrong, {}, "wrong number of arguments for 'route'"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.argv);
        const std::string shown = c.argv.empty() ? "(none)" : c.argv[0] + std::string(" ") + std::to_string(c.argv.size());
        EXPECT_EQ(line.command, c.command) << shown;
        if (c.command == Command::Wrong)
            EXPECT_NE(line.error.find(c.error), std::string::npos) << shown << ": " << line.error;
        else
            EXPECT_EQ(line.words, c.words) << shown;
    }
}

TEST(Commands, AnswerWithoutADisplayAndExitAsDocumented)
{
    struct Expect {
        std::vector<const char*> argv;
        int status;
        const char* out; // fragment of stdout
        const char* err; // fragment of stderr
    };
    static const std::string regionSvg = ::testing::TempDir() + "region.svg";
    const std::vector<Expect> cases = {
        {{"--help"}, 0, "vialoom route MAPFILE FROM TO", ""},
        {{"--help"}, 0, "CTRL+Z", ""},
        {{"--version"}, 0, "vialoom ", ""},
        {{"route", VIALOOM_TEST_DATA "/triangle.vmap", "0", "2"}, 0,
         "found: yes\nexpanded: 2 of 3 vertices\ncost: 100\nhops: 2\nroute: 0 1 2\n", ""},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "0", "1"}, 0, "cost: 5\nhops: 1\nroute: 0 1\n", ""},
        // Squares of its distances overflow float; its links do not.
        {{"route", VIALOOM_TEST_DATA "/far-apart.vmap", "3", "4"}, 0,
         "cost: 7.09184252e+19\nhops: 5\nroute: 3 2 0 5 6 4\n", ""},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "0", "3"}, 1, "found: no\nexpanded: 2 of 4", ""},
        // Contraction hierarchies preprocess each map first, and answer as Dijkstra does.
        {{"route", VIALOOM_TEST_DATA "/triangle.vmap", "0", "2", "--algorithm", "ch"}, 0,
         "cost: 100\nhops: 2\nroute: 0 1 2\n", ""},
        {{"route", VIALOOM_TEST_DATA "/far-apart.vmap", "3", "4", "--algorithm", "ch"}, 0,
         "cost: 7.09184252e+19\nhops: 5\nroute: 3 2 0 5 6 4\n", ""},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "0", "3", "--algorithm", "ch"}, 1, "found: no\n", ""},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "2", "2", "--algorithm", "ch"}, 0, "cost: 0\nhops: 0\n", ""},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "0", "4"}, 2, "", "vertex 4 out of range"},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "-1", "2"}, 2, "", "'-1' is not a vertex index"},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "-0", "2"}, 2, "", "'-0' is not a vertex index"},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "0", "+2"}, 2, "", "'+2' is not a vertex index"},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "0", " 2"}, 2, "", "' 2' is not a vertex index"},
        {{"--bogus"}, 2, "", "Try 'vialoom --help'"},
        // User text is echoed with what a terminal would act on escaped.
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "\x9b", "2"}, 2, "", "route: '\\x9b' is not a vertex index"},
        {{"route", "/nonexistent/\x9b\n.vmap", "0", "1"}, 2, "", "vialoom: /nonexistent/\\x9b\\x0a.vmap: cannot"},
        {{"--\x1b[2J"}, 2, "", "vialoom: unknown option '--\\x1b[2J'\nTry"},
        {{"convert", "a.vmap", "b.svg", "--\x9b"}, 2, "", "unknown option '--\\x9b'"},
        {{"route", "/nonexistent/m.vmap", "0", "1"}, 2, "", "vialoom: /nonexistent/m.vmap"},
        {{"convert", "a.vmap", "b.txt"}, 2, "", "write .vmap or .svg"},
        {{"convert", "a.vmap", "b.vmap", "--view"}, 2, "", "only apply to .svg"},
        {{"convert", "a.vmap", "b.svg", "--from", "1"}, 2, "", "go together"},
        {{"convert", "a.vmap", "b.svg", "--from", "x", "--to", "1"}, 2, "", "not a vertex index"},
        {{"convert", "a.vmap", "b.svg", "--from", "-0", "--to", "1"}, 2, "", "'-0' is not a vertex index"},
        {{"convert", "a.vmap", "b.svg", "--from", "1", "--to", "-0"}, 2, "", "'-0' is not a vertex index"},
        {{"convert", "a.vmap", "b.vmap", "--region", "0", "0", "1", "1"}, 2, "", "only apply to .svg"},
        {{"convert", "a.vmap", "b.svg", "--region", "0", "0", "1"}, 2, "", "--region takes X0 Y0 X1 Y1"},
        {{"convert", "a.vmap", "b.svg", "--region", "5", "0", "1", "1"}, 2, "", "X0 < X1"},
        {{"convert", "a.vmap", "b.svg", "--region", "0", "0", "1", "0"}, 2, "", "X0 < X1"},
        {{"convert", "a.vmap", "b.svg", "--region", "0", "nan", "1", "1"}, 2, "", "finite"},
        {{"convert", "a.vmap", "b.svg", "--region", "0", "0", "1e39", "1"}, 2, "", "finite"},
        {{"convert", "a.vmap", "b.svg", "--region", "0", "0", "1x", "1"}, 2, "", "--region takes"},
        {{"convert", VIALOOM_TEST_DATA "/triangle.vmap", regionSvg.c_str(), "--region", "-5", "-5", "35", "25"}, 0,
         "", ""},
        {{"route", VIALOOM_TEST_DATA "/triangle.vmap", "0", "2", "--algorithm", "bidijkstra"}, 0,
         "found: yes\nexpanded: 2 of 3 vertices\ncost: 100\nhops: 2\nroute: 0 1 2\n", ""},
        {{"route", "--algorithm", "bfs", VIALOOM_TEST_DATA "/islands.vmap", "0", "3"}, 1, "found: no\n", ""},
        {{"route", VIALOOM_TEST_DATA "/islands.vmap", "0", "1", "--csv"}, 2, "", "'--csv' applies to compare only"},
        {{"compare", VIALOOM_TEST_DATA "/islands.vmap", "0", "1", "--algorithm", "astar"}, 2, "", "runs every algorithm"},
        {{"compare", VIALOOM_TEST_DATA "/islands.vmap", "0", "9"}, 2, "", "compare: vertex 9 out of range"},
        {{"compare", VIALOOM_TEST_DATA "/islands.vmap", "0", "3", "--csv"}, 1,
         "astar,euclidean,no,,0,2,", ""},
        {{"compare", VIALOOM_TEST_DATA "/triangle.vmap", "0", "2", "--csv", "--heuristic", "manhattan"}, 0,
         "algorithm,heuristic,found,cost,hops,expanded,milliseconds,cheapest\nastar,manhattan,yes,100,2,", ""},
    };
    for (const Expect& c : cases) {
        std::string out, err;
        EXPECT_EQ(run(c.argv, out, err), c.status) << c.argv[0];
        EXPECT_NE(out.find(c.out), std::string::npos) << out;
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        if (c.status == 2) {
            EXPECT_EQ(err.rfind("vialoom: ", 0), 0u) << err;
            EXPECT_EQ(err.find_first_of("\x1b\x9b"), std::string::npos) << err;
            EXPECT_EQ(err.find('\n'), err.find("\nTry") == std::string::npos ? err.size() - 1 : err.find("\nTry"));
        }
    }
    // The region alone, fitted to 800 x 600: 20 pixels a unit, dots their window size.
    std::FILE* file = std::fopen(regionSvg.c_str(), "r");
    ASSERT_NE(file, nullptr);
    char head[512] = {};
    const std::size_t got = std::fread(head, 1, sizeof head - 1, file);
    std::fclose(file);
    const std::string svg(head, got);
    EXPECT_NE(svg.find("width=\"800\" height=\"600\" viewBox=\"-5 -5 40 30\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("<circle r=\"0.075\""), std::string::npos) << svg;
    std::remove(regionSvg.c_str());
}

// A 49 x 49 Moving AI grid lands at about 12.24 pixels a cell; its routes are
// priced in cells, the unit of the benchmark's scenario files, as 'check' does.
TEST(Commands, RoutesOnAGridArePricedInCellsAsCheckDoes)
{
    const std::string folder = ::testing::TempDir(), map = folder + "open49.map", scen = folder + "open49.scen";
    std::string text = "type octile\nheight 49\nwidth 49\nmap\n";
    for (int row = 0; row < 49; ++row)
        text += std::string(49, '.') + "\n";
    std::FILE* file = std::fopen(map.c_str(), "w");
    std::fputs(text.c_str(), file);
    std::fclose(file);
    file = std::fopen(scen.c_str(), "w");
    std::fputs("version 1\n0\topen49.map\t49\t49\t0\t0\t33\t2\t33.82842712\n", file);
    std::fclose(file);

    // (0, 0) to (33, 2): 31 straight moves and 2 diagonal ones.
    std::string out, err;
    const std::string goal = std::to_string(2 * 49 + 33);
    EXPECT_EQ(run({"route", map.c_str(), "0", goal.c_str()}, out, err), 0) << err;
    EXPECT_NE(out.find("\ncost in cells: 33.8284\nhops: 33\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("metres"), std::string::npos) << out;
    EXPECT_EQ(run({"check", scen.c_str()}, out, err), 0) << out << err;
    EXPECT_EQ(out, "1 passed, 0 failed\n");
    EXPECT_EQ(run({"check", scen.c_str(), "--algorithm", "ch"}, out, err), 0) << out << err;
    EXPECT_EQ(out, "1 passed, 0 failed\n");
    std::remove(map.c_str());
    std::remove(scen.c_str());
}

// compare runs every algorithm once, in the m key's order, each judged
// against the plain Dijkstra; the triangle has one route, which all find.
// The table has one aligned line per algorithm under its header.
TEST(Commands, CompareListsEveryAlgorithmAsCsvAndAsATable)
{
    std::string out, err;
    ASSERT_EQ(run({"compare", VIALOOM_TEST_DATA "/triangle.vmap", "0", "2", "--csv", "--weight", "1.5"}, out, err), 0)
        << err;
    std::vector<std::string> rows;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string row = out.substr(at, end - at);
        // The milliseconds vary: keep the rest.
        const std::size_t last = row.rfind(','), before = row.rfind(',', last - 1);
        rows.push_back(row.substr(0, before + 1) + row.substr(last + 1));
    }
    const std::vector<std::string> expected = {
        "algorithm,heuristic,found,cost,hops,expanded,cheapest",
        "astar,euclidean,yes,100,2,2,yes",
        "dijkstra,none,yes,100,2,2,yes",
        "greedy,euclidean,yes,100,2,2,yes",
        "weighted,euclidean,yes,100,2,2,yes",
        "bidijkstra,none,yes,100,2,2,yes",
        "biastar,euclidean,yes,100,2,2,yes",
        "bfs,none,yes,100,2,2,yes",
        "jps,none,n/a,,0,0,n/a",
        "alt,none,yes,100,2,2,yes",
        "ch,none,yes,100,2,4,yes",
    };
    EXPECT_EQ(rows, expected) << out;
    EXPECT_EQ(run({"compare", VIALOOM_TEST_DATA "/triangle.vmap", "0", "2"}, out, err), 0) << err;
    EXPECT_EQ(out.rfind("algorithm", 0), 0u) << out;
    EXPECT_NE(out.find("\nweighted (w 2)  euclidean  yes    100.00     2         2  "), std::string::npos) << out;
    EXPECT_NE(out.find("\njps             none       n/a         -     0         0  "), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 11) << out;
}
