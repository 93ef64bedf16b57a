// The event loop host with a real Qt loop: wakes from other threads, the
// update loop, and what the window shows afterwards.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QLabel>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "vimo_ui/channel.h"
#include "vimo_ui/qt/host.h"
#include "vimo_ui/widgets.h"
#include "qt_wait.h"

namespace {

using namespace vimo_ui;

// Handles one message per update and shows the last one.
class EchoRoot : public Widget {
 public:
  explicit EchoRoot(Receiver<int> rx) : rx_(std::move(rx)) { rebuild(); }
  std::string_view type_name() const override { return "test::EchoRoot"; }
  bool update(UpdateContext&) override {
    auto take = rx_.try_take();
    if (!take.has_value()) return false;
    seen.push_back(*take.value);
    ++updates_with_work;
    rebuild();
    return true;
  }
  std::vector<const Widget*> children() const override { return {screen_.get()}; }

  std::vector<int> seen;
  int updates_with_work = 0;

 private:
  void rebuild() { screen_ = column(body(seen.empty() ? "nothing yet" : "got " + std::to_string(seen.back()))); }
  Receiver<int> rx_;
  WidgetPtr screen_;
};


QString shown_text(qt::EventLoopHost& host) {
  auto* label = host.window()->findChild<QLabel*>();
  return label ? label->text() : QString();
}

TEST(Host, SendsFromOtherThreadsAreHandledInOrderAndShown) {
  qt::EventLoopHost host;
  auto [tx, rx] = channel<int>();
  auto owned = std::make_unique<EchoRoot>(std::move(rx));
  EchoRoot* root = owned.get();
  host.set_root(std::move(owned));
  host.window()->resize(400, 300);
  host.window()->show();
  EXPECT_EQ(shown_text(host), "nothing yet");

  constexpr int per_thread = 2000;
  std::vector<std::thread> producers;
  for (int t = 0; t < 2; ++t) {
    producers.emplace_back([tx = tx, t] {
      for (int i = 0; i < per_thread; ++i) tx.send(t * per_thread + i);
    });
  }
  for (auto& p : producers) p.join();
  ASSERT_TRUE(run_until([&] { return root->seen.size() == 2 * per_thread; }));

  // Each producer's messages arrive in the order sent.
  std::vector<int> last = {-1, per_thread - 1};
  for (int v : root->seen) {
    int& prev = last[static_cast<std::size_t>(v / per_thread)];
    EXPECT_GT(v, prev);
    prev = v;
  }
  EXPECT_EQ(root->updates_with_work, 2 * per_thread);
  // Wakes coalesce: far fewer passes than messages.
  EXPECT_LT(host.pump_count(), host.wake_count());
  ASSERT_TRUE(run_until([&] { return !host.scheduled(); }));
  EXPECT_EQ(shown_text(host), QString("got %1").arg(root->seen.back()));
}

TEST(Host, WakeAfterTheHostIsGoneIsHarmless) {
  auto [tx, rx] = channel<int>();
  {
    qt::EventLoopHost host;
    host.set_root(std::make_unique<EchoRoot>(std::move(rx)));
    tx.send(1);
  }
  // The host uninstalled its waker; a send now must not reach it.
  EXPECT_FALSE(tx.send(2)) << "the receiver went with the root";
  QCoreApplication::processEvents();
}

// A root whose update always has more to do must not freeze the window.
class BusyRoot : public Widget {
 public:
  std::string_view type_name() const override { return "test::BusyRoot"; }
  bool update(UpdateContext&) override {
    ++calls;
    return true;
  }
  std::vector<const Widget*> children() const override { return {screen_.get()}; }
  long calls = 0;

 private:
  WidgetPtr screen_ = column(body("busy"));
};

TEST(Host, EndlessUpdatesAreHandledInBatches) {
  qt::EventLoopHost host;
  auto owned = std::make_unique<BusyRoot>();
  BusyRoot* root = owned.get();
  host.set_root(std::move(owned));
  host.schedule();
  QElapsedTimer timer;
  timer.start();
  bool timer_fired = false;
  QTimer::singleShot(20, [&] { timer_fired = true; });
  ASSERT_TRUE(run_until([&] { return timer_fired; }, 2000)) << "other events still run";
  EXPECT_GT(root->calls, 1000);
}

}  // namespace
