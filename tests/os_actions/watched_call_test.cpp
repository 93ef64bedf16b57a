// A call to a device that may stall answers within a bounded time.
#include "os_actions/watched_call.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace os_actions::printing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A device read loop: `chunks` pieces `every` apart, stoppable by a cancel.
Result<int> device_read(Watch& watch, int chunks, std::chrono::milliseconds every, bool cancellable,
                        std::shared_ptr<std::atomic<bool>> cancelled) {
  if (cancellable) watch.set_canceller([cancelled] { *cancelled = true; });
  int got = 0;
  for (int i = 0; i < chunks; ++i) {
    // A blocking read that a cancel interrupts (as sane_cancel does) and
    // that ignores being abandoned.
    for (auto waited = 0ms; waited < every; waited += 5ms) {
      if (cancellable && *cancelled) {
        watch.set_canceller(nullptr);
        return std::unexpected("cancelled");
      }
      std::this_thread::sleep_for(5ms);
    }
    ++got;
    watch.touch();
  }
  watch.set_canceller(nullptr);
  return got;
}

TEST(WatchedCall, OutcomesWithinBoundedTime) {
  struct Row {
    const char* why;
    int chunks;
    std::chrono::milliseconds every;
    bool cancellable;
    bool ok;
    bool cancel_seen;
    std::chrono::milliseconds at_most;
  };
  const WatchLimits limits{300ms, 300ms};
  const Row rows[] = {
      // Slow overall but never silent for a whole stall period: it finishes.
      {"steady progress", 12, 50ms, true, true, false, 3000ms},
      {"stall, cancelled", 1, 10000ms, true, false, true, 1500ms},
      {"stall, nothing to cancel", 1, 10000ms, false, false, false, 1500ms},
  };
  // One lock per row, outliving the test: a stalled worker keeps holding it.
  static DeviceLock locks[std::size(rows)];
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    DeviceLock& lock = locks[i];
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    const auto t0 = Clock::now();
    auto result = run_watched<int>(
        lock, [row = r, cancelled](Watch& w) { return device_read(w, row.chunks, row.every, row.cancellable, cancelled); },
        limits, "read");
    const auto took = Clock::now() - t0;
    EXPECT_EQ(result.has_value(), r.ok) << r.why;
    if (r.ok && result) {
      EXPECT_EQ(*result, r.chunks) << r.why;
    }
    EXPECT_EQ(cancelled->load(), r.cancel_seen) << r.why;
    EXPECT_LT(took, r.at_most) << r.why;
  }
}

TEST(WatchedCall, BusyDeviceFailsAndAbandonedWorkNeverStarts) {
  static DeviceLock lock;
  ASSERT_TRUE(lock.try_acquire_for(0ms));  // another caller holds the device
  std::atomic<bool> ran{false};
  const auto t0 = Clock::now();
  auto result = run_watched<int>(
      lock, [&ran](Watch&) -> Result<int> { ran = true; return 1; }, WatchLimits{100ms, 100ms}, "scan");
  EXPECT_FALSE(result);
  EXPECT_LT(Clock::now() - t0, 1s);
  lock.release();
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(ran);  // the caller gave up: the device is not touched later
}

}  // namespace
}  // namespace os_actions::printing
