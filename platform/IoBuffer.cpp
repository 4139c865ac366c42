#include "platform/IoBuffer.h"

#include <sys/mman.h>

void* AllocBuffer(size_t nBytes)
{
    if (nBytes == 0)
        return nullptr;
    // Anonymous pages are page-aligned and read as zeros.
    void* p = mmap(nullptr, nBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

void FreeBuffer(void* pBuffer, size_t nBytes)
{
    if (pBuffer && nBytes)
        munmap(pBuffer, nBytes);
}
