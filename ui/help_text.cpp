#include "ui/help_text.h"

const char* const kHelpLines[] = {
    "Keys (a letter and its capital do the same)",
    "  1             generate a random map",
    "  2             generate a 40 x 40 lattice map",
    "  f             route between random vertices",
    "  s             save the map",
    "  u, CTRL+Z     undo",
    "  r, CTRL+Y     redo",
    "  v             search view: explored and waiting vertices, stats",
    "  m             next algorithm: A*, Dijkstra, greedy best-first",
    "  space         play or pause the replay of the last search",
    "  .  ,          replay one expansion forward, back",
    "  +  -          replay twice as fast, half as fast",
    "  i             inspect the vertex nearest the pointer",
    "  e             export the view as an SVG picture",
    "  h, ?          this help; any key closes it",
    "  q, ESC        quit (unsaved work is kept)",
    "Mouse",
    "  click         add a vertex",
    "  right click   clear the mark",
    "  CTRL+click    mark the nearest vertex; link it to the previous mark",
    "  SHIFT+click   make the nearest vertex the goal",
    "  ALT+click     make the nearest vertex the start",
};

const int kHelpLineCount = static_cast<int>(sizeof kHelpLines / sizeof kHelpLines[0]);
