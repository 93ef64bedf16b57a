// The launch record: fixture names, the parser, window sizes, constructors.
#include <gtest/gtest.h>

#include "../surface/fakes.h"
#include "app/launch_record.h"
#include "fixtures/fixtures.h"

namespace pagora::testing {
namespace {

TEST(Launch, RecordCarriesTheIdTheSixteenNamesAndAlwaysYes) {
  Rig rig;
  auto record = app::make_launch_record([&rig] { return rig.collaborators(); });
  EXPECT_EQ(record.app_id, "org.vimo.pagora");
  EXPECT_EQ(record.fixture_names,
            (std::vector<std::string>{"active", "attention", "empty", "narrow", "queue", "device", "discovery", "print",
                                      "print-narrow", "scan", "scan-result", "scan-result-narrow", "history",
                                      "diagnostics", "service-error", "service-error-narrow"}));
  EXPECT_TRUE(record.may_close());
  EXPECT_EQ(record.persist_opener, &vimo_ui::persist::open);
  EXPECT_TRUE(record.mime_types.empty() && record.url_schemes.empty() && record.keywords.empty() &&
              record.extra_arguments.empty());
  EXPECT_FALSE(record.title.has_value());
}

TEST(Launch, FixtureParserAndWindowSizes) {
  struct Case {
    std::optional<std::string> name;
    int state;
    std::uint32_t width, height;
  };
  const std::vector<Case> table = {
      {std::nullopt, 0, 1280, 800},       {"narrow", 0, 520, 820},        {"active", 1, 1280, 800},
      {"attention", 2, 1280, 800},        {"empty", 3, 1280, 800},        {"queue", 4, 1280, 800},
      {"device", 5, 1280, 800},           {"discovery", 6, 1280, 800},    {"print", 7, 1280, 800},
      {"print-narrow", 7, 520, 820},      {"scan", 8, 1280, 800},         {"scan-result", 9, 1280, 800},
      {"scan-result-narrow", 9, 520, 820}, {"history", 10, 1280, 800},    {"diagnostics", 11, 1280, 800},
      {"service-error", 12, 1280, 800},   {"service-error-narrow", 12, 520, 820},
      {"Print", 0, 1280, 800},            {"print ", 0, 1280, 800},       {"", 0, 1280, 800},
      {"Narrow", 0, 1280, 800},           {std::string("print\0", 6), 0, 1280, 800},
  };
  Rig rig;
  auto record = app::make_launch_record([&rig] { return rig.collaborators(); });
  for (const auto& c : table) {
    const std::string label = c.name ? "'" + *c.name + "'" : "none";
    EXPECT_EQ(fixtures::fixture_state(c.name), c.state) << label;
    const auto size = record.window_size(vimo_ui::launch::LaunchContext{c.name});
    EXPECT_EQ(size.width, c.width) << label;
    EXPECT_EQ(size.height, c.height) << label;
  }
}

TEST(Launch, PreviewRootsShowTheirScreenWithoutTouchingTheService) {
  Rig rig;
  auto record = app::make_launch_record([&rig] { return rig.collaborators(); });
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"active", "dashboard"}, {"empty", "first-run"},   {"queue", "queue"},          {"device", "printer"},
      {"discovery", "discovery"}, {"print", "print"},    {"scan-result-narrow", "scan"}, {"history", "history"},
      {"diagnostics", "device-help"}, {"service-error", "dashboard"}, {"narrow", "dashboard"}};
  for (const auto& [name, screen] : expected) {
    auto result = record.preview(vimo_ui::launch::LaunchContext{name});
    ASSERT_TRUE(result.root) << name;
    auto& root = static_cast<surface::Pagora&>(*result.root);
    EXPECT_FALSE(root.snapshot.has_value()) << name;
    EXPECT_FALSE(root.pending_refresh.has_value()) << name;
    EXPECT_EQ(screen_name(*root.view), screen) << name;
    EXPECT_FALSE(result.title.has_value());
    // Pressing a fixture's button reaches nobody.
    for (const auto* b : vimo_ui::testing::buttons(*root.view)) b->press();
    vimo_ui::UpdateContext cx;
    EXPECT_FALSE(root.update(cx)) << name;
  }
  EXPECT_TRUE(rig.printing->calls().empty());
  EXPECT_TRUE(rig.workers->names.empty());
}

TEST(Launch, LiveConstructorStartsTheFirstRefresh) {
  Rig rig;
  auto record = app::make_launch_record([&rig] { return rig.collaborators(); });
  auto root = record.live();
  EXPECT_EQ(root->type_name(), "pagora::surface::Pagora");
  EXPECT_EQ(rig.workers->names, std::vector<std::string>{"vimo-pagora-refresh"});
}

TEST(Fixtures, SamplePicturesFollowTheirDrawingRules) {
  const auto preview = fixtures::sample_preview_picture();
  ASSERT_EQ(preview.rgba->size(), 320u * 420u * 4u);
  auto at = [&](const std::vector<std::uint8_t>& px, std::uint32_t w, std::uint32_t x, std::uint32_t y) {
    const std::size_t i = (std::size_t{y} * w + x) * 4;
    return std::array<int, 4>{px[i], px[i + 1], px[i + 2], px[i + 3]};
  };
  EXPECT_EQ(at(*preview.rgba, 320, 0, 0), (std::array<int, 4>{248, 248, 246, 255}));
  EXPECT_EQ(at(*preview.rgba, 320, 24, 87), (std::array<int, 4>{44, 91, 162, 255}));
  EXPECT_EQ(at(*preview.rgba, 320, 28 + 237, 126), (std::array<int, 4>{54, 59, 68, 255}));
  EXPECT_EQ(at(*preview.rgba, 320, 28 + 238, 126), (std::array<int, 4>{248, 248, 246, 255}));
  const auto page = fixtures::sample_scanned_page();
  ASSERT_EQ(page.pixels->size(), 320u * 440u * 4u);
  EXPECT_TRUE(page.encoded->empty());
  EXPECT_EQ(at(*page.pixels, 320, 30, 328), (std::array<int, 4>{224, 235, 255, 255}));  // box before border
  EXPECT_EQ(at(*page.pixels, 320, 0, 0), (std::array<int, 4>{196, 198, 202, 255}));
  EXPECT_EQ(at(*page.pixels, 320, 34, 94), (std::array<int, 4>{45, 51, 65, 255}));
  EXPECT_EQ(at(*page.pixels, 320, 34, 95), (std::array<int, 4>{250, 248, 243, 255}));
}

}  // namespace
}  // namespace pagora::testing
