// Everything outside the root widget that it talks to, as one bundle: the
// live program passes the system's, tests pass fakes.
#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <string>

#include "os_actions/printing.h"
#include "screens/screens.h"
#include "service/workers.h"
#include "vimo_ui/picker.h"

namespace pagora::surface {

// Makes the print preview picture of a document.
class Thumbnailer {
 public:
  virtual ~Thumbnailer() = default;
  virtual std::expected<screens::PreviewImage, std::string> generate(const std::string& path, std::uint32_t size) = 0;
};

struct Collaborators {
  std::shared_ptr<os_actions::printing::PrintingService> printing;
  std::shared_ptr<service::WorkerStarter> workers;
  std::shared_ptr<vimo_ui::Portal> portal;
  std::shared_ptr<vimo_ui::Clipboard> clipboard;
  std::shared_ptr<Thumbnailer> thumbnailer;
};

}  // namespace pagora::surface
