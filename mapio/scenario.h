// Moving AI scenario files (.scen): "version 1" (or "version 1.0"), then one
// problem a line: bucket map width height startX startY goalX goalY
// optimalLength, separated by tabs or spaces. Coordinates are column (x) and
// row (y) from the map's top left corner; lengths are in cells, a diagonal
// step costing the square root of 2.
#pragma once

#include <string>
#include <vector>

struct ScenarioProblem {
    int line = 0;            // where in the file, for messages
    int bucket = 0;
    std::string mapName;     // as written, possibly with folders
    int mapWidth = 0;
    int mapHeight = 0;
    int startX = 0;
    int startY = 0;
    int goalX = 0;
    int goalY = 0;
    double optimalLength = 0.0;
};

// Scenario files larger than this are refused before they are read.
constexpr long kMaxScenarioFileBytes = 16L << 20;

// Parses a whole scenario; name stands for the file in errors. Blank lines
// are skipped. Strict: a bad version line, a line without exactly nine
// fields, a bucket or size that is not a whole number >= 0 (sizes >= 1), a
// coordinate that is not a whole number (negative ones are kept: the check
// reports them), or a length that is not a finite number >= 0 refuses the
// whole text with "NAME:LINE: what is wrong" and leaves problems alone.
bool parseScenario(const std::string& text, const std::string& name, std::vector<ScenarioProblem>& problems,
                   std::string& error);

// Reads and parses the file at path (see readWholeFile in files/file_text.h).
bool readScenarioFile(const std::string& path, std::vector<ScenarioProblem>& problems, std::string& error);

// The map file a scenario at scenarioPath names: its base name in the
// scenario's folder if that exists, else the name as written relative to the
// scenario's folder, else as written relative to the current folder; when
// none exists, the first of these, so the error names where it was looked for.
std::string scenarioMapPath(const std::string& scenarioPath, const std::string& mapName);
