// How long the renderer takes to mount a screen-sized tree of about 300
// widgets into Qt, and to reconcile a rebuilt copy of it (what every change
// costs). Prints the median and the spread of each; one frame is 16 ms.
//   vimo_ui_qt_bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QLayout>
#include <QWidget>

#include "vimo_ui/qt/renderer.h"
#include "vimo_ui/qt/style.h"
#include "vimo_ui/widgets.h"

namespace {

using namespace vimo_ui;
using Clock = std::chrono::steady_clock;

// A print-queue-like page: header, banner, and job cards in a grid.
WidgetPtr queue_page(int jobs, int revision, const LocalState<double>& copies) {
  auto grid = std::make_unique<CardGrid>();
  for (int i = 0; i < jobs; ++i) {
    const std::string id = "pagora.job.cancel." + std::to_string(i);
    grid->items.push_back(titled_card(
        "Document " + std::to_string(i),
        button(ButtonKind::Action, id, "Cancel", [] {}),
        column(secondary("Studio printer"), space(8), body("In progress"), space(8),
               progress_bar(0.1 * (i % 10) + 0.01 * revision, "Printing progress"), space(8),
               page_preview("Document " + std::to_string(i), static_cast<std::uint32_t>(i + revision), 12), space(6),
               secondary("Submitted " + std::to_string(10 + i % 12) + ":0" + std::to_string(i % 6)))));
  }
  auto copies_field = std::make_unique<NumberInput>();
  copies_field->id = "pagora.print.copies";
  copies_field->label = "Copies";
  copies_field->cell = copies;
  auto page = column(heading("Print queue", 28), secondary("Revision " + std::to_string(revision)), space(14),
                     banner(Tone::Success, "Document canceled", "It will not be printed."), space(14),
                     std::move(copies_field), space(14), std::move(grid));
  auto frame = container(scrollable(std::move(page)));
  frame->max_width = 920;
  return row(flex_space(), std::move(frame), flex_space());
}

std::size_t count_widgets(const Widget& w) {
  std::size_t n = 1;
  for (const Widget* c : w.children()) n += count_widgets(*c);
  return n;
}

struct Summary {
  double median_ms;
  double min_ms;
  double max_ms;
};

Summary summarize(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples.front(), samples.back()};
}

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 41;
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  qt::apply_look(app);

  auto copies = local_state(1.0);
  constexpr int jobs = 24;
  const std::size_t widgets = count_widgets(*queue_page(jobs, 0, copies));

  // One window for the whole run, as in the program: each round mounts a
  // fresh renderer into it, then reconciles a rebuilt copy.
  QWidget window;
  window.resize(1280, 800);
  window.show();
  QCoreApplication::processEvents();
  auto settle = [&] {
    window.layout()->activate();
    QCoreApplication::processEvents();
  };

  std::vector<double> mount, mount_layout, reconcile, reconcile_layout;
  for (int r = 0; r < rounds; ++r) {
    auto renderer = std::make_unique<qt::Renderer>(&window);
    auto tree = queue_page(jobs, 0, copies);

    auto start = Clock::now();
    renderer->render(*tree);
    mount.push_back(ms_since(start));
    settle();
    mount_layout.push_back(ms_since(start));

    // The rebuilt copy: same shape, a few values changed, as after a refresh.
    auto rebuilt = queue_page(jobs, 1 + r % 2, copies);
    start = Clock::now();
    renderer->render(*rebuilt);
    reconcile.push_back(ms_since(start));
    settle();
    reconcile_layout.push_back(ms_since(start));
    if (renderer->last_stats().created != 0 || renderer->last_stats().dropped != 0) {
      std::fprintf(stderr, "reconcile recreated widgets: %zu created, %zu dropped\n", renderer->last_stats().created,
                   renderer->last_stats().dropped);
      return 1;
    }
    renderer.reset();
    QCoreApplication::processEvents();
  }

  std::printf("tree: %zu widgets, %d rounds\n", widgets, rounds);
  auto print = [](const char* what, const std::vector<double>& samples) {
    const Summary s = summarize(samples);
    std::printf("%-34s median %7.2f ms  (min %6.2f, max %6.2f)\n", what, s.median_ms, s.min_ms, s.max_ms);
  };
  print("mount", mount);
  print("mount + layout and paint", mount_layout);
  print("reconcile rebuilt copy", reconcile);
  print("reconcile + layout and paint", reconcile_layout);
  return 0;
}
