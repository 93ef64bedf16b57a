// The dashboard: its own card type, the summary, section order, the current
// document, printer cards with the lowest supply, and every button.
#include "support.h"

namespace pagora::screens_test {
namespace {

using vimo_actions::ExecutionKind;

std::optional<Notice> no_notice;

TEST(DashboardCard, IsItsOwnWidgetTypeWithOneCardSurfaceChild) {
  auto card = screens::dashboard_card("Device help", vimo_ui::body("Checks"), vimo_ui::body("Actions"));
  EXPECT_EQ(card->type_name(), "pagora::surface::DashboardCard");
  EXPECT_EQ(card->kind_name(), "DashboardCard");
  EXPECT_EQ(card->kind(), vimo_ui::Kind::Custom);
  ASSERT_EQ(card->children().size(), 1u);
  ASSERT_EQ(card->children_mut().size(), 1u);
  EXPECT_EQ(card->children()[0], &card->surface());
  EXPECT_EQ(card->children_mut()[0], &card->surface());
  EXPECT_TRUE(card->surface().card_surface);

  // Title, 14 px, content, 16 px, actions: actions under the content.
  ASSERT_EQ(card->surface().children().size(), 1u);
  const auto* inner = dynamic_cast<const vimo_ui::Column*>(card->surface().children()[0]);
  ASSERT_NE(inner, nullptr);
  ASSERT_EQ(inner->items.size(), 5u);
  const auto* title = dynamic_cast<const vimo_ui::Text*>(inner->items[0].get());
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text, "Device help");
  EXPECT_EQ(title->style, vimo_ui::TextStyle::Heading);
  EXPECT_EQ(title->size_px, 18);
  EXPECT_EQ(dynamic_cast<const vimo_ui::Spacer&>(*inner->items[1]).height, 14);
  EXPECT_EQ(dynamic_cast<const vimo_ui::Text&>(*inner->items[2]).text, "Checks");
  EXPECT_EQ(dynamic_cast<const vimo_ui::Spacer&>(*inner->items[3]).height, 16);
  EXPECT_EQ(dynamic_cast<const vimo_ui::Text&>(*inner->items[4]).text, "Actions");
}

// A surface that counts the loop's calls, to see the card hand them on.
struct CountingSurface : vimo_ui::Container {
  int updates = 0;
  int syncs = 0;
  bool update(vimo_ui::UpdateContext&) override { return ++updates == 1; }
  void sync(vimo_ui::UpdateContext&) override { ++syncs; }
};

TEST(DashboardCard, HandsTheLoopsCallsToItsSurface) {
  auto surface = std::make_unique<CountingSurface>();
  auto* counting = surface.get();
  surface::DashboardCard card(std::move(surface));
  vimo_ui::UpdateContext cx;
  EXPECT_TRUE(card.update(cx));  // the surface's answer comes back unchanged
  EXPECT_FALSE(card.update(cx));
  card.sync(cx);
  EXPECT_EQ(counting->updates, 2);
  EXPECT_EQ(counting->syncs, 1);
  EXPECT_TRUE(counting->card_surface);
}

TEST(DashboardCard, NeverHoldsANullChild) {
  surface::DashboardCard card(nullptr);
  ASSERT_EQ(card.children().size(), 1u);
  EXPECT_NE(card.children()[0], nullptr);
  vimo_ui::UpdateContext cx;
  EXPECT_FALSE(card.update(cx));
  card.sync(cx);
}

TEST(Dashboard, SummaryLine) {
  struct Case {
    const char* name;
    ServiceSnapshot snapshot;
    const char* summary;
  };
  std::vector<Case> table;
  table.push_back(
      {"nothing active", loaded({printer("Office")}, {job("a-1", JobState::Completed)}), "Everything is ready"});
  table.push_back({"one active among finished and unknown",
                   loaded({}, {job("a-1", JobState::Completed), job("a-2", JobState::Stopped),
                               job("a-3", JobState::Unknown), job("a-4", static_cast<JobState>(9))}),
                   "One document is active"});
  table.push_back({"three active",
                   loaded({}, {job("a-1", JobState::Held), job("a-2", JobState::Pending),
                               job("a-3", JobState::Canceled), job("a-4", JobState::Processing)}),
                   "3 documents are active"});
  table.push_back({"printers failed",
                   ServiceSnapshot{failed(), std::vector<printing::PrintJob>{}, std::vector<printing::Scanner>{}},
                   "Some information needs refreshing"});
  table.push_back({"jobs failed with nothing else",
                   ServiceSnapshot{std::vector<printing::PrinterQueue>{}, failed(), std::vector<printing::Scanner>{}},
                   "Some information needs refreshing"});
  table.push_back(
      {"scanners failed while jobs are active",
       ServiceSnapshot{std::vector<printing::PrinterQueue>{}, std::vector{job("a-1", JobState::Held)}, failed()},
       "Some information needs refreshing"});
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::dashboard_screen(c.snapshot, no_notice, out.sender);
    EXPECT_TRUE(has_text(*screen, c.summary)) << c.name;
  }
}

