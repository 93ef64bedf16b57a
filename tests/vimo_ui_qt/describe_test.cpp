// The JSON description of a tree.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "vimo_ui/qt/describe.h"
#include "vimo_ui/widgets.h"

namespace {

using namespace vimo_ui;
using nlohmann::json;

TEST(Describe, SmallTreeShowsWhatEachWidgetShowsAndBinds) {
  auto copies = local_state(3.0);
  auto resolution = local_state<std::uint32_t>(1);
  auto field = std::make_unique<NumberInput>();
  field->id = "pagora.print.copies";
  field->label = "Copies";
  field->cell = copies;
  field->maximum = 99;
  auto segments = std::make_unique<ToggleGroup>();
  segments->control_id = "pagora.scan.resolution";
  segments->labels = {"150 dpi", "300 dpi"};
  segments->cell = resolution;
  auto paper = std::make_unique<Dropdown>();
  paper->id = "paper";
  paper->options = {{"a4", "A4"}, {"letter", "Letter"}};
  paper->selected = "letter";

  auto tree = column(
      heading("Print queue", 28), space(14),
      banner(Tone::Warning, "Cancel this document?", std::nullopt),
      titled_card("Studio printer",
                  button(ButtonKind::Icon, "pagora.device.open.x", "Open", [] {}, vimo_actions::ExecutionKind::Navigate,
                         IconRole::Open),
                  column(progress_bar(0.5, "Black level"), progress_bar(std::nullopt, "Searching"),
                         page_preview("Report", 0, 4))),
      std::move(field), std::move(segments), std::move(paper), flex_space(),
      button(ButtonKind::Plain, "pagora.add", "Add printer"));

  const json j = json::parse(qt::describe_json(*tree));
  EXPECT_EQ(j["kind"], "Column");
  EXPECT_EQ(j["type"], "vimo_ui::Column");
  const json& c = j["children"];
  ASSERT_EQ(c.size(), 9u);
  EXPECT_EQ(c[0], (json{{"kind", "Text"}, {"type", "vimo_ui::Text"}, {"text", "Print queue"}, {"style", "heading"},
                         {"size_px", 28}, {"children", json::array()}}));
  EXPECT_EQ(c[1]["height"], 14);
  EXPECT_EQ(c[2]["tone"], "warning");
  EXPECT_EQ(c[2]["title"], "Cancel this document?");
  EXPECT_TRUE(c[2]["message"].is_null());

  const json& card = c[3];
  EXPECT_EQ(card["title"], "Studio printer");
  EXPECT_EQ(card["header_action"]["control_id"], "pagora.device.open.x");
  EXPECT_EQ(card["header_action"]["execution"], "navigate");
  EXPECT_EQ(card["header_action"]["icon"], "open");
  EXPECT_EQ(card["header_action"]["sends_message"], true);
  ASSERT_EQ(card["children"].size(), 1u) << "the header action is not repeated among the children";
  const json& bars = card["children"][0]["children"];
  EXPECT_EQ(bars[0]["value"], 0.5);
  EXPECT_EQ(bars[0]["label"], "Black level");
  EXPECT_EQ(bars[1]["value"], "indeterminate");
  EXPECT_EQ(bars[2]["page"], 1) << "page 0 is shown as page 1";
  EXPECT_EQ(bars[2]["count"], 4);

  EXPECT_EQ(c[4]["id"], "pagora.print.copies");
  EXPECT_EQ(c[4]["value"], 3.0);
  EXPECT_EQ(c[5]["value"], 1);
  EXPECT_EQ(c[5]["selected_label"], "300 dpi");
  EXPECT_EQ(c[6]["options"][1], (json{{"value", "letter"}, {"label", "Letter"}}));
  EXPECT_EQ(c[6]["selected"], "letter");
  EXPECT_EQ(c[7]["height"], "flexible");
  EXPECT_EQ(c[8]["button_kind"], "plain");
  EXPECT_EQ(c[8]["sends_message"], false);

  // The bound cell's current value, not the one at build time.
  copies->set(12.0);
  EXPECT_EQ(json::parse(qt::describe_json(*tree))["children"][4]["value"], 12.0);
}

TEST(Describe, OutsideTextsCannotBreakTheJson) {
  auto tree = column(body("quote \" backslash \\ newline \n"), body(std::string("bad \xff\xfe utf8")),
                     progress_bar(std::numeric_limits<double>::quiet_NaN(), "nan"));
  const json j = json::parse(qt::describe_json(*tree));
  EXPECT_EQ(j["children"][0]["text"], "quote \" backslash \\ newline \n");
  EXPECT_TRUE(j["children"][1]["text"].is_string());
  EXPECT_TRUE(j["children"][2]["value"].is_null());
}

}  // namespace
