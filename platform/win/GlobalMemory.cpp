#include "GlobalMemory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
    void* data = nullptr;
    size_t size = 0;
    UINT flags = 0;
    int locks = 0;
};

// Handles are checked against the live blocks, so a wrong or stale handle fails instead of crashing.
struct BlockTable {
    std::mutex lock;
    std::unordered_map<HGLOBAL, Block*> blocks;
};

BlockTable& Table()
{
    static auto* table = new BlockTable();
    return *table;
}

Block* Find(HGLOBAL handle)
{
    auto& blocks = Table().blocks;
    auto it = blocks.find(handle);
    return it == blocks.end() ? nullptr : it->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    bool moveable = (flags & GMEM_MOVEABLE) != 0;
    // A zero-size movable block is a handle without memory, as on Windows; a fixed block needs an
    // address of its own even then, since that address is its handle.
    void* data = nullptr;
    if (bytes || !moveable) {
        data = std::malloc(bytes ? bytes : 1);
        if (!data) return nullptr;
        if (flags & GMEM_ZEROINIT) std::memset(data, 0, bytes);
    }
    auto* block = new Block{data, bytes, flags, 0};
    HGLOBAL handle = moveable ? static_cast<HGLOBAL>(block) : data;
    std::lock_guard<std::mutex> guard(Table().lock);
    Table().blocks[handle] = block;
    return handle;
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, size_t bytes, UINT flags)
{
    std::lock_guard<std::mutex> guard(Table().lock);
    Block* block = Find(hMem);
    // A fixed block's handle is its address, which moving would change.
    if (!block || !(block->flags & GMEM_MOVEABLE) || block->locks > 0) return nullptr;
    void* data = bytes ? std::realloc(block->data, bytes) : nullptr;
    if (bytes && !data) return nullptr;
    if (!bytes) std::free(block->data);
    if (data && (flags & GMEM_ZEROINIT) && bytes > block->size)
        std::memset(static_cast<BYTE*>(data) + block->size, 0, bytes - block->size);
    block->data = data;
    block->size = bytes;
    return hMem;
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(Table().lock);
    Block* block = Find(hMem);
    if (!block || !block->data) return nullptr;
    if (block->flags & GMEM_MOVEABLE) ++block->locks;
    return block->data;
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(Table().lock);
    Block* block = Find(hMem);
    if (!block || block->locks == 0) return FALSE;
    return --block->locks > 0 ? TRUE : FALSE;
}

size_t GlobalSize(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(Table().lock);
    Block* block = Find(hMem);
    return block ? block->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> guard(Table().lock);
    Block* block = Find(hMem);
    if (!block) return hMem;
    Table().blocks.erase(hMem);
    std::free(block->data);
    delete block;
    return nullptr;
}
