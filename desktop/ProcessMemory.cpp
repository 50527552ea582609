#include "desktop/ProcessMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ProcessMemory::releaseUnusedHeap()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
