// The event loop's wake-up hook: anything that may have changed what the
// root widget would answer (a message sent, a cell written) calls it.
#pragma once

namespace vimo_ui {

using WakeFn = void (*)(void* context);

// Installed by the event loop (one at a time); null uninstalls.
void set_event_loop_waker(WakeFn fn, void* context);

// Safe from any thread; a no-op while no loop is installed.
void wake_event_loop();

}  // namespace vimo_ui
