// Canvases that share a bitmap and a drawing context by assignment must release them once.
// This keeps a count of extra holders per object; an object without an entry has one holder.
#pragma once

namespace pictor {

// One more canvas holds the object.
void AddHolder(const void* object);

// One canvas lets go of the object; true when it was the last holder and must delete it.
bool DropHolder(const void* object);

}  // namespace pictor
