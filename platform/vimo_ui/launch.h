// The launch record a program hands to the toolkit's launcher, and the
// launch context the toolkit hands back to the program's callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vimo_ui/widget.h"

namespace vimo_ui {

namespace persist {

// Where the toolkit would keep window state between runs. This toolkit keeps
// none, so opening always answers an empty store.
struct Store {
  std::string app_id;
};

std::optional<Store> open(std::string_view app_id);

using Opener = std::optional<Store> (*)(std::string_view);

}  // namespace persist

namespace launch {

struct LaunchContext {
  std::optional<std::string> fixture;  // the requested preview fixture name
};

struct WindowSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

// What the preview constructor answers: the root, and an optional item the
// program leaves absent.
struct PreviewRoot {
  WidgetPtr root;
  std::optional<std::string> title;
};

struct LaunchRecord {
  std::string app_id;
  std::vector<std::string> fixture_names;
  std::function<WidgetPtr()> live;
  std::function<PreviewRoot(const LaunchContext&)> preview;
  std::function<WindowSize(const LaunchContext&)> window_size;
  // Asked before the window closes; answering yes lets it close.
  std::function<bool()> may_close;
  persist::Opener persist_opener = nullptr;

  bool resizable = true;
  bool fullscreen = false;
  bool decorated = true;
  bool show_on_start = true;

  std::vector<std::string> extra_arguments;
  std::vector<std::string> mime_types;
  std::vector<std::string> url_schemes;
  std::vector<std::string> keywords;

  std::optional<std::string> title;
  std::optional<std::string> icon_name;
};

// Owns the process from here: parses the command line, builds the root
// through one of the two constructors, runs the loop, and returns the exit
// status.
int run_or_exit(LaunchRecord record, int argc, char** argv);

}  // namespace launch
}  // namespace vimo_ui
