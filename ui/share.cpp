#include "ui/share.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "graph/scene.h"
#include "mapio/vmap.h"
#include "route/search.h"
#include "route/search_names.h"
#include "ui/document.h"
#include "ui/search_view.h"
#include "ui/view.h"

constexpr std::string_view kShareHeader = "vialoom-share 1";
constexpr std::string_view kMapHeader = "vialoom-map ";
// parseVmap's name for the map part, so its line can be moved past the header.
constexpr char kMapName[] = "map";

// What the lines before the map set; each must be given exactly once.
struct ShareSettings {
    bool hasMode = false;
    SearchMode mode = SearchMode::AStar;
    bool hasHeuristic = false; // absent: Euclidean
    Heuristic heuristic = Heuristic::Euclidean;
    bool hasWeight = false; // absent: kDefaultWeight
    float weight = kDefaultWeight;
    bool hasView = false;
    bool view = false;
    bool zoomed = false; // absent: the default view
    ViewTransform zoom;
};

std::string shareText()
{
    std::string text(kShareHeader);
    text += "\nalgorithm ";
    text += searchModeKey(searchMode);
    // Lines a link made before the laboratory never had, so only when not the defaults.
    if (searchHeuristic != Heuristic::Euclidean) {
        text += "\nheuristic ";
        text += heuristicKey(searchHeuristic);
    }
    if (searchWeight != kDefaultWeight) {
        char line[32];
        std::snprintf(line, sizeof line, "\nweight %.9g", static_cast<double>(searchWeight));
        text += line;
    }
    text += searchViewShown() ? "\nsearch-view on\n" : "\nsearch-view off\n";
    if (!viewIsDefault()) {
        const ViewTransform view = currentView();
        char line[96];
        std::snprintf(line, sizeof line, "view %.9g %.9g %.9g\n", static_cast<double>(view.scale),
                      static_cast<double>(view.left), static_cast<double>(view.top));
        text += line;
    }
    return text + formatVmap(scene);
}

static bool failAt(long line, const std::string& what, std::string& error)
{
    error = "line " + std::to_string(line) + ": " + what;
    return false;
}

// One settings line; false with error set when it is not one, or repeats one.
static bool readSetting(std::string_view line, long number, ShareSettings& settings, std::string& error)
{
    const std::size_t space = line.find(' ');
    const std::string_view key = line.substr(0, space);
    const std::string_view value = space == std::string_view::npos ? "" : line.substr(space + 1);
    if (key == "algorithm") {
        if (settings.hasMode)
            return failAt(number, "a second algorithm line", error);
        if (!searchModeFromKey(std::string(value).c_str(), settings.mode))
            return failAt(number, "unknown algorithm \"" + std::string(value) + "\" (" + knownModeKeys() + ")",
                          error);
        settings.hasMode = true;
        return true;
    }
    if (key == "heuristic") {
        if (settings.hasHeuristic)
            return failAt(number, "a second heuristic line", error);
        if (!heuristicFromKey(std::string(value).c_str(), settings.heuristic))
            return failAt(number,
                          "unknown heuristic \"" + std::string(value) + "\" (" + knownHeuristicKeys() + ")", error);
        settings.hasHeuristic = true;
        return true;
    }
    if (key == "weight") {
        if (settings.hasWeight)
            return failAt(number, "a second weight line", error);
        const std::string text(value);
        char* end = nullptr;
        settings.weight = std::strtof(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(settings.weight) || !(settings.weight >= 1.0f))
            return failAt(number, "weight must be a number of at least 1", error);
        settings.hasWeight = true;
        return true;
    }
    if (key == "search-view") {
        if (settings.hasView)
            return failAt(number, "a second search-view line", error);
        if (value != "on" && value != "off")
            return failAt(number, "search-view must be on or off", error);
        settings.view = value == "on";
        settings.hasView = true;
        return true;
    }
    if (key == "view") {
        if (settings.zoomed)
            return failAt(number, "a second view line", error);
        const std::string numbers(value);
        const char* at = numbers.c_str();
        float read[3] = {};
        constexpr char kViewFault[] = "view must be three numbers: scale (above 0), left, top";
        for (float& field : read) {
            char* end = nullptr;
            field = std::strtof(at, &end);
            if (end == at || !std::isfinite(field) || (*end != ' ' && *end != '\0'))
                return failAt(number, kViewFault, error);
            at = end;
        }
        if (*at != '\0' || !(read[0] > 0.0f))
            return failAt(number, kViewFault, error);
        settings.zoom = {read[0], read[1], read[2]};
        settings.zoomed = true;
        return true;
    }
    return failAt(number, "unknown line \"" + std::string(line.substr(0, 40)) + "\"", error);
}

// The view as it was shared, the scale within the map's bounds.
static void showView(const ShareSettings& settings)
{
    resetView();
    if (settings.zoomed)
        setView(settings.zoom);
}

// parseVmap's "map:LINE: what" as "line LINE+skipped: what".
static std::string movedMapError(const std::string& mapError, long skipped)
{
    const std::string prefix = std::string(kMapName) + ':';
    if (mapError.rfind(prefix, 0) != 0)
        return mapError;
    long line = 0;
    const char* digits = mapError.data() + prefix.size();
    const char* end = mapError.data() + mapError.size();
    const auto [after, fault] = std::from_chars(digits, end, line);
    if (fault != std::errc() || std::distance(after, end) < 2 || after[0] != ':' || after[1] != ' ')
        return mapError.substr(prefix.size());
    return "line " + std::to_string(line + skipped) + ": " + std::string(after + 2, end);
}

bool openShareText(std::string_view text, std::string& error)
{
    ShareSettings settings;
    long number = 0;
    std::size_t at = 0;
    while (at < text.size() && text.compare(at, kMapHeader.size(), kMapHeader) != 0) {
        const std::size_t newline = text.find('\n', at);
        if (newline == std::string_view::npos)
            return failAt(number + 1, "the text ends before the map", error);
        const std::string_view line = text.substr(at, newline - at);
        ++number;
        if (number == 1 ? line != kShareHeader : !readSetting(line, number, settings, error)) {
            if (number == 1)
                error = "not a shared drawing: it must begin with \"" + std::string(kShareHeader) + "\"";
            return false;
        }
        at = newline + 1;
    }
    if (number == 0)
        return failAt(1, "not a shared drawing: it must begin with \"" + std::string(kShareHeader) + "\"", error);
    if (at == text.size())
        return failAt(number + 1, "the text ends before the map", error);
    if (!settings.hasMode || !settings.hasView)
        return failAt(number + 1, settings.hasMode ? "no search-view line" : "no algorithm line", error);
    Scene map;
    std::string mapError;
    if (!parseVmap(text.substr(at), kMapName, map, mapError)) {
        error = movedMapError(mapError, number);
        return false;
    }
    const SearchMode before = searchMode;
    const Heuristic heuristicBefore = searchHeuristic;
    const float weightBefore = searchWeight;
    // The route opened with the map is this search's.
    searchMode = settings.mode;
    searchHeuristic = settings.heuristic;
    searchWeight = settings.weight;
    if (!openDocument(std::move(map), "")) {
        searchMode = before;
        searchHeuristic = heuristicBefore;
        searchWeight = weightBefore;
        error = "not enough memory to open it";
        return false;
    }
    if (searchViewShown() != settings.view)
        toggleSearchView();
    showView(settings);
    settleSearchView();
    return true;
}
