// Widget trees as data: builders, the test helpers, pressing buttons.
#include <gtest/gtest.h>

#include "vimo_ui/channel.h"
#include "vimo_ui/testing.h"
#include "vimo_ui/widgets.h"

namespace vimo_ui {
namespace {

struct Msg {
  std::string what;
  int n = 0;
};

WidgetPtr sample_tree(const Sender<Msg>& tx) {
  return column(heading("Title", 28), space(14),
                row(button(ButtonKind::Action, "demo.go", "Go", [tx, m = Msg{"go", 7}] { tx.send(m); }),
                    button(ButtonKind::Plain, "demo.plain", "Nothing")),
                nullptr, banner(Tone::Warning, "Careful", std::nullopt));
}

TEST(Widgets, PressingAButtonSendsACopyOfItsMessageEveryTime) {
  auto [tx, rx] = channel<Msg>();
  auto tree = sample_tree(tx);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(testing::press(*tree, "demo.go"));
    auto got = rx.try_take();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got.value->what, "go");
    EXPECT_EQ(got.value->n, 7);
    EXPECT_EQ(rx.try_take().status, TakeStatus::Empty);
  }
  EXPECT_FALSE(testing::press(*tree, "demo.plain"));
  EXPECT_FALSE(testing::press(*tree, "demo.missing"));
}

TEST(Widgets, HelpersFindTextsAndSkipNullChildren) {
  auto [tx, rx] = channel<Msg>();
  auto tree = sample_tree(tx);
  EXPECT_EQ(tree->children().size(), 4u);
  EXPECT_TRUE(testing::has_text(*tree, "Title"));
  EXPECT_TRUE(testing::has_text(*tree, "Careful"));
  EXPECT_FALSE(testing::has_text(*tree, "Titl"));
  EXPECT_EQ(testing::button_labels(*tree), (std::vector<std::string>{"Go", "Nothing"}));
  EXPECT_EQ(tree->type_name(), "vimo_ui::Column");
  EXPECT_EQ(tree->kind_name(), "Column");
}

TEST(Widgets, ToggleGroupWritesOnlyIndicesItHas) {
  ToggleGroup g;
  g.control_id = "demo.mode";
  g.labels = {"A", "B", "C"};
  g.cell = local_state<std::uint32_t>(0);
  EXPECT_TRUE(g.select(2));
  EXPECT_EQ(g.cell->get(), 2u);
  EXPECT_FALSE(g.select(3));
  EXPECT_EQ(g.cell->get(), 2u);
  EXPECT_EQ(g.perform_control_action("demo.mode.select", "1").status, vimo_actions::InvokeStatus::Handled);
  EXPECT_EQ(g.cell->get(), 1u);
  EXPECT_EQ(g.perform_control_action("demo.mode.select", "x").status, vimo_actions::InvokeStatus::Refused);
}

TEST(Widgets, PagePreviewShowsAtLeastPageOneAndNeverBeyondCount) {
  EXPECT_EQ(page_preview("p", 0, 3)->shown_page(), 1u);
  EXPECT_EQ(page_preview("p", 9, 3)->shown_page(), 3u);
  EXPECT_EQ(page_preview("p", 2, 0)->shown_page(), 1u);
}

}  // namespace
}  // namespace vimo_ui
