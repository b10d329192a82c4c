// Undo and redo of every change to the scene. An edit is bracketed by
// beginEdit and endEdit; beginEdit keeps a copy of the parts the edit may
// change, and undo swaps them back, so undo restores the scene exactly: link
// table order, selections and the predecessor table included.
#pragma once

#include <cstddef>
#include <cstdint>

// Parts of the scene an edit may change; or them together.
enum EditParts : unsigned {
    kEditAppend = 1u << 0,     // vertices appended at the end
    kEditLinks = 1u << 1,      // the link tables of the two vertices given to beginEdit
    kEditSelections = 1u << 2, // the start, goal and marked vertex
    kEditRoute = 1u << 3,      // the route table, cameFrom
    kEditEverything = 1u << 4, // the whole scene is replaced (a generator, a load), scale included
};

// The history's memory bound; the oldest steps are dropped to stay under it.
// The newest step is the one exception: it is kept even when it alone is
// larger, so a stray generator or load over a huge scene can still be undone.
constexpr std::size_t kHistoryBytes = 64u * 1024u * 1024u;

// Starts an edit that may change parts (vertices a and b for kEditLinks; pass
// -1 where not used, and an index that is not a vertex counts as -1). Edits
// do not nest: a second beginEdit abandons the first. kEditEverything copies
// the whole scene.
void beginEdit(unsigned parts, int a = -1, int b = -1);
// Ends the edit: keeps it as one undo step holding only the parts that
// changed, unless nothing changed, and clears the redo steps when it is kept.
// An edit that changed the vertex count beyond its parts makes the history
// forget every step. Without an open edit it does nothing.
void endEdit();

// Ends an open edit by putting back every part it holds, so the scene is as
// at beginEdit (selections, route and scale included) and no step is kept:
// for an edit that failed half way, say for want of memory. The other parts
// are swapped back; appended vertices are copied out, which needs memory.
// Without an open edit it does nothing. A beginEdit that runs out of memory
// leaves no edit open; an endEdit that does leaves its edit open for this.
void abandonEdit();

// Undoes or redoes one step; false when there is none or an edit is open.
// Vertices move through the scene's own functions, so graphRevision follows.
// Should the scene have been changed without an edit, every step is
// forgotten and false returned.
bool undoEdit();
bool redoEdit();

// Forgets every step (the scene and its state name stay as they are).
void clearHistory();

// Names the scene's current state: changes with every kept edit, and undo and
// redo return to earlier names, so "unsaved" is "differs from the name saved".
// 0 is the empty scene at start-up; a name is never reused for another state.
std::uint64_t sceneState();

// Memory the kept steps hold, about: vertex images, route tables (an int a
// vertex) and each step's own record. Undo and redo move images between the scene
// and the steps, so they may change it; the bound is applied as steps are kept.
std::size_t historyBytes();
