// The Windows BOOL, an int, for the services that take or return one (windows, the clipboard,
// streams, extension modules). It stays out of the canvas's header because X11's <X11/Xmd.h> declares
// a BOOL of its own (an unsigned char), and an application may include both.
#pragma once

typedef int BOOL;
