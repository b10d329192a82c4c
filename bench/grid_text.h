// Moving AI grid maps of benchmark size, made here rather than shipped:
// scattered single blocks and long walls with doors, like the benchmark's
// mazes and rooms, the same every run.
#pragma once

#include <string>

// The text of a width x height octile map: walls every 32 cells with doors
// 4 cells wide at their ends, and about one other cell in seven a tree.
std::string gridText(int width, int height);
