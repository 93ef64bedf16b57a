// Building and showing the dashboard for 50 printers with 6 supplies each,
// and the print queue with 24 jobs, in a 1280 x 800 window: mounting a fresh
// tree, and a rebuild reconciled into the mounted one (what every change
// costs). Each includes the layout pass. One frame is 16 ms.
//   screens_render_bench --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "samples.h"
#include "screens/screens.h"
#include "vimo_ui/qt/renderer.h"
#include "vimo_ui/qt/style.h"

namespace {

using namespace pagora;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Window {
  QWidget widget;
  Window() {
    widget.resize(1280, 800);
    widget.show();
    QCoreApplication::processEvents();
  }
  void settle() {
    if (widget.layout()) widget.layout()->activate();
    QCoreApplication::processEvents();
  }
};

// Builds a screen for round r; rounds alternate between two snapshots whose
// levels, pages and states differ, as after a refresh.
using Build = std::function<vimo_ui::WidgetPtr(const vimo_ui::Sender<Message>&, int round)>;

std::shared_ptr<std::array<ServiceSnapshot, 2>> two_snapshots() {
  return std::make_shared<std::array<ServiceSnapshot, 2>>(
      std::array{bench::large_snapshot(50, 6, 24, 0), bench::large_snapshot(50, 6, 24, 1)});
}

Build dashboard() {
  return [snapshots = two_snapshots()](const vimo_ui::Sender<Message>& tx, int round) {
    return screens::dashboard_screen((*snapshots)[round % 2], std::nullopt, tx);
  };
}

Build queue() {
  return [snapshots = two_snapshots()](const vimo_ui::Sender<Message>& tx, int round) {
    return screens::queue_screen((*snapshots)[round % 2], std::nullopt, std::nullopt, tx);
  };
}

// A fresh renderer per round: build the tree, mount it, lay it out.
void mount(benchmark::State& state, const Build& build) {
  Window window;
  auto [tx, rx] = vimo_ui::channel<Message>();
  for (auto _ : state) {
    auto renderer = std::make_unique<vimo_ui::qt::Renderer>(&window.widget);
    auto tree = build(tx, 0);
    renderer->render(*tree);
    window.settle();
    state.PauseTiming();
    renderer.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

// One mounted renderer: each round builds the screen again from the other
// snapshot and reconciles it into what is shown.
void rebuild(benchmark::State& state, const Build& build) {
  Window window;
  auto [tx, rx] = vimo_ui::channel<Message>();
  vimo_ui::qt::Renderer renderer(&window.widget);
  renderer.render(*build(tx, 0));
  window.settle();
  int round = 0;
  double build_ms = 0, reconcile_ms = 0, layout_ms = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    auto tree = build(tx, ++round);
    const auto t1 = Clock::now();
    renderer.render(*tree);
    const auto t2 = Clock::now();
    window.settle();
    const auto t3 = Clock::now();
    build_ms += ms(t1 - t0);
    reconcile_ms += ms(t2 - t1);
    layout_ms += ms(t3 - t2);
  }
  // Where a rebuild's time goes, per round.
  const double n = static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
  state.counters["build_ms"] = build_ms / n;
  state.counters["reconcile_ms"] = reconcile_ms / n;
  state.counters["layout_ms"] = layout_ms / n;
  state.counters["created"] = static_cast<double>(renderer.last_stats().created);
  state.counters["reused"] = static_cast<double>(renderer.last_stats().reused);
}

void BM_DashboardMount(benchmark::State& state) { mount(state, dashboard()); }
void BM_DashboardRebuild(benchmark::State& state) { rebuild(state, dashboard()); }
void BM_QueueMount(benchmark::State& state) { mount(state, queue()); }
void BM_QueueRebuild(benchmark::State& state) { rebuild(state, queue()); }

BENCHMARK(BM_DashboardMount)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DashboardRebuild)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QueueMount)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QueueRebuild)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  vimo_ui::qt::apply_look(app);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
