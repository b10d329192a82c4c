// Where text goes: boxes of lines in the 9 x 15 bitmap font, laid out the
// same for the window and the SVG pictures.
#pragma once

#include <string>
#include <vector>

constexpr int kCharWidth = 9;
constexpr int kLineHeight = 15;
constexpr int kTextAscent = 11; // baseline below the top of a line
constexpr int kPanelPadding = 4;
constexpr int kPanelMargin = 4; // from the window's edge and between panels

struct TextPanel {
    float x = 0.0f, y = 0.0f; // top-left corner, window pixels
    float width = 0.0f, height = 0.0f;
    std::vector<std::string> lines;
};

// A panel with its top-left corner at (x, y), just large enough for lines.
TextPanel panelAt(std::vector<std::string> lines, float x, float y);

// A panel centred in a window of width x height (top-left at 0, 0 when it
// does not fit).
TextPanel centredPanel(std::vector<std::string> lines, int width, int height);

// lines broken so that none is longer than maxChars (at least 8): each long
// line at its last ", " or space that fits, else mid-word, the rest
// indented by two spaces. Lines that fit are kept as they are.
std::vector<std::string> wrapLines(const std::vector<std::string>& lines, int maxChars);

// The window's left-hand panels (those at the margin) wrapped to fit width
// pixels, each stacked panel moved to sit just below the one before it.
void fitPanels(std::vector<TextPanel>& panels, int width);

// Where line index's text starts: its left end and its baseline.
float textLeft(const TextPanel& panel);
float textBaseline(const TextPanel& panel, int index);
