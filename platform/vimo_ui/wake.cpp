// A single installed waker, readable from any thread without a lock on the
// hot path.
#include "vimo_ui/wake.h"

#include <mutex>
#include <shared_mutex>

namespace vimo_ui {
namespace {
std::shared_mutex waker_mutex;
WakeFn waker_fn = nullptr;
void* waker_context = nullptr;
}  // namespace

void set_event_loop_waker(WakeFn fn, void* context) {
  std::unique_lock lock(waker_mutex);
  waker_fn = fn;
  waker_context = context;
}

void wake_event_loop() {
  // Shared lock: the loop cannot uninstall itself while a call is running.
  std::shared_lock lock(waker_mutex);
  if (waker_fn) waker_fn(waker_context);
}

}  // namespace vimo_ui
