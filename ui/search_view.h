// The search view and its companions: what the last search explored, the
// algorithm choice, the step-by-step replay, inspecting a vertex, the help
// overlay and SVG pictures. These functions change only the view's own state
// (and, for the mode, the route); the drawing only reads it.
#pragma once

#include <string>
#include <vector>

#include "route/search.h"
#include "ui/text_panel.h"

// v: shows or hides the explored and waiting vertices and the stats line.
void toggleSearchView();
// True while the search view is on.
bool searchViewShown();
// m: the next search in kSearchModes' order, the last wrapping to A*; re-runs the route.
void cycleSearchMode();
// k: the next heuristic (Euclidean, octile, Manhattan, Chebyshev, zero); re-runs the route.
void cycleHeuristic();
// w: weighted A*'s next weight (1.5, 2, 3, 5); re-runs the route.
void cycleWeight();
// c: splits the window: the chosen search on the left, rightMode's on the
// right, same map, start and goal; again: back to one. Turns the view on.
void toggleSplitView();
// n: the right-hand search's next mode (Dijkstra first), in the m key's order.
void cycleRightMode();
// b: shows or hides the table of every algorithm between start and goal with
// the chosen heuristic and weight: cost, hops, expanded, time, cheapest.
void toggleCompareTable();
// Space: plays or pauses the replay of the last search from its first expansion;
// side by side, both halves in step, until the longer one has played.
void toggleReplay();
// . and ,: one expansion forward (+1) or back (-1); pauses a playing replay.
void stepReplay(int delta);
// + and -: doubles or halves the replay speed, 1 to 100,000 expansions a second.
void scaleReplaySpeed(bool faster);
// i: shows what is known of the vertex nearest window pixel (x, y).
void inspectAt(int x, int y);
// h and ?: opens the help overlay.
void openHelp();
// True while the help overlay is shown; any key then only closes it.
bool helpIsOpen();
void closeHelp();
// e: writes the current view as an SVG picture beside the document's file (or
// in the current folder) and says where in the status line.
void exportPicture();

// Brings the view in step with the scene after any input: searches again
// when undo brought back ends whose search is not the last one run; a graph
// edit or a new search ends the replay and the inspect panel; with the view
// on, checks the shown search against an independent Dijkstra. Every input
// ends with it, so that drawing never has to search.
void settleSearchView();

// The window's size, for pictures of the view; 800 x 600 until told.
void setViewSize(int width, int height);

// What the drawing shows at time now (seconds on statusClock) in a window of
// width x height: whether the search layer is on, the trace and step it
// shows, a replay's current vertex and the route to it, and the text panels
// (stats, inspect, help) in drawing order. Reads state only.
struct SearchPicture {
    bool layer = false;
    const SearchTrace* trace = nullptr; // non-null whenever layer is
    int step = 0;                       // the sets after this many expansions
    int current = -1;                   // -1 unless a replay shows a step
    std::vector<int> routeToCurrent;
    std::vector<TextPanel> panels;
    // Side by side (c): the right half's own picture (its layer, step, replay
    // marks and panels, placed as in a window of its own) and its route.
    bool split = false;
    std::vector<SearchPicture> right; // one picture when split, else none
    std::vector<int> rightRoute;
};
SearchPicture searchPictureAt(double now, int width, int height);

// Seconds from now until the picture changes with nothing done: 0 while a
// replay plays (every frame differs), the time until the status message goes,
// or infinity when the picture rests.
double secondsUntilPictureChanges(double now);
