// Times one full refresh (queues, jobs, scanners, one after another as the
// program's refresh does) against a private stack with N queues, then again
// while the printer behind them is silent, and after it is killed; and one
// A4 colour scan of the test scanner at 300 and 600 dpi.
//
//   os_actions_refresh_bench [QUEUES] [RUNS]
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "os_actions/system_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using os_actions::printing::make_system_service;
using os_actions::printing::PrintingService;

std::string run(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    if (pclose(p) != 0) out.clear();
  }
  return out;
}

struct Figures {
  double median_ms, min_ms, max_ms;
  std::size_t queues;
  bool all_ok;
  bool unreachable;
};

Figures time_refresh(PrintingService& svc, int runs) {
  std::vector<double> ms;
  Figures f{0, 0, 0, 0, true, false};
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    auto q = svc.queues();
    auto j = svc.jobs();
    auto s = svc.scanners();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    f.all_ok = f.all_ok && q && j && s;
    if (q) {
      f.queues = q->size();
      f.unreachable = std::all_of(q->begin(), q->end(), [](const auto& x) {
        return x.state == os_actions::printing::PrinterState::Unreachable && !x.responded;
      });
    }
  }
  std::sort(ms.begin(), ms.end());
  f.median_ms = ms[ms.size() / 2];
  f.min_ms = ms.front();
  f.max_ms = ms.back();
  return f;
}

void print(const char* what, const Figures& f) {
  std::printf("%-28s queues=%zu median=%.1f ms min=%.1f ms max=%.1f ms %s%s\n", what, f.queues, f.median_ms,
              f.min_ms, f.max_ms, f.all_ok ? "ok" : "FAILED", f.unreachable ? " (all unreachable)" : "");
}

}  // namespace

int main(int argc, char** argv) {
  const int queues = argc > 1 ? std::atoi(argv[1]) : 1;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
  char tmpl[] = "/tmp/pagora-refresh-bench.XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;
  const std::string env = run(std::string(PAGORA_SANDBOX_SCRIPT) + " start " + dir + " --queues " +
                              std::to_string(queues));
  if (env.empty()) {
    std::fprintf(stderr, "the private stack did not start\n");
    return 1;
  }
  for (std::size_t pos = 0; pos < env.size();) {
    const auto end = env.find('\n', pos);
    const std::string line = env.substr(pos, end - pos);
    pos = end == std::string::npos ? env.size() : end + 1;
    const auto eq = line.find('=');
    if (eq != std::string::npos && !line.starts_with("export"))
      setenv(line.substr(0, eq).c_str(), line.substr(eq + 1).c_str(), 1);
  }
  {
    auto svc = make_system_service();
    svc->scanners();  // libsane's first start is not part of a refresh
    print("reachable printer", time_refresh(*svc, runs));
    for (std::uint16_t dpi : {300, 600}) {
      const auto t0 = Clock::now();
      auto png = svc->scan_page("test:0", {.resolution_dpi = dpi, .colour_mode = 0, .source = 0});
      std::printf("scan A4 colour %u dpi         %.0f ms, PNG %.1f MB %s\n", dpi,
                  std::chrono::duration<double, std::milli>(Clock::now() - t0).count(),
                  png ? static_cast<double>(png->size()) / 1e6 : 0.0, png ? "ok" : png.error().c_str());
    }
    std::ifstream pid_file(dir + "/printer.pid");
    int pid = 0;
    pid_file >> pid;
    if (pid <= 0) return 1;
    // Stopped: connections are accepted by the kernel but never answered.
    kill(pid, SIGSTOP);
    print("silent printer", time_refresh(*svc, std::max(3, runs / 4)));
    kill(pid, SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    print("killed printer", time_refresh(*svc, std::max(3, runs / 4)));
  }
  run(std::string(PAGORA_SANDBOX_SCRIPT) + " stop " + dir);
  run("rm -rf " + dir);
  return 0;
}
