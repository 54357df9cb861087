// Global memory blocks: movable blocks are reached through a handle and locked to get their address.
#pragma once

#include "WinBool.h"
#include "WinTypes.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// A block of the given size; null when it cannot be had. A fixed block's handle is its address.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// Resizes a block (its contents kept up to the smaller size); null on failure, the old block intact.
HGLOBAL GlobalReAlloc(HGLOBAL hMem, size_t bytes, UINT flags);
// Locks the block and gives its address; null for an unknown handle or a block of size 0.
LPVOID GlobalLock(HGLOBAL hMem);
// Undoes one lock; TRUE while the block stays locked.
BOOL GlobalUnlock(HGLOBAL hMem);
size_t GlobalSize(HGLOBAL hMem);
// Frees the block; null on success, the handle itself when it names no block.
HGLOBAL GlobalFree(HGLOBAL hMem);
