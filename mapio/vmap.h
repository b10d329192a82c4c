// The program's own map format, .vmap: plain text, one vertex a line, exact.
// docs/map-format.md describes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graph/scene.h"
#include "mapio/fit.h"

// Limits every .vmap reader holds to: bytes in a line (its line end not
// counted) and bytes in a whole file.
constexpr std::size_t kMaxVmapLineBytes = 4096;
constexpr std::uint64_t kMaxVmapFileBytes = 1ull << 30;

// Parses a whole .vmap text; name is used in error lines. Strict: any fault
// refuses the whole text with one "NAME:LINE: what" line and leaves map alone.
// A link cost not in the text (every one in version 1) is vertexDistance of its
// two ends; version 2 may give costs, factors and the cost unit.
bool parseVmap(std::string_view text, const std::string& name, Scene& map, std::string& error);

// The .vmap text of map; floats are written so they read back bit for bit.
// Version 2 only when map has a cell size, given costs or factors, or a cost
// unit, else version 1 as it always was. A link cost is written only where it
// is not the link's length; map must be consistent.
std::string formatVmap(const Scene& map);

// Reads the file at path as parseVmap reads its text, exactly, but as a
// stream: a chunk at a time, so memory follows the map, not the file, and a
// file bad at line 1 is refused without reading on. Refuses directories,
// FIFOs and other files that are not regular (without blocking), unreadable
// files and ones over kMaxVmapFileBytes, and a map that does not fit in
// memory ("PATH: not enough memory to read it").
bool readVmapFile(const std::string& path, Scene& map, std::string& error);

// Writes formatVmap(map) to path atomically (see files/atomic_file.h); a map
// whose text does not fit in memory is refused, "PATH: cannot save: cannot
// allocate memory", the old file untouched.
bool writeVmapFile(const std::string& path, const Scene& map, std::string& error);
