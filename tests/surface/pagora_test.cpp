// The root widget as a state machine: construction, the one-event update,
// refresh, operations with their notices, and the print flow.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes.h"
#include "service/workers.h"
#include "surface/dispatch.h"

namespace pagora::testing {
namespace {

using vimo_ui::UpdateContext;
using vimo_ui::testing::has_text;

struct PagoraTest : ::testing::Test {
  Rig rig;
  std::unique_ptr<surface::Pagora> app = surface::Pagora::live(rig.collaborators());
  UpdateContext cx;

  // Runs update until it has nothing more to do; returns the number of events.
  int settle() {
    int n = 0;
    while (app->update(cx)) ++n;
    return n;
  }
  void load(std::vector<printing::PrinterQueue> queues = {queue("Office_laser-2", true)},
            std::vector<printing::PrintJob> jobs = {job("Office-7", printing::JobState::Processing)}) {
    rig.printing->queues_result = std::move(queues);
    rig.printing->jobs_result = std::move(jobs);
    ASSERT_TRUE(rig.workers->run(service::kRefreshWorker));
    settle();
  }
  std::string screen() const { return screen_name(*app->view); }
  void send(Message m) { app->sender.send(std::move(m)); }
};

TEST_F(PagoraTest, LiveStartShowsLoadingThenTheDashboardFromOneRefresh) {
  EXPECT_EQ(app->type_name(), "pagora::surface::Pagora");
  EXPECT_EQ(screen(), "loading");
  EXPECT_EQ(rig.workers->names, std::vector<std::string>{"vimo-pagora-refresh"});
  EXPECT_TRUE(app->needs_idle_sync());
  EXPECT_FALSE(app->update(cx));  // nothing has arrived yet
  load();
  EXPECT_EQ(rig.printing->calls(), (std::vector<std::string>{"queues", "jobs", "scanners"}));
  EXPECT_EQ(screen(), "dashboard");
  EXPECT_FALSE(app->needs_idle_sync());
  ASSERT_EQ(app->children().size(), 1u);
  EXPECT_EQ(app->children()[0], app->view.get());
  // The seven cells start at their initial values.
  EXPECT_EQ(app->copies->get(), 1.0);
  EXPECT_FALSE(app->two_sided->get());
  EXPECT_EQ(app->scan_resolution->get(), 1u);
  EXPECT_EQ(app->scan_colour->get() + app->scan_source->get() + app->ocr_language->get(), 0u);
  EXPECT_EQ(app->crop_selection->get(), vimo_ui::CropSelection{});
}

TEST_F(PagoraTest, TwoReadyEventsTakeTwoUpdatesRefreshFirst) {
  send(msg::ShowQueue{});
  ASSERT_TRUE(rig.workers->run(service::kRefreshWorker));
  ASSERT_TRUE(app->update(cx));
  EXPECT_EQ(screen(), "dashboard");  // the snapshot came before the message
  ASSERT_TRUE(app->update(cx));
  EXPECT_EQ(screen(), "queue");
  EXPECT_FALSE(app->update(cx));
}

TEST_F(PagoraTest, RefreshTwiceAppliesOnlyTheNewestSnapshot) {
  load();
  send(msg::Refresh{});
  settle();
  send(msg::Refresh{});
  settle();
  EXPECT_EQ(screen(), "loading");
  // The first of the two refresh workers delivers a snapshot nobody waits for.
  rig.printing->queues_result = std::vector{queue("Stale")};
  ASSERT_TRUE(rig.workers->run(service::kRefreshWorker));
  EXPECT_EQ(settle(), 0);
  EXPECT_EQ(screen(), "loading");
  rig.printing->queues_result = std::vector{queue("Fresh")};
  ASSERT_TRUE(rig.workers->run(service::kRefreshWorker));
  EXPECT_EQ(settle(), 1);
  ASSERT_TRUE(app->snapshot && app->snapshot->queues);
  EXPECT_EQ(app->snapshot->queues->front().name, "Fresh");
}

TEST_F(PagoraTest, ARefreshThatCannotStartLeavesNothingOutstanding) {
  rig.workers->refuse = true;
  auto other = surface::Pagora::live(rig.collaborators());
  EXPECT_FALSE(other->pending_refresh.has_value());
  EXPECT_FALSE(other->needs_idle_sync());
  EXPECT_EQ(screen_name(*other->view), "loading");
}

TEST_F(PagoraTest, CancelNeedsConfirmationAndCarriesTheFourTexts) {
  load();
  send(msg::RequestCancelJob{"Office-7"});
  send(msg::RequestCancelJob{"Office-8"});
  settle();
  EXPECT_EQ(screen(), "queue");
  EXPECT_EQ(app->cancel_confirmation, "Office-8");  // a new request replaces the old one
  send(msg::CancelJob{"Office-8"});
  settle();
  EXPECT_FALSE(app->cancel_confirmation.has_value());
  EXPECT_EQ(screen(), "queue");  // starting the work does not change the screen
  EXPECT_EQ(rig.workers->names.back(), "vimo-cancel-print-job");
  ASSERT_TRUE(rig.workers->run("vimo-cancel-print-job"));
  EXPECT_EQ(rig.printing->calls().back(), "cancel Office-8");
  settle();
  ASSERT_TRUE(app->notice.has_value());
  EXPECT_EQ(*app->notice, (Notice{"Document canceled", "It was removed from the printer.", true}));
  // The outcome starts a refresh without showing Loading; its snapshot shows the notice.
  EXPECT_EQ(screen(), "queue");
  ASSERT_TRUE(rig.workers->run(service::kRefreshWorker));
  settle();
  EXPECT_EQ(screen(), "dashboard");
  EXPECT_TRUE(has_text(*app->view, "Document canceled"));
}

TEST_F(PagoraTest, FailedOperationsShowTheirFixedFailureTextsNeverTheService) {
  load();
  rig.printing->operations_fail = true;
  struct Case {
    Message message;
    std::string worker;
    Notice expected;
  };
  const std::vector<Case> cases = {
      {msg::CancelJob{"Office-7"}, "vimo-cancel-print-job",
       {"Could not cancel document", "The document may still print. Check the queue and try again.", false}},
      {msg::RetryJob{"Office-7"}, "vimo-retry-print-job", {"Could not try again", "Check the printer, then try again.", false}},
      {msg::SetPrinterEnabled{"Office_laser-2", false}, "vimo-toggle-printer",
       {"Could not pause printer", "Nothing changed. Check the printer connection and try again.", false}},
      {msg::SetPrinterEnabled{"Office_laser-2", true}, "vimo-toggle-printer",
       {"Could not resume printer", "Nothing changed. Check the printer connection and try again.", false}},
      {msg::SetDefaultPrinter{"Office_laser-2"}, "vimo-default-printer",
       {"Could not change the preferred printer", "Office laser 2 is still available; try again in a moment.", false}},
      {msg::AddPrinter{{"ipps://studio.local/ipp/print", "Studio_printer", "Upstairs"}}, "vimo-add-printer",
       {"Could not add printer", "Check that Studio printer is awake and connected, then try again.", false}},
  };
  for (const auto& c : cases) {
    send(c.message);
    settle();
    ASSERT_TRUE(rig.workers->run(c.worker)) << c.worker;
    settle();
    EXPECT_EQ(app->notice, c.expected) << c.worker;
  }
}

TEST_F(PagoraTest, SuccessNoticesNameThePrinterByItsDisplayName) {
  load();
  send(msg::SetDefaultPrinter{"Office_laser-2"});
  settle();
  ASSERT_TRUE(rig.workers->run("vimo-default-printer"));
  settle();
  EXPECT_EQ(app->notice, (Notice{"Preferred printer changed",
                                 "New documents will use Office laser 2 unless you choose another printer.", true}));
  EXPECT_EQ(rig.printing->calls().back(), "default Office_laser-2");  // the service gets the raw name
}

TEST_F(PagoraTest, OperationFinishedOnAShownScanPageKeepsTheScanScreenAndDoesNotRefresh) {
  load();
  app->current_page = ScanPage{};
  const auto before = rig.workers->names.size();
  send(msg::OperationFinished{"Scanned page saved", "Saved a.png.", true});
  settle();
  EXPECT_EQ(screen(), "scan");
  EXPECT_EQ(rig.workers->names.size(), before);
  EXPECT_FALSE(app->pending_refresh.has_value());
}

TEST_F(PagoraTest, PreconditionsThatFailChangeNothing) {
  // Before the first snapshot.
  for (Message m : std::vector<Message>{msg::ShowQueue{}, msg::ShowHistory{}, msg::ShowDiagnostics{},
                                        msg::ShowDevice{"Office"}, msg::PrintDocument{}, msg::ShowScan{}}) {
    send(m);
    settle();
    EXPECT_EQ(screen(), "loading") << m.index();
  }
  send(msg::ShowDashboard{});
  settle();
  EXPECT_EQ(screen(), "first-run");
  load({queue("Office")});
  send(msg::ShowDevice{"office"});  // names differ only in case
  settle();
  EXPECT_EQ(screen(), "dashboard");
  send(msg::ShowDevice{"Office"});
  settle();
  EXPECT_EQ(screen(), "printer");
}

TEST_F(PagoraTest, LateDiscoveryResultShowsTheDiscoveryScreenAgain) {
  load();
  send(msg::FindPrinters{});
  settle();
  EXPECT_EQ(screen(), "discovery");
  send(msg::ShowDashboard{});
  settle();
  ASSERT_TRUE(rig.workers->run("vimo-printer-discovery"));
  settle();
  EXPECT_EQ(screen(), "discovery");
}

TEST(Copies, RoundToNearestWithHalvesToEvenWithinOneToNinetyNine) {
  const std::vector<std::pair<double, int>> table = {
      {3.0, 3},  {0.0, 1},   {250.0, 99}, {2.5, 2},   {3.5, 4},     {2.4, 2},
      {1.5, 2},  {98.5, 98}, {-7.0, 1},   {150.0, 99}, {99.49, 99}, {std::numeric_limits<double>::infinity(), 99},
      {std::nan(""), 1},
  };
  for (auto [in, out] : table) EXPECT_EQ(surface::round_copies(in), out) << in;
}

TEST_F(PagoraTest, PrintFlowFromPickerToJob) {
  load({queue("First"), queue("Office_laser-2", true)});
  app->copies->set(5.0);
  send(msg::ChooseDocument{});
  send(msg::ChooseDocument{});  // the picker is already open
  settle();
  ASSERT_EQ(rig.portal->requests.size(), 1u);
  const auto& request = rig.portal->requests[0];
  EXPECT_EQ(request.title, "Choose a document to print");
  EXPECT_EQ(request.thread_name, "pagora-document-picker");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].mimetypes,
            (std::vector<std::string>{"application/pdf", "image/png", "image/jpeg", "text/plain"}));
  EXPECT_TRUE(request.all_files);
  EXPECT_EQ(app->copies->get(), 1.0);  // reset when the picker opened
  EXPECT_TRUE(app->needs_idle_sync());

