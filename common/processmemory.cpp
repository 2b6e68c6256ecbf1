#include "common/processmemory.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void shareOneMallocArena()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}
