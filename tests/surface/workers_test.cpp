// Real worker threads: names, one answer per operation, the refresh order.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes.h"
#include "service/workers.h"

namespace pagora::testing {
namespace {

template <class T>
vimo_ui::Take<T> wait_for(vimo_ui::Receiver<T>& rx) {
  for (int i = 0; i < 2000; ++i) {
    auto t = rx.try_take();
    if (t.status != vimo_ui::TakeStatus::Empty) return t;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return {};
}

TEST(Workers, ThreadNamesAreCutToFifteenBytesAtACharacterBoundary) {
  EXPECT_EQ(service::os_thread_name("vimo-cancel-print-job"), "vimo-cancel-pri");
  EXPECT_EQ(service::os_thread_name("short"), "short");
  // "é" is two bytes; a cut through it steps back before it.
  EXPECT_EQ(service::os_thread_name("vimo-aaaaaaaaa\xc3\xa9x"), "vimo-aaaaaaaaa");
}

TEST(Workers, ARealWorkerKnowsItsFullNameAndSendsExactlyOneOutcome) {
  auto printing = std::make_shared<FakePrinting>();
  service::ThreadStarter starter;
  auto [tx, rx] = vimo_ui::channel<Message>();
  std::string seen_name;
  ASSERT_TRUE(service::start_operation(
      starter, "vimo-cancel-print-job",
      [&seen_name, printing] {
        seen_name = service::current_worker_name();
        char os_name[16] = {};
        pthread_getname_np(pthread_self(), os_name, sizeof os_name);
        EXPECT_STREQ(os_name, "vimo-cancel-pri");
        return printing->cancel_job("Office-7");
      },
      OperationTexts{"ok", "ok body", "bad", "bad body"}, tx));
  { auto gone = std::move(tx); }
  auto first = wait_for(rx);
  ASSERT_TRUE(first.has_value());
  const auto& done = std::get<msg::OperationFinished>(*first.value);
  EXPECT_EQ(done.title, "ok");
  EXPECT_TRUE(done.success);
  EXPECT_EQ(seen_name, "vimo-cancel-print-job");
  // The worker dropped its sender after its one message.
  EXPECT_TRUE(wait_for(rx).disconnected());
}

TEST(Workers, RefreshCallsEachListOnceInOrderEvenWhenOneFails) {
  auto printing = std::make_shared<FakePrinting>();
  printing->queues_result = std::unexpected("no cupsd");
  service::ThreadStarter starter;
  auto rx = service::start_refresh(starter, printing);
  ASSERT_TRUE(rx.has_value());
  auto snapshot = wait_for(*rx);
  ASSERT_TRUE(snapshot.has_value());
  EXPECT_FALSE(snapshot.value->queues.has_value());
  EXPECT_TRUE(snapshot.value->jobs.has_value());
  EXPECT_EQ(printing->calls(), (std::vector<std::string>{"queues", "jobs", "scanners"}));
}

TEST(Workers, AnOperationWhoseReceiverIsGoneStillFinishesQuietly) {
  auto printing = std::make_shared<FakePrinting>();
  service::ThreadStarter starter;
  std::atomic<bool> ran{false};
  {
    auto [tx, rx] = vimo_ui::channel<Message>();
    { auto gone = std::move(rx); }
    ASSERT_TRUE(service::start_operation(
        starter, "vimo-retry-print-job",
        [&ran, printing] {
          ran = true;
          return printing->retry_job("1");
        },
        OperationTexts{}, tx));
  }
  for (int i = 0; i < 2000 && !ran; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace pagora::testing