  rig.portal->answer({vimo_ui::PickAnswer::Picked{"/home/mavo/Travel itinerary.pdf"}});
  settle();
  EXPECT_EQ(screen(), "print");
  EXPECT_EQ(app->print_target, "Office_laser-2");  // the preferred printer, not the first
  EXPECT_TRUE(std::holds_alternative<screens::PreviewLoading>(app->preview));
  ASSERT_TRUE(rig.workers->run("vimo-print-preview"));
  settle();
  EXPECT_TRUE(std::holds_alternative<screens::PreviewImage>(app->preview));

  app->copies->set(2.5);
  app->two_sided->set(true);
  send(msg::PrintDocument{});
  send(msg::PrintDocument{});  // a second press finds nothing to print
  settle();
  ASSERT_TRUE(rig.workers->run("vimo-print-document"));
  EXPECT_FALSE(rig.workers->run("vimo-print-document"));
  EXPECT_EQ(rig.printing->calls().back(), "print /home/mavo/Travel itinerary.pdf Office_laser-2 2 two-sided");
  settle();
  EXPECT_EQ(app->notice, (Notice{"Document sent to printer", "Travel itinerary.pdf was sent to Office laser 2.", true}));
}

TEST_F(PagoraTest, PrintWithoutAPrinterSendsNothingAndForgetsTheDocument) {
  load({});
  send(msg::ChooseDocument{});
  settle();
  rig.portal->answer({vimo_ui::PickAnswer::Picked{"/tmp/a.pdf"}});
  settle();
  EXPECT_FALSE(app->print_target.has_value());
  send(msg::PrintDocument{});
  settle();
  EXPECT_FALSE(app->document_path.has_value());
  EXPECT_FALSE(rig.workers->run("vimo-print-document"));
}

