// The registry of device contexts handed out by the layer (DeviceContexts.h).
#include <atomic>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "DeviceContexts.h"

namespace Gdiplus {

namespace {

struct HandedOut {
    const void* owner = nullptr;
    std::weak_ptr<DllExports::GpImage> surface;
    std::function<void()> show;  // puts the surface on screen, for a window's context
};

class Registry {
public:
    void Register(HDC hdc, const void* owner, std::shared_ptr<DllExports::GpImage> surface)
    {
        std::lock_guard<std::mutex> lock(mutex);
        live[hdc] = HandedOut{owner, std::move(surface), nullptr};
        liveCount.store(live.size() + showing.size(), std::memory_order_relaxed);
    }

    void Retire(HDC hdc)
    {
        std::lock_guard<std::mutex> lock(mutex);
        live.erase(hdc);
        std::erase_if(showing, [hdc](const auto& shown) { return shown.second == hdc; });
        liveCount.store(live.size() + showing.size(), std::memory_order_relaxed);
    }

    void SetShow(HDC hdc, std::function<void()> show)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto entry = live.find(hdc);
        if (entry != live.end()) entry->second.show = std::move(show);
    }

    void ShowWhenDrawn(const void* drawing, HDC hdc)
    {
        std::lock_guard<std::mutex> lock(mutex);
        showing[drawing] = hdc;
        liveCount.store(live.size() + showing.size(), std::memory_order_relaxed);
    }

    // Shown under the lock, so that the window cannot go meanwhile.
    void Show(const void* drawing)
    {
        if (liveCount.load(std::memory_order_relaxed) == 0) return;
        std::lock_guard<std::mutex> lock(mutex);
        ShowLocked(drawing);
    }

    void EndDrawing(const void* drawing)
    {
        // Most contexts never hand out a device context nor stand for a window: nothing to look at.
        if (liveCount.load(std::memory_order_relaxed) == 0) return;
        std::lock_guard<std::mutex> lock(mutex);
        ShowLocked(drawing);
        showing.erase(drawing);
        std::erase_if(live, [drawing](const auto& entry) { return entry.second.owner == drawing; });
        liveCount.store(live.size() + showing.size(), std::memory_order_relaxed);
    }

    DeviceContextTarget Find(HDC hdc)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto entry = live.find(hdc);
        if (entry == live.end()) return DeviceContextTarget{};
        return DeviceContextTarget{entry->second.surface.lock(), entry->second.show != nullptr};
    }

private:
    void ShowLocked(const void* drawing)
    {
        auto shown = showing.find(drawing);
        if (shown == showing.end()) return;
        auto entry = live.find(shown->second);
        if (entry != live.end() && entry->second.show) entry->second.show();
    }


    std::mutex mutex;
    std::unordered_map<HDC, HandedOut> live;
    std::unordered_map<const void*, HDC> showing;  // contexts made from a window's device context
    std::atomic<size_t> liveCount{0};              // entries in live and showing
};

// Never destroyed: contexts can end during static destruction.
Registry& TheRegistry()
{
    static Registry* registry = new Registry;
    return *registry;
}

}  // namespace

void RegisterDeviceContext(HDC hdc, const void* owner, std::shared_ptr<DllExports::GpImage> surface)
{
    if (hdc) TheRegistry().Register(hdc, owner, std::move(surface));
}

void RetireDeviceContext(HDC hdc)
{
    if (hdc) TheRegistry().Retire(hdc);
}

void ShowDeviceContextWith(HDC hdc, std::function<void()> show)
{
    if (hdc) TheRegistry().SetShow(hdc, std::move(show));
}

void ShowWhenDrawn(const void* drawing, HDC hdc) { TheRegistry().ShowWhenDrawn(drawing, hdc); }

void ShowDrawing(const void* drawing) { TheRegistry().Show(drawing); }

void EndDrawing(const void* drawing) { TheRegistry().EndDrawing(drawing); }

DeviceContextTarget FindDeviceContext(HDC hdc)
{
    if (!hdc) return DeviceContextTarget{};
    return TheRegistry().Find(hdc);
}

}  // namespace Gdiplus
