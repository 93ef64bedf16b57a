// Printing a document: the picker, the preview and the job.
#pragma once

#include "surface/pagora.h"

namespace pagora::surface {

void choose_document(Pagora& app);
void handle_document_answer(Pagora& app, vimo_ui::Take<vimo_ui::PickAnswer> answer);
void handle_preview(Pagora& app, vimo_ui::Take<std::expected<screens::PreviewImage, std::string>> result);
void choose_print_printer(Pagora& app, std::string queue_name);
void print_document(Pagora& app);
void close_print_document(Pagora& app);

// The preferred printer's queue name, else the first printer's.
std::optional<std::string> default_print_target(const std::optional<ServiceSnapshot>& snapshot);

}  // namespace pagora::surface
