// Every user intent and every worker result, as one value type. Kinds are
// listed in their fixed order; nothing outside the program sees the numbers.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <variant>
#include <vector>

#include "model/scan_page.h"
#include "os_actions/printing.h"

namespace pagora {

namespace msg {

struct Refresh {};
struct ShowDashboard {};
struct ShowQueue {};
struct ShowHistory {};
struct ShowDiagnostics {};
struct FindPrinters {};
struct DiscoveryFinished {
  os_actions::printing::Result<std::vector<os_actions::printing::FoundPrinter>> result;
};
struct AddPrinter {
  os_actions::printing::FoundPrinter printer;
};
struct ShowDevice {
  std::string queue_name;
};
struct SetDefaultPrinter {
  std::string queue_name;
};
struct SetPrinterEnabled {
  std::string queue_name;
  bool enabled = false;
};
struct RequestCancelJob {
  std::string job_id;
};
struct CancelJob {
  std::string job_id;
};
struct RetryJob {
  std::string job_id;
};
struct OperationFinished {
  std::string title;
  std::string body;
  bool success = false;
};
struct ChooseDocument {};
struct ChoosePrintPrinter {
  std::string queue_name;
};
struct PrintDocument {};
struct ClosePrintDocument {};
struct ShowScan {};
struct SelectScanner {
  std::string scanner_id;
};
struct StartScan {};
struct ScanFinished {
  std::expected<ScanPage, std::string> result;
};
struct SaveScannedPage {};
struct SaveScannedDocument {};
struct CopyRecognizedText {};
struct ScanAnotherPage {};
struct PreviousPage {};
struct NextPage {};
struct MovePageEarlier {};
struct MovePageLater {};
struct RemovePage {};
struct RotatePage {};
struct ApplyCrop {};
struct RecognizeText {};
struct Recognized {
  std::string text;
  std::string status;
};
struct RecognitionFinished {
  SharedBytes image;  // the page's encoded buffer, compared by identity
  std::expected<Recognized, std::string> result;
};

}  // namespace msg

using Message = std::variant<msg::Refresh, msg::ShowDashboard, msg::ShowQueue, msg::ShowHistory, msg::ShowDiagnostics,
                             msg::FindPrinters, msg::DiscoveryFinished, msg::AddPrinter, msg::ShowDevice,
                             msg::SetDefaultPrinter, msg::SetPrinterEnabled, msg::RequestCancelJob, msg::CancelJob,
                             msg::RetryJob, msg::OperationFinished, msg::ChooseDocument, msg::ChoosePrintPrinter,
                             msg::PrintDocument, msg::ClosePrintDocument, msg::ShowScan, msg::SelectScanner,
                             msg::StartScan, msg::ScanFinished, msg::SaveScannedPage, msg::SaveScannedDocument,
                             msg::CopyRecognizedText, msg::ScanAnotherPage, msg::PreviousPage, msg::NextPage,
                             msg::MovePageEarlier, msg::MovePageLater, msg::RemovePage, msg::RotatePage,
                             msg::ApplyCrop, msg::RecognizeText, msg::RecognitionFinished>;

static_assert(std::variant_size_v<Message> == 36);

}  // namespace pagora
