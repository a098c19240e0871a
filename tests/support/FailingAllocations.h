#pragma once
// Out of memory on demand: replaces the program's global operator new and delete so that
// a test can make one chosen allocation of its own thread throw std::bad_alloc. Other
// threads are never failed, and until a test arms it the replacement behaves like the
// library's own.
//
// The replacement functions are defined here, not inline, as the language requires:
// include this header in exactly one source file of a test program.
//
// Natively the plug-in loaded from libStats.so allocates through these too. A Windows DLL
// is linked with its own copy of the C++ runtime and never sees them.

#include <cstddef>
#include <cstdlib>
#include <new>

namespace failing_allocations {

namespace detail {
inline thread_local long countdown = 0; // 0: disarmed; n: the nth allocation from now fails
inline thread_local long counted = 0;   // allocations since armed
inline thread_local bool failed = false;

inline void* allocate(std::size_t size)
{
    if (countdown != 0) {
        ++counted;
        if (--countdown == 0) {
            failed = true;
            throw std::bad_alloc();
        }
    }
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace detail

// The calling thread's nth allocation from now on (1: the next one) throws; the ones
// before it succeed. n = 0 disarms.
inline void failAt(long n)
{
    detail::countdown = n;
    detail::counted = 0;
    detail::failed = false;
}

// Disarms; true when the armed allocation was reached and failed.
inline bool disarm()
{
    const bool failed = detail::failed;
    detail::countdown = 0;
    return failed;
}

// Calls f with the nth allocation failing, for n = 1, 2, ... until a call runs through
// without reaching it; after each failed call (f threw, or caught the failure itself)
// check(n) looks at what it left behind. Returns how many calls failed.
template <typename F, typename Check>
long failEachAllocation(F&& f, Check&& check)
{
    for (long n = 1;; ++n) {
        bool threw = false;
        failAt(n);
        try {
            f();
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        const bool failed = disarm();
        if (!failed && !threw)
            return n - 1;
        check(n);
    }
}

} // namespace failing_allocations

// Seen by every library of the process, the C++ runtime's own among them, whatever the
// build's default visibility: clang declares no sized delete in <new> that would say so.
#pragma GCC visibility push(default)
void* operator new(std::size_t size) { return failing_allocations::detail::allocate(size); }
void* operator new[](std::size_t size) { return failing_allocations::detail::allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return failing_allocations::detail::allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return failing_allocations::detail::allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC visibility pop
