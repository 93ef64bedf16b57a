// Writes 10-page A4 300 dpi documents of rendered scans and reports time,
// peak memory and size for three writers on the same pages: this writer
// (libdeflate, pages in parallel), the same writer with zlib level 6 on one
// thread, and the img2pdf program reading the pages as PPM files.
//
// Each writer runs in a child process forked after the pages are rendered,
// so its peak resident size is the pages it was handed plus what it used,
// and no run inherits another's memory.
//
//   pdf_bench [--pages N] [--only clean|turned|noisy|photo|mixed] [--no-img2pdf]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "pages.h"
#include "pdf/writer.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using pdf_bench::PageKind;
using Clock = std::chrono::steady_clock;

constexpr double kMiB = 1024.0 * 1024.0;

struct Measure {
  double seconds = 0;
  double cpu_seconds = 0;   // user + system time of the writing process
  double output_bytes = 0;
  double peak_kib = 0;      // peak resident size of the process that wrote
  double baseline_kib = 0;  // resident size before writing (pages included)
  bool ok = false;
};

pdf::Compressor zlib6() {
  return {[](std::size_t n) { return static_cast<std::size_t>(compressBound(static_cast<uLong>(n))); },
          [](std::span<const std::uint8_t> in, std::span<std::uint8_t> out) -> std::size_t {
            uLongf len = out.size();
            return compress2(out.data(), &len, in.data(), in.size(), 6) == Z_OK ? len : 0;
          }};
}

double cpu_seconds(const rusage& u) {
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double status_kib(const char* field) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(field)) return std::strtod(line.c_str() + std::strlen(field), nullptr);
  return 0;
}

// Runs the writer in a forked child and reads its figures back over a pipe.
Measure measure_writer(const std::vector<pdf::PdfPage>& pages, const pdf::WriterOptions& options) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak from here
    Measure m;
    m.baseline_kib = status_kib("VmRSS:");
    const auto t0 = Clock::now();
    const auto out = pdf::write_searchable_pdf(pages, options);
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.output_bytes = static_cast<double>(out.size());
    m.peak_kib = status_kib("VmHWM:");
    m.ok = true;
    const bool sent = write(fds[1], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
    _exit(sent ? 0 : 1);
  }
  close(fds[1]);
  Measure m;
  const bool got = read(fds[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  m.cpu_seconds = cpu_seconds(usage);
  return m;
}

void write_ppm(const fs::path& path, const pdf::PdfPage& page) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << page.width << ' ' << page.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(page.rgb.data()), static_cast<std::streamsize>(page.rgb.size()));
}

std::optional<Measure> measure_img2pdf(const std::vector<pdf::PdfPage>& pages, const fs::path& dir) {
  std::vector<std::string> args{"img2pdf"};
  for (std::size_t k = 0; k < pages.size(); ++k) {
    const fs::path p = dir / ("page" + std::to_string(k) + ".ppm");
    write_ppm(p, pages[k]);
    args.push_back(p.string());
  }
  const fs::path out = dir / "img2pdf.pdf";
  args.push_back("-o");
  args.push_back(out.string());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const auto t0 = Clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, "img2pdf", nullptr, nullptr, argv.data(), environ) != 0) return std::nullopt;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Measure m;
  m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  m.output_bytes = static_cast<double>(fs::file_size(out));
  m.peak_kib = static_cast<double>(usage.ru_maxrss);
  m.cpu_seconds = cpu_seconds(usage);
  m.ok = true;
  for (const auto& a : args)
    if (a.ends_with(".ppm") || a.ends_with(".pdf")) fs::remove(a);
  return m;
}

void print_row(const char* writer, const Measure& m, std::size_t pages) {
  std::printf("  %-22s %7.2f s %7.3f s/page %7.2f s cpu %8.1f MiB peak %8.1f MiB out\n", writer, m.seconds,
              m.seconds / static_cast<double>(pages), m.cpu_seconds, m.peak_kib / 1024, m.output_bytes / kMiB);
}

