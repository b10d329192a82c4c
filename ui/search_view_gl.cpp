#include "ui/overlays.h"

void drawSearchLayer() {}

void drawSearchText() {}
