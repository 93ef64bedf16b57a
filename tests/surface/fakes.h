// Fakes for the root widget's collaborators: a service whose answers a test
// sets, a worker starter whose closures run when the test says, a portal
// whose answers the test sends.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "surface/pagora.h"
#include "vimo_ui/testing.h"

namespace pagora::testing {

namespace printing = os_actions::printing;

class FakePrinting final : public printing::PrintingService {
 public:
  printing::Result<std::vector<printing::PrinterQueue>> queues_result = std::vector<printing::PrinterQueue>{};
  printing::Result<std::vector<printing::PrintJob>> jobs_result = std::vector<printing::PrintJob>{};
  printing::Result<std::vector<printing::Scanner>> scanners_result = std::vector<printing::Scanner>{};
  printing::Result<std::vector<printing::FoundPrinter>> found_result = std::vector<printing::FoundPrinter>{};
  bool operations_fail = false;

  std::vector<std::string> calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }

  printing::Result<std::vector<printing::PrinterQueue>> queues() override { return record("queues"), queues_result; }
  printing::Result<std::vector<printing::PrintJob>> jobs() override { return record("jobs"), jobs_result; }
  printing::Result<std::vector<printing::Scanner>> scanners() override {
    return record("scanners"), scanners_result;
  }
  printing::Result<std::vector<printing::FoundPrinter>> discover_driverless() override {
    return record("discover"), found_result;
  }
  printing::Done add_driverless(const std::string& uri, const std::string& name) override {
    return done("add " + uri + " " + name);
  }
  printing::Done set_default(const std::string& q) override { return done("default " + q); }
  printing::Done set_enabled(const std::string& q, bool enabled) override {
    return done(std::string(enabled ? "resume " : "pause ") + q);
  }
  printing::Done cancel_job(const std::string& id) override { return done("cancel " + id); }
  printing::Done retry_job(const std::string& id) override { return done("retry " + id); }
  printing::Done print_document(const std::string& path, const std::string& q, std::uint16_t copies,
                                bool two_sided) override {
    return done("print " + path + " " + q + " " + std::to_string(copies) + (two_sided ? " two-sided" : " one-sided"));
  }
  printing::Result<printing::ImageBytes> scan_page(const std::string& id, const printing::ScanOptions&) override {
    record("scan " + id);
    return std::unexpected("no scanner");
  }

 private:
  void record(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
  printing::Done done(std::string call) {
    record(std::move(call));
    if (operations_fail) return std::unexpected("service failure text that must never be shown");
    return {};
  }
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

// Keeps every started closure until the test runs it.
class ManualStarter final : public service::WorkerStarter {
 public:
  struct Started {
    std::string name;
    service::Work work;
  };
  bool refuse = false;
  std::deque<Started> started;
  std::vector<std::string> names;

  bool start(std::string name, service::Work work) override {
    if (refuse) return false;
    names.push_back(name);
    started.push_back({std::move(name), std::move(work)});
    return true;
  }
  // Runs the oldest waiting closure of that name; false when none waits.
  bool run(std::string_view name) {
    for (auto it = started.begin(); it != started.end(); ++it) {
      if (it->name == name) {
        auto work = std::move(it->work);
        started.erase(it);
        work();
        return true;
      }
    }
    return false;
  }
  void run_all() {
    while (!started.empty()) {
      auto work = std::move(started.front().work);
      started.pop_front();
      work();
    }
  }
};

class FakePortal final : public vimo_ui::Portal {
 public:
  std::vector<vimo_ui::PickRequest> requests;
  std::deque<vimo_ui::OneshotSender<vimo_ui::PickAnswer>> answers;

  vimo_ui::OneshotReceiver<vimo_ui::PickAnswer> pick(vimo_ui::PickRequest request) override {
    requests.push_back(std::move(request));
    auto [tx, rx] = vimo_ui::oneshot<vimo_ui::PickAnswer>();
    answers.push_back(std::move(tx));
    return std::move(rx);
  }
  void answer(vimo_ui::PickAnswer a) {
    auto tx = std::move(answers.front());
    answers.pop_front();
    std::move(tx).send(std::move(a));
  }
};

class FakeThumbnailer final : public surface::Thumbnailer {
 public:
  std::expected<screens::PreviewImage, std::string> generate(const std::string&, std::uint32_t) override {
    auto pixels = std::make_shared<const std::vector<std::uint8_t>>(4 * 2 * 3, std::uint8_t{200});
    return screens::PreviewImage{2, 3, pixels};
  }
};

struct Rig {
  std::shared_ptr<FakePrinting> printing = std::make_shared<FakePrinting>();
  std::shared_ptr<ManualStarter> workers = std::make_shared<ManualStarter>();
  std::shared_ptr<FakePortal> portal = std::make_shared<FakePortal>();
  std::shared_ptr<FakeThumbnailer> thumbnailer = std::make_shared<FakeThumbnailer>();

  surface::Collaborators collaborators() const { return {printing, workers, portal, nullptr, thumbnailer}; }
};

// Which screen of the catalogue a tree is, by the words only it shows.
inline std::string screen_name(const vimo_ui::Widget& view) {
  using vimo_ui::testing::has_text;
  if (has_text(view, "Getting things ready")) return "loading";
  if (has_text(view, "Set up your first printer")) return "first-run";
  if (has_text(view, "Every document, in one place")) return "queue";
  if (has_text(view, "Status, supplies, and controls")) return "printer";
  if (has_text(view, "Documents retained by your print service")) return "history";
  if (has_text(view, "Add a printer")) return "discovery";
  if (has_text(view, "Useful checks without printer jargon")) return "device-help";
  if (has_text(view, "Review the document and choose a printer")) return "print";
  if (has_text(view, "Choose the scanner and how this page should look") ||
      has_text(view, "Review the page before saving it")) {
    return "scan";
  }
  // The device help card is the one part of the dashboard that no failed list hides.
  if (!vimo_ui::testing::buttons_with_id(view, "pagora.diagnostics.open").empty()) return "dashboard";
  return "unknown";
}

inline printing::PrinterQueue queue(std::string name, bool is_default = false) {
  printing::PrinterQueue q;
  q.name = std::move(name);
  q.is_default = is_default;
  q.responded = true;
  return q;
}

inline printing::PrintJob job(std::string id, printing::JobState state) {
  printing::PrintJob j;
  j.id = std::move(id);
  j.state = state;
  j.queue_name = "Office";
  return j;
}

}  // namespace pagora::testing
