#pragma once
// Answers, without an operator, the modal dialogs and message boxes that the calling
// thread opens while an AutoAnswer lives: each one is confirmed with OK as soon as it
// has been set up, after its caption and text have gone to the listener. Stand-in hosts
// use it to run the plug-in unattended. Where the plug-in shows no real windows (the
// Linux build), it does nothing and active() is false.

#include <functional>
#include <string>

namespace host {

struct AnsweredWindow {
    std::string caption;
    std::string text;        // a message box's message; empty for other dialogs
    bool messageBox = false;
};

class AutoAnswer {
public:
    using Listener = std::function<void(const AnsweredWindow&)>;

    // One at a time per process; a second one stays inactive.
    explicit AutoAnswer(Listener listener);
    ~AutoAnswer(); // NOLINT(performance-trivially-destructible): not trivial on Windows
    AutoAnswer(const AutoAnswer&) = delete;
    AutoAnswer& operator=(const AutoAnswer&) = delete;

    bool active() const { return hook_ != nullptr; }

private:
    void* hook_ = nullptr;
};

} // namespace host
