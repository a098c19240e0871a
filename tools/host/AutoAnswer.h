#pragma once
// Answers, without an operator, the modal dialogs and message boxes that the calling
// thread opens while an AutoAnswer lives: each one is confirmed with OK as soon as it
// has been set up, after its caption and text have gone to the listener and the texts
// given to type have been typed into its controls. Stand-in hosts use it to run the
// plug-in unattended. Where the plug-in shows no real windows (the Linux build), its
// headless dialogs answer themselves and active() is false; the texts to type reach them
// through the environment (contract/HeadlessInput.h) while the AutoAnswer lives.

#include "contract/HeadlessInput.h"

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

    // One at a time per process; a second one stays inactive. typed: texts (in the
    // plug-in's code page) for the controls of a dialog that has them, typed before OK;
    // a message box gets none.
    explicit AutoAnswer(Listener listener, std::vector<headless_input::TypedText> typed = {});
    ~AutoAnswer(); // NOLINT(performance-trivially-destructible): not trivial on Windows
    AutoAnswer(const AutoAnswer&) = delete;
    AutoAnswer& operator=(const AutoAnswer&) = delete;

    bool active() const { return hook_ != nullptr; }

private:
    void* hook_ = nullptr;
    bool typing_ = false; // the texts to type are given out for this one's lifetime
};

} // namespace host
