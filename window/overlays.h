// What is drawn beside the scene itself, each by its own module.
#pragma once

#include "ui/search_view.h"

// The explored and waiting vertices of picture, under the route; draws
// nothing while its layer is off.
void drawSearchLayer(const SearchPicture& picture);

// ALT's landmarks as yellow squares ringed in black, while ALT is the
// chosen search and the scene's landmarks are chosen; nothing otherwise.
void drawLandmarks();

// picture's text panels (stats, inspect, help), over everything.
void drawSearchText(const SearchPicture& picture);

// The status line at the bottom of the window, while a message is due.
void drawStatusLine();
