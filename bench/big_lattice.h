// The million-vertex lattice the frame is timed on, squeezed into the window.
#pragma once

constexpr int kBigLatticeSide = 1000;
// 1000 vertices across 600 pixels: the spacing that fits the 800 x 600 window.
constexpr float kBigLatticeSpacing = 0.6f;

// Replaces the scene with 1000 x 1000 vertices kBigLatticeSpacing apart, each
// linked to its eight neighbours, and the route from the top-left corner to
// the bottom-right one. Built once; later calls put a copy back through
// replaceScene, so a drawing sees a changed scene.
void loadBigLattice();
