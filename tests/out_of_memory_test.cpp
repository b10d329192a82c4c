#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/commands.h"
#include "graph/history.h"
#include "mapgen/random.h"
#include "mapio/map_file.h"
#include "route/search.h"
#include "ui/document.h"
#include "ui/keys.h"
#include "ui/status.h"
#include "tests/failing_new.h"
#include "tests/road_map_helpers.h"

namespace {

const std::string kData = VIALOOM_TEST_DATA;

// The whole scene: positions, links, scale, selections and route.
std::string everything(const Scene& map)
{
    std::string text = describeMap(map) + std::to_string(map.startVertex) + " " + std::to_string(map.goalVertex) +
                       " " + std::to_string(map.markedVertex) + ":";
    for (const auto& [vertex, from] : predecessorEntries(map.cameFrom))
        text += " " + std::to_string(vertex) + "<" + std::to_string(from);
    return text;
}

// A drawing with a route and a step to undo, as a user leaves it.
void drawSomething()
{
    randomSeed(11);
    openDocument({}, "/tmp/drawing.vmap");
    clearHistory();
    keyAction('1')(0, 0);
    keyAction('f')(0, 0);
}

struct Ran {
    int status = 0;
    std::string out;
    std::string err;
    bool failed = false;
};

std::string textOf(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text.push_back(static_cast<char>(c));
    std::fclose(file);
    return text;
}

// Runs a command with its allocation after count failing (none for -1).
Ran runWithFailure(const CommandLine& line, long count)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Ran ran;
    failAllocationAfter(count);
    ran.status = runCommand(line, out, err);
    ran.failed = stopFailingAllocations();
    ran.out = textOf(out);
    ran.err = textOf(err);
    return ran;
}

} // namespace

// Each allocation a generator or an opening makes may be the one that fails:
// the drawing, its undo steps and its document are then as they were, and
// the status line says why.
TEST(OutOfMemory, AFailedGenerationOrOpeningKeepsTheDrawingAndSaysSo)
{
    const std::string path = kData + "/triangle.vmap";
    Scene triangle;
    std::string error;
    ASSERT_TRUE(readMapFile(path, triangle, error)) << error;
    struct Action {
        const char* what;
        bool (*run)(Scene& opened, const std::string& path);
        const char* says;
    };
    const Action actions[] = {
        {"random map", [](Scene&, const std::string&) { return keyAction('1')(0, 0); },
         "not enough memory to generate a map"},
        {"lattice", [](Scene&, const std::string&) { return keyAction('2')(0, 0); },
         "not enough memory to generate a map"},
        {"opening", [](Scene& map, const std::string& opened) { return openDocument(std::move(map), opened); },
         "not enough memory to open triangle.vmap"},
    };
    for (const Action& action : actions) {
        long failures = 0;
        for (long count = 0;; ++count) {
            drawSomething();
            const std::string before = everything(scene);
            const std::uint64_t state = sceneState();
            showStatus("");
            Scene opened = triangle;
            failAllocationAfter(count);
            action.run(opened, path);
            if (!stopFailingAllocations())
                break;
            ++failures;
            ASSERT_EQ(everything(scene), before) << action.what << ", allocation " << count;
            EXPECT_EQ(sceneState(), state) << action.what;
            EXPECT_EQ(documentFile(), "/tmp/drawing.vmap") << action.what;
            EXPECT_EQ(statusAt(statusClock()), action.says) << action.what;
            // A search cut short leaves no trace of another graph behind.
            EXPECT_TRUE(lastSearch.g.empty() || lastSearch.g.size() == scene.vertices.size()) << action.what;
            // The route step is still there to undo, and undoing it works.
            ASSERT_TRUE(undoEdit()) << action.what;
            EXPECT_EQ(scene.startVertex, -1) << action.what;
        }
        EXPECT_GT(failures, 2) << action.what;
    }
}

// A read that runs out of memory anywhere refuses the file in one line and
// leaves the map alone; a command that does says so and exits with 2.
TEST(OutOfMemory, ReadersAndCommandsRefuseInOneLine)
{
    for (const std::string name : {"triangle.vmap", "lab.map", "roads.gr", "roads.osm"}) {
        const std::string path = kData + "/" + name;
        for (long count = 0;; ++count) {
            Scene map;
            map.startVertex = 7;
            std::string error;
            testing::internal::CaptureStderr();
            failAllocationAfter(count);
            const bool read = readMapFile(path, map, error);
            // An OpenStreetMap file is read in a child process, which may be
            // the one whose allocation fails.
            const bool failed = stopFailingAllocations();
            testing::internal::GetCapturedStderr();
            if (!failed && read)
                break;
            EXPECT_FALSE(read) << name;
            EXPECT_EQ(error, path + ": not enough memory to read it") << name << ", allocation " << count;
            EXPECT_EQ(map.startVertex, 7) << name;
        }
    }
    const std::vector<std::vector<const char*>> commands = {
        {"vialoom", "route", VIALOOM_TEST_DATA "/triangle.vmap", "0", "2"},
        {"vialoom", "check", VIALOOM_TEST_DATA "/lab.scen"},
        {"vialoom", "convert", VIALOOM_TEST_DATA "/roads.gr", "/tmp/out-of-memory.svg", "--from", "0", "--to", "3"},
    };
    for (const std::vector<const char*>& argv : commands) {
        const CommandLine line = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        const Ran plain = runWithFailure(line, -1);
        for (long count = 0;; ++count) {
            const Ran ran = runWithFailure(line, count);
            // Once nothing failed, every search after the failed ones is as good as new.
            if (!ran.failed) {
                EXPECT_EQ(ran.status, plain.status) << argv[1];
                EXPECT_EQ(ran.out, plain.out) << argv[1];
                break;
            }
            EXPECT_EQ(ran.status, 2) << argv[1] << ", allocation " << count;
            EXPECT_EQ(ran.err.find('\n'), ran.err.size() - 1) << ran.err;
            EXPECT_NE(ran.err.find("not enough memory"), std::string::npos) << ran.err;
        }
    }
    std::remove("/tmp/out-of-memory.svg");
}
