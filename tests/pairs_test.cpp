// route --pairs: the pairs file's reader line by line, the output line, and
// the whole command on a grid with every algorithm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/commands.h"
#include "app/pairs.h"
#include "files/progress.h"
#include "route/search_names.h"

namespace {

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun runArgs(std::vector<const char*> argv)
{
    argv.insert(argv.begin(), "vialoom");
    char* text[2] = {nullptr, nullptr};
    std::size_t size[2] = {0, 0};
    std::FILE* out = open_memstream(&text[0], &size[0]);
    std::FILE* err = open_memstream(&text[1], &size[1]);
    const int status = runCommand(parseCommandLine(static_cast<int>(argv.size()), argv.data()), out, err);
    std::fclose(out);
    std::fclose(err);
    CommandRun run{status, std::string(text[0], size[0]), std::string(text[1], size[1])};
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

// Every line's time, the last word, left out: it varies.
std::string withoutTimes(const std::string& out)
{
    std::string kept;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        kept += out.substr(at, out.rfind(' ', end) - at) + "\n";
    return kept;
}

} // namespace

TEST(Pairs, ReadsPairsAndRefusesEachKindOfBadLine)
{
    struct Case {
        const char* text;
        const char* pairs; // "from-to ..." as read
        const char* error; // "" when the text is sound
    };
    const Case cases[] = {
        {"0 1\n2 3\n", "0-1 2-3 ", ""},
        {"0 1", "0-1 ", ""},
        {"", "", ""},
        {"\n\n  \t \n0\t1\r\n", "0-1 ", ""},
        {"# a comment\n  #indented 5 5\n#\n3 3\n", "3-3 ", ""},
        {"0 1\n1 2 3\n4 4\n", "0-1 ", "pairs:2: expected FROM TO, two vertex indices, found 3 words"},
        {"0\n", "", "pairs:1: expected FROM TO, two vertex indices, found 1 words"},
        {"0 1 # trailing\n", "", "pairs:1: expected FROM TO, two vertex indices, found 4 words"},
        {"0 -1\n", "", "pairs:1: '-1' is not a vertex index"},
        {"+1 2\n", "", "pairs:1: '+1' is not a vertex index"},
        {"1 2x\n", "", "pairs:1: '2x' is not a vertex index"},
        {"1 0x1\n", "", "pairs:1: '0x1' is not a vertex index"},
        {"1 4\n", "", "pairs:1: vertex 4 out of range (the map has 4 vertices)"},
        {"99999999999999999999 1\n", "", "pairs:1: '99999999999999999999' is not a vertex index"},
        {"1 \x9b\n", "", "pairs:1: '\\x9b' is not a vertex index"},
        {"0 1\n\n# gap\n0 9\n", "0-1 ", "pairs:4: vertex 9 out of range (the map has 4 vertices)"},
    };
    for (const Case& c : cases) {
        LineSource source = linesOfText(c.text);
        std::vector<RoutePair> pairs;
        std::string error;
        const bool read = readPairs(source, "pairs", 4, pairs, error);
        std::string seen;
        for (const RoutePair& pair : pairs)
            seen += std::to_string(pair.from) + "-" + std::to_string(pair.to) + " ";
        EXPECT_EQ(read, *c.error == '\0') << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(seen, c.pairs) << c.text;
    }
}

TEST(Pairs, PrintsOneLineAPairWithADashForNoRoute)
{
    EXPECT_EQ(pairLine(RoutePair{3, 7, 1}, true, "12.5", 4, 17.4), "3 7 12.5 4 17");
    EXPECT_EQ(pairLine(RoutePair{3, 7, 1}, true, "0", 0, 0.0), "3 7 0 0 0");
    EXPECT_EQ(pairLine(RoutePair{3, 7, 1}, false, "", 0, 2.6), "3 7 - - 3");
}

// The lab grid (tests/data/lab.map) with every algorithm: the exact ones
// agree on every cost; a bad line prints nothing at all.
TEST(Pairs, RunsEveryAlgorithmOnOneLoad)
{
    const std::string pairs = writeFile("lab.pairs", "# from to\n0 6\n\n0 25\n5 5\n0 2\n");
    const std::string bad = writeFile("bad.pairs", "0 6\n0 nine\n0 1\n");
    const std::string map = VIALOOM_TEST_DATA "/lab.map";
    std::string exact;
    for (SearchMode mode : kSearchModes) {
        const CommandRun run = runArgs({"route", map.c_str(), "--pairs", pairs.c_str(), "--algorithm", searchModeKey(mode)});
        EXPECT_EQ(run.status, 0) << searchModeKey(mode) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4) << run.out;
        if (promisesCheapest(mode)) {
            if (exact.empty())
                exact = withoutTimes(run.out);
            EXPECT_EQ(withoutTimes(run.out), exact) << searchModeKey(mode);
        }
        const CommandRun refused = runArgs({"route", map.c_str(), "--pairs", bad.c_str(), "--algorithm", searchModeKey(mode)});
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err, "vialoom: " + bad + ":2: 'nine' is not a vertex index\n");
    }
    EXPECT_EQ(exact.substr(0, exact.find('\n')), "0 6 600 6");
    EXPECT_NE(exact.find("\n5 5 0 0\n"), std::string::npos) << exact;
}

