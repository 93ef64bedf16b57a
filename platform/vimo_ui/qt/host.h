// The event loop host: owns the root widget and its window, wakes on any
// send or cell write from any thread, asks the root to update until it has
// nothing more to do, and shows the root's current tree.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include <QObject>
#include <QTimer>
#include <QWidget>

#include "vimo_ui/qt/renderer.h"
#include "vimo_ui/widget.h"

namespace vimo_ui::qt {

class EventLoopHost {
 public:
  // Installs the event loop waker: construct the host before the root, so
  // that messages sent while the root is built are not missed.
  explicit EventLoopHost(std::function<bool()> may_close = {});
  ~EventLoopHost();
  EventLoopHost(const EventLoopHost&) = delete;
  EventLoopHost& operator=(const EventLoopHost&) = delete;

  // Takes the root and shows its first frame.
  void set_root(WidgetPtr root);
  Widget* root() const { return root_.get(); }
  QWidget* window() const { return window_.get(); }
  Renderer& renderer() { return *renderer_; }

  // Runs the root's update until it answers false, then shows its tree.
  void pump();
  // Asks for a pump from the event loop; calls made before it runs coalesce.
  void schedule();
  bool scheduled() const { return scheduled_.load(std::memory_order_acquire); }

  std::chrono::steady_clock::time_point last_wake() const;
  std::uint64_t pump_count() const { return pumps_; }
  std::uint64_t wake_count() const { return wakes_.load(std::memory_order_relaxed); }

 private:
  static void on_wake(void* self);

  QObject context_;  // queued pumps target this object, so none outlives the host
  std::atomic<bool> scheduled_{false};
  std::atomic<std::int64_t> last_wake_ns_;
  std::atomic<std::uint64_t> wakes_{0};
  std::uint64_t pumps_ = 0;
  bool pumping_ = false;
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<Renderer> renderer_;
  QTimer idle_poll_;
  WidgetPtr root_;
};

}  // namespace vimo_ui::qt
