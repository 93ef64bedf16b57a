// The launcher: command line, application object, window, and the two
// offscreen tools (--screenshot and --describe).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QSocketNotifier>
#include <QEventLoop>
#include <QPixmap>
#include <QStringList>
#include <QTimer>

#include "vimo_ui/launch.h"
#include "vimo_ui/qt/describe.h"
#include "vimo_ui/qt/host.h"
#include "vimo_ui/qt/style.h"

namespace vimo_ui::launch {

namespace {

struct Options {
  std::optional<std::string> fixture;
  std::optional<std::string> screenshot;
  bool describe = false;
  std::optional<double> settle;
  bool help = false;
};

// How long the loop must have been quiet before a settled capture.
constexpr auto quiet_period = std::chrono::milliseconds(200);

void print_usage(std::FILE* out, std::string_view program) {
  std::fprintf(out,
               "Usage: %.*s [--fixture NAME] [--screenshot FILE.png | --describe] [--settle SECONDS]\n"
               "\n"
               "Opens the application window.\n"
               "\n"
               "  --fixture NAME        start in the named preview state instead of the live one\n"
               "  --screenshot FILE.png render the window offscreen at its launch size, write it\n"
               "                        as a PNG image and exit\n"
               "  --describe            print the current screen's widget tree as JSON and exit\n"
               "                        (offscreen, no display needed)\n"
               "  --settle SECONDS      with --screenshot or --describe: first let the program work\n"
               "                        until it has nothing outstanding and has been quiet for\n"
               "                        200 ms, for at most SECONDS; without it the first frame\n"
               "                        is captured\n"
               "  --help                show this help and exit\n",
               static_cast<int>(program.size()), program.data());
}

// nullopt: a usage error, already reported.
std::optional<Options> parse(int argc, char** argv, std::string_view program) {
  Options o;
  auto fail = [&](const std::string& what) -> std::optional<Options> {
    std::fprintf(stderr, "%.*s: %s\nTry '%.*s --help'.\n", static_cast<int>(program.size()), program.data(),
                 what.c_str(), static_cast<int>(program.size()), program.data());
    return std::nullopt;
  };
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::optional<std::string> inline_value;
    if (arg.starts_with("--")) {
      if (const auto eq = arg.find('='); eq != std::string::npos) {
        inline_value = arg.substr(eq + 1);
        arg.resize(eq);
      }
    }
    auto value = [&]() -> std::optional<std::string> {
      if (inline_value) return inline_value;
      if (i + 1 < argc) return std::string(argv[++i]);
      return std::nullopt;
    };
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--describe" && !inline_value) {
      o.describe = true;
    } else if (arg == "--fixture") {
      o.fixture = value();
      if (!o.fixture) return fail("--fixture needs a name");
    } else if (arg == "--screenshot") {
      o.screenshot = value();
      if (!o.screenshot || o.screenshot->empty()) return fail("--screenshot needs a file name");
    } else if (arg == "--settle") {
      const auto v = value();
      if (!v) return fail("--settle needs a number of seconds");
      char* end = nullptr;
      const double seconds = std::strtod(v->c_str(), &end);
      if (v->empty() || *end != '\0' || !(seconds >= 0) || seconds > 86400)
        return fail("--settle needs a number of seconds, not '" + *v + "'");
      o.settle = seconds;
    } else {
      return fail("unknown option '" + std::string(argv[i]) + "'");
    }
  }
  if (o.screenshot && o.describe) return fail("--screenshot and --describe cannot be combined");
  if (o.settle && !o.screenshot && !o.describe) return fail("--settle applies to --screenshot and --describe only");
  return o;
}

// Runs the loop until the root has nothing outstanding and no wake arrived
// for the quiet period, or the time is up.
void settle(qt::EventLoopHost& host, double seconds) {
  const auto start = std::chrono::steady_clock::now();
  const auto limit = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(seconds));
  QEventLoop loop;
  QTimer tick;
  tick.setInterval(10);
  auto check = [&] {
    const auto now = std::chrono::steady_clock::now();
    const auto last = std::max(start, host.last_wake());
    const bool quiet = now - last >= quiet_period && !host.scheduled();
    const bool idle = !host.root() || !host.root()->needs_idle_sync();
    if (now >= limit || (quiet && idle)) loop.quit();
  };
  tick.callOnTimeout(&loop, check);
  tick.start();
  loop.exec();
}