TEST(Pairs, SaysWhyAndExitsAsDocumented)
{
    const std::string pairs = writeFile("islands.pairs", "0 1\n0 3\n");
    const std::string islands = VIALOOM_TEST_DATA "/islands.vmap";
    CommandRun run = runArgs({"route", islands.c_str(), "--pairs", pairs.c_str()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(withoutTimes(run.out), "0 1 5 1\n0 3 - -\n");
    // Jump Point Search refuses a map that is no grid before any pair.
    run = runArgs({"route", islands.c_str(), "--pairs", pairs.c_str(), "--algorithm", "jps"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("vialoom: " + islands + ": jps needs a uniform eight-connected grid", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    run = runArgs({"route", islands.c_str(), "--pairs", "/nonexistent/pairs"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("/nonexistent/pairs: cannot open"), std::string::npos) << run.err;
    run = runArgs({"route", islands.c_str(), "--pairs", testing::TempDir().c_str()});
    EXPECT_EQ(run.status, 2);
    run = runArgs({"route", islands.c_str(), "0", "--pairs", pairs.c_str()});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("wrong number of arguments for 'route'"), std::string::npos) << run.err;
    run = runArgs({"route", islands.c_str(), "--pairs"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("'--pairs' needs a value"), std::string::npos) << run.err;
}

// On a map of 100 k vertices or more, choosing the landmarks shows its
// progress on a terminal, as a load does, and wipes it before the answer;
// to a pipe nothing.
TEST(Pairs, LandmarksShowTheirProgressOnATerminalOnly)
{
    std::string text = "type octile\nheight 320\nwidth 320\nmap\n";
    for (int row = 0; row < 320; ++row)
        text += std::string(320, '.') + "\n";
    const std::string map = writeFile("open320.map", text);
    const std::string pairs = writeFile("open320.pairs", "0 102399\n");
    const std::string shown = testing::TempDir() + "progress-shown";
    for (bool terminal : {true, false}) {
        std::FILE* stream = std::fopen(shown.c_str(), "w+");
        progressRedirect(stream, terminal);
        const CommandRun run = runArgs({"route", map.c_str(), "--pairs", pairs.c_str(), "--algorithm", "alt"});
        progressRedirect(nullptr, false);
        std::rewind(stream);
        std::string progress;
        for (int c; (c = std::fgetc(stream)) != EOF;)
            progress.push_back(static_cast<char>(c));
        std::fclose(stream);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind("0 102399 ", 0), 0u) << run.out;
        if (!terminal) {
            EXPECT_EQ(progress, "");
            continue;
        }
        EXPECT_EQ(progress.rfind("\rvialoom: choosing landmarks... 0%\rvialoom: choosing landmarks... 5%", 0), 0u)
            << progress;
        EXPECT_NE(progress.find("... 100%\r"), std::string::npos) << progress;
        EXPECT_EQ(progress.back(), '\r') << "not wiped";
    }
    std::remove(shown.c_str());
}
