// The scene's contraction hierarchy, built on a background thread while
// contraction hierarchies are the chosen search, so the window never waits
// for it. The thread works on a copy of the vertices; it is cancelled when
// the graph changes or another search is chosen. Nothing here draws.
#pragma once

// Starts, cancels or finishes the build as the scene and the search mode
// now stand: when a build for the current graph finishes, the route is
// searched again; progress and failures go to the status line. Cheap when
// nothing changed; call it after every frame and event.
void pollHierarchyBuild();

// True while a build thread runs (the picture then changes by itself).
bool hierarchyBuildRunning();

// Cancels any build and waits for its thread. Safe to call at any time.
void stopHierarchyBuild();