struct Document {
  std::string name;
  std::vector<PageKind> kinds;
};

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress shows while it runs
  std::size_t page_count = 10;
  std::string only;
  bool img2pdf = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pages" && i + 1 < argc) {
      page_count = std::strtoul(argv[++i], nullptr, 10);
    } else if (a == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (a == "--no-img2pdf") {
      img2pdf = false;
    } else {
      std::fprintf(stderr, "usage: pdf_bench [--pages N] [--only clean|turned|noisy|photo|mixed] [--no-img2pdf]\n");
      return 2;
    }
  }

  std::vector<Document> docs = {
      {"clean", std::vector<PageKind>(page_count, PageKind::CleanText)},
      {"turned", std::vector<PageKind>(page_count, PageKind::TurnedText)},
      {"noisy", std::vector<PageKind>(page_count, PageKind::NoisyScan)},
      {"photo", std::vector<PageKind>(page_count, PageKind::Photo)},
      {"mixed", {}},
  };
  const PageKind cycle[] = {PageKind::CleanText, PageKind::TurnedText, PageKind::NoisyScan, PageKind::Photo};
  for (std::size_t k = 0; k < page_count; ++k) docs.back().kinds.push_back(cycle[k % 4]);

  const fs::path dir = fs::temp_directory_path() / ("pdf-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  double load = 0;
  std::ifstream("/proc/loadavg") >> load;  // other work on the machine skews wall times
  std::printf("A4 300 dpi RGB pages (%u x %u), %zu per document, %u cores, load average %.2f\n", pdf_bench::kA4Width,
              pdf_bench::kA4Height, page_count, std::thread::hardware_concurrency(), load);

  bool all_met = true;
  for (const Document& doc : docs) {
    if (!only.empty() && only != doc.name) continue;
    std::vector<pdf::PdfPage> pages;
    for (std::size_t k = 0; k < doc.kinds.size(); ++k) pages.push_back(pdf_bench::render_page(doc.kinds[k], 100 + k));
    double input = 0;
    for (const auto& p : pages) input += static_cast<double>(p.rgb.size());

    std::printf("\n%s document (%s...), input %.1f MiB\n", doc.name.c_str(),
                std::string(pdf_bench::kind_name(doc.kinds.front())).c_str(), input / kMiB);
    const Measure ours = measure_writer(pages, {});
    const Measure zlib = measure_writer(pages, {zlib6(), 1});
    if (!ours.ok || !zlib.ok) {
      std::printf("  a writer run failed\n");
      return 1;
    }
    print_row("libdeflate, parallel", ours, pages.size());
    print_row("zlib 6, serial", zlib, pages.size());
    std::optional<Measure> ref;
    if (img2pdf) {
      ref = measure_img2pdf(pages, dir);
      if (ref) {
        print_row("img2pdf (PPM files)", *ref, pages.size());
      } else {
        std::printf("  img2pdf did not run\n");
      }
    }

    const double speedup = zlib.seconds / ours.seconds;
    const double size_ratio = ours.output_bytes / zlib.output_bytes;
    const double bound_kib = ours.baseline_kib + 2 * ours.output_bytes / 1024;
    const double writer_kib = ours.peak_kib - ours.baseline_kib;
    std::printf("  speed-up over zlib 6 serial: %.2fx wall, %.2fx cpu; size vs zlib 6: %+.2f %%\n", speedup,
                zlib.cpu_seconds / ours.cpu_seconds, (size_ratio - 1) * 100);
    std::printf("  peak %.1f MiB = before writing %.1f MiB (pages and program) + writer %.1f MiB; "
                "bound before writing + 2 x output = %.1f MiB\n",
                ours.peak_kib / 1024, ours.baseline_kib / 1024, writer_kib / 1024, bound_kib / 1024);
    if (ref) std::printf("  per page vs img2pdf: %.2fx faster\n", ref->seconds / ours.seconds);
    const struct {
      const char* what;
      bool met;
    } targets[] = {
        {"output at most 5 % larger than zlib 6", size_ratio <= 1.05},
        {"peak under pages + 2 x output", ours.peak_kib <= bound_kib},
        {"faster than img2pdf", !ref || ours.seconds < ref->seconds},
        {"5x faster than zlib 6 serial (noisy)", doc.name != "noisy" || speedup >= 5},
    };
    bool met = true;
    for (const auto& t : targets) {
      if (!t.met) std::printf("  target missed: %s\n", t.what);
      met = met && t.met;
    }
    if (met) std::printf("  targets met\n");
    all_met = all_met && met;
  }
  fs::remove_all(dir);
  return all_met ? 0 : 1;
}
