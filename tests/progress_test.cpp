#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/progress.h"
#include "tests/road_map_helpers.h"

TEST(Progress, OnATerminalRewritesOneLineAndWipesItElsewhereWritesNothing)
{
    const std::uint64_t big = 100 * kProgressMinBytes;
    const std::string line = "\rvialoom: reading big.osm... ";
    const auto wipe = [&](int digits) { return "\r" + std::string(line.size() - 1 + digits + 1, ' ') + "\r"; };
    struct Case {
        bool terminal;
        std::vector<std::uint64_t> done;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {true, {big / 100 - 1, big / 100, big / 100, big / 200, big * 42 / 100},
         line + "0%" + line + "1%" + line + "42%" + wipe(2)},
        {true, {3 * big}, line + "0%" + line + "100%" + wipe(3)},
        // A pipe or a log: an error after the load stays the only line.
        {false, {big / 4, big / 2, big * 9 / 10, big}, ""},
    };
    const std::string folder = scratchFolder(), path = folder + "/shown";
    for (const auto& [terminal, done, expected] : cases) {
        std::FILE* stream = std::fopen(path.c_str(), "w");
        progressRedirect(stream, terminal);
        progressBegin("small.osm", kProgressMinBytes - 1);
        progressUpdate(kProgressMinBytes - 1);
        progressBegin("big.osm", big);
        for (std::uint64_t bytes : done)
            progressUpdate(bytes);
        progressEnd();
        progressUpdate(big);
        progressEnd();
        progressRedirect(nullptr, false);
        std::fclose(stream);
        EXPECT_EQ(readText(path), expected);
    }
    std::filesystem::remove_all(folder);
}
