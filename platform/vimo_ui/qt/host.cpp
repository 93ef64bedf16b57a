#include "vimo_ui/qt/host.h"

#include <QCloseEvent>
#include <QMetaObject>

#include "vimo_ui/wake.h"

namespace vimo_ui::qt {

namespace {

// Updates that each report a change are handled in batches of this many, so
// a root that always has work cannot starve painting and input.
constexpr int max_updates_per_pump = 1000;
// While the root waits for something no message announces, look again this often.
constexpr int idle_poll_ms = 100;

std::int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

class HostWindow : public QWidget {
 public:
  explicit HostWindow(std::function<bool()> may_close) : may_close_(std::move(may_close)) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (may_close_ && !may_close_()) {
      event->ignore();
      return;
    }
    event->accept();
  }

 private:
  std::function<bool()> may_close_;
};

}  // namespace

EventLoopHost::EventLoopHost(std::function<bool()> may_close)
    : last_wake_ns_(now_ns()), window_(std::make_unique<HostWindow>(std::move(may_close))) {
  renderer_ = std::make_unique<Renderer>(window_.get(), [this] { schedule(); });
  idle_poll_.setSingleShot(true);
  idle_poll_.callOnTimeout(&context_, [this] { pump(); });
  set_event_loop_waker(&EventLoopHost::on_wake, this);
}

EventLoopHost::~EventLoopHost() {
  // Returns only once no wake is running, so none can reach a dead host.
  set_event_loop_waker(nullptr, nullptr);
  idle_poll_.stop();
  // The root goes first: it may hold senders whose release would wake us.
  root_.reset();
  renderer_.reset();
  window_.reset();
}

void EventLoopHost::on_wake(void* self) {
  auto* host = static_cast<EventLoopHost*>(self);
  host->wakes_.fetch_add(1, std::memory_order_relaxed);
  host->last_wake_ns_.store(now_ns(), std::memory_order_release);
  host->schedule();
}

void EventLoopHost::schedule() {
  if (scheduled_.exchange(true, std::memory_order_acq_rel)) return;
  QMetaObject::invokeMethod(&context_, [this] { pump(); }, Qt::QueuedConnection);
}

std::chrono::steady_clock::time_point EventLoopHost::last_wake() const {
  return std::chrono::steady_clock::time_point(
      std::chrono::nanoseconds(last_wake_ns_.load(std::memory_order_acquire)));
}

void EventLoopHost::set_root(WidgetPtr root) {
  root_ = std::move(root);
  if (root_) renderer_->render(*root_);
}

void EventLoopHost::pump() {
  // Cleared before draining: a wake that lands while we work schedules
  // another pass instead of being lost.
  scheduled_.store(false, std::memory_order_release);
  if (!root_) return;
  if (pumping_) {  // reached from a nested event loop: run again afterwards
    schedule();
    return;
  }
  pumping_ = true;
  UpdateContext ctx;
  int handled = 0;
  while (root_->update(ctx)) {
    if (++handled >= max_updates_per_pump) {
      schedule();
      break;
    }
  }
  renderer_->render(*root_);
  ++pumps_;
  pumping_ = false;
  if (root_->needs_idle_sync()) {
    if (!idle_poll_.isActive()) idle_poll_.start(idle_poll_ms);
  } else {
    idle_poll_.stop();
  }
}

}  // namespace vimo_ui::qt
