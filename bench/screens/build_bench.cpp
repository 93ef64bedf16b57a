// Building the dashboard for 50 printers with 6 supplies each, and the print
// queue with 24 jobs: what a rebuild costs before anything is drawn.
//   screens_bench --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "samples.h"
#include "screens/screens.h"

namespace {

using namespace pagora;

void BM_DashboardBuild(benchmark::State& state) {
  const auto snapshot = bench::large_snapshot(50, 6, 24);
  const std::optional<Notice> notice = Notice{"Document canceled", "It will not be printed.", true};
  auto [tx, rx] = vimo_ui::channel<Message>();
  for (auto _ : state) {
    auto screen = screens::dashboard_screen(snapshot, notice, tx);
    benchmark::DoNotOptimize(screen.get());
  }
}
BENCHMARK(BM_DashboardBuild)->Unit(benchmark::kMicrosecond);

void BM_QueueBuild(benchmark::State& state) {
  // More jobs than the queue shows: the limit is part of what is measured.
  const auto snapshot = bench::large_snapshot(50, 6, 40);
  const std::optional<std::string> confirmation = snapshot.jobs->at(3).id;
  auto [tx, rx] = vimo_ui::channel<Message>();
  for (auto _ : state) {
    auto screen = screens::queue_screen(snapshot, confirmation, std::nullopt, tx);
    benchmark::DoNotOptimize(screen.get());
  }
}
BENCHMARK(BM_QueueBuild)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
