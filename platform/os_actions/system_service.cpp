// The machine's print and scan service: print operations through libcups,
// scanners through libsane.
#include "os_actions/system_service.h"

#include "os_actions/cups_client.h"
#include "os_actions/sane_scanner.h"

namespace os_actions::printing {
namespace {

class SystemService final : public PrintingService {
 public:
  explicit SystemService(const SystemServiceOptions& options) : cups_(options), sane_(options) {}

  Result<std::vector<PrinterQueue>> queues() override { return cups_.queues(); }
  Result<std::vector<PrintJob>> jobs() override { return cups_.jobs(); }
  Result<std::vector<Scanner>> scanners() override { return sane_.scanners(); }
  Result<std::vector<FoundPrinter>> discover_driverless() override { return cups_.discover_driverless(); }
  Done add_driverless(const std::string& uri, const std::string& name) override {
    return cups_.add_driverless(uri, name);
  }
  Done set_default(const std::string& queue_name) override { return cups_.set_default(queue_name); }
  Done set_enabled(const std::string& queue_name, bool enabled) override {
    return cups_.set_enabled(queue_name, enabled);
  }
  Done cancel_job(const std::string& job_id) override { return cups_.cancel_job(job_id); }
  Done retry_job(const std::string& job_id) override { return cups_.retry_job(job_id); }
  Done print_document(const std::string& path, const std::string& queue_name, std::uint16_t copies,
                      bool two_sided) override {
    return cups_.print_document(path, queue_name, copies, two_sided);
  }
  Result<ImageBytes> scan_page(const std::string& scanner_id, const ScanOptions& options) override {
    return sane_.scan_page(scanner_id, options);
  }

 private:
  CupsClient cups_;
  SaneScanners sane_;
};

}  // namespace

std::unique_ptr<PrintingService> make_system_service(SystemServiceOptions options) {
  return std::make_unique<SystemService>(options);
}

}  // namespace os_actions::printing
