// Saving a scanned page or the scanned document where the user chose.
#pragma once

#include "surface/pagora.h"

namespace pagora::surface {

void open_save_picker(Pagora& app, SaveKind kind);
void handle_save_answer(Pagora& app, vimo_ui::Take<vimo_ui::PickAnswer> answer);

// The chosen path with "png"/"pdf" added when it has no extension.
std::string with_default_extension(const std::string& path, SaveKind kind);

}  // namespace pagora::surface
