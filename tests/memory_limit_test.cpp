#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <osmium/builder/attr.hpp>
#include <osmium/io/any_output.hpp>

#include "files/file_names.h"
#include "mapio/vmap.h"
#include "tests/road_map_helpers.h"

namespace {

struct Outcome {
    int status = -1; // exit status, or 128 + the signal
    std::string err;
};

// Runs the program with its address space held to megabytes; a run that
// takes longer than a minute is killed and counts as a hang.
Outcome runLimited(const std::vector<std::string>& words, long megabytes, const std::string& folder)
{
    const std::string errPath = folder + "/err";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{static_cast<rlim_t>(megabytes) << 20, static_cast<rlim_t>(megabytes) << 20};
        setrlimit(RLIMIT_AS, &limit);
        const int out = open("/dev/null", O_WRONLY);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(VIALOOM_PROGRAM)};
        for (const std::string& word : words)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execv(VIALOOM_PROGRAM, argv.data());
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            outcome.err = "(hung)";
            return outcome;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.err = readText(errPath);
    return outcome;
}

long lineCount(const std::string& text)
{
    return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// A side x side lattice of .vmap vertices, each linked to its right and lower neighbour.
void writeVmapLattice(const std::string& path, int side)
{
    Scene map;
    map.vertices.resize(static_cast<std::size_t>(side) * side);
    const auto link = [&](int a, int b) {
        Vertex& u = map.vertices[a];
        Vertex& v = map.vertices[b];
        const float cost = vertexDistance(u, v);
        u.links[u.linkCount++] = Link{b, cost};
        v.links[v.linkCount++] = Link{a, cost};
    };
    for (int i = 0; i < side * side; ++i) {
        map.vertices[i].x = static_cast<float>(i % side) / 7.0f;
        map.vertices[i].y = static_cast<float>(i / side) / 3.0f;
    }
    for (int i = 0; i < side * side; ++i) {
        if (i % side + 1 < side)
            link(i, i + 1);
        if (i + side < side * side)
            link(i, i + side);
    }
    std::string error;
    ASSERT_TRUE(writeVmapFile(path, map, error)) << error;
}

// An open Moving AI grid and a scenario of corner-to-corner problems on it.
void writeGrid(const std::string& stem, int side)
{
    std::ofstream map(stem + ".map");
    map << "type octile\nheight " << side << "\nwidth " << side << "\nmap\n";
    for (int row = 0; row < side; ++row)
        map << std::string(static_cast<std::size_t>(side), '.') << "\n";
    std::ofstream scenario(stem + ".scen");
    scenario << "version 1\n";
    for (int i = 1; i < 4; ++i)
        scenario << "0\tgrid.map\t" << side << "\t" << side << "\t0\t0\t" << side - i << "\t" << side - 1 << "\t"
                 << (side - 1 - i) * 1.4142135623730951 + i << "\n";
}

// Roads on a lattice, every node named so the file holds more than locations.
void writeOsm(const std::string& path, int side)
{
    using namespace osmium::builder::attr;
    const auto id = [side](int row, int column) { return 1 + static_cast<long>(row) * side + column; };
    osmium::io::Writer writer{path, osmium::io::overwrite::allow};
    osmium::memory::Buffer buffer{1 << 22, osmium::memory::Buffer::auto_grow::yes};
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column)
            osmium::builder::add_node(buffer, _id(id(row, column)), _version(1),
                                      _tag("name", std::to_string(id(row, column) * 7919)),
                                      _location(2.3 + column * 0.0004 + (row * 7919 + column * 104729) % 9973 * 1e-7,
                                                48.8 + row * 0.0003 + (row * 6007 + column * 3011) % 9967 * 1e-7));
    std::vector<osmium::object_id_type> nodes(static_cast<std::size_t>(side));
    for (int way = 0; way < 2 * side; ++way) {
        for (int i = 0; i < side; ++i)
            nodes[i] = way < side ? id(way, i) : id(i, way - side);
        osmium::builder::add_way(buffer, _id(way + 1), _version(1), _nodes(nodes), _tag("highway", "residential"));
    }
    writer(std::move(buffer));
    writer.close();
}

void writeDimacs(const std::string& stem, int side)
{
    std::ofstream gr(stem + ".gr"), co(stem + ".co");
    const long nodes = static_cast<long>(side) * side;
    gr << "p sp " << nodes << " " << 2L * side * (side - 1) << "\n";
    co << "p aux sp co " << nodes << "\n";
    for (long i = 0; i < nodes; ++i) {
        co << "v " << i + 1 << " " << 2300000 + i % side * 400 << " " << 48800000 + i / side * 300 << "\n";
        if (i % side + 1 < side)
            gr << "a " << i + 1 << " " << i + 2 << " 30\n";
        if (i + side < nodes)
            gr << "a " << i + 1 << " " << i + side + 1 << " 33\n";
    }
}

} // namespace

// Under any memory limit the program ends by itself, with a status of 0, 1
// or 2 and a few lines at most: never killed by a signal, never hanging.
TEST(MemoryLimit, EveryCommandEndsWithAStatusNeverASignal)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's shadow memory does not fit under these limits";
#endif
    const std::string folder = scratchFolder();
    writeVmapLattice(folder + "/lattice.vmap", 400);
    writeGrid(folder + "/grid", 600);
    writeOsm(folder + "/roads.osm.pbf", 650);
    writeOsm(folder + "/roads.osm", 150);
    writeDimacs(folder + "/roads", 400);
    const std::vector<std::vector<std::string>> commands = {
        {"route", folder + "/lattice.vmap", "0", "159999"},
        {"convert", folder + "/lattice.vmap", folder + "/out.svg"},
        {"check", folder + "/grid.scen"},
        {"route", folder + "/roads.osm.pbf", "0", "5"},
        {"convert", folder + "/roads.osm", folder + "/out.vmap"},
        {"route", folder + "/roads.gr", "0", "159999"},
    };
    for (long megabytes : {24, 32, 40, 48, 56, 64, 80, 96, 128, 160, 256})
        for (const std::vector<std::string>& words : commands) {
            const Outcome outcome = runLimited(words, megabytes, folder);
            const std::string shown = words[0] + " " + baseName(words[1]) + " under " + std::to_string(megabytes) + " MB";
            EXPECT_GE(outcome.status, 0) << shown << ": " << outcome.err;
            EXPECT_LE(outcome.status, 2) << shown << ": " << outcome.err;
            EXPECT_LE(lineCount(outcome.err), 5) << shown << ": " << outcome.err;
            if (outcome.status == 2) {
                EXPECT_NE(outcome.err.find("not enough memory"), std::string::npos) << shown << ": " << outcome.err;
            }
        }
    std::filesystem::remove_all(folder);
}
