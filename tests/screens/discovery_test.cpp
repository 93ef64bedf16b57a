// Printer discovery in its four states.
#include "support.h"

namespace pagora::screens_test {
namespace {

using printing::FoundPrinter;
using vimo_actions::ExecutionKind;

TEST(Discovery, FourStates) {
  struct Case {
    const char* name;
    std::optional<screens::FoundPrinters> result;
    std::vector<std::string> page;
    std::vector<std::string> bars;
    std::vector<Pressed> buttons;
  };
  const auto P = ExecutionKind::Perform;
  const Pressed back{"pagora.back", "Pagora", P, "ShowDashboard"};
  const FoundPrinter upstairs{"ipps://studio.local/ipp/print", "Studio printer", "Upstairs workspace"};
  const FoundPrinter bare{"ipp://10.0.0.7/ipp/print", "Office_laser-2", std::nullopt};
  const std::vector<Case> table = {
      {"searching",
       std::nullopt,
       {"column Pagora", "space 20", "card Looking nearby"},
       {"Finding nearby printers=moving"},
       {back}},
      {"failed",
       screens::FoundPrinters(std::unexpected("avahi: timed out")),
       {"column Pagora", "space 20", "card Could not search right now", "space 12", "button Try again"},
       {},
       {back, {"pagora.discover.retry", "Try again", P, "FindPrinters"}}},
      {"none found",
       screens::FoundPrinters(std::vector<FoundPrinter>{}),
       {"column Pagora", "space 20", "card No printers found", "space 12", "button Search again"},
       {},
       {back, {"pagora.discover.retry", "Search again", P, "FindPrinters"}}},
      {"two found, in reported order",
       screens::FoundPrinters(std::vector{upstairs, bare}),
       {"column Pagora", "space 20", "card Studio printer", "space 12", "card Office_laser-2", "space 12"},
       {},
       {back,
        {"pagora.discover.add.Studio printer", "Add", P,
         "AddPrinter ipps://studio.local/ipp/print|Studio printer|Upstairs workspace"},
        {"pagora.discover.add.Office_laser-2", "Add", P, "AddPrinter ipp://10.0.0.7/ipp/print|Office_laser-2|-"}}},
  };
  Outbox out;
  for (const auto& c : table) {
    auto screen = screens::discovery_screen(c.result, out.sender);
    EXPECT_EQ(sketch(*screen), c.page) << c.name;
    EXPECT_EQ(bars(*screen), c.bars) << c.name;
    EXPECT_EQ(press_all(*screen, out), c.buttons) << c.name;
    EXPECT_TRUE(has_text(*screen, "Add a printer")) << c.name;
    EXPECT_TRUE(has_text(*screen, "Nearby printers appear automatically")) << c.name;
    // The search's own failure text is never shown.
    EXPECT_FALSE(has_text(*screen, "avahi: timed out")) << c.name;
  }
}

TEST(Discovery, EntryShowsLocationOrNearby) {
  Outbox out;
  auto screen = screens::discovery_screen(
      screens::FoundPrinters(std::vector<FoundPrinter>{{"ipp://a/ipp/print", "Studio printer", "Upstairs workspace"},
                                                       {"ipp://b/ipp/print", "Hall", std::nullopt}}),
      out.sender);
  const auto cards = vimo_ui::testing::find_all<vimo_ui::Card>(*screen);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(vimo_ui::testing::texts(*cards[0]),
            (std::vector<std::string>{"Studio printer", "Add", "Ready to add", "Upstairs workspace"}));
  EXPECT_EQ(vimo_ui::testing::texts(*cards[1]), (std::vector<std::string>{"Hall", "Add", "Ready to add", "Nearby"}));
  const auto* add = dynamic_cast<const vimo_ui::Button*>(cards[0]->header_action.get());
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add->button_kind, vimo_ui::ButtonKind::Emphasised);
  EXPECT_EQ(add->icon, vimo_ui::IconRole::Add);
}

}  // namespace
}  // namespace pagora::screens_test
