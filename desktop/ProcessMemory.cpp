#include "desktop/ProcessMemory.h"

// A C library header defines __GLIBC__; without one the check below is never true.
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

bool ProcessMemory::releaseUnusedHeap()
{
#if defined(__GLIBC__)
    return malloc_trim(0) == 1;
#else
    return false;
#endif
}
