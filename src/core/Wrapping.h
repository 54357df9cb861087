// Coordinate arithmetic on 32-bit ints that wraps on overflow, as the canvas's members compute their
// edges and offsets, without the undefined behaviour of signed overflow.
#pragma once

namespace pictor {

inline int WrapAdd(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b)); }
inline int WrapSub(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b)); }
inline int WrapMul(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) * static_cast<unsigned>(b)); }

}  // namespace pictor
