// The shared screen helpers, the loading and first-run screens and the
// partial-failure card.
#include <gtest/gtest.h>

#include "fakes.h"
#include "screens/frame.h"
#include "screens/loading.h"

namespace pagora::testing {
namespace {

using printing::JobState;
using printing::PrinterState;
using vimo_ui::testing::has_text;

TEST(Frame, PrinterStateLabels) {
  struct Case {
    PrinterState state;
    bool accepting;
    const char* label;
  };
  for (const auto& c : std::vector<Case>{{PrinterState::Idle, true, "Ready"},
                                         {PrinterState::Idle, false, "Not accepting new documents"},
                                         {PrinterState::Printing, false, "Printing"},
                                         {PrinterState::Paused, false, "Paused"},
                                         {PrinterState::Paused, true, "Paused"},
                                         {PrinterState::Unreachable, true, "Cannot reach this printer"}}) {
    auto q = queue("Office");
    q.state = c.state;
    q.accepting = c.accepting;
    EXPECT_EQ(screens::printer_state_label(q), c.label);
  }
}

TEST(Frame, JobTitles) {
  auto named = job("Studio_printer-42", JobState::Processing);
  named.document_name = "Travel itinerary.pdf";
  EXPECT_EQ(screens::job_title(named), "Travel itinerary.pdf");
  EXPECT_EQ(screens::job_title(job("Studio_printer-41", JobState::Completed)), "Document 41");
  EXPECT_EQ(screens::job_title(job("a-b-c", JobState::Completed)), "Document c");
  EXPECT_EQ(screens::job_title(job("plain", JobState::Completed)), "Document plain");
  EXPECT_EQ(screens::job_title(job("ends-", JobState::Completed)), "Document ");
}

TEST(Frame, JobPagePosition) {
  using P = std::pair<std::uint32_t, std::uint32_t>;
  struct Case {
    std::optional<std::uint32_t> done, total;
    P expected;
  };
  const std::uint32_t max = std::numeric_limits<std::uint32_t>::max();
  for (const auto& c : std::vector<Case>{{8, 12, {9, 12}},
                                         {12, 12, {12, 12}},
                                         {std::nullopt, 12, {1, 12}},
                                         {3, std::nullopt, {1, 1}},
                                         {3, 0, {1, 1}},
                                         {max, max, {max, max}}}) {
    auto j = job("x-1", JobState::Processing);
    j.pages_done = c.done;
    j.pages_total = c.total;
    EXPECT_EQ(screens::job_page_position(j), c.expected);
  }
}

TEST(Frame, JobProgressIsThePercentageOverAHundredUnclamped) {
  const auto j = job("x-1", JobState::Processing);
  EXPECT_EQ(screens::job_progress(j, [](const printing::PrintJob&) -> std::optional<std::uint32_t> { return {}; }), 0.0);
  EXPECT_EQ(screens::job_progress(j, [](const printing::PrintJob&) -> std::optional<std::uint32_t> { return 150; }),
            1.5);
  EXPECT_EQ(screens::job_progress(j, [](const printing::PrintJob&) -> std::optional<std::uint32_t> { return 40; }),
            0.4);
}

TEST(Frame, JobStateLabelsIncludingValuesOutsideTheTable) {
  EXPECT_EQ(screens::queue_state_label(JobState::Held), "Waiting");
  EXPECT_EQ(screens::queue_state_label(JobState::Aborted), "Could not print");
  EXPECT_EQ(screens::queue_state_label(JobState::Unknown), "In progress");
  EXPECT_EQ(screens::queue_state_label(static_cast<JobState>(42)), "In progress");
  EXPECT_EQ(screens::dashboard_status_title(JobState::Held), "Waiting to print");
  EXPECT_EQ(screens::dashboard_status_title(JobState::Completed), std::nullopt);
  EXPECT_EQ(screens::history_label(JobState::Aborted), "Did not print");
  EXPECT_EQ(screens::history_label(static_cast<JobState>(42)), std::nullopt);
  EXPECT_TRUE(printing::is_active(JobState::Stopped));
  EXPECT_FALSE(printing::is_active(JobState::Unknown));
  EXPECT_FALSE(printing::is_finished(JobState::Unknown));
  EXPECT_TRUE(printing::is_finished(JobState::Canceled));
}

TEST(Frame, BackBarSendsShowDashboardAndSupplyRowLabelsItsBar) {
  auto [tx, rx] = vimo_ui::channel<Message>();
  auto bar = screens::back_bar("Print queue", "Every document, in one place", tx);
  ASSERT_TRUE(vimo_ui::testing::press(*bar, "pagora.back"));
  auto m = rx.try_take();
  ASSERT_TRUE(m.has_value());
  EXPECT_TRUE(std::holds_alternative<msg::ShowDashboard>(*m.value));
  auto supply = screens::supply_row("Black", "72%", 0.72);
  EXPECT_TRUE(has_text(*supply, "Black: 72%"));
  EXPECT_TRUE(has_text(*supply, "Black level"));
}

TEST(Loading, HeaderButtonsOfLoadingAndFirstRunSendNothing) {
  std::vector<vimo_ui::WidgetPtr> screens_built;
  screens_built.push_back(screens::loading_screen());
  screens_built.push_back(screens::first_run_screen());
  for (const auto& screen : screens_built) {
    for (const char* id : {"pagora.add", "pagora.print"}) {
      auto found = vimo_ui::testing::buttons_with_id(*screen, id);
      ASSERT_EQ(found.size(), 1u) << id;
      EXPECT_FALSE(found[0]->has_action());
      EXPECT_EQ(found[0]->execution, vimo_actions::ExecutionKind::Navigate);
    }
  }
  auto loading = screens::loading_screen();
  EXPECT_TRUE(has_text(*loading, "Loading Pagora"));
  EXPECT_TRUE(has_text(*loading, "Checking printers and documents"));
  auto first = screens::first_run_screen();
  EXPECT_TRUE(has_text(*first, "Already have a document?"));
  EXPECT_EQ(vimo_ui::testing::buttons_with_id(*first, "pagora.add.first").size(), 1u);
}

TEST(Loading, PartialFailureTitlesAndBodiesForEveryCombination) {
  struct Case {
    bool queues_fail, jobs_fail, scanners_fail;
    const char* title;
    const char* names;
  };
  const char* some = "Some device information couldn't be checked";
  const std::vector<Case> table = {
      {true, false, false, "Printers couldn't be checked", "printers"},
      {false, true, false, "Print jobs couldn't be checked", "documents"},
      {false, false, true, "Scanners couldn't be checked", "scanners"},
      {true, true, false, some, "printers or documents"},
      {true, false, true, some, "printers or scanners"},
      {false, true, true, some, "documents or scanners"},
      {true, true, true, some, "printers or documents or scanners"},
  };
  auto [tx, rx] = vimo_ui::channel<Message>();
  for (const auto& c : table) {
    ServiceSnapshot s{std::vector<printing::PrinterQueue>{}, std::vector<printing::PrintJob>{},
                      std::vector<printing::Scanner>{}};
    if (c.queues_fail) s.queues = std::unexpected("x");
    if (c.jobs_fail) s.jobs = std::unexpected("x");
    if (c.scanners_fail) s.scanners = std::unexpected("x");
    auto card = screens::partial_failure_card(screens::failed_categories(s, true, true, true), tx);
    ASSERT_TRUE(card) << c.names;
    EXPECT_TRUE(has_text(*card, c.title)) << c.names;
    EXPECT_TRUE(has_text(*card, std::string("Pagora couldn't get ") + c.names +
                                    " right now. Your saved devices and documents have not been removed."))
        << c.names;
    EXPECT_FALSE(has_text(*card, "x"));  // the failure text itself is never shown
    ASSERT_TRUE(vimo_ui::testing::press(*card, "pagora.service.retry"));
    auto m = rx.try_take();
    ASSERT_TRUE(m.has_value());
    EXPECT_TRUE(std::holds_alternative<msg::Refresh>(*m.value));
    // A screen that considers only documents shows no card when only printers failed.
    if (c.queues_fail && !c.jobs_fail) {
      EXPECT_EQ(screens::partial_failure_card(screens::failed_categories(s, false, true, false), tx), nullptr);
    }
  }
}

}  // namespace
}  // namespace pagora::testing
