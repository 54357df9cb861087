// The device contexts the layer has handed out, and what each draws into. Graphics::GetHDC registers the
// context it hands out with the surface it draws on, so that a Graphics made later from that HDC draws on
// the same surface through the layer; a context that was released, or whose owner has gone, is forgotten,
// so that a Graphics made from it fails instead of reading freed memory. Safe from any thread.
#pragma once

#include <functional>
#include <memory>

#include "../Gdiplus.h"

namespace Gdiplus {

/// What a device context stands for.
struct DeviceContextTarget {
    std::shared_ptr<DllExports::GpImage> surface;  // the image it draws on; null when unknown or gone
    bool shown = false;                            // the surface stands for a window, which shows it
};

/// Records hdc, handed out by owner, as drawing on surface.
void RegisterDeviceContext(HDC hdc, const void* owner, std::shared_ptr<DllExports::GpImage> surface);
/// The context was released, or deleted by whoever made it: from now on it is unknown.
void RetireDeviceContext(HDC hdc);
/// What hdc draws on, as far as the layer knows.
DeviceContextTarget FindDeviceContext(HDC hdc);

/// hdc's surface stands for a window: show() puts it on screen, whenever a context made from hdc is
/// flushed or ends, until hdc is gone.
void ShowDeviceContextWith(HDC hdc, std::function<void()> show);
/// The context drawing (a Graphics made from hdc) shows hdc's surface when it is flushed or ends.
void ShowWhenDrawn(const void* drawing, HDC hdc);
/// Shows the surface the context drawing was made on, if it stands for a window.
void ShowDrawing(const void* drawing);
/// The context drawing ends: its surface is shown a last time, and every context it handed out is gone.
void EndDrawing(const void* drawing);

}  // namespace Gdiplus
