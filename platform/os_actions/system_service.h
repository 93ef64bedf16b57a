// The machine's own print and scan service: CUPS through libcups, scanners
// through libsane. The server is the one libcups resolves (CUPS_SERVER,
// client.conf); scanners are those SANE's configuration lists.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "os_actions/printing.h"

namespace os_actions::printing {

struct SystemServiceOptions {
  // Connecting to the print service and each request to it.
  std::chrono::milliseconds service_timeout{5000};
  // Asking a network printer itself how it is (several at once).
  std::chrono::milliseconds printer_timeout{1500};
  // Listing the scanners (network backends can take long to answer).
  std::chrono::milliseconds scanner_list_timeout{15000};
  // A scan with no data arriving for this long is cancelled.
  std::chrono::milliseconds scan_stall_timeout{60000};
  // How long network discovery listens.
  std::chrono::milliseconds discovery_time{3000};
  // Where discovered printers come from; empty means DNS-SD through the
  // print service. Tests give a fixed list here instead.
  std::function<Result<std::vector<FoundPrinter>>()> discovery_source;
};

std::unique_ptr<PrintingService> make_system_service(SystemServiceOptions options = {});

}  // namespace os_actions::printing
