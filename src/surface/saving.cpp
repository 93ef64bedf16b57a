// The save pickers and what their answers write.
#include "surface/saving.h"

#include <filesystem>

#include "model/text.h"
#include "surface/notices.h"

namespace pagora::surface {

using vimo_ui::PickAnswer;

void open_save_picker(Pagora& app, SaveKind kind) {
  if (app.pending_save_pick || !app.services.portal) return;
  app.save_kind = kind;
  auto request = kind == SaveKind::Page
                     ? vimo_ui::PickRequest::save("Save scanned page", "Save", "Scanned page.png")
                           .with_thread_name("pagora-scan-save-picker")
                     : vimo_ui::PickRequest::save("Save scanned document", "Save", "Scanned document.pdf")
                           .with_thread_name("pagora-scan-document-save-picker");
  app.pending_save_pick = std::move(request).send(*app.services.portal);
}

std::string with_default_extension(const std::string& path, SaveKind kind) {
  std::filesystem::path p{path};
  if (p.has_filename() && !p.has_extension()) p += kind == SaveKind::Page ? ".png" : ".pdf";
  return p.string();
}

void handle_save_answer(Pagora& app, vimo_ui::Take<PickAnswer> answer) {
  app.pending_save_pick.reset();
  const SaveKind kind = std::exchange(app.save_kind, SaveKind::Page);
  if (!answer.has_value() || std::holds_alternative<PickAnswer::Failed>(answer.value->value)) {
    app.notice = notices::save_picker_failed();
    app.show_scan_screen();
    return;
  }
  if (std::holds_alternative<PickAnswer::Cancelled>(answer.value->value)) return;
  // Writing the file (page bytes or the searchable PDF) arrives with the
  // scanning work; until then a picked location writes nothing.
  (void)kind;
}

}  // namespace pagora::surface
