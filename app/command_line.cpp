#include "app/command_line.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "route/search_names.h"
#include "ui/keys.h"

// GLUT's options on X11, and whether each takes a value.
struct GlutOption {
    const char* name;
    bool takesValue;
};
constexpr GlutOption kGlutOptions[] = {{"-display", true}, {"-geometry", true}, {"-direct", false},
                                       {"-indirect", false}, {"-iconic", false}, {"-gldebug", false},
                                       {"-sync", false}};

struct Subcommand {
    const char* name;
    Command command;
    std::size_t minWords, maxWords;
};
constexpr Subcommand kSubcommands[] = {{"route", Command::Route, 3, 3}, // 1 with --pairs
                                       {"check", Command::Check, 1, 2},
                                       {"convert", Command::Convert, 2, 2},
                                       {"compare", Command::Compare, 3, 3}};

// The command's own options that take a value; the search options are read here.
struct ValueOption {
    const char* name;
    int values;
};
constexpr ValueOption kValueOptions[] = {{"--from", 1}, {"--to", 1}, {"--region", 4}, {"--pairs", 1}};

static const GlutOption* glutOption(const char* word)
{
    for (const GlutOption& option : kGlutOptions)
        if (std::strcmp(word, option.name) == 0)
            return &option;
    return nullptr;
}

static CommandLine wrong(const std::string& line)
{
    CommandLine result;
    result.command = Command::Wrong;
    result.error = line;
    return result;
}

// How many values the command's option word takes; 0 when none.
static int valuesOf(const std::string& word)
{
    for (const ValueOption& option : kValueOptions)
        if (word == option.name)
            return option.values;
    return 0;
}

// Reads one search option's value into result; false with the complaint set.
static bool readSearchOption(const std::string& option, const std::string& value, CommandLine& result)
{
    if (option == "--algorithm") {
        result.algorithmGiven = true;
        if (searchModeFromKey(value.c_str(), result.choice.mode))
            return true;
        result.error = "unknown algorithm '" + value + "' (known: " + knownModeKeys() + ")";
    } else if (option == "--heuristic") {
        if (heuristicFromKey(value.c_str(), result.choice.heuristic))
            return true;
        result.error = "unknown heuristic '" + value + "' (known: " + knownHeuristicKeys() + ")";
    } else {
        char* end = nullptr;
        const float weight = std::strtof(value.c_str(), &end);
        if (!value.empty() && *end == '\0' && std::isfinite(weight) && weight >= 1.0f) {
            result.choice.weight = weight;
            return true;
        }
        result.error = "'--weight' takes a number of at least 1, not '" + value + "'";
    }
    return false;
}

// Takes --costs's value into result; false with the complaint set when it is
// unknown or given twice.
static bool readCostsOption(const std::string& value, CommandLine& result)
{
    if (!result.costs.empty())
        result.error = "option '--costs' given twice";
    else if (value != "distance" && value != "time")
        result.error = "unknown --costs value '" + value + "' (distance or time)";
    result.costs = value;
    return result.error.empty();
}

static CommandLine subcommand(const Subcommand& which, int argc, const char* const* argv)
{
    CommandLine result;
    result.command = which.command;
    std::vector<std::string> options;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        const bool search = word == "--algorithm" || word == "--heuristic" || word == "--weight";
        const int values = search || word == "--costs" ? 1 : valuesOf(word);
        if (values == 1 && i + 1 >= argc)
            return wrong(word == "--costs" ? "option '--costs' needs a value (distance or time)"
                                           : "option '" + word + "' needs a value");
        if (search) {
            if (!readSearchOption(word, argv[++i], result))
                return wrong(result.error);
        } else if (word == "--costs") {
            if (!readCostsOption(argv[++i], result))
                return wrong(result.error);
        } else if (word == "--csv") {
            result.csv = true;
        } else if (values > 0) {
            options.push_back(word);
            // A short list is the command's to explain (convert names its rule).
            for (int taken = 0; taken < values && i + 1 < argc; ++taken)
                options.push_back(argv[++i]);
        } else if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            options.push_back(word);
        } else {
            result.words.push_back(word);
        }
    }
    std::size_t minWords = which.minWords, maxWords = which.maxWords;
    if (which.command == Command::Route && !options.empty() && options[0] == "--pairs")
        minWords = maxWords = 1; // route MAPFILE --pairs FILE
    if (result.words.size() < minWords || result.words.size() > maxWords)
        return wrong(std::string("wrong number of arguments for '") + which.name + "'");
    result.words.insert(result.words.end(), options.begin(), options.end());
    return result;
}

