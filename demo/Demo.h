// Pages of the demo: each draws on a fresh canvas of the page size.
#pragma once

#include <string>

#include "FxPictor.h"

const int kPageWidth = 800;
const int kPageHeight = 600;

struct DemoPage {
    const char* name;
    void (*draw)(CFxPictor& canvas);
};

void DrawCorePage(CFxPictor& canvas);
void DrawPixelsPage(CFxPictor& canvas);
void DrawShapesPage(CFxPictor& canvas);
void DrawImagesPage(CFxPictor& canvas);
void DrawTextPage(CFxPictor& canvas);
// Where pages write files of their own besides the page PNG (the demo's output folder).
extern std::string g_demoOutputFolder;

// One frame of an application's window: what its paint handler draws, at the canvas's size, with a
// picture canvas filled earlier laid over it.
void DrawFrame(CFxPictor& canvas, CFxPictor& picture);

// Shows the frame in a window until it is closed, or for the given seconds when above 0; then writes
// a screenshot of the window when a path is given. The frame's picture is loaded from the given file.
// False when no window can be opened.
bool RunWindow(const std::string& picturePath, double seconds, const std::string& screenshotPath);
