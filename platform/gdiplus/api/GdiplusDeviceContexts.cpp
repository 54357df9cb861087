// The registry of device contexts handed out by the layer (DeviceContexts.h).
#include <atomic>
#include <deque>
#include <functional>
#include <iterator>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "DeviceContexts.h"

namespace Gdiplus {

namespace {

// Gone contexts are remembered up to this many; beyond it the oldest is forgotten (and would again be taken
// for a context made elsewhere).
constexpr size_t kRememberedGone = 4096;

struct HandedOut {
    const void* owner = nullptr;
    std::weak_ptr<DllExports::GpImage> surface;
    bool layerSurface = false;   // false: a context the engine draws itself
    std::function<void()> show;  // puts the surface on screen, for a window's context
};

class Registry {
public:
    void Register(HDC hdc, const void* owner, std::shared_ptr<DllExports::GpImage> surface)
    {
        std::lock_guard<std::mutex> lock(mutex);
        ForgetGone(hdc);
        const bool layerSurface = surface != nullptr;
        live[hdc] = HandedOut{owner, std::move(surface), layerSurface, nullptr};
        liveCount.store(live.size() + showing.size(), std::memory_order_relaxed);
    }

    void Retire(HDC hdc)
    {
        std::lock_guard<std::mutex> lock(mutex);
        live.erase(hdc);
        std::erase_if(showing, [hdc](const auto& shown) { return shown.second == hdc; });
        liveCount.store(live.size() + showing.size(), std::memory_order_relaxed);
        RememberGone(hdc);
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
        for (auto entry = live.begin(); entry != live.end();) {
            if (entry->second.owner != drawing) {
                ++entry;
                continue;
            }
            RememberGone(entry->first);
            entry = live.erase(entry);
        }
        liveCount.store(live.size() + showing.size(), std::memory_order_relaxed);
    }

    DeviceContextTarget Find(HDC hdc)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (gone.count(hdc)) return DeviceContextTarget{true, nullptr};
        auto entry = live.find(hdc);
        if (entry == live.end() || !entry->second.layerSurface) return DeviceContextTarget{};
        std::shared_ptr<DllExports::GpImage> surface = entry->second.surface.lock();
        return DeviceContextTarget{surface == nullptr, surface, entry->second.show != nullptr};
    }

private:
    void ShowLocked(const void* drawing)
    {
        auto shown = showing.find(drawing);
        if (shown == showing.end()) return;
        auto entry = live.find(shown->second);
        if (entry != live.end() && entry->second.show) entry->second.show();
    }

    void RememberGone(HDC hdc)
    {
        if (!gone.insert(hdc).second) return;
        goneOrder.push_back(hdc);
        if (goneOrder.size() <= kRememberedGone) return;
        gone.erase(goneOrder.front());
        goneOrder.pop_front();
    }

    // A handle that is handed out again (the engine reuses the memory) is no longer gone.
    void ForgetGone(HDC hdc)
    {
        if (gone.erase(hdc) == 0) return;
        // The engine reuses recently freed memory first: the handle is most likely near the back.
        for (auto it = goneOrder.rbegin(); it != goneOrder.rend(); ++it)
            if (*it == hdc) {
                goneOrder.erase(std::next(it).base());
                break;
            }
    }

    std::mutex mutex;
    std::unordered_map<HDC, HandedOut> live;
    std::unordered_map<const void*, HDC> showing;  // contexts made from a window's device context
    std::atomic<size_t> liveCount{0};              // entries in live and showing
    std::unordered_set<HDC> gone;
    std::deque<HDC> goneOrder;
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
