// Every key and mouse command in English, one per line, for the help overlay
// and the command line's --help.
#pragma once

// "KEY  what it does" lines, in the order they are shown.
extern const char* const kHelpLines[];
extern const int kHelpLineCount;
