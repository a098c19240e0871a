#include "tools/robot/PluginWorker.h"

#include <cassert>

namespace korvane::robot {

PluginWorker::~PluginWorker()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool PluginWorker::start(const PluginChoice& choice, const std::string& workFolder, std::string* error)
{
    workFolder_ = workFolder;
    std::promise<std::string> started;
    std::future<std::string> result = started.get_future();
    thread_ = std::thread(&PluginWorker::loop, this, std::move(started), choice);
    *error = result.get();
    if (error->empty())
        return true;
    thread_.join();
    return false;
}

void PluginWorker::loop(std::promise<std::string> started, const PluginChoice& choice)
{
    PluginSession session;
    std::string error;
    if (!openWithTourClock(session, choice, workFolder_, &error)) {
        started.set_value(error.empty() ? "cannot use the plug-in" : error);
        return;
    }
    keepWindowClosed();
    started.set_value("");
    const std::thread::id self = std::this_thread::get_id();
    for (;;) {
        std::packaged_task<void(PluginSession&)> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                break;
            task = std::move(queue_.front());
            queue_.pop_front();
            threads_.insert(self);
        }
        assert(std::this_thread::get_id() == self);
        task(session);
    }
    // Jobs left behind fail their futures as the queue drops them.
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
}

std::future<void> PluginWorker::post(Job job)
{
    std::packaged_task<void(PluginSession&)> task(std::move(job));
    std::future<void> done = task.get_future();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!stopping_ && thread_.joinable()) {
            queue_.push_back(std::move(task));
            wake_.notify_one();
            return done;
        }
    }
    return done; // the task is dropped here: the future reports a broken promise
}

bool PluginWorker::run(Job job)
{
    std::future<void> done = post(std::move(job));
    try {
        done.get();
        return true;
    } catch (...) { // a broken promise, or the job failed
        return false;
    }
}

std::size_t PluginWorker::threadsSeen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_.size();
}

} // namespace korvane::robot
