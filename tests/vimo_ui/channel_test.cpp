// Channel semantics: order, many senders, "all senders gone", one-shot.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "vimo_ui/channel.h"

namespace vimo_ui {
namespace {

TEST(Channel, EmptyThenValuesInOrderThenDisconnected) {
  auto [tx, rx] = channel<int>();
  EXPECT_EQ(rx.try_take().status, TakeStatus::Empty);
  ASSERT_TRUE(tx.send(1));
  ASSERT_TRUE(tx.send(2));
  {
    Sender<int> clone = tx;
    ASSERT_TRUE(clone.send(3));
  }
  EXPECT_EQ(*rx.try_take().value, 1);
  EXPECT_EQ(*rx.try_take().value, 2);
  EXPECT_EQ(*rx.try_take().value, 3);
  // A clone went away but the original still lives: nothing yet, not gone.
  EXPECT_EQ(rx.try_take().status, TakeStatus::Empty);
  ASSERT_TRUE(tx.send(4));
  { auto dropped = std::move(tx); }
  // Values sent before the last sender left are still delivered.
  EXPECT_EQ(*rx.try_take().value, 4);
  EXPECT_EQ(rx.try_take().status, TakeStatus::Disconnected);
}

TEST(Channel, SendAfterReceiverGoneFails) {
  auto [tx, rx] = channel<int>();
  { auto gone = std::move(rx); }
  EXPECT_FALSE(tx.send(1));
}

TEST(Channel, ManySendersKeepPerSenderOrder) {
  auto [tx, rx] = channel<std::pair<int, int>>();
  constexpr int kSenders = 4;
  constexpr int kEach = 20000;
  std::vector<std::thread> threads;
  for (int s = 0; s < kSenders; ++s) {
    threads.emplace_back([s, clone = tx] {
      for (int i = 0; i < kEach; ++i) clone.send({s, i});
    });
  }
  { auto last = std::move(tx); }
  std::vector<int> next(kSenders, 0);
  int received = 0;
  for (;;) {
    auto t = rx.try_take();
    if (t.disconnected()) break;
    if (!t.has_value()) {
      std::this_thread::yield();
      continue;
    }
    auto [s, i] = *t.value;
    ASSERT_EQ(i, next[s]) << "sender " << s;
    ++next[s];
    ++received;
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(received, kSenders * kEach);
}

TEST(Oneshot, DeliversOnceOrTellsItIsGone) {
  {
    auto [tx, rx] = oneshot<std::string>();
    EXPECT_EQ(rx.try_take().status, TakeStatus::Empty);
    std::thread([t = std::move(tx)]() mutable { std::move(t).send("snapshot"); }).join();
    auto got = rx.try_take();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got.value, "snapshot");
    EXPECT_TRUE(rx.try_take().disconnected());
  }
  {
    auto [tx, rx] = oneshot<std::string>();
    { auto unsent = std::move(tx); }
    EXPECT_TRUE(rx.try_take().disconnected());
  }
}

TEST(Channel, SendWakesTheEventLoop) {
  static std::atomic<int> wakes{0};
  set_event_loop_waker([](void*) { wakes.fetch_add(1); }, nullptr);
  auto [tx, rx] = channel<int>();
  const int before = wakes.load();
  tx.send(7);
  EXPECT_GT(wakes.load(), before);
  set_event_loop_waker(nullptr, nullptr);
}

}  // namespace
}  // namespace vimo_ui
