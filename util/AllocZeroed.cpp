#include "util/AllocZeroed.h"

#include "util/Messages.h"

#include <cstdlib>
#include <utility>

namespace {
void* CallocAllocator(std::size_t nCount, std::size_t nSize)
{
    return std::calloc(nCount, nSize);
}

ZeroedAllocator g_pfnAllocator = &CallocAllocator;
}

void* AllocZeroed(std::size_t nSize)
{
    if (nSize == 0)
        return nullptr;
    void* pBlock = g_pfnAllocator(1, nSize);
    if (!pBlock)
        FatalError(1, "Memory allocation failed.");
    return pBlock;
}

ZeroedAllocator SetZeroedAllocator(ZeroedAllocator pfnAllocator)
{
    return std::exchange(g_pfnAllocator, pfnAllocator ? pfnAllocator : &CallocAllocator);
}
