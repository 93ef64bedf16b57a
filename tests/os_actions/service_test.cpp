// The system service against a private cupsd, a virtual IPP Everywhere printer
// and SANE's test scanner. Cases run in order: the outages come last.
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "os_actions/system_service.h"
#include "sandbox_fixture.h"

namespace os_actions::printing {
namespace {

using namespace std::chrono_literals;
using os_actions::testing::Sandbox;
using Clock = std::chrono::steady_clock;

constexpr const char* kQueue = "Pagora_Virtual_Printer";

SystemServiceOptions test_options() {
  SystemServiceOptions o;
  o.service_timeout = 2000ms;
  o.printer_timeout = 1000ms;
  o.scan_stall_timeout = 10000ms;
  o.discovery_time = 500ms;
  return o;
}

PrintingService& service() {
  static auto s = make_system_service(test_options());
  return *s;
}

std::optional<PrinterQueue> queue_named(const std::string& name) {
  auto qs = service().queues();
  if (!qs) return std::nullopt;
  for (auto& q : *qs)
    if (q.name == name) return q;
  return std::nullopt;
}

// A two-page PDF made by hand: enough for the print filters.
std::string write_pdf(const std::string& name) {
  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>"};
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t off : offsets) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  const std::string path = Sandbox::get().dir + "/" + name;
  std::ofstream(path, std::ios::binary) << pdf;
  return path;
}

std::vector<std::string> job_ids() {
  std::vector<std::string> ids;
  if (auto js = service().jobs())
    for (const auto& j : *js) ids.push_back(j.id);
  return ids;
}

// Prints and answers the new job's id.
std::string print_and_find(const std::string& path, const std::string& queue, std::uint16_t copies,
                           bool two_sided) {
  const auto before = job_ids();
  auto done = service().print_document(path, queue, copies, two_sided);
  EXPECT_TRUE(done) << done.error();
  for (const auto& id : job_ids())
    if (std::find(before.begin(), before.end(), id) == before.end()) return id;
  ADD_FAILURE() << "no new job for " << path;
  return {};
}

std::optional<PrintJob> wait_for_job(const std::string& id, JobState state, std::chrono::milliseconds limit = 15s) {
  const auto end = Clock::now() + limit;
  std::optional<PrintJob> last;
  do {
    if (auto js = service().jobs())
      for (const auto& j : *js)
        if (j.id == id) last = j;
    if (last && last->state == state) return last;
    std::this_thread::sleep_for(100ms);
  } while (Clock::now() < end);
  ADD_FAILURE() << "job " << id << " did not reach state " << int(state) << "; last state "
                << (last ? int(last->state) : -1);
  return last;
}

// Running and not a zombie (the stack's processes are not our children, so
// their reaping can lag).
bool running(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const auto close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

int lines_in(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(Service, ThreeListsLoad) {
  auto qs = service().queues();
  ASSERT_TRUE(qs) << qs.error();
  auto q = queue_named(kQueue);
  ASSERT_TRUE(q);
  EXPECT_TRUE(q->responded);
  EXPECT_TRUE(q->accepting);
  EXPECT_EQ(q->state, PrinterState::Idle);
  // Before any job the levels come from the printer itself.
  ASSERT_TRUE(q->supplies);
  ASSERT_FALSE(q->supplies->empty());
  EXPECT_TRUE(std::any_of(q->supplies->begin(), q->supplies->end(), [](const Supply& s) { return s.level.has_value(); }));

  auto js = service().jobs();
  ASSERT_TRUE(js) << js.error();

  auto ss = service().scanners();
  ASSERT_TRUE(ss) << ss.error();
  ASSERT_FALSE(ss->empty());
  EXPECT_EQ(ss->front().id, "test:0");
  EXPECT_EQ(ss->front().name, "Noname frontend-tester");
}

TEST(Service, PrintReachesThePrinterWithCopiesAndSides) {
  const auto& box = Sandbox::get();
  const std::string name = "Bericht \"März\" - Entwurf 'v2'.pdf";
  const auto before = lines_in(box.read_file("printed/jobs.log"));
  const std::string id = print_and_find(write_pdf(name), kQueue, 2, true);
  auto job = wait_for_job(id, JobState::Completed);
  ASSERT_TRUE(job);
  EXPECT_EQ(job->document_name, name);
  EXPECT_EQ(job->queue_name, kQueue);
  EXPECT_EQ(job->time, "today");
  EXPECT_FALSE(job->owner.empty());
  EXPECT_GT(job->size_bytes, 0u);
  EXPECT_EQ(PrintJob::progress_percent(*job), 100u);
  const std::string log = box.read_file("printed/jobs.log");
  ASSERT_EQ(lines_in(log), before + 1) << log;
  EXPECT_NE(log.find("copies=2 sides=two-sided-long-edge"), std::string::npos) << log;

  // After a job the service has its own marker levels from the printer.
  auto q = queue_named(kQueue);
  ASSERT_TRUE(q && q->supplies);
  const std::vector<Supply> expected = {{"Black", "#000000", 80}, {"Cyan", "#00ffff", 64},
                                        {"Magenta", "#ff00ff", 15}, {"Yellow", "#ffff00", 42}};
  EXPECT_EQ(*q->supplies, expected);
}

TEST(Service, PrintRefusesBadRequests) {
  const std::string pdf = write_pdf("ok.pdf");
  EXPECT_FALSE(service().print_document(pdf, kQueue, 0, false));
  EXPECT_FALSE(service().print_document(pdf, kQueue, 100, false));
  EXPECT_FALSE(service().print_document(Sandbox::get().dir + "/missing.pdf", kQueue, 1, false));
  EXPECT_FALSE(service().print_document(Sandbox::get().dir, kQueue, 1, false));
  EXPECT_FALSE(service().print_document(pdf, "No_Such_Queue", 1, false));
  EXPECT_FALSE(service().print_document(pdf, "../admin", 1, false));
}

TEST(Service, PauseAndResume) {
  ASSERT_TRUE(service().set_enabled(kQueue, false));
  auto q = queue_named(kQueue);
  ASSERT_TRUE(q);
  EXPECT_EQ(q->state, PrinterState::Paused);
  EXPECT_NE(std::find(q->state_reasons.begin(), q->state_reasons.end(), "paused"), q->state_reasons.end());

  ASSERT_TRUE(service().set_enabled(kQueue, true));
  q = queue_named(kQueue);
  ASSERT_TRUE(q);
  EXPECT_EQ(q->state, PrinterState::Idle);
  EXPECT_EQ(std::find(q->state_reasons.begin(), q->state_reasons.end(), "paused"), q->state_reasons.end());
  EXPECT_FALSE(service().set_enabled("No_Such_Queue", false));
}

TEST(Service, RejectedQueueIsNotAcceptingUntilResumed) {
  const auto& box = Sandbox::get();
  ASSERT_EQ(box.shell("cupsreject -h " + box.socket + " " + kQueue), 0);
  auto q = queue_named(kQueue);
  ASSERT_TRUE(q);
  EXPECT_FALSE(q->accepting);
  EXPECT_FALSE(service().print_document(write_pdf("refused.pdf"), kQueue, 1, false));
  ASSERT_TRUE(service().set_enabled(kQueue, true));
  q = queue_named(kQueue);
  ASSERT_TRUE(q);
  EXPECT_TRUE(q->accepting);
}

TEST(Service, CancelAWaitingJob) {
  ASSERT_TRUE(service().set_enabled(kQueue, false));  // keeps the job waiting
  const std::string id = print_and_find(write_pdf("to cancel.pdf"), kQueue, 1, false);
  auto waiting = wait_for_job(id, JobState::Pending, 5s);
  ASSERT_TRUE(service().cancel_job(id));
  auto job = wait_for_job(id, JobState::Canceled, 5s);
  ASSERT_TRUE(service().set_enabled(kQueue, true));
  ASSERT_TRUE(job);
  EXPECT_EQ(job->state, JobState::Canceled);
  EXPECT_FALSE(service().cancel_job("Pagora_Virtual_Printer-999999"));
  EXPECT_FALSE(service().cancel_job("not a job"));
}

TEST(Service, RestartACompletedJob) {
  const auto& box = Sandbox::get();
  const std::string id = print_and_find(write_pdf("again.pdf"), kQueue, 1, false);
  ASSERT_TRUE(wait_for_job(id, JobState::Completed));
  const auto before = lines_in(box.read_file("printed/jobs.log"));
  auto done = service().retry_job(id);
  ASSERT_TRUE(done) << done.error();
  const auto end = Clock::now() + 15s;
  while (lines_in(box.read_file("printed/jobs.log")) == before && Clock::now() < end)
    std::this_thread::sleep_for(100ms);
  EXPECT_EQ(lines_in(box.read_file("printed/jobs.log")), before + 1);
  EXPECT_TRUE(wait_for_job(id, JobState::Completed));
}

TEST(Service, UserDefaultStaysInTheUsersFolder) {
  const auto& box = Sandbox::get();
  // A second queue whose name has a hyphen and non-ASCII letters.
  const std::string other = "Büro-Drucker";
  ASSERT_EQ(box.shell("lpadmin -h " + box.socket + " -p " + other + " -v " + box.printer_uri + " -m everywhere -E"), 0);

  for (const std::string& name : {other, std::string(kQueue)}) {
    auto done = service().set_default(name);
    ASSERT_TRUE(done) << done.error();
    auto qs = service().queues();
    ASSERT_TRUE(qs);
    for (const auto& q : *qs) EXPECT_EQ(q.is_default, q.name == name) << q.name;
  }
  EXPECT_NE(box.read_file("home/.cups/lpoptions").find(std::string("Default ") + kQueue), std::string::npos);
  // Neither the server's default nor its options file changed.
  EXPECT_EQ(box.read_file("etc/printers.conf").find("<DefaultPrinter"), std::string::npos);
  EXPECT_EQ(box.read_file("etc/lpoptions"), "");
  EXPECT_FALSE(service().set_default("No_Such_Queue"));
  EXPECT_FALSE(service().set_default("two words"));

  // The non-ASCII name survives printing and the job list unchanged.
  const std::string id = print_and_find(write_pdf("für Büro.pdf"), other, 1, false);
  auto job = wait_for_job(id, JobState::Completed);
  ASSERT_TRUE(job);
  EXPECT_EQ(job->queue_name, other);
  EXPECT_EQ(job->document_name, "für Büro.pdf");
}

TEST(Service, DiscoveryThroughAnInjectedSource) {
  const auto& box = Sandbox::get();
  auto options = test_options();
  options.discovery_source = [&box]() -> Result<std::vector<FoundPrinter>> {
    return std::vector<FoundPrinter>{
        {box.printer_uri, "Pagora Virtual Printer", "Sandbox"},  // already a queue
        {"ipp://127.0.0.1:9/ipp/print", "Café \"Annex\" Printer", std::nullopt},
        {"ipps://127.0.0.1:9/ipp/print", "Café \"Annex\" Printer", "Hall"},
    };
  };
  auto svc = make_system_service(options);
  auto found = svc->discover_driverless();
  ASSERT_TRUE(found) << found.error();
  ASSERT_EQ(found->size(), 1u);
  EXPECT_EQ((*found)[0], (FoundPrinter{"ipps://127.0.0.1:9/ipp/print", "Café \"Annex\" Printer", "Hall"}));

  auto failing = test_options();
  failing.discovery_source = []() -> Result<std::vector<FoundPrinter>> { return std::unexpected("no network"); };
  EXPECT_FALSE(make_system_service(failing)->discover_driverless());
}

TEST(Service, AddDriverlessPrinterUnderASafeName) {
  const auto& box = Sandbox::get();
  auto done = service().add_driverless(box.printer_uri, "Büro \"Farbe\" Laser");
  ASSERT_TRUE(done) << done.error();
  auto q = queue_named("B_ro_Farbe_Laser");
  ASSERT_TRUE(q);
  EXPECT_TRUE(q->accepting);
  EXPECT_EQ(q->state, PrinterState::Idle);
  // The same name again never replaces the first queue.
  ASSERT_TRUE(service().add_driverless(box.printer_uri, "Büro \"Farbe\" Laser"));
  EXPECT_TRUE(queue_named("B_ro_Farbe_Laser_2"));
  // The new queue prints.
  const std::string id = print_and_find(write_pdf("added.pdf"), "B_ro_Farbe_Laser", 1, false);
  EXPECT_TRUE(wait_for_job(id, JobState::Completed));
  EXPECT_FALSE(service().add_driverless("file:///etc/passwd", "Sneaky"));
  EXPECT_FALSE(service().add_driverless("not a uri", "Nothing"));
}

TEST(Scan, EveryResolutionAndColourMode) {
  // A 600 dpi colour page is larger than the image reader's default limit.
  QImageReader::setAllocationLimit(1024);
  for (std::uint16_t dpi : {150, 300, 600}) {
    for (std::uint8_t mode : {0, 1, 2}) {
      auto png = service().scan_page("test:0", ScanOptions{.resolution_dpi = dpi, .colour_mode = mode, .source = 0});
      ASSERT_TRUE(png) << png.error();
      QImage img;
      ASSERT_TRUE(img.loadFromData(png->data(), static_cast<int>(png->size()), "PNG")) << dpi << "/" << int(mode);
      // The sandbox's test scanner scans 210 x 297 mm.
      EXPECT_NEAR(img.width(), 210.0 / 25.4 * dpi, 1.0) << dpi << "/" << int(mode);
      EXPECT_NEAR(img.height(), 297.0 / 25.4 * dpi, 1.0) << dpi << "/" << int(mode);
      switch (mode) {
        case 0: EXPECT_FALSE(img.allGray()) << dpi; break;
        case 1: EXPECT_TRUE(img.isGrayscale()) << dpi; EXPECT_EQ(img.depth(), 8) << dpi; break;
        case 2: EXPECT_EQ(img.depth(), 1) << dpi; break;
      }
    }
  }
}

TEST(Scan, SourcesAndFailures) {
  for (std::uint8_t source : {1, 2}) {  // no two-sided source: the feeder
    auto png = service().scan_page("test:0", ScanOptions{.resolution_dpi = 150, .colour_mode = 1, .source = source});
    EXPECT_TRUE(png) << int(source) << ": " << (png ? "" : png.error());
  }
  auto missing = service().scan_page("test:99", ScanOptions{});
  ASSERT_FALSE(missing);
  EXPECT_FALSE(missing.error().empty());
  EXPECT_FALSE(service().scan_page("", ScanOptions{}));
}

TEST(Outage, SilentPrinterWithinBoundedTime) {
  const auto& box = Sandbox::get();
  ASSERT_GT(box.printer_pid(), 0);
  // Stopped, the printer's connections are accepted but never answered.
  ASSERT_EQ(::kill(box.printer_pid(), SIGSTOP), 0);
  const auto t0 = Clock::now();
  auto q = queue_named(kQueue);
  const auto took = Clock::now() - t0;
  ::kill(box.printer_pid(), SIGCONT);
  ASSERT_TRUE(q);
  EXPECT_FALSE(q->responded);
  EXPECT_EQ(q->state, PrinterState::Unreachable);
  EXPECT_LT(took, 4s);  // one printer timeout (1 s), whatever the number of queues
}

TEST(Outage, UnreachablePrinterWithinBoundedTime) {
  const auto& box = Sandbox::get();
  ASSERT_GT(box.printer_pid(), 0);
  ASSERT_EQ(::kill(box.printer_pid(), SIGKILL), 0);
  std::this_thread::sleep_for(100ms);
  const auto t0 = Clock::now();
  auto q = queue_named(kQueue);
  const auto took = Clock::now() - t0;
  ASSERT_TRUE(q);
  EXPECT_FALSE(q->responded);
  EXPECT_EQ(q->state, PrinterState::Unreachable);
  EXPECT_LT(took, 3s);
}

TEST(Outage, HungServiceFailsWithinBoundedTime) {
  const auto& box = Sandbox::get();
  ASSERT_EQ(::kill(box.cupsd_pid(), SIGSTOP), 0);
  // Each call: the 2 s service timeout plus libcups' own short waits.
  const auto timed = [](auto call) {
    const auto t0 = Clock::now();
    const bool ok = call();
    return std::pair{ok, Clock::now() - t0};
  };
  const auto queues = timed([] { return service().queues().has_value(); });
  const auto jobs = timed([] { return service().jobs().has_value(); });
  const auto found = timed([] { return service().discover_driverless().has_value(); });
  const auto pause = timed([] { return service().set_enabled(kQueue, false).has_value(); });
  ::kill(box.cupsd_pid(), SIGCONT);
  for (const auto& [what, outcome] : {std::pair{"queues", queues}, std::pair{"jobs", jobs},
                                      std::pair{"discovery", found}, std::pair{"pause", pause}}) {
    EXPECT_FALSE(outcome.first) << what;
    EXPECT_LT(outcome.second, 4500ms) << what;
  }
  ASSERT_TRUE(service().set_enabled(kQueue, true));  // the service answers again
}

TEST(Outage, StoppedServiceMakesEachListAFailure) {
  const auto& box = Sandbox::get();
  const int pid = box.cupsd_pid();
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  for (int i = 0; i < 200 && running(pid); ++i) std::this_thread::sleep_for(10ms);
  ASSERT_FALSE(running(pid));
  const auto t0 = Clock::now();
  EXPECT_FALSE(service().queues());
  EXPECT_FALSE(service().jobs());
  EXPECT_FALSE(service().discover_driverless());
  EXPECT_FALSE(service().set_enabled(kQueue, true));
  EXPECT_FALSE(service().cancel_job("Pagora_Virtual_Printer-1"));
  EXPECT_LT(Clock::now() - t0, 2s);  // refused at once
  // Scanners do not depend on the print service.
  EXPECT_TRUE(service().scanners());
}

}  // namespace
}  // namespace os_actions::printing
