// Named detached threads, the refresh and the operation worker.
#include "service/workers.h"

#include <pthread.h>

#include <system_error>
#include <thread>

namespace pagora::service {

namespace {
thread_local std::string worker_name;
}  // namespace

std::string os_thread_name(std::string_view full_name) {
  constexpr std::size_t kMax = 15;
  if (full_name.size() <= kMax) return std::string(full_name);
  std::size_t cut = kMax;
  // Step back over continuation bytes (10xxxxxx) to a character start.
  while (cut > 0 && (static_cast<unsigned char>(full_name[cut]) & 0xC0) == 0x80) --cut;
  return std::string(full_name.substr(0, cut));
}

const std::string& current_worker_name() { return worker_name; }

bool ThreadStarter::start(std::string name, Work work) {
  try {
    std::thread thread([name = std::move(name), work = std::move(work)]() mutable {
      worker_name = name;
      pthread_setname_np(pthread_self(), os_thread_name(name).c_str());
      work();
    });
    thread.detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

std::optional<vimo_ui::OneshotReceiver<ServiceSnapshot>> start_refresh(WorkerStarter& starter, Printing printing) {
  auto [tx, rx] = vimo_ui::oneshot<ServiceSnapshot>();
  const bool started = starter.start(std::string(kRefreshWorker), [printing, tx = std::move(tx)]() mutable {
    // Braced initialisation runs left to right: queues, jobs, scanners.
    ServiceSnapshot snapshot{printing->queues(), printing->jobs(), printing->scanners()};
    std::move(tx).send(std::move(snapshot));
  });
  if (!started) return std::nullopt;
  return std::move(rx);
}

bool start_operation(WorkerStarter& starter, std::string_view name,
                     std::move_only_function<os_actions::printing::Done()> operation, OperationTexts texts,
                     vimo_ui::Sender<Message> sender) {
  return starter.start(std::string(name), [operation = std::move(operation), texts = std::move(texts),
                                           sender = std::move(sender)]() mutable {
    const bool ok = operation().has_value();
    msg::OperationFinished done = ok ? msg::OperationFinished{texts.success_title, texts.success_body, true}
                                     : msg::OperationFinished{texts.failure_title, texts.failure_body, false};
    // A receiver that is gone means nobody waits for the answer any more.
    sender.send(Message{std::move(done)});
  });
}

}  // namespace pagora::service
