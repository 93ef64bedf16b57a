// The builders of every screen the dispatcher shows. Each is a pure function
// of plain values and the message sender, returning a fresh tree.
#pragma once

#include <optional>
#include <variant>
#include <string>
#include <vector>

#include "model/notice.h"
#include "model/scan_page.h"
#include "model/snapshot.h"
#include "screens/frame.h"
#include "screens/loading.h"

namespace pagora::screens {

using FoundPrinters = os_actions::printing::Result<std::vector<os_actions::printing::FoundPrinter>>;

WidgetPtr dashboard_screen(const ServiceSnapshot& snapshot, const std::optional<Notice>& notice,
                           const MessageSender& sender);
WidgetPtr queue_screen(const ServiceSnapshot& snapshot, const std::optional<std::string>& cancel_confirmation,
                       const std::optional<Notice>& notice, const MessageSender& sender);
WidgetPtr printer_screen(const PrinterQueue& queue, const MessageSender& sender);
WidgetPtr history_screen(const ServiceSnapshot& snapshot, const MessageSender& sender);
// No result yet means still searching.
WidgetPtr discovery_screen(const std::optional<FoundPrinters>& result, const MessageSender& sender);
WidgetPtr diagnostics_screen(const ServiceSnapshot& snapshot, const MessageSender& sender);

// The print screen's inputs.
struct PreviewImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  SharedBytes rgba;
};
struct PreviewLoading {};
struct PreviewUnavailable {};
using Preview = std::variant<PreviewLoading, PreviewImage, PreviewUnavailable>;

struct PrintScreenInput {
  const ServiceSnapshot& snapshot;
  std::string document_path;
  const Preview& preview;
  std::optional<std::string> print_target;
  vimo_ui::LocalState<double> copies;
  vimo_ui::LocalState<bool> two_sided;
};
WidgetPtr print_screen(const PrintScreenInput& input, const MessageSender& sender);

struct ScanScreenInput {
  const ServiceSnapshot& snapshot;
  std::optional<std::string> selected_scanner;
  vimo_ui::LocalState<std::uint32_t> resolution;
  vimo_ui::LocalState<std::uint32_t> colour;
  vimo_ui::LocalState<std::uint32_t> source;
  vimo_ui::LocalState<std::uint32_t> language;
  vimo_ui::LocalState<vimo_ui::CropSelection> crop;
  const std::optional<ScanPage>& current_page;
  std::size_t selected_index = 0;
  std::size_t page_count = 0;
  bool scanning = false;
  const std::optional<Notice>& notice;
};
WidgetPtr scan_screen(const ScanScreenInput& input, const MessageSender& sender);

}  // namespace pagora::screens
