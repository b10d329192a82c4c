#include "app/command_line.h"

#include <cstring>

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
constexpr Subcommand kSubcommands[] = {{"route", Command::Route, 3, 3},
                                       {"check", Command::Check, 1, 2},
                                       {"convert", Command::Convert, 2, 7}};
// Words a subcommand counts never include --costs and its value.

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

// Takes "--costs VALUE" at argv[i] into result; false with error set when
// the value is missing, unknown or given twice.
static bool takeCosts(int& i, int argc, const char* const* argv, CommandLine& result, std::string& error)
{
    if (i + 1 >= argc) {
        error = "option '--costs' needs a value (distance or time)";
        return false;
    }
    const std::string value = argv[++i];
    if (!result.costs.empty())
        error = "option '--costs' given twice";
    else if (value != "distance" && value != "time")
        error = "unknown --costs value '" + value + "' (distance or time)";
    result.costs = value;
    return error.empty();
}

static CommandLine subcommand(const Subcommand& which, int argc, const char* const* argv)
{
    CommandLine result;
    result.command = which.command;
    std::string error;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--costs") != 0)
            result.words.push_back(argv[i]);
        else if (!takeCosts(i, argc, argv, result, error))
            return wrong(error);
    }
    if (result.words.size() < which.minWords || result.words.size() > which.maxWords)
        return wrong(std::string("wrong number of arguments for '") + which.name + "'");
    return result;
}

static CommandLine windowWithFile(int argc, const char* const* argv)
{
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        std::string error;
        if (std::strcmp(word, "--costs") == 0) {
            if (!takeCosts(i, argc, argv, result, error))
                return wrong(error);
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
    {"vialoom check SCENFILE [MAPFILE]", "run a Moving AI scenario, compare lengths"},
    {"vialoom convert IN OUT [--from N --to M] [--view]", "convert a map to .vmap, or draw it as .svg"},
    {"vialoom --help | --version", nullptr},
};
const int kCommandFormCount = static_cast<int>(sizeof kCommandForms / sizeof kCommandForms[0]);

const OptionRow kOptionRows[] = {
    {"--help, -h", "print this help: the commands, map files, exit statuses, keys and mouse"},
    {"--version", "print the program's name and version"},
    {"--from N --to M", "convert to .svg only: draw the route from vertex N to vertex M"},
    {"--view", "convert to .svg only: draw what the search explored and left waiting"},
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
        "FROM and TO are vertex indices, counted from 0. 'route' exits 1 when no route\n"
        "exists; 'check' exits 1 when a problem failed. Errors exit 2.\n"
        "Unsaved work is kept in $XDG_STATE_HOME/vialoom/ (~/.local/state/vialoom/) on quit.\n"
        "\n";
    for (const std::string& line : keyHelpLines())
        text += line + '\n';
    return text;
}
