// Running a call that may stall (a device library that blocks) on a worker
// thread, so the caller answers within a bounded time whatever the device does.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "os_actions/printing.h"

namespace os_actions::printing {

// Shared by a caller and the worker running the call for it. The worker calls
// touch() whenever it makes progress and sets a canceller while something can
// be cancelled.
class Watch {
 public:
  using Clock = std::chrono::steady_clock;

  void touch() { last_activity_ = Clock::now().time_since_epoch().count(); }
  Clock::time_point last_activity() const { return Clock::time_point(Clock::duration(last_activity_.load())); }
  void set_canceller(std::function<void()> cancel) {
    std::lock_guard lock(cancel_m_);
    cancel_ = std::move(cancel);
  }
  // Cancels what runs now; false when nothing can be cancelled.
  bool cancel() {
    std::lock_guard lock(cancel_m_);
    if (!cancel_) return false;
    cancel_();
    return true;
  }
  bool abandoned() const { return abandoned_; }
  void abandon() { abandoned_ = true; }

 private:
  std::atomic<Clock::rep> last_activity_{Clock::now().time_since_epoch().count()};
  std::atomic<bool> abandoned_{false};
  std::mutex cancel_m_;
  std::function<void()> cancel_;
};

// One caller at a time for a device library. Waits on a condition variable
// rather than a timed mutex, whose timed lock the thread checker cannot follow.
class DeviceLock {
 public:
  bool try_acquire_for(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_);
    if (!cv_.wait_for(lock, limit, [this] { return !held_; })) return false;
    held_ = true;
    return true;
  }
  void release() {
    {
      std::lock_guard lock(m_);
      held_ = false;
    }
    cv_.notify_one();
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool held_ = false;
};

struct WatchLimits {
  std::chrono::milliseconds stall;  // no progress for this long: cancel
  std::chrono::milliseconds grace;  // a cancelled call has this long to stop
};

// Runs `work` on a new thread holding `exclusive` (the device library takes
// one caller at a time; the lock must outlive every worker). Answers its result, or a failure within `stall` of
// the last sign of progress (plus `grace` when the call could be cancelled).
// An abandoned worker finishes on its own and its result is dropped; one that
// has not started yet does not start.
template <class T>
Result<T> run_watched(DeviceLock& exclusive, std::function<Result<T>(Watch&)> work, WatchLimits limits,
                      const std::string& what) {
  struct Shared {
    Watch watch;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::optional<Result<T>> result;
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, &exclusive, work = std::move(work), stall = limits.stall, what] {
    Result<T> r = std::unexpected(what + ": the device is busy");
    if (exclusive.try_acquire_for(stall)) {
      if (!shared->watch.abandoned()) {
        shared->watch.touch();
        r = work(shared->watch);
      }
      exclusive.release();
    }
    std::lock_guard g(shared->m);
    shared->result = std::move(r);
    shared->done = true;
    shared->cv.notify_all();
  }).detach();

  using Clock = Watch::Clock;
  std::optional<Clock::time_point> cancelled_at;
  std::unique_lock g(shared->m);
  const auto tick = std::min(std::chrono::milliseconds(50), std::max(std::chrono::milliseconds(1), limits.stall / 4));
  while (!shared->done) {
    shared->cv.wait_for(g, tick);
    if (shared->done) break;
    const auto now = Clock::now();
    if (!cancelled_at && now - shared->watch.last_activity() > limits.stall) {
      if (shared->watch.cancel()) {
        cancelled_at = now;
        continue;
      }
      shared->watch.abandon();
      return std::unexpected(what + ": the device stopped answering");
    }
    if (cancelled_at && now - *cancelled_at > limits.grace) {
      shared->watch.abandon();
      return std::unexpected(what + ": the device stopped answering");
    }
  }
  if (cancelled_at) return std::unexpected(what + ": the device stopped sending data");
  return std::move(*shared->result);
}

}  // namespace os_actions::printing
