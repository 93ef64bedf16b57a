// The print queue: layout, the action rules per job state, the 24-card limit
// and the two-step cancel.
#include "support.h"

namespace pagora::screens_test {
namespace {

using vimo_actions::ExecutionKind;

std::optional<Notice> no_notice;
std::optional<std::string> no_confirmation;

// The button labels of each card, card by card.
std::vector<std::vector<std::string>> card_buttons(const vimo_ui::Widget& screen) {
  std::vector<std::vector<std::string>> out;
  for (const auto* grid : vimo_ui::testing::find_all<vimo_ui::CardGrid>(screen)) {
    for (const auto& card : grid->items) out.push_back(vimo_ui::testing::button_labels(*card));
  }
  return out;
}

TEST(Queue, PageLayout) {
  struct Case {
    const char* name;
    ServiceSnapshot snapshot;
    std::optional<std::string> confirmation;
    std::optional<Notice> notice;
    std::vector<std::string> expected;
  };
  std::vector<Case> table;
  table.push_back(
      {"no jobs", loaded(), std::nullopt, std::nullopt, {"column Pagora", "space 20", "card Nothing waiting"}});
  table.push_back({"printers failing is not this screen's concern",
                   ServiceSnapshot{failed(), std::vector<printing::PrintJob>{}, failed()},
                   std::nullopt,
                   std::nullopt,
                   {"column Pagora", "space 20", "card Nothing waiting"}});
  table.push_back({"notice, failure, then the warning",
                   ServiceSnapshot{std::vector<printing::PrinterQueue>{}, failed(), std::vector<printing::Scanner>{}},
                   std::string("Office-9"),
                   Notice{"Could not cancel document", "Try again.", false},
                   {"column Pagora", "space 20", "banner Could not cancel document", "space 14",
                    "card Print jobs couldn't be checked", "space 14", "banner Cancel this document?", "space 14",
                    "card Nothing waiting"}});
  table.push_back({"jobs in a grid",
                   loaded({}, {job("Office-1", JobState::Held), job("Office-2", JobState::Completed)}),
                   std::nullopt,
                   std::nullopt,
                   {"column Pagora", "space 20", "grid 2"}});
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::queue_screen(c.snapshot, c.confirmation, c.notice, out.sender);
    EXPECT_EQ(sketch(*screen), c.expected) << c.name;
  }
  auto screen =
      screens::queue_screen(loaded({}, {job("Office-1", JobState::Held)}), no_confirmation, no_notice, out.sender);
  const auto grids = vimo_ui::testing::find_all<vimo_ui::CardGrid>(*screen);
  ASSERT_EQ(grids.size(), 1u);
  EXPECT_EQ(grids[0]->column_width, 330);
  auto confirming = screens::queue_screen(loaded(), std::string("x"), no_notice, out.sender);
  const auto warning = vimo_ui::testing::find_all<vimo_ui::Banner>(*confirming);
  ASSERT_EQ(warning.size(), 1u);
  EXPECT_EQ(warning[0]->tone, vimo_ui::Tone::Warning);
  EXPECT_EQ(warning[0]->message, "It will be removed from the printer. This cannot be undone.");
}

TEST(Queue, LabelAndActionsPerJobState) {
  struct Case {
    JobState state;
    const char* label;
    std::vector<std::string> buttons;
  };
  const std::vector<Case> table = {
      {JobState::Pending, "In progress", {"Cancel"}},
      {JobState::Held, "Waiting", {"Cancel"}},
      {JobState::Processing, "In progress", {"Cancel"}},
      {JobState::Stopped, "Needs attention", {"Try again", "Cancel"}},
      {JobState::Canceled, "Canceled", {"Try again"}},
      {JobState::Aborted, "Could not print", {"Try again", "Cancel"}},
      {JobState::Completed, "Printed", {}},
      {JobState::Unknown, "In progress", {"Cancel"}},
      {static_cast<JobState>(7), "In progress", {"Cancel"}},
      {static_cast<JobState>(200), "In progress", {"Cancel"}},
  };
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::queue_screen(loaded({}, {job("Office-3", c.state)}), no_confirmation, no_notice, out.sender);
    EXPECT_TRUE(has_text(*screen, c.label)) << static_cast<int>(c.state);
    EXPECT_EQ(card_buttons(*screen), std::vector<std::vector<std::string>>{c.buttons}) << static_cast<int>(c.state);
  }
}

