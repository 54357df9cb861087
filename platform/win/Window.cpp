#include "Window.h"

HDC GetWindowDC(HWND hwnd) { return hwnd ? hwnd->clientDC : nullptr; }
