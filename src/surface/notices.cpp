// Notice texts, each in one place.
#include "surface/notices.h"

#include <fmt/format.h>

#include "model/display_name.h"

namespace pagora::surface::notices {

OperationTexts add_printer(std::string_view found_name) {
  const auto name = printer_display_name(found_name);
  return {"Printer added", fmt::format("{} is ready for your apps.", name), "Could not add printer",
          fmt::format("Check that {} is awake and connected, then try again.", name)};
}

OperationTexts set_default(std::string_view queue_name) {
  const auto name = printer_display_name(queue_name);
  return {"Preferred printer changed",
          fmt::format("New documents will use {} unless you choose another printer.", name),
          "Could not change the preferred printer", fmt::format("{} is still available; try again in a moment.", name)};
}

OperationTexts set_enabled(bool enabled) {
  if (enabled) {
    return {"Printer resumed", "Waiting documents can print now.", "Could not resume printer",
            "Nothing changed. Check the printer connection and try again."};
  }
  return {"Printer paused", "Documents will wait until you resume it.", "Could not pause printer",
          "Nothing changed. Check the printer connection and try again."};
}

OperationTexts cancel_job() {
  return {"Document canceled", "It was removed from the printer.", "Could not cancel document",
          "The document may still print. Check the queue and try again."};
}

OperationTexts retry_job() {
  return {"Document sent again", "It is back in the print queue.", "Could not try again",
          "Check the printer, then try again."};
}

OperationTexts print_document(std::string_view document_name, std::string_view queue_name) {
  return {"Document sent to printer",
          fmt::format("{} was sent to {}.", document_name, printer_display_name(queue_name)),
          "Could not print document", fmt::format("{} was not sent. Check the printer and try again.", document_name)};
}

OperationTexts save_page(std::string_view file_name) {
  return {"Scanned page saved", fmt::format("Saved {}.", file_name), "Could not save scanned page",
          "Choose another location and try again."};
}

OperationTexts save_document(std::string_view file_name) {
  return {"Scanned document saved", fmt::format("Saved {}.", file_name), "Could not save scanned document",
          "Choose another location and try again."};
}

Notice text_copied() { return {"Text copied", "Paste the recognized text into any app.", true}; }

Notice scan_failed() {
  return {"Could not scan this page",
          "Check that the scanner is connected and the paper is positioned, then try again.", false};
}

Notice rotate_failed(std::string_view error) { return {"Could not rotate this page", std::string(error), false}; }

Notice crop_failed(std::string_view error) { return {"Could not crop this page", std::string(error), false}; }

Notice recognition_failed(std::string_view error) { return {"Text was not updated", std::string(error), false}; }

Notice document_picker_failed() {
  return {"Could not open the file picker", "Try again, or print from the document's app.", false};
}

Notice save_picker_failed() {
  return {"Could not open the file picker", "Try saving the scanned page again.", false};
}

}  // namespace pagora::surface::notices
