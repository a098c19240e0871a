// The locks of the C++ runtime, on slim reader/writer locks instead of semaphores.
//
// The runtime linked statically into the DLL makes its locks (the exception buffer's,
// the one behind function-local statics) with CreateSemaphore and never closes them:
// every load of the plug-in would leave a handle behind in the host. Defining the
// runtime's lock functions here keeps its own versions out of the link; an SRWLOCK is a
// single pointer, fits the field that held the semaphore, and needs no handle at all.
// Layouts and results follow the runtime's win32 thread model.
#include <windows.h>

extern "C" {

struct RuntimeOnce {
    int done;
    long started; // -1 until the first caller claims it
};

struct RuntimeMutex {
    long counter;
    void* lock; // SRWLOCK
};

struct RuntimeRecursiveMutex {
    long counter;
    int depth;
    unsigned long owner;
    void* lock; // SRWLOCK
};

int __mingwthr_key_dtor(DWORD key, void (*dtor)(void*)); // NOLINT(bugprone-reserved-identifier)

// NOLINTBEGIN(bugprone-reserved-identifier): the runtime's own names

int __gthr_win32_once(RuntimeOnce* once, void (*func)())
{
    if (!once || !func)
        return ERROR_INVALID_PARAMETER;
    if (!once->done) {
        if (InterlockedIncrement(&once->started) == 0) {
            func();
            once->done = TRUE;
        } else {
            while (!once->done)
                Sleep(0);
        }
    }
    return 0;
}

int __gthr_win32_key_create(unsigned long* key, void (*dtor)(void*))
{
    const DWORD index = TlsAlloc();
    if (index == TLS_OUT_OF_INDEXES)
        return static_cast<int>(GetLastError());
    *key = index;
    return dtor ? __mingwthr_key_dtor(index, dtor) : 0;
}

int __gthr_win32_key_delete(unsigned long key)
{
    return TlsFree(key) ? 0 : static_cast<int>(GetLastError());
}

void* __gthr_win32_getspecific(unsigned long key)
{
    const DWORD lastError = GetLastError(); // callers do not expect it changed
    void* value = TlsGetValue(key);
    SetLastError(lastError);
    return value;
}

int __gthr_win32_setspecific(unsigned long key, const void* value)
{
    return TlsSetValue(key, const_cast<void*>(value)) ? 0 : static_cast<int>(GetLastError());
}

void __gthr_win32_mutex_init_function(RuntimeMutex* mutex)
{
    mutex->counter = -1;
    mutex->lock = nullptr;
}

void __gthr_win32_mutex_destroy(RuntimeMutex*) {}

int __gthr_win32_mutex_lock(RuntimeMutex* mutex)
{
    AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&mutex->lock));
    return 0;
}

int __gthr_win32_mutex_trylock(RuntimeMutex* mutex)
{
    return TryAcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&mutex->lock)) ? 0 : 1;
}

int __gthr_win32_mutex_unlock(RuntimeMutex* mutex)
{
    ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&mutex->lock));
    return 0;
}

void __gthr_win32_recursive_mutex_init_function(RuntimeRecursiveMutex* mutex)
{
    mutex->counter = -1;
    mutex->depth = 0;
    mutex->owner = 0;
    mutex->lock = nullptr;
}

int __gthr_win32_recursive_mutex_lock(RuntimeRecursiveMutex* mutex)
{
    const DWORD me = GetCurrentThreadId();
    if (mutex->owner != me) {
        AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&mutex->lock));
        mutex->owner = me;
    }
    ++mutex->depth;
    return 0;
}

int __gthr_win32_recursive_mutex_trylock(RuntimeRecursiveMutex* mutex)
{
    const DWORD me = GetCurrentThreadId();
    if (mutex->owner != me) {
        if (!TryAcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&mutex->lock)))
            return 1;
        mutex->owner = me;
    }
    ++mutex->depth;
    return 0;
}

int __gthr_win32_recursive_mutex_unlock(RuntimeRecursiveMutex* mutex)
{
    if (--mutex->depth == 0) {
        mutex->owner = 0;
        ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&mutex->lock));
    }
    return 0;
}

int __gthr_win32_recursive_mutex_destroy(RuntimeRecursiveMutex*) { return 0; }

// NOLINTEND(bugprone-reserved-identifier)

} // extern "C"

static_assert(sizeof(SRWLOCK) == sizeof(void*), "an SRWLOCK fits the runtime's lock field");
