// The device contexts the layer has handed out, and what each draws into. Graphics::GetHDC registers the
// context it hands out with the surface it draws on, so that a Graphics made later from that HDC draws on
// the same surface through the layer; a context that was released, or whose owner has gone, is remembered
// as gone, so that a Graphics made from it fails instead of reading freed memory. Safe from any thread.
#pragma once

#include <memory>

#include "../Gdiplus.h"

namespace Gdiplus {

/// What a device context stands for.
struct DeviceContextTarget {
    bool gone = false;                             // released, or its owner has gone: nothing to draw on
    std::shared_ptr<DllExports::GpImage> surface;  // the image it draws on; null when unknown to the layer
};

/// Records hdc, handed out by owner, as drawing on surface (null: a context the engine draws itself).
void RegisterDeviceContext(HDC hdc, const void* owner, std::shared_ptr<DllExports::GpImage> surface);
/// The context was released, or deleted by whoever made it: from now on it is gone.
void RetireDeviceContext(HDC hdc);
/// Every context owner handed out and has not released is gone with it.
void RetireDeviceContextsOf(const void* owner);
/// What hdc draws on, as far as the layer knows.
DeviceContextTarget FindDeviceContext(HDC hdc);

}  // namespace Gdiplus
