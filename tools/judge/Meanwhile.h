#pragma once
// Work done on a second thread while the caller goes on, and waited for at the latest
// when the object goes. Where the judge starts no threads (Windows), or the caller asks
// for no thread, the work is done at once, before the constructor returns.

#include <exception>
#include <functional>

#if !defined(_WIN32)
#include <thread>
#endif

namespace korvane::judge {

class Meanwhile {
public:
    explicit Meanwhile(std::function<void()> work, bool onItsOwnThread = true);
    ~Meanwhile();
    Meanwhile(const Meanwhile&) = delete;
    Meanwhile& operator=(const Meanwhile&) = delete;

    // Waits for the work; what it threw is thrown here.
    void finish();

private:
    void run(const std::function<void()>& work);

    std::exception_ptr failure_;
#if !defined(_WIN32)
    std::thread thread_;
#endif
};

// work(0) on this thread and work(1) meanwhile on a second one (or both here, in turn,
// unless `beside`), both done when it returns. Each half may change only what is its own.
template <typename Work>
void inTwoHalves(bool beside, const Work& work)
{
    Meanwhile second([&] { work(1); }, beside);
    work(0);
    second.finish();
}

} // namespace korvane::judge
