// Every key and mouse command in English, one line each: the help overlay
// and --help both show these lines.
#pragma once

inline constexpr const char* kHelpLines[] = {
    "Keys (letters in either case)",
    "  1            generate a random map",
    "  2            generate a 40 x 40 lattice map",
    "  f            route between random points",
    "  s            save the map (.vmap)",
    "  u, CTRL+Z    undo",
    "  r, CTRL+Y    redo",
    "  v            search view: explored and waiting vertices, stats",
    "  m            next algorithm: A*, Dijkstra, greedy best-first",
    "  space        play or pause the replay of the last search",
    "  .  ,         replay one step forward, back",
    "  +  -         replay faster, slower",
    "  i            inspect the vertex nearest the pointer",
    "  h, ?         this help; any key closes it",
    "  e            export the view as an SVG picture",
    "  q, ESC       quit (unsaved work is kept)",
    "Mouse",
    "  click        add a vertex",
    "  right click  clear the mark",
    "  CTRL+click   mark the nearest vertex; link it to the previous mark",
    "  SHIFT+click  make the nearest vertex the goal",
    "  ALT+click    make the nearest vertex the start",
};
