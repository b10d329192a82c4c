#include "ui/search_view.h"

void toggleSearchView() {}
void cycleSearchMode() {}
void toggleReplay() {}
void stepReplay(int) {}
void scaleReplaySpeed(bool) {}
void inspectAt(int, int) {}
void openHelp() {}
bool helpIsOpen()
{
    return false;
}
void closeHelp() {}
void exportPicture() {}
