#pragma once
// The always-on-top list of the distinct calls worked, run modally on the window thread.
// Every handler runs on that thread; the host's thread reaches the window only through
// its WindowHost.

#include "platform/Dialog.h"

#include <cstdint>

class WindowHost;

class MultiplierWindow : public platform::dialog::Dialog {
public:
    using Message = platform::dialog::Message;
    using Result = platform::dialog::Result;

    // Private messages. Any program can post them, so none carries a pointer or a size.
    // From the host's thread; wParam: the delay in ms, held to 10..1000.
    static constexpr unsigned kRearmRefresh = platform::dialog::kPrivateFirst;
    // Posted to itself once shown: arrives when the window is up.
    static constexpr unsigned kUp = platform::dialog::kPrivateFirst + 1;

    static constexpr unsigned kRefreshTimerId = 1443;
    static constexpr platform::dialog::Colour kListBackground = 0x00C6FAFF;

    // host: the window's host, which outlives it; it gives the list to show and keeps
    // the position, and learns when the window is up and when it goes.
    explicit MultiplierWindow(WindowHost& host);
    ~MultiplierWindow() override;

    // Arms RefreshTimer for the delay; a pending countdown starts again.
    void scheduleRefresh(unsigned milliseconds);

protected:
    const platform::dialog::MessageTable& messageTable() const override { return kMessages; }
    bool onInitDialog() override;

private:
    Result refresh(const Message& message);
    Result savePosition(const Message& message);
    Result listColours(const Message& message);
    Result layout(const Message& message);
    Result rearmRefresh(const Message& message);
    Result destroying(const Message& message);
    Result up(const Message& message);

    static const platform::dialog::MessageEntry kEntries[];
    // Each class's own table hides its base's on purpose; it chains to it.
    // cppcheck-suppress duplInheritedMember
    static const platform::dialog::MessageTable kMessages;

    WindowHost& host_;
    platform::dialog::Brush ListBrush = nullptr;
    // The list's generation that the list box shows; none before the first refresh.
    std::uint64_t shownGeneration_ = ~std::uint64_t{0};
};
