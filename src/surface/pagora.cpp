// The root widget: construction, the one-event update, the rebuilders.
#include "surface/pagora.h"

#include "surface/dispatch.h"
#include "surface/print_flow.h"
#include "surface/saving.h"

namespace pagora::surface {

Pagora::Pagora(Collaborators collaborators) : services(std::move(collaborators)) {
  auto [tx, rx] = vimo_ui::channel<Message>();
  sender = std::move(tx);
  receiver = std::move(rx);
  view = screens::loading_screen();
  copies = vimo_ui::local_state(1.0);
  two_sided = vimo_ui::local_state(false);
  scan_resolution = vimo_ui::local_state<std::uint32_t>(1);
  scan_colour = vimo_ui::local_state<std::uint32_t>(0);
  scan_source = vimo_ui::local_state<std::uint32_t>(0);
  ocr_language = vimo_ui::local_state<std::uint32_t>(0);
  crop_selection = vimo_ui::local_state(vimo_ui::CropSelection{});
}

std::unique_ptr<Pagora> Pagora::live(Collaborators collaborators) {
  std::unique_ptr<Pagora> app(new Pagora(std::move(collaborators)));
  app->start_refresh();
  return app;
}

std::unique_ptr<Pagora> Pagora::idle(Collaborators collaborators) {
  return std::unique_ptr<Pagora>(new Pagora(std::move(collaborators)));
}

void Pagora::start_refresh() {
  // Replacing the receiver drops the old one: a late snapshot is lost.
  pending_refresh.reset();
  if (services.workers && services.printing) {
    if (auto rx = service::start_refresh(*services.workers, services.printing)) pending_refresh = std::move(*rx);
  }
}

bool Pagora::update(vimo_ui::UpdateContext& cx) {
  bool handled = false;
  if (pending_document_pick) {
    auto answer = pending_document_pick->try_take();
    if (answer.status != vimo_ui::TakeStatus::Empty) {
      handle_document_answer(*this, std::move(answer));
      handled = true;
    }
  }
  if (!handled && pending_preview) {
    auto result = pending_preview->try_take();
    if (result.status != vimo_ui::TakeStatus::Empty) {
      handle_preview(*this, std::move(result));
      handled = true;
    }
  }
  if (!handled && pending_save_pick) {
    auto answer = pending_save_pick->try_take();
    if (answer.status != vimo_ui::TakeStatus::Empty) {
      handle_save_answer(*this, std::move(answer));
      handled = true;
    }
  }
  if (!handled && pending_refresh) {
    // A refresh whose worker ended without a snapshot stays outstanding.
    auto result = pending_refresh->try_take();
    if (result.has_value()) {
      pending_refresh.reset();
      snapshot = std::move(*result.value);
      show_dashboard();
      handled = true;
    }
  }
  if (!handled) {
    auto message = receiver.try_take();
    if (message.has_value()) {
      dispatch(*this, std::move(*message.value));
      handled = true;
    }
  }
  if (!handled) return view ? view->update(cx) : false;
  if (view) view->sync(cx);
  return true;
}

void Pagora::sync(vimo_ui::UpdateContext& cx) {
  if (view) view->sync(cx);
}

bool Pagora::needs_idle_sync() const {
  return pending_refresh.has_value() || pending_document_pick.has_value() || pending_save_pick.has_value();
}

void Pagora::show_dashboard() {
  if (!snapshot) {
    show(screens::first_run_screen());
    return;
  }
  show(screens::dashboard_screen(*snapshot, notice, sender));
}

void Pagora::show_scan_screen() {
  if (!snapshot) return;
  show(screens::scan_screen(
      screens::ScanScreenInput{*snapshot, selected_scanner, scan_resolution, scan_colour, scan_source, ocr_language,
                               crop_selection, current_page, selected_index, scan_pages.size(), scanning, notice},
      sender));
}

void Pagora::show_print_screen() {
  if (!snapshot || !document_path) return;
  show(screens::print_screen(
      screens::PrintScreenInput{*snapshot, *document_path, preview, print_target, copies, two_sided}, sender));
}

}  // namespace pagora::surface
