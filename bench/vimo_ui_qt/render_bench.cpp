// How long the renderer takes to mount a screen-sized tree of about 300
// widgets into Qt, and to reconcile a rebuilt copy of it (what every change
// costs). Prints the median and the spread of each, in wall-clock time and in
// the CPU time of this thread (which other processes on a busy machine do not
// inflate), and the machine's load; one frame is 16 ms.
//   vimo_ui_qt_bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ctime>
#include <fstream>

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

double thread_cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// A point in both clocks.
struct Mark {
  Clock::time_point wall = Clock::now();
  double cpu = thread_cpu_ms();
};

struct Samples {
  std::vector<double> wall;
  std::vector<double> cpu;
  void add(const Mark& start) {
    wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start.wall).count());
    cpu.push_back(thread_cpu_ms() - start.cpu);
  }
};

std::string load_average() {
  std::ifstream in("/proc/loadavg");
  std::string one, five;
  in >> one >> five;
  return one.empty() ? "unknown" : one + " " + five;
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

  Samples mount, mount_layout, reconcile, reconcile_layout;
  for (int r = 0; r < rounds; ++r) {
    auto renderer = std::make_unique<qt::Renderer>(&window);
    auto tree = queue_page(jobs, 0, copies);

    Mark start;
    renderer->render(*tree);
    mount.add(start);
    settle();
    mount_layout.add(start);

    // The rebuilt copy: same shape, a few values changed, as after a refresh.
    auto rebuilt = queue_page(jobs, 1 + r % 2, copies);
    start = Mark{};
    renderer->render(*rebuilt);
    reconcile.add(start);
    settle();
    reconcile_layout.add(start);
    if (renderer->last_stats().created != 0 || renderer->last_stats().dropped != 0) {
      std::fprintf(stderr, "reconcile recreated widgets: %zu created, %zu dropped\n", renderer->last_stats().created,
                   renderer->last_stats().dropped);
      return 1;
    }
    renderer.reset();
    QCoreApplication::processEvents();
  }

  std::printf("tree: %zu widgets, %d rounds, load average %s\n", widgets, rounds, load_average().c_str());
  auto print = [](const char* what, const Samples& samples) {
    const Summary wall = summarize(samples.wall);
    const Summary cpu = summarize(samples.cpu);
    std::printf("%-30s wall median %7.2f ms (min %6.2f, max %7.2f)   cpu median %7.2f ms\n", what, wall.median_ms,
                wall.min_ms, wall.max_ms, cpu.median_ms);
  };
  print("mount", mount);
  print("mount + layout and paint", mount_layout);
  print("reconcile rebuilt copy", reconcile);
  print("reconcile + layout and paint", reconcile_layout);
  return 0;
}
