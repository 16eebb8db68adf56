// Counts the live C++ heap allocations of the test process, through replaced operator new and
// delete, so that a long run can show it keeps no more memory than it held after its first round.
#pragma once

#include <cstdint>

struct HeapUse {
    int64_t blocks; // allocations not yet freed
    int64_t bytes;  // their usable sizes
};

// False in a sanitized build, where the sanitizer's own operator new stays in place (it checks
// every new against its delete) and nothing is counted.
bool HeapCounting();
HeapUse LiveHeap();
