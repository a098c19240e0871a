#pragma once
// What the process holds right now, for benchmarks and soak tests that must show
// that memory, handles and threads stay flat.

#include <cstddef>

namespace bench {

struct ProcessStats {
    std::size_t heapBytes = 0; // bytes in use in the C/C++ heaps
    unsigned handles = 0;      // open handles (file descriptors elsewhere)
    unsigned threads = 0;
};

ProcessStats currentProcessStats();

} // namespace bench
