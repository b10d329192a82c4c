// The process's one contraction hierarchy, kept for the graph it was built
// from (by graphRevision, the vertex count and a fingerprint of up to 4096
// of its vertices and their links: a copy of the table made to build from
// on another thread matches the table itself), and the
// search mode Ch that answers from it. Building may run on another thread:
// the cache is locked while it is replaced or read, and the progress of a
// build in flight is an atomic the stats line may read at any time.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "graph/scene.h"
#include "route/contraction.h"
#include "route/search.h"

// Percent of the build in flight, 0 to 100; -1 when none runs.
extern std::atomic<int> hierarchyBuildPercent;

// Builds the hierarchy of vertices (as the graph stands at revision) and,
// when built, keeps it in place of any other. Blocks; progress goes to
// hierarchyBuildPercent and to options.progress when given. Never throws;
// otherwise as buildHierarchy, the kept hierarchy unchanged.
HierarchyStatus prepareHierarchy(const std::vector<Vertex>& vertices, std::uint64_t revision,
                                 const HierarchyOptions& options, std::string& why);

// True when the kept hierarchy was built from vertices at revision.
bool hierarchyReadyFor(const std::vector<Vertex>& vertices, std::uint64_t revision);

// Drops the kept hierarchy (its memory too).
void forgetHierarchy();

// What the stats line says of the hierarchy for vertices at revision: ""
// when ready, "building hierarchy 42 %" while a build runs, "hierarchy
// stale" otherwise.
std::string hierarchyNote(const std::vector<Vertex>& vertices, std::uint64_t revision);

// Fills t (tables sized for vertices and reset; start and goal set) from the
// kept hierarchy when it was built from vertices at graphRevision(): both
// upward searches (side 0 from the start, 1 from the goal) in expanded,
// expandedSide, reachedAt, side, g and gBack, the meeting vertex, and parent
// and g along the unpacked route from the start forwards. Without such a
// hierarchy nothing is found and nothing expanded.
void hierarchySearch(SearchTrace& t, const std::vector<Vertex>& vertices);
