// The drawing as a document: where it was opened from or saved to, whether
// it has unsaved changes, saving it, and keeping it safe when the program ends.
#pragma once

#include <string>

#include "graph/scene.h"

// Each of the three below first closes a brush stroke still open (one undo
// step of its own), so that it is neither lost nor left half recorded.

// Replaces the whole scene with map, scale included (one undo step), runs the
// route between its start and goal, and makes path the
// document's file; a map read from another format is saved beside it as .vmap.
// An empty path leaves the map untitled: s then saves it as a new file.
// False when memory ran out on the way: the drawing is then as it was and
// the status line says "not enough memory to open NAME".
bool openDocument(Scene map, const std::string& path);

// s: saves to the document's file, or to a new vialoom-YYYYMMDD-HHMMSS.vmap
// in the current folder. Says what happened in the status line; on failure
// the file is untouched and the drawing stays unsaved. True when saved.
bool saveDocument();

// The file s saves to (pictures land beside it); empty until opened or saved.
const std::string& documentFile();

// True when the scene differs from what was last opened or saved.
bool documentIsUnsaved();

// Called when the program ends: writes unsaved work to the recovery folder
// ($XDG_STATE_HOME/vialoom, else ~/.local/state/vialoom), keeps the newest
// ten there and says where on stderr. Writes nothing when nothing changed.
void keepUnsavedWork();