// SIGTERM and SIGINT close the window through the loop, as the close
// button would, instead of killing the process mid-update.
int signal_pipe[2] = {-1, -1};

void on_stop_signal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(signal_pipe[1], &byte, 1);
}

void close_on_stop_signals(QWidget* window) {
  if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
    char buffer[16];
    while (::read(signal_pipe[0], buffer, sizeof buffer) > 0) {
    }
    if (!window->close()) return;  // the program said no
    QCoreApplication::quit();
  });
  struct sigaction action = {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

void flush_events() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QString window_title(const LaunchRecord& record) {
  if (record.title) return QString::fromStdString(*record.title);
  QString name = QString::fromStdString(record.app_id).section('.', -1);
  if (!name.isEmpty()) name[0] = name[0].toUpper();
  return name;
}

}  // namespace

int run_or_exit(LaunchRecord record, int argc, char** argv) {
  const std::string_view program = argc > 0 && argv[0] ? std::string_view(argv[0]) : std::string_view("program");
  const std::string_view short_name = program.substr(program.rfind('/') == std::string_view::npos ? 0 : program.rfind('/') + 1);
  const auto options = parse(argc, argv, short_name);
  if (!options) return 2;
  if (options->help) {
    print_usage(stdout, short_name);
    return 0;
  }
  const bool offscreen = options->screenshot || options->describe;
  // The tools render without a display, whatever the environment says.
  if (offscreen) qputenv("QT_QPA_PLATFORM", "offscreen");

  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  QApplication app(qt_argc, qt_argv);
  const QString app_id = QString::fromStdString(record.app_id);
  const QStringList parts = app_id.split('.', Qt::SkipEmptyParts);
  if (!parts.isEmpty()) QCoreApplication::setApplicationName(parts.last());
  if (parts.size() > 1) {
    QStringList domain = parts.mid(0, parts.size() - 1);
    std::reverse(domain.begin(), domain.end());
    QCoreApplication::setOrganizationDomain(domain.join('.'));
  }
  QGuiApplication::setDesktopFileName(app_id);
  QGuiApplication::setApplicationDisplayName(window_title(record));
  qt::apply_look(app);

  LaunchContext ctx;
  ctx.fixture = options->fixture;
  qt::EventLoopHost host(record.may_close);

  WidgetPtr root;
  if (ctx.fixture && record.preview) {
    root = record.preview(ctx).root;
  } else if (record.live) {
    root = record.live();
  }
  if (!root) {
    std::fprintf(stderr, "%.*s: no root widget to show\n", static_cast<int>(short_name.size()), short_name.data());
    return 1;
  }
  const WindowSize size = record.window_size ? record.window_size(ctx) : WindowSize{1280, 800};
  const int width = static_cast<int>(std::clamp<std::uint32_t>(size.width, 1, 16384));
  const int height = static_cast<int>(std::clamp<std::uint32_t>(size.height, 1, 16384));

  host.set_root(std::move(root));
  QWidget* window = host.window();
  window->setWindowTitle(window_title(record));
  window->resize(width, height);
  if (!record.resizable || offscreen) window->setFixedSize(width, height);

  if (offscreen) {
    window->show();
    flush_events();
    if (options->settle) settle(host, *options->settle);
    flush_events();
    if (options->describe) {
      const std::string json = qt::describe_json(*host.root());
      std::fwrite(json.data(), 1, json.size(), stdout);
      std::fputc('\n', stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const QPixmap shot = window->grab();
    if (!shot.save(QString::fromStdString(*options->screenshot), "PNG")) {
      std::fprintf(stderr, "%.*s: cannot write %s\n", static_cast<int>(short_name.size()), short_name.data(),
                   options->screenshot->c_str());
      return 1;
    }
    return 0;
  }

  auto* quit = new QShortcut(QKeySequence::Quit, window);
  QObject::connect(quit, &QShortcut::activated, window, [window] { window->close(); });
  close_on_stop_signals(window);
  if (record.fullscreen) window->showFullScreen();
  else if (record.show_on_start) window->show();
  return app.exec();
}

}  // namespace vimo_ui::launch
