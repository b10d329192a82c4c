// Ready-made maps that replace the whole scene. All randomness comes from
// randomNext, so one generator state always gives one map.
#pragma once

// Empties the vertices and the predecessor table and unsets all selections.
void clearMap();

// 30 to 59 vertices at random whole pixels of 800 x 600, then as many random
// pair toggles, each skipped unless both ends hold fewer than 15 links.
void generateRandomMap();

// A 40 x 40 lattice, 15 pixels apart, whose neighbour links are each
// toggled with probability 2/3 (vertical pairs get two chances).
void generateGridMap();
