// The root widget: the only owner of application state. The toolkit calls
// it on the user-interface thread; each update handles at most one event.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/message.h"
#include "model/notice.h"
#include "model/scan_page.h"
#include "model/snapshot.h"
#include "screens/screens.h"
#include "surface/collaborators.h"
#include "vimo_ui/channel.h"
#include "vimo_ui/local_state.h"
#include "vimo_ui/picker.h"
#include "vimo_ui/widget.h"

namespace pagora::surface {

enum class SaveKind : std::uint8_t { Page, Document };

class Pagora final : public vimo_ui::Widget {
 public:
  // The live root: Loading screen, the first refresh started.
  static std::unique_ptr<Pagora> live(Collaborators collaborators);
  // The initial state without a refresh (fixtures, tests); shows Loading.
  static std::unique_ptr<Pagora> idle(Collaborators collaborators);

  std::string_view type_name() const override { return "pagora::surface::Pagora"; }
  bool update(vimo_ui::UpdateContext& cx) override;
  void sync(vimo_ui::UpdateContext& cx) override;
  bool needs_idle_sync() const override;
  std::vector<const vimo_ui::Widget*> children() const override { return {view.get()}; }
  std::vector<vimo_ui::Widget*> children_mut() override { return {view.get()}; }

  // Rebuilders: each stores a fresh tree in `view` (or changes nothing when
  // its condition does not hold).
  void show_dashboard();
  void show_scan_screen();
  void show_print_screen();
  void show(vimo_ui::WidgetPtr screen) { view = std::move(screen); }

  // Starts a refresh, dropping any outstanding one.
  void start_refresh();

  // Fields. Only the user-interface thread touches them.
  Collaborators services;
  vimo_ui::Sender<Message> sender;
  vimo_ui::Receiver<Message> receiver;
  std::optional<ServiceSnapshot> snapshot;
  std::optional<vimo_ui::OneshotReceiver<ServiceSnapshot>> pending_refresh;
  std::optional<vimo_ui::OneshotReceiver<vimo_ui::PickAnswer>> pending_document_pick;
  std::optional<vimo_ui::OneshotReceiver<std::expected<screens::PreviewImage, std::string>>> pending_preview;
  std::optional<vimo_ui::OneshotReceiver<vimo_ui::PickAnswer>> pending_save_pick;
  SaveKind save_kind = SaveKind::Page;
  std::vector<ScanPage> scan_pages;
  std::size_t selected_index = 0;
  std::optional<ScanPage> current_page;
  bool scanning = false;
  std::optional<std::string> selected_scanner;
  std::optional<Notice> notice;
  std::optional<std::string> cancel_confirmation;
  std::optional<std::string> document_path;
  std::optional<std::string> print_target;
  screens::Preview preview = screens::PreviewUnavailable{};
  vimo_ui::WidgetPtr view;
  vimo_ui::LocalState<double> copies;
  vimo_ui::LocalState<bool> two_sided;
  vimo_ui::LocalState<std::uint32_t> scan_resolution;
  vimo_ui::LocalState<std::uint32_t> scan_colour;
  vimo_ui::LocalState<std::uint32_t> scan_source;
  vimo_ui::LocalState<std::uint32_t> ocr_language;
  vimo_ui::LocalState<vimo_ui::CropSelection> crop_selection;

 private:
  explicit Pagora(Collaborators collaborators);
};

}  // namespace pagora::surface
