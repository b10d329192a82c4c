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
    kEditSelections = 1u << 2, // startVertex, goalVertex, markedVertex
    kEditRoute = 1u << 3,      // cameFrom
    kEditEverything = 1u << 4, // the whole scene is replaced (a generator, a load)
};

// The history's memory bound; the oldest steps are dropped to stay under it.
constexpr std::size_t kHistoryBytes = 64u * 1024u * 1024u;

// Starts an edit that may change parts (vertices a and b for kEditLinks; pass
// -1 where not used). Edits do not nest.
void beginEdit(unsigned parts, int a = -1, int b = -1);
// Ends the edit: keeps it as one undo step, unless it changed nothing, and
// clears the redo steps when it is kept.
void endEdit();

// Undoes or redoes one step; false when there is none.
bool undoEdit();
bool redoEdit();

// Forgets every step (the scene stays as it is).
void clearHistory();

// Names the scene's current state: changes with every kept edit, and undo and
// redo return to earlier names, so "unsaved" is "differs from the name saved".
std::uint64_t sceneState();

// Memory the kept steps hold, about.
std::size_t historyBytes();