TEST(Dashboard, SectionOrder) {
  struct Case {
    const char* name;
    ServiceSnapshot snapshot;
    std::optional<Notice> notice;
    std::vector<std::string> expected;
  };
  const Notice done{"Document canceled", "Office will not print it.", true};
  std::vector<Case> table;
  table.push_back(
      {"notice before the failure card, then the rest",
       ServiceSnapshot{std::vector{printer("Office")}, failed(), std::vector<printing::Scanner>{{"s1", "Flatbed"}}},
       done,
       {"column Pagora", "space 20", "banner Document canceled", "space 14", "card Print jobs couldn't be checked",
        "space 14", "column Your printers", "space 18", "dashboard-card Scan a document", "space 18",
        "column Device help"}});
  table.push_back({"all failed leaves only device help",
                   ServiceSnapshot{failed(), failed(), failed()},
                   std::nullopt,
                   {"column Pagora", "space 20", "card Some device information couldn't be checked", "space 14",
                    "space 18", "column Device help"}});
  table.push_back(
      {"active job, printers, no scanners",
       loaded({printer("Office")}, {job("Office-1", JobState::Completed), job("Office-2", JobState::Processing)}),
       std::nullopt,
       {"column Pagora", "space 20", "dashboard-card Printing now", "space 28", "column Your printers", "space 18",
        "column Recent documents"}});
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::dashboard_screen(c.snapshot, c.notice, out.sender);
    EXPECT_EQ(sketch(*screen), c.expected) << c.name;
  }
}

TEST(Dashboard, HiddenSectionsFollowTheFailedCategory) {
  Outbox out;
  auto all_failed = screens::dashboard_screen(ServiceSnapshot{failed(), failed(), failed()}, no_notice, out.sender);
  EXPECT_TRUE(buttons_with_id(*all_failed, "pagora.refresh").empty());
  EXPECT_FALSE(has_text(*all_failed, "Your printers"));
  EXPECT_FALSE(has_text(*all_failed, "Recent documents"));
  EXPECT_FALSE(has_text(*all_failed, "Scan a document"));
  EXPECT_TRUE(has_text(*all_failed, "Device help"));
  EXPECT_TRUE(has_text(*all_failed,
                       "Pagora couldn't get printers or documents or scanners right now. Your saved devices and "
                       "documents have not been removed."));

  auto no_scanners = screens::dashboard_screen(loaded({printer("Office")}), no_notice, out.sender);
  EXPECT_FALSE(has_text(*no_scanners, "Scan a document"));
  EXPECT_TRUE(buttons_with_id(*no_scanners, "pagora.scan.open").empty());

  auto no_printers = screens::dashboard_screen(loaded(), no_notice, out.sender);
  EXPECT_TRUE(has_text(*no_printers, "Your printers"));
  EXPECT_EQ(buttons_with_id(*no_printers, "pagora.refresh").size(), 1u);
  EXPECT_TRUE(has_text(*no_printers, "No printers added"));
  EXPECT_TRUE(has_text(*no_printers, "You can still scan documents below. Add a printer whenever you need one."));
}

