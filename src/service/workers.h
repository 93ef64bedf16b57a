// Background work: one named thread per request, never joined, answering
// only through channels. The starter is a collaborator so tests decide when
// a worker runs and whether starting one fails.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/message.h"
#include "model/notice.h"
#include "model/snapshot.h"
#include "vimo_ui/channel.h"

namespace pagora::service {

inline constexpr std::string_view kRefreshWorker = "vimo-pagora-refresh";
inline constexpr std::string_view kDiscoveryWorker = "vimo-printer-discovery";
inline constexpr std::string_view kAddPrinterWorker = "vimo-add-printer";
inline constexpr std::string_view kDefaultPrinterWorker = "vimo-default-printer";
inline constexpr std::string_view kTogglePrinterWorker = "vimo-toggle-printer";
inline constexpr std::string_view kCancelJobWorker = "vimo-cancel-print-job";
inline constexpr std::string_view kRetryJobWorker = "vimo-retry-print-job";
inline constexpr std::string_view kPrintDocumentWorker = "vimo-print-document";
inline constexpr std::string_view kSaveWorker = "vimo-save-scanned-page";
inline constexpr std::string_view kScanWorker = "vimo-scan-document";
inline constexpr std::string_view kRecognizeWorker = "vimo-recognize-scanned-page";
inline constexpr std::string_view kPreviewWorker = "vimo-print-preview";

using Work = std::move_only_function<void()>;

class WorkerStarter {
 public:
  virtual ~WorkerStarter() = default;
  // Starts `work` on a new thread called `name`; false when no thread could
  // be started (the work is then dropped unrun).
  virtual bool start(std::string name, Work work) = 0;
};

// The system's: a detached std::thread with the platform's default stack.
class ThreadStarter final : public WorkerStarter {
 public:
  bool start(std::string name, Work work) override;
};

// Linux keeps at most 15 bytes of a thread's name; cut at a character
// boundary so the kernel never sees half a UTF-8 sequence.
std::string os_thread_name(std::string_view full_name);

// The full name of the worker running on this thread ("" elsewhere).
const std::string& current_worker_name();

using Printing = std::shared_ptr<os_actions::printing::PrintingService>;

// queues, jobs, scanners, once each and in that order, into one snapshot.
// Nothing when the thread could not be started.
std::optional<vimo_ui::OneshotReceiver<ServiceSnapshot>> start_refresh(WorkerStarter& starter, Printing printing);

// Runs `operation` and sends exactly one OperationFinished with the success
// or the failure pair of `texts`; the operation's own failure text is dropped.
bool start_operation(WorkerStarter& starter, std::string_view name,
                     std::move_only_function<os_actions::printing::Done()> operation, OperationTexts texts,
                     vimo_ui::Sender<Message> sender);

}  // namespace pagora::service
