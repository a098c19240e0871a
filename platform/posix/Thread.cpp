// Threads by std::thread. Leaving the library's code means ending: the unload joins.
#include "platform/Thread.h"

#include <atomic>
#include <future>
#include <memory>
#include <thread>

namespace platform {

class Thread {
public:
    std::thread thread;
    // Shared with the thread, which may outlive this object once released.
    std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
};

Thread* startThread(ThreadEntry entry, void* context)
{
    Thread* t = new Thread;
    std::promise<void> running;
    std::future<void> started = running.get_future();
    try {
        t->thread = std::thread([ended = t->ended, entry, context, &running] {
            running.set_value();
            entry(context);
            ended->store(true);
        });
    } catch (const std::system_error&) {
        delete t;
        return nullptr;
    }
    started.wait();
    return t;
}

bool isRunning(Thread* thread) { return thread && !thread->ended->load(); }

void waitUntilOutsideLibrary(Thread* thread)
{
    if (thread && thread->thread.joinable())
        thread->thread.join();
}

void releaseThread(Thread* thread)
{
    if (!thread)
        return;
    if (thread->thread.joinable())
        thread->thread.detach();
    delete thread;
}

} // namespace platform