TEST(Queue, ConfirmationSwapsOnlyTheAwaitedJobByExactId) {
  const std::vector<printing::PrintJob> jobs = {job("Office-1", JobState::Held), job("Office-10", JobState::Aborted),
                                                job("Office-11", JobState::Completed)};
  Outbox out;
  const auto P = ExecutionKind::Perform;

  auto none = screens::queue_screen(loaded({}, jobs), no_confirmation, no_notice, out.sender);
  EXPECT_FALSE(has_text(*none, "Cancel this document?"));

  // "Office-1" is a prefix of "Office-10": only the exact id confirms.
  auto first = screens::queue_screen(loaded({}, jobs), std::string("Office-1"), no_notice, out.sender);
  EXPECT_TRUE(has_text(*first, "Cancel this document?"));
  EXPECT_EQ(card_buttons(*first),
            (std::vector<std::vector<std::string>>{{"Confirm cancel"}, {"Try again", "Cancel"}, {}}));
  EXPECT_EQ(press_all(*first, out), (std::vector<Pressed>{
                                        {"pagora.back", "Pagora", P, "ShowDashboard"},
                                        {"pagora.job.cancel", "Confirm cancel", P, "CancelJob Office-1"},
                                        {"pagora.job.retry", "Try again", P, "RetryJob Office-10"},
                                        {"pagora.job.cancel", "Cancel", P, "RequestCancelJob Office-10"},
                                    }));

  // The confirmation moved to another job.
  auto moved = screens::queue_screen(loaded({}, jobs), std::string("Office-10"), no_notice, out.sender);
  EXPECT_EQ(card_buttons(*moved),
            (std::vector<std::vector<std::string>>{{"Cancel"}, {"Try again", "Confirm cancel"}, {}}));

  // An awaited job that is not shown still gets the warning, and no card confirms.
  auto gone = screens::queue_screen(loaded({}, jobs), std::string("Office-99"), no_notice, out.sender);
  EXPECT_TRUE(has_text(*gone, "Cancel this document?"));
  EXPECT_EQ(buttons_with_id(*gone, "pagora.job.cancel").size(), 2u);
  EXPECT_FALSE(has_text(*gone, "Confirm cancel"));

  // A completed job never offers a cancel, confirmed or not.
  auto completed = screens::queue_screen(loaded({}, jobs), std::string("Office-11"), no_notice, out.sender);
  EXPECT_FALSE(has_text(*completed, "Confirm cancel"));
}

TEST(Queue, AtMost24CardsInListOrder) {
  std::vector<printing::PrintJob> jobs;
  for (int i = 1; i <= 30; ++i) jobs.push_back(job(fmt::format("Office-{}", i), JobState::Held));
  Outbox out;
  auto screen = screens::queue_screen(loaded({}, jobs), no_confirmation, no_notice, out.sender);
  const auto grids = vimo_ui::testing::find_all<vimo_ui::CardGrid>(*screen);
  ASSERT_EQ(grids.size(), 1u);
  ASSERT_EQ(grids[0]->items.size(), 24u);
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(vimo_ui::testing::texts(*grids[0]->items[i]).front(), fmt::format("Document {}", i + 1));
  }
  EXPECT_FALSE(has_text(*screen, "Document 25"));
}

TEST(Queue, CardShowsPreviewPrinterAndProgress) {
  auto j = job("Office_laser-2-17", JobState::Processing, "Office_laser-2");
  j.pages_done = 3;
  j.pages_total = 5;
  j.document_name = "Report.pdf";
  Outbox out;
  auto screen = screens::queue_screen(loaded({}, {j}), no_confirmation, no_notice, out.sender);
  EXPECT_TRUE(has_text(*screen, "Report.pdf"));
  EXPECT_TRUE(has_text(*screen, "Sent to Office laser 2"));
  EXPECT_EQ(previews(*screen), std::vector<std::string>{"Queued document 4/5"});
  EXPECT_EQ(bars(*screen), std::vector<std::string>{"Document progress=0.6"});
}

}  // namespace
}  // namespace pagora::screens_test
