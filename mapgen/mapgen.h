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

// A maze on the 40 x 40 lattice (15 pixels apart): its vertices linked by a
// spanning tree of the lattice's four-neighbour links, carved by a depth-first
// search from the top-left vertex that goes on to a random unvisited
// neighbour (randomNext() % how many) and backs up when there is none; so
// exactly one route joins any two vertices. Start top-left (vertex 0), goal
// bottom-right (vertex 1599), where the straight line misleads most.
void generateMaze();

// Rooms and doors on the 40 x 40 lattice: every vertex linked to its eight
// neighbours, except across the walls between 10 x 10 rooms; each wall
// between two rooms has one door, a straight link at a random place along it
// (randomNext() % 10, the vertical walls first, row by row, then the
// horizontal ones). Start top-left, goal bottom-right.
void generateRooms();