TEST(Dashboard, CurrentDocumentIsTheFirstActiveJob) {
  auto held = job("Studio_printer-42", JobState::Held, "Studio_printer");
  held.pages_done = 8;
  held.pages_total = 12;
  auto second = job("Office-7", JobState::Processing);
  second.document_name = "Second.pdf";
  Outbox out;
  auto screen = screens::dashboard_screen(
      loaded({}, {job("Office-1", JobState::Completed), held, second, job("Office-8", JobState::Stopped)}), no_notice,
      out.sender);
  EXPECT_TRUE(has_text(*screen, "3 documents are active"));
  EXPECT_TRUE(has_text(*screen, "Waiting to print"));
  EXPECT_TRUE(has_text(*screen, "Document 42"));
  EXPECT_TRUE(has_text(*screen, "Sent to Studio printer"));
  EXPECT_FALSE(has_text(*screen, "Second.pdf"));
  EXPECT_EQ(previews(*screen), std::vector<std::string>{"Current document 9/12"});
  // 8 of 12 pages is 66 whole percent.
  EXPECT_EQ(bars(*screen), std::vector<std::string>{"Current document progress=0.66"});
  const auto boxes = vimo_ui::testing::find_all<vimo_ui::Container>(*screen);
  EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), [](auto* b) { return b->fixed_width == 260; }), 1);
  const auto heading = vimo_ui::testing::find_all<vimo_ui::Text>(*screen);
  const auto title = std::find_if(heading.begin(), heading.end(), [](auto* t) { return t->text == "Document 42"; });
  ASSERT_NE(title, heading.end());
  EXPECT_EQ((*title)->size_px, 17);
}

TEST(Dashboard, CurrentDocumentTitleByState) {
  struct Case {
    JobState state;
    const char* title;
  };
  Outbox out;
  for (const auto& c : std::vector<Case>{{JobState::Pending, "Printing now"},
                                         {JobState::Processing, "Printing now"},
                                         {JobState::Held, "Waiting to print"},
                                         {JobState::Stopped, "Needs attention"}}) {
    auto screen = screens::dashboard_screen(loaded({}, {job("Office-1", c.state)}), no_notice, out.sender);
    const auto lines = sketch(*screen);
    EXPECT_EQ(lines.at(2), std::string("dashboard-card ") + c.title) << static_cast<int>(c.state);
  }
}

TEST(Dashboard, PrinterCardSupplyLine) {
  struct Case {
    const char* name;
    std::optional<std::vector<printing::Supply>> supplies;
    const char* line;
    std::vector<std::string> bars;
  };
  const std::vector<Case> table = {
      {"lowest among levels, unknown skipped",
       std::vector{supply("Cyan", std::nullopt), supply("Black", 40), supply("Yellow", 15)},
       "Lowest supply: 15% remaining",
       {"Lowest supply level=0.15"}},
      {"an unknown level after a known one is still skipped",
       std::vector{supply("Black", 40), supply("Cyan", std::nullopt), supply("Yellow", 55)},
       "Lowest supply: 40% remaining",
       {"Lowest supply level=0.4"}},
      {"an empty supply is the lowest",
       std::vector{supply("Black", 0), supply("Cyan", 80)},
       "Lowest supply: 0% remaining",
       {"Lowest supply level=0"}},
      {"no supply list", std::nullopt, "Supply levels unavailable", {}},
      {"present but empty", std::vector<printing::Supply>{}, "Supply levels unavailable", {}},
      {"no supply has a level",
       std::vector{supply("Black", std::nullopt), supply("Cyan", std::nullopt)},
       "Supply levels unavailable",
       {}},
  };
  Outbox out;
  for (const auto& c : table) {
    auto q = printer("Office");
    q.supplies = c.supplies;
    auto card = screens::printer_card(q, out.sender);
    EXPECT_TRUE(has_text(*card, c.line)) << c.name;
    EXPECT_EQ(bars(*card), c.bars) << c.name;
  }
}

