#include "SharedObjects.h"

#include <mutex>
#include <unordered_map>

namespace pictor {

namespace {

// Distinct canvases may live on different threads, so the shared table is locked.
std::mutex& TableLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<const void*, int>& ExtraHolders()
{
    static std::unordered_map<const void*, int> table;
    return table;
}

}  // namespace

void AddHolder(const void* object)
{
    if (!object) return;
    std::lock_guard<std::mutex> guard(TableLock());
    ++ExtraHolders()[object];
}

bool DropHolder(const void* object)
{
    if (!object) return false;
    std::lock_guard<std::mutex> guard(TableLock());
    auto& table = ExtraHolders();
    auto it = table.find(object);
    if (it == table.end()) return true;
    if (--it->second == 0) table.erase(it);
    return false;
}

}  // namespace pictor
