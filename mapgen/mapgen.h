// Ready-made maps that replace the whole scene, and the random choice of a
// route's ends. All randomness comes from randomNext, so one generator state
// always gives one map.
#pragma once

// Empties the vertices and the predecessor table, unsets all selections and
// forgets the scale.
void clearMap();

// 30 to 59 vertices at random whole pixels of 800 x 600, then as many random
// pair toggles, each skipped unless both ends hold fewer than 15 links.
void generateRandomMap();

// A 40 x 40 lattice, 15 pixels apart, whose neighbour links are each
// toggled with probability 2/3 (vertical pairs get two chances).
void generateGridMap();

// Sets the start, then the goal, to random vertices (they may coincide); the
// caller re-runs the route. False, drawing no random number, on an empty graph.
bool pickRandomEnds();
