// Pages of the demo: each draws on a fresh canvas of the page size.
#pragma once

#include "FxPictor.h"

const int kPageWidth = 800;
const int kPageHeight = 600;

struct DemoPage {
    const char* name;
    void (*draw)(CFxPictor& canvas);
};

void DrawCorePage(CFxPictor& canvas);
