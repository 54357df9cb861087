// libgdiplus lays text out with pango, whose font map and layouts crash or deadlock when two threads
// use them at once (GDI+ takes text on any thread). Every call of the layer into the engine's fonts and
// text holds this one process-wide lock.
#pragma once

#include <mutex>

namespace Gdiplus {

// Held until the returned lock goes out of scope.
std::unique_lock<std::mutex> LockEngineText();

}  // namespace Gdiplus