TEST(Dashboard, PrinterCardNamesStateAndPreference) {
  auto preferred = printer("Studio_printer");
  preferred.is_default = true;
  preferred.state = PrinterState::Printing;
  auto other = printer("office-laser");
  other.accepting = false;
  Outbox out;
  auto first = screens::printer_card(preferred, out.sender);
  EXPECT_EQ(vimo_ui::testing::texts(*first).front(), "Studio printer");
  EXPECT_TRUE(has_text(*first, "Printing"));
  EXPECT_TRUE(has_text(*first, "Preferred printer"));
  EXPECT_FALSE(has_text(*first, "Available to your apps"));
  auto second = screens::printer_card(other, out.sender);
  EXPECT_EQ(vimo_ui::testing::texts(*second).front(), "office laser");
  EXPECT_TRUE(has_text(*second, "Not accepting new documents"));
  EXPECT_TRUE(has_text(*second, "Available to your apps"));
  EXPECT_EQ(vimo_ui::testing::find_all<vimo_ui::IconWidget>(*second).at(0)->size_px, 34);
}

TEST(Dashboard, ScanCardNamesTheFirstScanner) {
  Outbox out;
  auto screen =
      screens::dashboard_screen(loaded({}, {}, {{"a", "Flatbed one"}, {"b", "Feeder two"}}), no_notice, out.sender);
  EXPECT_TRUE(has_text(*screen, "Flatbed one is ready"));
  EXPECT_FALSE(has_text(*screen, "Feeder two is ready"));
}

TEST(Dashboard, RecentDocumentsTextNeedsACompletedJob) {
  struct Case {
    std::vector<printing::PrintJob> jobs;
    const char* text;
  };
  const char* empty = "Completed documents will appear here.";
  const char* review = "Review what printed and quickly print a retained job again.";
  Outbox out;
  for (const auto& c : std::vector<Case>{{{}, empty},
                                         {{job("a-1", JobState::Canceled), job("a-2", JobState::Aborted)}, empty},
                                         {{job("a-1", JobState::Aborted), job("a-2", JobState::Completed)}, review}}) {
    auto screen = screens::dashboard_screen(loaded({}, c.jobs), no_notice, out.sender);
    EXPECT_TRUE(has_text(*screen, c.text)) << c.jobs.size();
  }
}

TEST(Dashboard, EveryButtonSendsItsMessage) {
  auto studio = printer("Studio_printer");
  auto office = printer("Office");
  office.is_default = true;
  auto active = job("Studio_printer-42", JobState::Processing, "Studio_printer");
  Outbox out;
  auto screen =
      screens::dashboard_screen(loaded({studio, office}, {active}, {{"s", "Flatbed"}}), no_notice, out.sender);
  const auto P = ExecutionKind::Perform;
  const std::vector<Pressed> expected = {
      {"pagora.add", "Add printer", P, "FindPrinters"},
      {"pagora.print", "Print a document", P, "ChooseDocument"},
      {"pagora.queue", "Open queue", P, "ShowQueue"},
      {"pagora.job.cancel", "Cancel", P, "RequestCancelJob Studio_printer-42"},
      {"pagora.refresh", "Refresh", P, "Refresh"},
      {"pagora.device.open.Studio_printer", "Open", P, "ShowDevice Studio_printer"},
      {"pagora.device.open.Office", "Open", P, "ShowDevice Office"},
      {"pagora.scan.open", "Start scanning", P, "ShowScan"},
      {"pagora.history.open", "See all", P, "ShowHistory"},
      {"pagora.diagnostics.open", "Check devices", P, "ShowDiagnostics"},
  };
  EXPECT_EQ(press_all(*screen, out), expected);
  // Pressing twice sends twice: each press sends its own copy.
  ASSERT_TRUE(vimo_ui::testing::press(*screen, "pagora.queue"));
  ASSERT_TRUE(vimo_ui::testing::press(*screen, "pagora.queue"));
  EXPECT_EQ(out.drain(), (std::vector<std::string>{"ShowQueue", "ShowQueue"}));

  auto empty = screens::dashboard_screen(loaded(), no_notice, out.sender);
  const auto find = buttons_with_id(*empty, "pagora.discover.empty");
  ASSERT_EQ(find.size(), 1u);
  EXPECT_EQ(find[0]->label, "Find a printer");
  EXPECT_EQ(find[0]->execution, P);
  EXPECT_EQ(find[0]->icon, vimo_ui::IconRole::Find);
  ASSERT_TRUE(find[0]->press());
  EXPECT_EQ(out.drain(), std::vector<std::string>{"FindPrinters"});
}

}  // namespace
}  // namespace pagora::screens_test
