// Print history: finished jobs only, at most 50 in list order, the outcome
// and page texts, and "Print again" per entry.
#include "support.h"

namespace pagora::screens_test {
namespace {

using vimo_actions::ExecutionKind;

TEST(History, EntryTexts) {
  struct Case {
    const char* name;
    JobState state;
    std::optional<std::uint32_t> pages;
    const char* outcome;
    const char* line;
    const char* preview;
  };
  const std::vector<Case> table = {
      {"three pages", JobState::Completed, 3, "Printed", "3 pages, sent to Studio printer, yesterday",
       "Printed document 3/3"},
      {"one page", JobState::Canceled, 1, "Canceled", "1 page, sent to Studio printer, yesterday",
       "Printed document 1/1"},
      {"zero pages", JobState::Aborted, 0, "Did not print", "0 pages, sent to Studio printer, yesterday",
       "Printed document 1/1"},
      {"unknown count", JobState::Completed, std::nullopt, "Printed",
       "Page count unavailable, sent to Studio printer, yesterday", "Printed document 1/1"},
  };
  Outbox out;
  for (const auto& c : table) {
    auto j = job("Studio_printer-5", c.state, "Studio_printer");
    j.pages_total = c.pages;
    j.time = "yesterday";
    auto screen = screens::history_screen(loaded({}, {j}), out.sender);
    EXPECT_TRUE(has_text(*screen, c.outcome)) << c.name;
    EXPECT_TRUE(has_text(*screen, c.line)) << c.name;
    EXPECT_TRUE(has_text(*screen, "Document 5")) << c.name;
    EXPECT_EQ(previews(*screen), std::vector<std::string>{c.preview}) << c.name;
    EXPECT_EQ(sketch(*screen),
              (std::vector<std::string>{"column Pagora", "space 20", "box 840 card Document 5", "space 12"}))
        << c.name;
  }
}

TEST(History, EmptyAndFailedLists) {
  struct Case {
    const char* name;
    ServiceSnapshot snapshot;
    std::vector<std::string> expected;
  };
  std::vector<Case> table;
  table.push_back({"only active and unknown jobs",
                   loaded({}, {job("a-1", JobState::Processing), job("a-2", JobState::Unknown),
                               job("a-3", static_cast<JobState>(255))}),
                   {"column Pagora", "space 20", "card No completed documents yet"}});
  table.push_back({"jobs failed",
                   ServiceSnapshot{failed(), failed(), failed()},
                   {"column Pagora", "space 20", "card Print jobs couldn't be checked", "space 14",
                    "card No completed documents yet"}});
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::history_screen(c.snapshot, out.sender);
    EXPECT_EQ(sketch(*screen), c.expected) << c.name;
    EXPECT_TRUE(has_text(*screen, "After a document finishes or is canceled, its status will appear here."));
  }
}

TEST(History, FirstFiftyFinishedJobsInListOrder) {
  // 60 finished jobs with active and unknown jobs between them.
  std::vector<printing::PrintJob> jobs;
  for (int i = 1; i <= 60; ++i) {
    jobs.push_back(job(fmt::format("Office-{}", i), i % 3 == 0 ? JobState::Aborted : JobState::Completed));
    if (i % 10 == 0) jobs.push_back(job(fmt::format("Office-active-{}", i), JobState::Processing));
    if (i % 7 == 0) jobs.push_back(job(fmt::format("Office-unknown-{}", i), JobState::Unknown));
  }
  Outbox out;
  auto screen = screens::history_screen(loaded({}, jobs), out.sender);
  std::vector<std::string> expected;
  for (int i = 1; i <= 50; ++i) expected.push_back(fmt::format("pagora.history.repeat.Office-{}", i));
  std::vector<std::string> ids;
  for (const auto* b : vimo_ui::testing::buttons(*screen)) {
    if (b->control_id != "pagora.back") ids.push_back(b->control_id);
  }
  EXPECT_EQ(ids, expected);
}

TEST(History, EveryButtonSendsItsMessage) {
  Outbox out;
  auto screen =
      screens::history_screen(loaded({}, {job("Office-3", JobState::Completed), job("Office-4", JobState::Held),
                                          job("Studio printer-9", JobState::Canceled)}),
                              out.sender);
  const auto P = ExecutionKind::Perform;
  EXPECT_EQ(press_all(*screen, out),
            (std::vector<Pressed>{
                {"pagora.back", "Pagora", P, "ShowDashboard"},
                {"pagora.history.repeat.Office-3", "Print again", P, "RetryJob Office-3"},
                {"pagora.history.repeat.Studio printer-9", "Print again", P, "RetryJob Studio printer-9"},
            }));
  for (const auto* b : buttons_with_id(*screen, "pagora.history.repeat.Office-3")) {
    EXPECT_EQ(b->button_kind, vimo_ui::ButtonKind::Emphasised);
    EXPECT_EQ(b->icon, vimo_ui::IconRole::Refresh);
  }
}

}  // namespace
}  // namespace pagora::screens_test
