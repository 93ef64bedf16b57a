// The dispatcher: one arm per message kind, each a few lines that call the
// operation of its area.
#include "surface/dispatch.h"

#include <cmath>

#include "surface/notices.h"
#include "surface/print_flow.h"
#include "surface/saving.h"

namespace pagora::surface {

namespace {

using namespace pagora::msg;
namespace printing = os_actions::printing;

template <class... Arms>
struct Overloaded : Arms... {
  using Arms::operator()...;
};

void start_operation(Pagora& app, std::string_view worker, std::move_only_function<printing::Done()> operation,
                     OperationTexts texts) {
  // A thread that cannot be started drops the request without a message.
  service::start_operation(*app.services.workers, worker, std::move(operation), std::move(texts), app.sender);
}

void refresh(Pagora& app) {
  app.notice.reset();
  app.show(screens::loading_screen());
  app.start_refresh();
}

void show_dashboard(Pagora& app) {
  app.current_page.reset();
  app.scanning = false;
  app.show_dashboard();
}

void show_queue(Pagora& app) {
  if (app.snapshot) app.show(screens::queue_screen(*app.snapshot, app.cancel_confirmation, app.notice, app.sender));
}

void show_device(Pagora& app, const std::string& queue_name) {
  if (!app.snapshot || !app.snapshot->queues) return;
  for (const auto& queue : *app.snapshot->queues) {
    if (queue.name == queue_name) {
      app.show(screens::printer_screen(queue, app.sender));
      return;
    }
  }
}

void find_printers(Pagora& app) {
  app.show(screens::discovery_screen(std::nullopt, app.sender));
  auto printing = app.services.printing;
  app.services.workers->start(std::string(service::kDiscoveryWorker), [printing, sender = app.sender] {
    sender.send(Message{DiscoveryFinished{printing->discover_driverless()}});
  });
}

void operation_finished(Pagora& app, OperationFinished done) {
  app.notice = Notice{std::move(done.title), std::move(done.body), done.success};
  if (app.current_page) {
    app.show_scan_screen();
  } else {
    app.start_refresh();
  }
}

}  // namespace

std::uint16_t round_copies(double value) {
  if (std::isnan(value)) return 1;
  const double limited = std::clamp(value, 1.0, 99.0);
  double whole = std::floor(limited);
  const double fraction = limited - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<std::uint16_t>(whole);
}

void dispatch(Pagora& app, Message message) {
  auto printing = app.services.printing;
  std::visit(
      Overloaded{
          [&](Refresh) { refresh(app); },
          [&](ShowDashboard) { show_dashboard(app); },
          [&](ShowQueue) { show_queue(app); },
          [&](ShowHistory) {
            if (app.snapshot) app.show(screens::history_screen(*app.snapshot, app.sender));
          },
          [&](ShowDiagnostics) {
            if (app.snapshot) app.show(screens::diagnostics_screen(*app.snapshot, app.sender));
          },
          [&](FindPrinters) { find_printers(app); },
          [&](DiscoveryFinished& m) { app.show(screens::discovery_screen(std::move(m.result), app.sender)); },
          [&](AddPrinter& m) {
            auto texts = notices::add_printer(m.printer.name);
            start_operation(
                app, service::kAddPrinterWorker,
                [printing, uri = m.printer.uri, name = m.printer.name] { return printing->add_driverless(uri, name); },
                std::move(texts));
          },
          [&](ShowDevice& m) { show_device(app, m.queue_name); },
          [&](SetDefaultPrinter& m) {
            auto texts = notices::set_default(m.queue_name);
            start_operation(
                app, service::kDefaultPrinterWorker,
                [printing, queue = m.queue_name] { return printing->set_default(queue); }, std::move(texts));
          },
          [&](SetPrinterEnabled& m) {
            start_operation(
                app, service::kTogglePrinterWorker,
                [printing, queue = m.queue_name, enabled = m.enabled] { return printing->set_enabled(queue, enabled); },
                notices::set_enabled(m.enabled));
          },
          [&](RequestCancelJob& m) {
            app.cancel_confirmation = m.job_id;
            show_queue(app);
          },
          [&](CancelJob& m) {
            app.cancel_confirmation.reset();
            start_operation(
                app, service::kCancelJobWorker, [printing, id = m.job_id] { return printing->cancel_job(id); },
                notices::cancel_job());
          },
          [&](RetryJob& m) {
            start_operation(
                app, service::kRetryJobWorker, [printing, id = m.job_id] { return printing->retry_job(id); },
                notices::retry_job());
          },
          [&](OperationFinished& m) { operation_finished(app, std::move(m)); },
          [&](ChooseDocument) { choose_document(app); },
          [&](ChoosePrintPrinter& m) { choose_print_printer(app, std::move(m.queue_name)); },
          [&](PrintDocument) { print_document(app); },
          [&](ClosePrintDocument) { close_print_document(app); },
          // The scanning kinds run the scanned-document operations.
          [&](auto&) {},
      },
      message);
}

}  // namespace pagora::surface
