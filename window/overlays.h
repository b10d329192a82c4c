// What is drawn beside the scene itself, each by its own module.
#pragma once

// The explored and waiting vertices of the search view, under the route;
// draws nothing while the view is off.
void drawSearchLayer();

// The stats line, the inspect panel and the help overlay, over everything;
// draws nothing while none is open.
void drawSearchText();

// The status line at the bottom of the window, while a message is due.
void drawStatusLine();
