// Local state cells: authorised and refused writes, versions, two writers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "vimo_ui/local_state.h"

namespace vimo_ui {
namespace {

TEST(LocalState, AuthorisedWriteChangesValueAndVersion) {
  auto cell = local_state(1.0);
  EXPECT_EQ(cell->get(), 1.0);
  EXPECT_EQ(cell->version(), 0u);
  EXPECT_TRUE(cell->set(3.0));
  EXPECT_EQ(cell->get(), 3.0);
  EXPECT_EQ(cell->version(), 1u);
}

TEST(LocalState, RefusedWriteHasNoEffect) {
  std::atomic<bool> allow{false};
  auto cell = local_state<std::uint32_t>(1, WakeHandle([&] { return allow.load(); }));
  EXPECT_FALSE(cell->set(2));
  EXPECT_EQ(cell->get(), 1u);
  EXPECT_EQ(cell->version(), 0u);
  allow = true;
  EXPECT_TRUE(cell->set(2));
  EXPECT_EQ(cell->get(), 2u);
  EXPECT_EQ(cell->version(), 1u);
}

TEST(LocalState, SharedBetweenHoldersAndSafeFromTwoThreads) {
  auto cell = local_state(CropSelection{});
  auto other_holder = cell;
  constexpr int kWrites = 5000;
  auto writer = [&](double v) {
    for (int i = 0; i < kWrites; ++i) other_holder->set(CropSelection{v, v, 1.0, 1.0});
  };
  std::thread a(writer, 0.1), b(writer, 0.2);
  for (int i = 0; i < kWrites; ++i) {
    auto [value, version] = cell->snapshot();
    // Never a torn value: both fractions come from the same write.
    EXPECT_EQ(value.left, value.top);
    (void)version;
  }
  a.join();
  b.join();
  EXPECT_EQ(cell->version(), 2u * kWrites);
}

}  // namespace
}  // namespace vimo_ui
