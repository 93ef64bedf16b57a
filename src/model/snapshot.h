// The three lists of one refresh, each a list or a failure text; replaced
// whole by the next refresh, never edited.
#pragma once

#include <vector>

#include "os_actions/printing.h"

namespace pagora {

namespace printing = os_actions::printing;

struct ServiceSnapshot {
  printing::Result<std::vector<printing::PrinterQueue>> queues;
  printing::Result<std::vector<printing::PrintJob>> jobs;
  printing::Result<std::vector<printing::Scanner>> scanners;
};

// A failed list reads as empty wherever a screen does not say otherwise.
template <class T>
const std::vector<T>& loaded_or_empty(const printing::Result<std::vector<T>>& result) {
  static const std::vector<T> empty;
  return result ? *result : empty;
}

}  // namespace pagora
