// Local state cells: a shared, thread-safe, versioned value that a control
// writes and the program reads. Screens are rebuilt around the same cells, so
// a user's choice outlives any one widget tree.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "vimo_ui/wake.h"

namespace vimo_ui {

// Decides whether a write may be published. A handle made without a gate
// authorises every write; an authorised write also wakes the event loop so
// bound controls show the new value.
class WakeHandle {
 public:
  WakeHandle() = default;
  explicit WakeHandle(std::function<bool()> gate) : gate_(std::make_shared<std::function<bool()>>(std::move(gate))) {}

  bool authorize_publication() const { return !gate_ || (*gate_)(); }
  void wake() const { wake_event_loop(); }

 private:
  std::shared_ptr<std::function<bool()>> gate_;
};

template <class T>
class LocalStateInner {
 public:
  LocalStateInner(T initial, WakeHandle handle) : value_(std::move(initial)), handle_(std::move(handle)) {}

  T get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }

  std::uint64_t version() const { return version_.load(std::memory_order_acquire); }

  // Value and version read together, for a control that shows the value.
  std::pair<T, std::uint64_t> snapshot() const {
    std::lock_guard lock(mutex_);
    return {value_, version_.load(std::memory_order_relaxed)};
  }

  // True when the write was authorised and took effect.
  bool set(T value) {
    if (!handle_.authorize_publication()) return false;
    {
      std::lock_guard lock(mutex_);
      value_ = std::move(value);
      version_.fetch_add(1, std::memory_order_acq_rel);
    }
    handle_.wake();
    return true;
  }

 private:
  mutable std::mutex mutex_;
  T value_;
  std::atomic<std::uint64_t> version_{0};
  WakeHandle handle_;
};

template <class T>
using LocalState = std::shared_ptr<LocalStateInner<T>>;

template <class T>
LocalState<T> local_state(T initial, WakeHandle handle = {}) {
  return std::make_shared<LocalStateInner<T>>(std::move(initial), std::move(handle));
}

// The crop frame in fractions of the page; (0, 0, 1, 1) is the whole page.
struct CropSelection {
  double left = 0.0;
  double top = 0.0;
  double right = 1.0;
  double bottom = 1.0;
  friend bool operator==(const CropSelection&, const CropSelection&) = default;
};

}  // namespace vimo_ui
