// Device help: condition advice, the summary lines, per-printer advice and
// supply places, the scanner card and the failure card.
#include "screens/condition_advice.h"
#include "support.h"

namespace pagora::screens_test {
namespace {

using vimo_actions::ExecutionKind;

TEST(ConditionAdvice, FirstMatchingRowBySubstringAfterAsciiLowering) {
  const char* paper = "Add paper to continue.";
  const char* cover = "Close the printer cover.";
  const char* low = "A supply is running low; printing can usually continue for now.";
  const char* empty = "Replace the empty supply to continue.";
  const char* connect = "Check that the printer is awake and connected.";
  const char* fallback = "The printer reported a condition that may need attention.";
  const std::vector<std::pair<std::string, const char*>> table = {
      {"media-empty", paper},
      {"Media-Empty-Error", paper},
      {"out-of-paper", paper},
      {"media-jam", "Clear the paper jam, then resume the printer."},
      {"JAM", "Clear the paper jam, then resume the printer."},
      {"cover-open-warning", cover},
      {"door-open-report", cover},
      {"toner-low-warning", low},
      {"marker-supply-low-report", low},
      {"toner-empty-error", empty},
      {"marker-supply-empty-warning", empty},
      {"offline-report", connect},
      {"printer-not-connected", connect},
      {"spool-area-full", fallback},
      {"", fallback},
      {"none", fallback},
      // Only A-Z are lowered: a non-ASCII letter does not become a match.
      {"MEDIA-\xC3\x89MPTY", fallback},
      // Earlier rows win when several patterns occur.
      {"toner-low-and-media-empty", paper},
  };
  for (const auto& [code, advice] : table) EXPECT_EQ(screens::condition_advice(code), advice) << code;
}

std::vector<std::string> summary_lines(const vimo_ui::Widget& screen) {
  const auto cards = vimo_ui::testing::find_all<vimo_ui::Card>(screen);
  const auto it = std::find_if(cards.begin(), cards.end(), [](auto* c) { return c->title == "Connection check"; });
  if (it == cards.end()) return {};
  std::vector<std::string> out;
  for (const auto* text : vimo_ui::testing::find_all<vimo_ui::Text>(**it)) out.push_back(text->text);
  out.resize(std::min<std::size_t>(out.size(), 3));
  return out;
}

TEST(Diagnostics, SummaryLinesWithTheirFixedGrammar) {
  struct Case {
    const char* name;
    ServiceSnapshot snapshot;
    std::vector<std::string> lines;
  };
  auto answered = printer("A");
  answered.supplies = std::vector{supply("Black", std::nullopt)};
  auto silent = printer("B");
  silent.responded = false;
  silent.supplies = std::vector<printing::Supply>{};
  auto reporting = printer("C");
  reporting.supplies = std::vector{supply("Black", 10)};
  std::vector<Case> table;
  table.push_back({"nothing",
                   loaded(),
                   {"0 of 0 printers responded", "0 printers report ink or toner levels", "0 scanners available"}});
  table.push_back({"one answering and reporting, one scanner",
                   loaded({answered}, {}, {{"s", "Flatbed"}}),
                   {"1 of 1 printer responded", "1 printer report ink or toner levels", "1 scanner available"}});
  table.push_back({"two printers, one answered, empty supplies do not count",
                   loaded({answered, silent}),
                   {"1 of 2 printers responded", "1 printer report ink or toner levels", "0 scanners available"}});
  table.push_back({"two reporting",
                   loaded({answered, reporting}, {}, {{"s", "One"}, {"t", "Two"}}),
                   {"2 of 2 printers responded", "2 printers report ink or toner levels", "2 scanners available"}});
  table.push_back({"failed lists count as empty",
                   ServiceSnapshot{failed(), failed(), failed()},
                   {"0 of 0 printers responded", "0 printers report ink or toner levels", "0 scanners available"}});
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::diagnostics_screen(c.snapshot, out.sender);
    EXPECT_EQ(summary_lines(*screen), c.lines) << c.name;
  }
}

TEST(Diagnostics, AdviceAndSupplyPlacesPerPrinter) {
  struct Case {
    const char* name;
    std::vector<std::string> reasons;
    std::optional<std::vector<printing::Supply>> supplies;
    std::vector<std::string> advice;
    std::size_t rows;
  };
  std::vector<printing::Supply> eight, unknown_first;
  for (int i = 0; i < 8; ++i) eight.push_back(supply(fmt::format("S{}", i), static_cast<std::uint8_t>(i)));
  unknown_first.push_back(supply("Unknown", std::nullopt));
  for (int i = 0; i < 6; ++i) unknown_first.push_back(supply(fmt::format("S{}", i), 50));
  const std::vector<Case> table = {
      {"only the first three reasons, repeats kept",
       {"Media-Empty-Error", "door-open-report", "spool-area-full", "toner-low-warning"},
       std::nullopt,
       {"Add paper to continue.", "Close the printer cover.",
        "The printer reported a condition that may need attention."},
       0},
      {"same advice twice",
       {"toner-low", "marker-supply-low"},
       std::nullopt,
       {"A supply is running low; printing can usually continue for now.",
        "A supply is running low; printing can usually continue for now."},
       0},
      {"eight supplies give six rows", {}, eight, {}, 6},
      {"an unknown level uses up a place", {}, unknown_first, {}, 5},
      {"present but empty", {}, std::vector<printing::Supply>{}, {}, 0},
  };
  const std::set<std::string> advice_texts = {"Add paper to continue.", "Close the printer cover.",
                                              "The printer reported a condition that may need attention.",
                                              "A supply is running low; printing can usually continue for now."};
  Outbox out;
  for (const auto& c : table) {
    auto q = printer("Office");
    q.state_reasons = c.reasons;
    q.supplies = c.supplies;
    auto screen = screens::diagnostics_screen(loaded({q}), out.sender);
    std::vector<std::string> advice;
    for (const auto& t : vimo_ui::testing::texts(*screen)) {
      if (advice_texts.contains(t)) advice.push_back(t);
    }
    EXPECT_EQ(advice, c.advice) << c.name;
    EXPECT_EQ(bars(*screen).size(), c.rows) << c.name;
  }
}

TEST(Diagnostics, PrinterCardContent) {
  auto awake = printer("Studio_printer");
  awake.supplies = std::vector{supply("Black", 0), supply("Colour", 120)};
  auto asleep = printer("Office");
  asleep.responded = false;
  asleep.state = PrinterState::Unreachable;
  asleep.state_reasons = {"offline-report"};
  asleep.supplies = std::vector{supply("Black", 30)};
  Outbox out;
  auto screen = screens::diagnostics_screen(loaded({awake, asleep}), out.sender);
  const auto cards = vimo_ui::testing::find_all<vimo_ui::Card>(*screen);
  ASSERT_EQ(cards.size(), 4u);  // connection check, two printers, scanner
  EXPECT_EQ(vimo_ui::testing::texts(*cards[1]),
            (std::vector<std::string>{"Studio printer", "Ready", "The printer answered the latest status check.",
                                      "Black: 0% remaining", "Black level", "Colour: 120% remaining", "Colour level",
                                      "Open printer controls"}));
  EXPECT_EQ(bars(*cards[1]), (std::vector<std::string>{"Black level=0", "Colour level=1.2"}));
  // A printer that did not answer still shows what it reported.
  EXPECT_EQ(vimo_ui::testing::texts(*cards[2]),
            (std::vector<std::string>{"Office", "Cannot reach this printer",
                                      "Live details are unavailable. The printer may be asleep or disconnected.",
                                      "Check that the printer is awake and connected.", "Black: 30% remaining",
                                      "Black level", "Open printer controls"}));
}

TEST(Diagnostics, ScannerCardAndButtons) {
  const auto P = ExecutionKind::Perform;
  const Pressed back{"pagora.back", "Pagora", P, "ShowDashboard"};
  const Pressed check{"pagora.diagnostics.refresh", "Check again", P, "Refresh"};
  struct Case {
    const char* name;
    ServiceSnapshot snapshot;
    const char* scanner_text;
    std::vector<Pressed> buttons;
  };
  std::vector<Case> table;
  table.push_back(
      {"no scanner",
       loaded({printer("Office_laser-2")}),
       "No scanner was found. Check its cable or network connection, then refresh.",
       {back, check, {"pagora.diagnostics.device", "Open printer controls", P, "ShowDevice Office_laser-2"}, check}});
  table.push_back({"a scanner",
                   loaded({}, {}, {{"s", "Flatbed"}}),
                   "Your scanner is available for a new document.",
                   {back, check, {"pagora.diagnostics.scan", "Start scanning", P, "ShowScan"}}});
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::diagnostics_screen(c.snapshot, out.sender);
    EXPECT_TRUE(has_text(*screen, c.scanner_text)) << c.name;
    EXPECT_EQ(press_all(*screen, out), c.buttons) << c.name;
  }
}