static CommandLine windowWithFile(int argc, const char* const* argv)
{
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (std::strcmp(word, "--costs") == 0) {
            if (i + 1 >= argc)
                return wrong("option '--costs' needs a value (distance or time)");
            if (!readCostsOption(argv[++i], result))
                return wrong(result.error);
        } else if (const GlutOption* option = glutOption(word)) {
            if (option->takesValue && ++i >= argc)
                return wrong(std::string("option '") + word + "' needs a value");
        } else if (word[0] == '-' && word[1] != '\0') {
            return wrong(std::string("unknown option '") + word + "'");
        } else if (!result.words.empty()) {
            return wrong("only one map file can be opened");
        } else {
            result.words.push_back(word);
        }
    }
    return result;
}

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    if (argc < 2)
        return {};
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        CommandLine result;
        result.command = argc == 2 ? Command::Help : Command::Wrong;
        result.error = "'--help' takes no arguments";
        return result;
    }
    if (first == "--version") {
        CommandLine result;
        result.command = argc == 2 ? Command::Version : Command::Wrong;
        result.error = "'--version' takes no arguments";
        return result;
    }
    for (const Subcommand& which : kSubcommands)
        if (first == which.name)
            return subcommand(which, argc, argv);
    return windowWithFile(argc, argv);
}

const CommandForm kCommandForms[] = {
    {"vialoom [MAPFILE] [--costs distance|time]", "open the window, with MAPFILE loaded"},
    {"vialoom route MAPFILE FROM TO [--costs distance|time]", "print the route between two vertices"},
    {"vialoom route MAPFILE --pairs FILE [--costs distance|time]",
     "one line a pair of FILE: FROM TO COST HOPS MICROSECONDS"},
    {"vialoom check SCENFILE [MAPFILE]", "run a Moving AI scenario, compare lengths"},
    {"vialoom convert IN OUT [--from N --to M] [--view] [--region X0 Y0 X1 Y1]",
     "convert a map to .vmap, or draw it as .svg"},
    {"vialoom compare MAPFILE FROM TO [--heuristic H] [--weight W] [--csv]",
     "run every search between two vertices, print a table"},
    {"vialoom --help | --version", nullptr},
};
const int kCommandFormCount = static_cast<int>(sizeof kCommandForms / sizeof kCommandForms[0]);

const OptionRow kOptionRows[] = {
    {"--help, -h", "print this help: the commands, map files, exit statuses, keys and mouse"},
    {"--version", "print the program's name and version"},
    {"--from N --to M", "convert to .svg only: draw the route from vertex N to vertex M"},
    {"--view", "convert to .svg only: draw what the search explored and left waiting"},
    {"--region X0 Y0 X1 Y1", "convert to .svg only: draw that part of the map (map units), as zoomed in"},
    {"--pairs FILE", "route only: search every pair of FILE, one \"FROM TO\" a line (blank lines and lines "
                     "starting with # skipped), on the map read once"},
    {"--algorithm NAME", "route, check, convert: astar (the default), dijkstra, greedy, weighted, bidijkstra, "
                         "biastar, bfs, jps (grids only), alt, ch (contraction hierarchies: the map is "
                         "preprocessed first)"},
    {"--heuristic H", "euclidean (the default), octile, manhattan, chebyshev, zero"},
    {"--weight W", "weighted A*'s weight, at least 1 (the default 2)"},
    {"--csv", "compare only: print comma-separated values under the header "
              "algorithm,heuristic,found,cost,hops,expanded,milliseconds,cheapest"},
    {"--costs distance|time", "OpenStreetMap maps only, anywhere after the command word: links cost metres (the "
                              "default) or seconds of travel"},
};
const int kOptionRowCount = static_cast<int>(sizeof kOptionRows / sizeof kOptionRows[0]);

std::string helpText()
{
    // The descriptions start in column 42; a longer form puts its own on the next line.
    constexpr std::size_t kColumn = 42;
    std::string text;
    for (const CommandForm& form : kCommandForms) {
        std::string line = (text.empty() ? "Usage: " : "       ") + std::string(form.synopsis);
        if (form.does != nullptr) {
            if (line.size() + 2 > kColumn)
                line += '\n' + std::string(kColumn, ' ');
            else
                line.append(kColumn - line.size(), ' ');
            line += form.does;
        }
        text += line + '\n';
    }
    text +=
        "\n"
        "Map files: .vmap (Vialoom), .map (Moving AI grid), .osm .osm.pbf .osm.bz2\n"
        "(OpenStreetMap roads), .gr with its .co beside it (DIMACS road graph).\n"
        "FROM and TO are vertex indices, counted from 0. 'route' and 'compare' exit 1\n"
        "when no route exists (with --pairs: for some pair); 'check' exits 1 when a\n"
        "problem failed. Errors exit 2.\n"
        "Unsaved work is kept in $XDG_STATE_HOME/vialoom/ (~/.local/state/vialoom/) on quit.\n"
        "\n";
    for (const std::string& line : keyHelpLines())
        text += line + '\n';
    return text;
}
