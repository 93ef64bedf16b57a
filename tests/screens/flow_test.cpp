// The screens inside the running program: buttons pressed on the shown
// screen drive the dispatcher, which shows the next screen.
#include <gtest/gtest.h>

#include "../surface/fakes.h"
#include "service/workers.h"

namespace pagora::testing {
namespace {

using vimo_ui::testing::buttons_with_id;
using vimo_ui::testing::has_text;
using vimo_ui::testing::press;

struct ScreenFlow : ::testing::Test {
  Rig rig;
  std::unique_ptr<surface::Pagora> app = surface::Pagora::live(rig.collaborators());
  vimo_ui::UpdateContext cx;

  void settle() {
    while (app->update(cx)) {
    }
  }
  void refresh_completes() {
    ASSERT_TRUE(rig.workers->run(service::kRefreshWorker));
    settle();
  }
  // Presses the only button with this id on the shown screen.
  void press_shown(std::string_view control_id) {
    ASSERT_TRUE(press(*app->view, control_id)) << control_id;
    settle();
  }
};

TEST_F(ScreenFlow, CancelFromTheDashboardConfirmsOnTheQueue) {
  rig.printing->jobs_result =
      std::vector{job("Office-7", printing::JobState::Processing), job("Office-8", printing::JobState::Held)};
  refresh_completes();
  ASSERT_EQ(screen_name(*app->view), "dashboard");
  press_shown("pagora.job.cancel");  // the current document card: the first active job
  ASSERT_EQ(screen_name(*app->view), "queue");
  EXPECT_TRUE(has_text(*app->view, "Cancel this document?"));
  const auto cancels = buttons_with_id(*app->view, "pagora.job.cancel");
  ASSERT_EQ(cancels.size(), 2u);
  EXPECT_EQ(cancels[0]->label, "Confirm cancel");
  EXPECT_EQ(cancels[1]->label, "Cancel");
  ASSERT_TRUE(cancels[0]->press());
  settle();
  ASSERT_TRUE(rig.workers->run(service::kCancelJobWorker));
  EXPECT_EQ(rig.printing->calls().back(), "cancel Office-7");
}

TEST_F(ScreenFlow, DashboardWithFailedListsIsStillTheDashboard) {
  rig.printing->queues_result = std::unexpected("down");
  rig.printing->scanners_result = std::unexpected("down");
  refresh_completes();
  EXPECT_EQ(screen_name(*app->view), "dashboard");
  EXPECT_TRUE(has_text(*app->view, "Some device information couldn't be checked"));
  press_shown("pagora.diagnostics.open");
  EXPECT_EQ(screen_name(*app->view), "device-help");
  EXPECT_TRUE(has_text(*app->view, "0 of 0 printers responded"));
}

TEST_F(ScreenFlow, DiscoveryResultArrivesAfterTheUserLeft) {
  rig.printing->found_result = std::vector<printing::FoundPrinter>{{"ipp://hall/ipp/print", "Hall printer", {}}};
  refresh_completes();
  press_shown("pagora.add");
  EXPECT_TRUE(has_text(*app->view, "Looking nearby"));
  press_shown("pagora.back");
  ASSERT_EQ(screen_name(*app->view), "dashboard");
  ASSERT_TRUE(rig.workers->run(service::kDiscoveryWorker));
  settle();
  EXPECT_EQ(screen_name(*app->view), "discovery");
  EXPECT_TRUE(has_text(*app->view, "Hall printer"));
  press_shown("pagora.discover.add.Hall printer");
  ASSERT_TRUE(rig.workers->run(service::kAddPrinterWorker));
  EXPECT_EQ(rig.printing->calls().back(), "add ipp://hall/ipp/print Hall printer");
}

TEST_F(ScreenFlow, PrinterCardOpensTheDetailAndItsControlsUseTheQueueName) {
  rig.printing->queues_result = std::vector{queue("Office-laser_2")};
  refresh_completes();
  press_shown("pagora.device.open.Office-laser_2");
  ASSERT_EQ(screen_name(*app->view), "printer");
  EXPECT_TRUE(has_text(*app->view, "Office laser 2"));
  press_shown("pagora.device.enabled");
  ASSERT_TRUE(rig.workers->run(service::kTogglePrinterWorker));
  EXPECT_EQ(rig.printing->calls().back(), "pause Office-laser_2");
}

}  // namespace
}  // namespace pagora::testing
