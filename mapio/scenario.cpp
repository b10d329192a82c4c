#include "mapio/scenario.h"

#include <charconv>
#include <cmath>
#include <new>

#include "files/error_text.h"
#include "files/file_names.h"
#include "files/file_text.h"
#include "files/line_source.h"

constexpr std::size_t kFields = 9;

static bool parseWhole(const std::string& word, int& value)
{
    const char* end = word.data() + word.size();
    const auto [stop, fault] = std::from_chars(word.data(), end, value);
    return fault == std::errc() && stop == end;
}

// from_chars would take "inf" and "nan": only digits, a point, signs and an exponent pass.
static bool parseLength(const std::string& word, double& value)
{
    if (word.find_first_not_of("0123456789.eE+-") != std::string::npos)
        return false;
    const char* end = word.data() + word.size();
    const auto [stop, fault] = std::from_chars(word.data(), end, value);
    return fault == std::errc() && stop == end && std::isfinite(value) && value >= 0.0;
}

static bool parseProblem(const std::vector<std::string>& words, ScenarioProblem& problem, std::string& what)
{
    if (words.size() != kFields) {
        what = "expected 9 fields (bucket map width height startX startY goalX goalY length), found " +
               std::to_string(words.size());
        return false;
    }
    problem.mapName = words[1];
    if (!parseWhole(words[0], problem.bucket) || problem.bucket < 0) {
        what = "bucket must be a whole number >= 0";
        return false;
    }
    if (!parseWhole(words[2], problem.mapWidth) || !parseWhole(words[3], problem.mapHeight) ||
        problem.mapWidth < 1 || problem.mapHeight < 1) {
        what = "map width and height must be whole numbers >= 1";
        return false;
    }
    if (!parseWhole(words[4], problem.startX) || !parseWhole(words[5], problem.startY) ||
        !parseWhole(words[6], problem.goalX) || !parseWhole(words[7], problem.goalY)) {
        what = "coordinates must be whole numbers";
        return false;
    }
    if (!parseLength(words[8], problem.optimalLength)) {
        what = "optimal length must be a finite number >= 0";
        return false;
    }
    return true;
}

bool parseScenario(const std::string& text, const std::string& name, std::vector<ScenarioProblem>& problems,
                   std::string& error)
{
    if (!isPlainText(text, name, error))
        return false;
    LineSource lines = linesOfText(text);
    std::string_view line;
    const std::vector<std::string> version = nextLine(lines, line) ? splitWords(line) : std::vector<std::string>{};
    if (version.size() != 2 || version[0] != "version" || (version[1] != "1" && version[1] != "1.0")) {
        error = errorAt(name, 1) + "expected \"version 1\"";
        return false;
    }
    std::vector<ScenarioProblem> read;
    while (nextLine(lines, line)) {
        const std::vector<std::string> words = splitWords(line);
        if (words.empty())
            continue;
        ScenarioProblem problem;
        problem.line = static_cast<int>(lines.lineNumber);
        std::string what;
        if (!parseProblem(words, problem, what)) {
            error = errorAt(name, lines.lineNumber) + what;
            return false;
        }
        read.push_back(std::move(problem));
    }
    problems = std::move(read);
    return true;
}

bool readScenarioFile(const std::string& path, std::vector<ScenarioProblem>& problems, std::string& error)
{
    try {
        std::string text;
        return readWholeFile(path, kMaxScenarioFileBytes, text, error) && parseScenario(text, path, problems, error);
    } catch (const std::bad_alloc&) {
        error = outOfMemoryError(path);
        return false;
    }
}

std::string scenarioMapPath(const std::string& scenarioPath, const std::string& mapName)
{
    const std::string folder = folderOf(scenarioPath);
    const bool absolute = !mapName.empty() && mapName[0] == '/';
    const std::string candidates[] = {folder + baseName(mapName), absolute ? mapName : folder + mapName, mapName};
    for (const std::string& candidate : candidates)
        if (fileExists(candidate))
            return candidate;
    return candidates[0];
}
