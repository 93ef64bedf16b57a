// Thousands of random messages and worker results: the root widget never
// crashes and always shows a screen of the catalogue.
#include <gtest/gtest.h>

#include <random>

#include "fakes.h"

namespace pagora::testing {
namespace {

Message random_message(std::mt19937& rng) {
  std::uniform_int_distribution<int> kind(0, 35);
  std::uniform_int_distribution<int> coin(0, 1);
  const std::vector<std::string> names = {"Office", "office", "Studio_printer", "", "Ghost"};
  const std::string name = names[rng() % names.size()];
  switch (kind(rng)) {
    case 0: return msg::Refresh{};
    case 1: return msg::ShowDashboard{};
    case 2: return msg::ShowQueue{};
    case 3: return msg::ShowHistory{};
    case 4: return msg::ShowDiagnostics{};
    case 5: return msg::FindPrinters{};
    case 6:
      if (coin(rng)) return msg::DiscoveryFinished{std::unexpected("offline")};
      return msg::DiscoveryFinished{std::vector<printing::FoundPrinter>{{"ipps://a/ipp/print", name, std::nullopt}}};
    case 7: return msg::AddPrinter{{"ipps://a/ipp/print", name, "here"}};
    case 8: return msg::ShowDevice{name};
    case 9: return msg::SetDefaultPrinter{name};
    case 10: return msg::SetPrinterEnabled{name, coin(rng) == 1};
    case 11: return msg::RequestCancelJob{name + "-1"};
    case 12: return msg::CancelJob{name + "-1"};
    case 13: return msg::RetryJob{name + "-1"};
    case 14: return msg::OperationFinished{"t", "b", coin(rng) == 1};
    case 15: return msg::ChooseDocument{};
    case 16: return msg::ChoosePrintPrinter{name};
    case 17: return msg::PrintDocument{};
    case 18: return msg::ClosePrintDocument{};
    case 19: return msg::ShowScan{};
    case 20: return msg::SelectScanner{name};
    case 21: return msg::StartScan{};
    case 22: return msg::ScanFinished{std::unexpected("jammed")};
    case 23: return msg::SaveScannedPage{};
    case 24: return msg::SaveScannedDocument{};
    case 25: return msg::CopyRecognizedText{};
    case 26: return msg::ScanAnotherPage{};
    case 27: return msg::PreviousPage{};
    case 28: return msg::NextPage{};
    case 29: return msg::MovePageEarlier{};
    case 30: return msg::MovePageLater{};
    case 31: return msg::RemovePage{};
    case 32: return msg::RotatePage{};
    case 33: return msg::ApplyCrop{};
    case 34: return msg::RecognizeText{};
    default: return msg::RecognitionFinished{nullptr, std::unexpected("no engine")};
  }
}

TEST(RandomMessages, NeverCrashAndAlwaysShowACatalogueScreen) {
  const std::set<std::string> catalogue = {"loading", "first-run", "dashboard", "queue",       "printer", "history",
                                           "discovery", "device-help", "print", "scan"};
  std::mt19937 rng(20261211);
  Rig rig;
  auto app = surface::Pagora::live(rig.collaborators());
  vimo_ui::UpdateContext cx;
  std::set<std::string> seen;
  for (int step = 0; step < 20000; ++step) {
    switch (rng() % 8) {
      case 0:
        rig.printing->queues_result = (rng() % 4 == 0) ? printing::Result<std::vector<printing::PrinterQueue>>(
                                                             std::unexpected("down"))
                                                       : std::vector{queue("Office", rng() % 2 == 0), queue("Studio_printer")};
        rig.printing->jobs_result = (rng() % 4 == 0) ? printing::Result<std::vector<printing::PrintJob>>(
                                                           std::unexpected("down"))
                                                     : std::vector{job("Office-1", static_cast<printing::JobState>(rng() % 8))};
        rig.printing->operations_fail = rng() % 2 == 0;
        [[fallthrough]];
      case 1:
        if (!rig.workers->started.empty()) {
          // Run a random waiting worker, not always the oldest.
          auto i = rng() % rig.workers->started.size();
          auto work = std::move(rig.workers->started[i].work);
          rig.workers->started.erase(rig.workers->started.begin() + static_cast<long>(i));
          work();
        }
        break;
      case 2:
        if (!rig.portal->answers.empty()) {
          switch (rng() % 4) {
            case 0: rig.portal->answer({vimo_ui::PickAnswer::Picked{"/tmp/doc.pdf"}}); break;
            case 1: rig.portal->answer({vimo_ui::PickAnswer::Cancelled{}}); break;
            case 2: rig.portal->answer({vimo_ui::PickAnswer::Failed{"gone"}}); break;
            default: rig.portal->answers.pop_front(); break;
          }
        }
        break;
      case 3: rig.workers->refuse = !rig.workers->refuse; break;
      default: app->sender.send(random_message(rng)); break;
    }
    for (int n = 0; n < 4 && app->update(cx); ++n) {
    }
    ASSERT_NE(app->view, nullptr);
    const auto name = screen_name(*app->view);
    ASSERT_TRUE(catalogue.contains(name)) << "step " << step << " showed an unknown screen";
    seen.insert(name);
  }
  // The walk reached most of the catalogue, so the check above meant something.
  EXPECT_GE(seen.size(), 7u);
}

}  // namespace
}  // namespace pagora::testing