TEST_F(PagoraTest, DocumentPickerAnswers) {
  load();
  send(msg::ShowQueue{});
  send(msg::ChooseDocument{});
  settle();
  rig.portal->answer({vimo_ui::PickAnswer::Cancelled{}});
  settle();
  EXPECT_EQ(screen(), "queue");  // cancelling leaves the screen
  EXPECT_FALSE(app->notice.has_value());

  send(msg::ChooseDocument{});
  settle();
  rig.portal->answers.clear();  // the picker's channel goes away unanswered
  settle();
  EXPECT_EQ(screen(), "dashboard");
  EXPECT_EQ(app->notice,
            (Notice{"Could not open the file picker", "Try again, or print from the document's app.", false}));
}

TEST_F(PagoraTest, AnInvalidFileNameIsCalledDocumentInTheOutcome) {
  load();
  send(msg::ChooseDocument{});
  settle();
  rig.portal->answer({vimo_ui::PickAnswer::Picked{"/tmp/bad\xff.pdf"}});
  settle();
  send(msg::PrintDocument{});
  settle();
  ASSERT_TRUE(rig.workers->run("vimo-print-document"));
  settle();
  ASSERT_TRUE(app->notice.has_value());
  EXPECT_EQ(app->notice->body, "Document was sent to Office laser 2.");
}

TEST_F(PagoraTest, WorkersThatCannotStartDropTheRequestSilently) {
  load();
  rig.workers->refuse = true;
  send(msg::CancelJob{"Office-7"});
  settle();
  EXPECT_FALSE(app->notice.has_value());
  EXPECT_TRUE(rig.workers->started.empty());
}

TEST(DisplayName, SeparatorsBecomeSingleSpaces) {
  const std::vector<std::pair<std::string, std::string>> table = {
      {"Studio_printer", "Studio printer"}, {"__office--laser__", "office laser"}, {"a_-_b", "a b"},
      {"-_-", ""},                          {"  Two   words ", "Two words"},      {"Caf\xc3\xa9_Ecke", "Caf\xc3\xa9 Ecke"},
      {"no\xc2\xa0" "break", "no break"},
  };
  for (const auto& [in, out] : table) EXPECT_EQ(printer_display_name(in), out) << in;
}

}  // namespace
}  // namespace pagora::testing