TEST(Diagnostics, FailureCardConsidersPrintersAndScannersOnly) {
  struct Case {
    const char* name;
    ServiceSnapshot snapshot;
    std::optional<std::string> title;
  };
  using Queues = std::vector<printing::PrinterQueue>;
  using Jobs = std::vector<printing::PrintJob>;
  using Scanners = std::vector<printing::Scanner>;
  std::vector<Case> table;
  table.push_back(
      {"jobs failing is not this screen's concern", ServiceSnapshot{Queues{}, failed(), Scanners{}}, std::nullopt});
  table.push_back({"printers", ServiceSnapshot{failed(), Jobs{}, Scanners{}}, "Printers couldn't be checked"});
  table.push_back({"scanners", ServiceSnapshot{Queues{}, failed(), failed()}, "Scanners couldn't be checked"});
  table.push_back(
      {"both", ServiceSnapshot{failed(), failed(), failed()}, "Some device information couldn't be checked"});
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::diagnostics_screen(c.snapshot, out.sender);
    const auto retry = buttons_with_id(*screen, "pagora.service.retry");
    if (!c.title) {
      EXPECT_TRUE(retry.empty()) << c.name;
      continue;
    }
    // The failure card sits inside the connection check card, after the lines.
    const auto cards = vimo_ui::testing::find_all<vimo_ui::Card>(*screen);
    ASSERT_GE(cards.size(), 2u) << c.name;
    EXPECT_EQ(cards[0]->title, "Connection check") << c.name;
    EXPECT_EQ(cards[1]->title, *c.title) << c.name;
    ASSERT_EQ(retry.size(), 1u) << c.name;
    ASSERT_TRUE(retry[0]->press());
    EXPECT_EQ(out.drain(), std::vector<std::string>{"Refresh"}) << c.name;
  }
  Outbox quiet;
  auto screen = screens::diagnostics_screen(ServiceSnapshot{failed(), failed(), failed()}, quiet.sender);
  EXPECT_EQ(sketch(*screen), (std::vector<std::string>{"column Pagora", "space 20", "card Connection check", "space 16",
                                                       "card Scanner", "space 12"}));
}

}  // namespace
}  // namespace pagora::screens_test
