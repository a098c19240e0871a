// Threads by CreateThread. A thread ends with ExitThread right after its entry returns,
// and the unload checks that it is past its last instruction inside the DLL: returning
// into code that has been unmapped crashes the host.
#include "platform/Thread.h"

#include "platform/win32/ModuleHandle.h"

#include <windows.h>

namespace platform {

class Thread {
public:
    explicit Thread(HANDLE handle) : handle(handle) {}
    HANDLE handle;
};

namespace {

struct StartBlock {
    ThreadEntry entry;
    void* context;
    HANDLE running;
};

DWORD WINAPI threadMain(LPVOID parameter)
{
    StartBlock* start = static_cast<StartBlock*>(parameter);
    const ThreadEntry entry = start->entry;
    void* const context = start->context;
    SetEvent(start->running); // start lives on the starter's stack: not touched after this
    ExitThread(entry(context));
}

// The address range of the module that holds this code (the DLL, or the test program
// that links it statically).
bool insideThisModule(DWORD address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&threadMain), &module))
        return false;
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const DWORD start = reinterpret_cast<DWORD>(base);
    return address >= start && address - start < nt->OptionalHeader.SizeOfImage;
}

bool hasEnded(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

} // namespace

Thread* startThread(ThreadEntry entry, void* context)
{
    StartBlock start{entry, context, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    if (!start.running)
        return nullptr;
    HANDLE handle = CreateThread(nullptr, 0, threadMain, &start, 0, nullptr);
    if (handle) {
        // Until it runs, a new thread waits for the loader's lock; an unload that came
        // first would leave it to start in unmapped code.
        HANDLE events[] = {start.running, handle};
        WaitForMultipleObjects(2, events, FALSE, INFINITE);
    }
    CloseHandle(start.running);
    return handle ? new Thread(handle) : nullptr;
}

bool isRunning(Thread* thread) { return thread && !hasEnded(thread->handle); }

void waitUntilOutsideLibrary(Thread* thread)
{
    if (!thread)
        return;
    // Waiting for the thread's end would deadlock under the loader's lock, which an
    // ending thread needs. Its instruction pointer tells enough.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (hasEnded(thread->handle))
            return;
        if (SuspendThread(thread->handle) == static_cast<DWORD>(-1))
            return; // gone
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        const bool known = GetThreadContext(thread->handle, &context);
        ResumeThread(thread->handle);
        if (known && !insideThisModule(context.Eip))
            return;
        Sleep(1);
    }
}

void releaseThread(Thread* thread)
{
    if (!thread)
        return;
    CloseHandle(thread->handle);
    delete thread;
}

} // namespace platform
