// The picture as an SVG document: the same colours, sizes and draw order as
// the window; points as circles, links as lines, the route as a polyline and
// the panels as translucent boxes of text.
#pragma once

#include <string>
#include <vector>

#include "graph/scene.h"
#include "ui/text_panel.h"

struct SvgScene {
    // The drawing's box: viewBox "left top width height", width and height
    // also the document's size. Doubles, so any float map fits: width and
    // height must be finite and positive.
    double left = 0.0, top = 0.0, width = 800.0, height = 600.0;
    // A zoomed view: the document is pixelsPerUnit times the box, and dots,
    // lines and text keep their size in the document's pixels. Finite, > 0.
    double pixelsPerUnit = 1.0;
    // Panels placed from the box's corner in document pixels, as in the
    // window; otherwise at their own coordinates, in map units.
    bool panelsFromCorner = false;
    const std::vector<Vertex>* vertices = nullptr; // null draws no vertices
    int start = -1, goal = -1, marked = -1;         // -1 when unset
    std::vector<int> route;                         // goal back to start; empty for none
    // The search view; all empty when it is off.
    std::vector<int> expanded, waiting;
    std::vector<int> backExpanded, backWaiting; // a bidirectional search's backward half
    int meeting = -1;                // where its halves joined; -1 for none
    int current = -1;                // the vertex a replay is expanding; -1 for none
    std::vector<int> routeToCurrent; // the best route known to it
    std::vector<TextPanel> panels;   // drawn last, in order
};

// The whole document. Groups carry the ids points, selections, links,
// waiting, expanded, back-waiting and back-expanded (a bidirectional
// search's backward half), meeting, replay, route and text; "points" holds
// exactly one circle per vertex, "links" one line per link (each pair once),
// "route" one polyline with one coordinate pair per route vertex (none when
// no route).
// Indices out of range are skipped.
std::string formatSvg(const SvgScene& scene);

// Writes formatSvg(scene) to path atomically; on failure error says why and
// an existing file is untouched.
bool writeSvgFile(const std::string& path, const SvgScene& scene, std::string& error);
