// Printer detail: the pause or resume choice, "Make preferred", every supply
// row, and controls that carry the raw queue name.
#include "support.h"

namespace pagora::screens_test {
namespace {

using vimo_actions::ExecutionKind;

TEST(PrinterDetail, PauseOrResumeFollowsAcceptingAndPaused) {
  struct Case {
    PrinterState state;
    bool accepting;
    const char* heading;
    const char* label;
    const char* sends;
  };
  const std::vector<Case> table = {
      {PrinterState::Idle, true, "Ready", "Pause printer", "SetPrinterEnabled Office false"},
      {PrinterState::Paused, true, "Paused", "Resume printer", "SetPrinterEnabled Office true"},
      {PrinterState::Idle, false, "Not accepting new documents", "Resume printer", "SetPrinterEnabled Office true"},
      {PrinterState::Unreachable, true, "Cannot reach this printer", "Pause printer", "SetPrinterEnabled Office false"},
      {PrinterState::Paused, false, "Paused", "Resume printer", "SetPrinterEnabled Office true"},
      {PrinterState::Printing, true, "Printing", "Pause printer", "SetPrinterEnabled Office false"},
  };
  Outbox out;
  for (const auto& c : table) {
    auto q = printer("Office");
    q.state = c.state;
    q.accepting = c.accepting;
    auto screen = screens::printer_screen(q, out.sender);
    const auto headings = vimo_ui::testing::find_all<vimo_ui::Text>(*screen);
    const auto it = std::find_if(headings.begin(), headings.end(), [](auto* t) { return t->size_px == 21; });
    ASSERT_NE(it, headings.end());
    EXPECT_EQ((*it)->text, c.heading);
    const auto toggle = buttons_with_id(*screen, "pagora.device.enabled");
    ASSERT_EQ(toggle.size(), 1u);
    EXPECT_EQ(toggle[0]->label, c.label) << c.heading;
    ASSERT_TRUE(toggle[0]->press());
    EXPECT_EQ(out.drain(), std::vector<std::string>{c.sends}) << c.heading;
  }
}

TEST(PrinterDetail, EveryControlCarriesTheRawQueueName) {
  auto q = printer("Office-laser_2");
  Outbox out;
  auto screen = screens::printer_screen(q, out.sender);
  EXPECT_TRUE(has_text(*screen, "Office laser 2"));
  EXPECT_TRUE(has_text(*screen, "Available to your apps"));
  const auto P = ExecutionKind::Perform;
  EXPECT_EQ(press_all(*screen, out),
            (std::vector<Pressed>{
                {"pagora.back", "Pagora", P, "ShowDashboard"},
                {"pagora.device.enabled", "Pause printer", P, "SetPrinterEnabled Office-laser_2 false"},
                {"pagora.device.default", "Make preferred", P, "SetDefaultPrinter Office-laser_2"},
                {"pagora.device.queue", "View print queue", P, "ShowQueue"},
                {"pagora.device.diagnostics", "Check printer", P, "ShowDiagnostics"},
            }));
  EXPECT_EQ(sketch(*screen), (std::vector<std::string>{"column Pagora", "space 20", "card ", "space 16",
                                                       "card Ink and toner", "space 16", "card Printer controls"}));
}

TEST(PrinterDetail, PreferredPrinterHasThreeControls) {
  auto q = printer("Office");
  q.is_default = true;
  Outbox out;
  auto screen = screens::printer_screen(q, out.sender);
  EXPECT_TRUE(has_text(*screen, "Preferred printer"));
  EXPECT_TRUE(buttons_with_id(*screen, "pagora.device.default").empty());
  const auto cards = vimo_ui::testing::find_all<vimo_ui::Card>(*screen);
  const auto controls =
      std::find_if(cards.begin(), cards.end(), [](auto* c) { return c->title == "Printer controls"; });
  ASSERT_NE(controls, cards.end());
  EXPECT_EQ(vimo_ui::testing::button_labels(**controls),
            (std::vector<std::string>{"Pause printer", "View print queue", "Check printer"}));
}

TEST(PrinterDetail, EverySupplyIsARowAndUnknownLevelsReadZero) {
  struct Case {
    const char* name;
    std::optional<std::vector<printing::Supply>> supplies;
    std::vector<std::string> bars;
    std::vector<std::string> lines;
  };
  std::vector<printing::Supply> nine;
  std::vector<std::string> nine_bars;
  for (int i = 0; i < 9; ++i) {
    nine.push_back(supply(fmt::format("S{}", i), static_cast<std::uint8_t>(10 * i)));
    nine_bars.push_back(fmt::format("S{} level={}", i, i / 10.0));
  }
  const char* none = "This printer does not report supply levels.";
  const std::vector<Case> table = {
      {"known and unknown",
       std::vector{supply("Black", 40), supply("Cyan", std::nullopt)},
       {"Black level=0.4", "Cyan level=0"},
       {"Black: 40% remaining", "Cyan: 0% remaining"}},
      {"nine supplies, no limit", nine, nine_bars, {"S8: 80% remaining"}},
      {"no list", std::nullopt, {}, {none}},
      {"empty list", std::vector<printing::Supply>{}, {}, {none}},
  };
  Outbox out;
  for (const auto& c : table) {
    auto q = printer("Office");
    q.supplies = c.supplies;
    auto screen = screens::printer_screen(q, out.sender);
    EXPECT_EQ(bars(*screen), c.bars) << c.name;
    for (const auto& line : c.lines) EXPECT_TRUE(has_text(*screen, line)) << c.name << ": " << line;
  }
}

}  // namespace
}  // namespace pagora::screens_test
