// Loading road maps: a generated lattice of roads of about 200,000 nodes as
// OpenStreetMap (.osm.pbf and .osm) and as a DIMACS graph, each against a
// yardstick measured in the same run: libosmium alone reading the same file
// (every object decoded, nothing kept), and a plain pass over the DIMACS
// texts' lines. The lattice side is 450 nodes, or VIALOOM_BENCH_ROAD_SIDE.
// peak_rss_mb is the process's peak resident size after the load: the
// generator runs in a child process, so it is the readers' peak unless an
// earlier benchmark went higher (for OpenStreetMap files, the part that is
// not libosmium's: that runs in a child process of its own). Times are wall-clock: libosmium decodes on
// its own threads, so the calling thread's CPU time would say little.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <osmium/builder/attr.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>

#include "files/progress.h"
#include "mapio/dimacs.h"
#include "mapio/osm.h"

constexpr int kDefaultSide = 450;

static std::string folder;
static int side = kDefaultSide;

// A lattice around Paris, every row and column a residential way, nodes
// numbered row by row from 1, with a little jitter so costs differ.
static double lonOf(int row, int column)
{
    return 2.3 + column * 0.0004 + ((row * 7 + column * 13) % 10) * 0.00001;
}

static double latOf(int row, int column)
{
    return 48.8 + row * 0.0003 + ((row * 11 + column * 3) % 10) * 0.00001;
}

static long nodeId(int row, int column)
{
    return 1 + static_cast<long>(row) * side + column;
}

static void writeOsm(const std::string& path)
{
    using namespace osmium::builder::attr;
    osmium::io::Writer writer{path, osmium::io::overwrite::allow};
    osmium::memory::Buffer buffer{1 << 22, osmium::memory::Buffer::auto_grow::yes};
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column)
            osmium::builder::add_node(buffer, _id(nodeId(row, column)), _version(1),
                                      _location(lonOf(row, column), latOf(row, column)));
    std::vector<osmium::object_id_type> nodes(static_cast<std::size_t>(side));
    for (int way = 0; way < 2 * side; ++way) {
        for (int i = 0; i < side; ++i)
            nodes[i] = way < side ? nodeId(way, i) : nodeId(i, way - side);
        osmium::builder::add_way(buffer, _id(way + 1), _version(1), _nodes(nodes), _tag("highway", "residential"));
    }
    writer(std::move(buffer));
    writer.close();
}

static void writeDimacs(const std::string& stem)
{
    std::ofstream gr(stem + ".gr"), co(stem + ".co");
    const long nodes = static_cast<long>(side) * side;
    gr << "c lattice\np sp " << nodes << " " << 4L * side * (side - 1) << "\n";
    co << "c lattice\np aux sp co " << nodes << "\n";
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            co << "v " << nodeId(row, column) << " " << static_cast<long>(lonOf(row, column) * 1e6) << " "
               << static_cast<long>(latOf(row, column) * 1e6) << "\n";
            if (column + 1 < side)
                gr << "a " << nodeId(row, column) << " " << nodeId(row, column + 1) << " 30\na "
                   << nodeId(row, column + 1) << " " << nodeId(row, column) << " 30\n";
            if (row + 1 < side)
                gr << "a " << nodeId(row, column) << " " << nodeId(row + 1, column) << " 33\na "
                   << nodeId(row + 1, column) << " " << nodeId(row, column) << " 33\n";
        }
}

static void removeFolder()
{
    std::filesystem::remove_all(folder);
}

// Writes the files once, in a child so its memory stays out of the readers' peak.
static const std::string& roadFolder()
{
    if (!folder.empty())
        return folder;
    if (const char* wanted = std::getenv("VIALOOM_BENCH_ROAD_SIDE"))
        side = std::atoi(wanted) > 1 ? std::atoi(wanted) : kDefaultSide;
    char pattern[] = "/tmp/vialoom-bench-roads-XXXXXX";
    folder = mkdtemp(pattern);
    std::atexit(removeFolder);
    const pid_t child = fork();
    if (child == 0) {
        writeOsm(folder + "/lattice.osm.pbf");
        writeOsm(folder + "/lattice.osm");
        writeDimacs(folder + "/lattice");
        std::_Exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    // The progress lines would only clutter the report.
    progressRedirect(std::fopen("/dev/null", "w"), false);
    return folder;
}

static double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

using MapReader = bool (*)(const std::string&, Scene&, std::string&);

static void loadMap(benchmark::State& state, const std::string& path, MapReader read)
{
    Scene map;
    for (auto _ : state) {
        // Each load starts with no map, so the peak is the reader's own.
        state.PauseTiming();
        map = Scene{};
        state.ResumeTiming();
        std::string error;
        if (!read(path, map, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(map.vertices.data());
    }
    state.counters["vertices"] = static_cast<double>(map.vertices.size());
    state.counters["peak_rss_mb"] = peakRssMb();
}

static void loadOsm(benchmark::State& state, const char* name)
{
    loadMap(state, roadFolder() + name, [](const std::string& path, Scene& map, std::string& error) {
        return readOsmFile(path, map, error);
    });
}

static void BM_ReadOsmPbf(benchmark::State& state)
{
    loadOsm(state, "/lattice.osm.pbf");
}

static void BM_ReadOsmXml(benchmark::State& state)
{
    loadOsm(state, "/lattice.osm");
}

static void libosmiumAlone(benchmark::State& state, const char* name)
{
    const std::string path = roadFolder() + name;
    for (auto _ : state) {
        osmium::io::Reader reader{path, osmium::osm_entity_bits::node | osmium::osm_entity_bits::way,
                                  osmium::io::read_meta::no};
        std::size_t objects = 0;
        while (osmium::memory::Buffer buffer = reader.read())
            for (const auto& object : buffer.select<osmium::OSMObject>())
                objects += object.id() > 0;
        reader.close();
        benchmark::DoNotOptimize(objects);
    }
}

static void BM_YardstickLibosmiumPbf(benchmark::State& state)
{
    libosmiumAlone(state, "/lattice.osm.pbf");
}

static void BM_YardstickLibosmiumXml(benchmark::State& state)
{
    libosmiumAlone(state, "/lattice.osm");
}

static void BM_ReadDimacs(benchmark::State& state)
{
    loadMap(state, roadFolder() + "/lattice.gr", readDimacsFile);
}

static void BM_YardstickDimacsLines(benchmark::State& state)
{
    const std::string stem = roadFolder() + "/lattice";
    for (auto _ : state) {
        std::size_t lines = 0;
        for (const char* ending : {".gr", ".co"}) {
            std::ifstream in(stem + ending);
            std::string line;
            while (std::getline(in, line))
                lines += line.size() > 0;
        }
        benchmark::DoNotOptimize(lines);
    }
}

BENCHMARK(BM_ReadOsmPbf)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_YardstickLibosmiumPbf)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadOsmXml)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_YardstickLibosmiumXml)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadDimacs)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_YardstickDimacsLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
