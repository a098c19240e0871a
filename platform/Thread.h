#pragma once
// Threads of the plug-in's own. The DLL is built with the win32 thread model, which has
// no std::thread; and a library that can be unloaded while one of its threads runs must
// be able to tell when that thread has left the library's code for good.

namespace platform {

class Thread;

// What a thread runs, given the context it was started with; its result is the thread's
// exit code. The thread ends straight after it returns.
using ThreadEntry = unsigned (*)(void* context);

// Starts entry(context) on a new thread and returns once the thread runs entry: a library
// that is unloaded afterwards never has a thread still on its way in. Null when no thread
// could be made.
Thread* startThread(ThreadEntry entry, void* context);

// False once the thread has ended, also when the system ended it.
bool isRunning(Thread* thread);

// Returns once the thread runs none of the library's code any more. Only for a thread
// whose entry is about to return or has returned; safe under the loader's lock.
void waitUntilOutsideLibrary(Thread* thread);

// Forgets the thread (it runs on if it still runs). Null is fine.
void releaseThread(Thread* thread);

} // namespace platform
