#include "tools/judge/Meanwhile.h"

#include <utility>

namespace korvane::judge {

Meanwhile::Meanwhile(std::function<void()> work, bool onItsOwnThread)
{
#if !defined(_WIN32)
    if (onItsOwnThread) {
        thread_ = std::thread([this, work = std::move(work)] { run(work); });
        return;
    }
#endif
    (void)onItsOwnThread;
    run(work);
}

Meanwhile::~Meanwhile()
{
#if !defined(_WIN32)
    if (thread_.joinable())
        thread_.join();
#endif
}

void Meanwhile::run(const std::function<void()>& work)
{
    // An exception may not leave a thread: it is kept for finish().
    try {
        work();
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void Meanwhile::finish()
{
#if !defined(_WIN32)
    if (thread_.joinable())
        thread_.join();
#endif
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}

} // namespace korvane::judge
