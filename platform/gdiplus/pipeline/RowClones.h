// The pixel row loops are built for AVX2 and for any x86-64, and the loader picks one for the machine.
#pragma once

// ThreadSanitizer cannot start a program whose loader runs such picks, so its build has them plain.
#if defined(__SANITIZE_THREAD__)
#define PICTOR_ROW_CLONES
#else
#define PICTOR_ROW_CLONES __attribute__((target_clones("avx2", "default")))
#endif
