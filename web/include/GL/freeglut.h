// The browser's GLUT has the classic calls only; the freeglut additions the
// program uses are given here (the text ones in web/port/glut_text.cpp).
#pragma once

#include <GL/glut.h>

#include <cstdarg>

// Draws text at the raster position, advancing it; a newline goes back to
// the line's start one font height lower.
void glutBitmapString(void* font, const unsigned char* text);

// Line height of the font in pixels.
int glutBitmapHeight(void* font);

// A page has no window to close; the page keeps unsaved work itself when
// the tab is hidden or left, so the callback is never called.
inline void glutCloseFunc(void (*)())
{
}

// The page always has its canvas: GLUT never fails to start there.
inline void glutInitErrorFunc(void (*)(const char*, va_list))
{
}
