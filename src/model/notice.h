// The one in-window notice, and the four texts an operation worker carries.
#pragma once

#include <string>

namespace pagora {

struct Notice {
  std::string title;
  std::string body;
  bool success = false;
  friend bool operator==(const Notice&, const Notice&) = default;
};

// Fixed when the work starts; the worker only picks the pair.
struct OperationTexts {
  std::string success_title;
  std::string success_body;
  std::string failure_title;
  std::string failure_body;
  friend bool operator==(const OperationTexts&, const OperationTexts&) = default;
};

}  // namespace pagora
