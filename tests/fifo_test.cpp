#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/file_names.h"
#include "mapio/map_file.h"
#include "mapio/scenario.h"
#include "tests/child_run.h"
#include "tests/road_map_helpers.h"

// A FIFO with no writer blocks whoever opens it the ordinary way: every
// reader must refuse it at once instead. A reader that blocks times out.
TEST(EveryReader, RefusesAFifoAtOnceWhateverItsEnding)
{
    const std::string folder = scratchFolder();
    std::ofstream(folder + "/beside.gr") << "p sp 1 0\n";
    struct Case {
        std::string fifo;   // made a FIFO
        std::string opened; // what is read
    };
    const std::vector<Case> cases = {
        {"m.vmap", "m.vmap"},         {"m.map", "m.map"},         {"m.scen", "m.scen"},
        {"m.osm", "m.osm"},           {"m.osm.pbf", "m.osm.pbf"}, {"m.osm.bz2", "m.osm.bz2"},
        {"m.gr", "m.gr"},             {"beside.co", "beside.gr"},
    };
    for (const Case& each : cases) {
        const std::string fifo = folder + "/" + each.fifo, opened = folder + "/" + each.opened;
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << fifo;
        const std::string said = runInChild(
            [&] {
                Scene map;
                std::vector<ScenarioProblem> problems;
                std::string error;
                const bool read = hasEnding(opened, ".scen") ? readScenarioFile(opened, problems, error)
                                                             : readMapFile(opened, map, error);
                return read ? std::string("(read)") : error;
            },
            10);
        EXPECT_EQ(said, fifo + ": is not a regular file") << each.fifo;
    }
    std::filesystem::remove_all(folder);
}
