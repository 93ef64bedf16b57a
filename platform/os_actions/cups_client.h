// The libcups adapter: every print operation as IPP requests on a connection
// of its own, each bounded in time. Failure texts are taken from libcups'
// thread-local last error right after the call that failed.
#pragma once

#include "os_actions/system_service.h"

namespace os_actions::printing {

class CupsClient {
 public:
  explicit CupsClient(SystemServiceOptions options);

  Result<std::vector<PrinterQueue>> queues();
  Result<std::vector<PrintJob>> jobs();
  Result<std::vector<FoundPrinter>> discover_driverless();
  Done add_driverless(const std::string& uri, const std::string& name);
  Done set_default(const std::string& queue_name);
  Done set_enabled(const std::string& queue_name, bool enabled);
  Done cancel_job(const std::string& job_id);
  Done retry_job(const std::string& job_id);
  Done print_document(const std::string& path, const std::string& queue_name, std::uint16_t copies,
                      bool two_sided);

 private:
  SystemServiceOptions options_;
};

}  // namespace os_actions::printing
