#pragma once
// The one thread that ever calls the plug-in. The plug-in keeps process-wide state and
// takes the process's current directory for the host's, so one session, loaded once in
// its work folder, runs every job in turn: each caller queues a job and waits for it.

#include "tools/host/PluginSession.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace korvane::robot {

class PluginWorker {
public:
    using Job = std::function<void(PluginSession&)>;

    PluginWorker() = default;
    ~PluginWorker(); // finishes the job it is on, drops the rest
    PluginWorker(const PluginWorker&) = delete;
    PluginWorker& operator=(const PluginWorker&) = delete;

    // Starts the thread, which loads the plug-in and enters workFolder (an absolute path).
    // False with the reason when the plug-in cannot be used.
    bool start(const PluginChoice& choice, const std::string& workFolder, std::string* error);

    // Queues the job; the future is ready when it has run (or the worker stopped first:
    // then it holds an exception).
    std::future<void> post(Job job);
    // Queues the job and waits for it; false when the worker stopped before running it.
    bool run(Job job);

    const std::string& workFolder() const { return workFolder_; }
    // Every thread a job ran on; one while the worker lives.
    std::size_t threadsSeen() const;

private:
    void loop(std::promise<std::string> started, const PluginChoice& choice);

    std::string workFolder_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void(PluginSession&)>> queue_;
    bool stopping_ = false;
    std::set<std::thread::id> threads_;
};

} // namespace korvane::robot
