#include "tools/judge/Meanwhile.h"

#include <utility>

namespace korvane::judge {

Meanwhile::Meanwhile(std::function<void()> work)
{
#if defined(_WIN32)
    run(work);
#else
    thread_ = std::thread([this, work = std::move(work)] { run(work); });
#endif
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
