// The raster position for the browser, whose GL emulation has none: set by
// glRasterPos2f/2i/2d and glWindowPos2i, used by glDrawPixels and the
// bitmap text (web/port/glut_text.cpp), both given here for the browser.
#pragma once

// Where the next text or image goes, in the window's pixel projection
// (window/window.cpp: x right, y down, integers on pixel centres); text
// advances rasterX.
extern float rasterX;
extern float rasterY;
