// A whole drawing as one text, for a link: the map with its start, goal and
// mark, the algorithm and whether the search view is on. The web page packs
// it into its address; reading it back is all or nothing.
#pragma once

#include <string>
#include <string_view>

// The drawing as share text: "vialoom-share 1", "algorithm NAME" (a short
// name of route/search_names.h), "heuristic NAME" and "weight W" when not
// Euclidean and 2, "search-view on" or "off", "view SCALE LEFT TOP" when
// zoomed or panned (see ui/view.h), then the map's .vmap text.
std::string shareText();

// Makes text (as shareText writes it) the drawing: the map (one undo step,
// untitled, so s saves a new file), its algorithm, heuristic and weight, its
// search view and its view (the default view when none is given; exactly
// the shared one, but for a scale beyond what zoom allows for the map). Any
// fault refuses the whole text with one line, "line N: what" (N counted in
// text) or "what", and changes nothing.
bool openShareText(std::string_view text, std::string& error);
