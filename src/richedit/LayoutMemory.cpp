#include "richedit/LayoutMemory.h"

#include <cstdlib> // defines __GLIBC__ on glibc systems

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepLayoutMemory()
{
#if defined(__GLIBC__)
    // Large blocks from the heap rather than from separate mappings, which are returned on free.
    mallopt(M_MMAP_MAX, 0);
    // Free memory at the top of the heap is given back only past 1 GB.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}
