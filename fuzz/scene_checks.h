// What must hold after every event, whatever the events were.
#pragma once

// Returns a description of the first broken rule, or nullptr when all hold:
// the scene is consistent, and a route, when there is one, runs from the goal
// back to the start visiting no more vertices than the graph has.
const char* brokenSceneRule();
