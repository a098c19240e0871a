#pragma once
// The plug-in's load and unload steps, called by the platform's library entry.

namespace plugin {

// Library load: nothing starts, no window opens; the process-wide objects exist.
void onLoad();

// Library unload, before any process-wide object goes. processTerminating: the process
// is ending and the system has already stopped the other threads, so nothing waits.
void onUnload(bool processTerminating);

} // namespace plugin
