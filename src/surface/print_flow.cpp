// The print flow from choosing a document to sending the job.
#include "surface/print_flow.h"

#include "model/text.h"
#include "surface/dispatch.h"
#include "surface/notices.h"

namespace pagora::surface {

using vimo_ui::PickAnswer;

void choose_document(Pagora& app) {
  if (app.pending_document_pick) return;
  app.copies->set(1.0);
  app.two_sided->set(false);
  app.preview = screens::PreviewUnavailable{};
  app.pending_preview.reset();
  if (!app.services.portal) return;
  app.pending_document_pick =
      vimo_ui::PickRequest::open("Choose a document to print", "Choose")
          .with_thread_name("pagora-document-picker")
          .filter(vimo_ui::FileFilter::named("Documents and images")
                      .mimetype("application/pdf")
                      .mimetype("image/png")
                      .mimetype("image/jpeg")
                      .mimetype("text/plain"))
          .with_all_files()
          .send(*app.services.portal);
}

std::optional<std::string> default_print_target(const std::optional<ServiceSnapshot>& snapshot) {
  if (!snapshot || !snapshot->queues || snapshot->queues->empty()) return std::nullopt;
  for (const auto& q : *snapshot->queues) {
    if (q.is_default) return q.name;
  }
  return snapshot->queues->front().name;
}

namespace {

void start_preview(Pagora& app, const std::string& path) {
  app.preview = screens::PreviewLoading{};
  auto [tx, rx] = vimo_ui::oneshot<std::expected<screens::PreviewImage, std::string>>();
  app.pending_preview = std::move(rx);
  auto thumbnailer = app.services.thumbnailer;
  // A worker that cannot start drops its sender: the preview reads as unavailable.
  app.services.workers->start(std::string(service::kPreviewWorker),
                              [thumbnailer, path, tx = std::move(tx)]() mutable {
                                if (!thumbnailer) return;
                                std::move(tx).send(thumbnailer->generate(path, 720));
                              });
}

}  // namespace

void handle_document_answer(Pagora& app, vimo_ui::Take<PickAnswer> answer) {
  app.pending_document_pick.reset();
  if (!answer.has_value()) {
    app.notice = notices::document_picker_failed();
    app.show_dashboard();
    return;
  }
  auto& value = answer.value->value;
  if (auto* picked = std::get_if<PickAnswer::Picked>(&value)) {
    app.document_path = picked->path;
    app.print_target = default_print_target(app.snapshot);
    start_preview(app, picked->path);
    app.show_print_screen();
  } else if (std::holds_alternative<PickAnswer::Failed>(value)) {
    app.notice = notices::document_picker_failed();
    app.show_dashboard();
  }
}

void handle_preview(Pagora& app, vimo_ui::Take<std::expected<screens::PreviewImage, std::string>> result) {
  app.pending_preview.reset();
  if (result.has_value() && result.value->has_value() && (*result.value)->rgba) {
    app.preview = **result.value;
  } else {
    app.preview = screens::PreviewUnavailable{};
  }
  app.show_print_screen();
}

void choose_print_printer(Pagora& app, std::string queue_name) {
  app.print_target = std::move(queue_name);
  app.show_print_screen();
}

void print_document(Pagora& app) {
  auto path = std::exchange(app.document_path, std::nullopt);
  auto target = std::exchange(app.print_target, std::nullopt);
  if (!path || !target) return;
  const std::string document_name = last_component_text(*path).value_or("Document");
  app.preview = screens::PreviewUnavailable{};
  app.pending_preview.reset();
  const std::uint16_t copies = round_copies(app.copies->get());
  const bool two_sided = app.two_sided->get();
  auto printing = app.services.printing;
  service::start_operation(
      *app.services.workers, service::kPrintDocumentWorker,
      [printing, path = *path, queue = *target, copies, two_sided] {
        return printing->print_document(path, queue, copies, two_sided);
      },
      notices::print_document(document_name, *target), app.sender);
}

void close_print_document(Pagora& app) {
  app.document_path.reset();
  app.pending_preview.reset();
  app.preview = screens::PreviewUnavailable{};
  app.print_target.reset();
  app.copies->set(1.0);
  app.two_sided->set(false);
  app.show_dashboard();
}

}  // namespace pagora::surface
