// Replaced global operator new and delete that keep a count of live blocks and bytes. Every form
// of new and delete lands here, so the count covers the game, the platform and the tests alike.
#include "heap_counter.h"

#ifndef ORBIT_SANITIZED

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#include <malloc.h>

namespace {
std::atomic<int64_t> g_blocks{0};
std::atomic<int64_t> g_bytes{0};

void* Allocate(std::size_t size, std::size_t alignment)
{
    if (size == 0)
        size = 1;
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t))
        block = std::malloc(size);
    else if (posix_memalign(&block, alignment, size) != 0)
        block = nullptr;
    if (block) {
        g_blocks.fetch_add(1, std::memory_order_relaxed);
        g_bytes.fetch_add(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
    }
    return block;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment)
{
    for (;;) {
        if (void* block = Allocate(size, alignment))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void Free(void* block)
{
    if (!block)
        return;
    g_blocks.fetch_sub(1, std::memory_order_relaxed);
    g_bytes.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
    std::free(block);
}

constexpr std::size_t PLAIN = alignof(std::max_align_t);
} // namespace

bool HeapCounting()
{
    return true;
}

HeapUse LiveHeap()
{
    return {g_blocks.load(), g_bytes.load()};
}

void* operator new(std::size_t size)
{
    return AllocateOrThrow(size, PLAIN);
}
void* operator new[](std::size_t size)
{
    return AllocateOrThrow(size, PLAIN);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return AllocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, PLAIN);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, PLAIN);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return Allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return Allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept
{
    Free(block);
}
void operator delete[](void* block) noexcept
{
    Free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Free(block);
}
void operator delete(void* block, std::align_val_t) noexcept
{
    Free(block);
}
void operator delete[](void* block, std::align_val_t) noexcept
{
    Free(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept
{
    Free(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept
{
    Free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Free(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    Free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    Free(block);
}

#else

bool HeapCounting()
{
    return false;
}

HeapUse LiveHeap()
{
    return {0, 0};
}

#endif
