#include "common/processmemory.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void shareOneMallocArena()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
    // Up to a 64-megapixel picture of 8 bytes a pixel comes from the heap and is reused there.
    mallopt(M_MMAP_THRESHOLD, 512 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

void releaseFreeMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
