// A gallery screen with every built-in widget kind, and a small root widget
// around it that answers button presses through a channel like a program
// would. Used by the gallery program, the renderer tests and the benchmark.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vimo_ui/channel.h"
#include "vimo_ui/launch.h"
#include "vimo_ui/local_state.h"
#include "vimo_ui/widgets.h"

namespace gallery {

struct Cells {
  vimo_ui::LocalState<double> copies = vimo_ui::local_state(1.0);
  vimo_ui::LocalState<bool> two_sided = vimo_ui::local_state(false);
  vimo_ui::LocalState<std::uint32_t> resolution = vimo_ui::local_state<std::uint32_t>(1);
  vimo_ui::LocalState<vimo_ui::CropSelection> crop = vimo_ui::local_state(vimo_ui::CropSelection{0.1, 0.1, 0.9, 0.85});
};

// A sample RGBA picture: a soft colour gradient with a darker frame.
vimo_ui::Pixels sample_pixels(std::uint32_t width, std::uint32_t height);

// The whole gallery; buttons send their control id, the dropdown "paper:" and its value.
vimo_ui::WidgetPtr gallery_screen(const vimo_ui::Sender<std::string>& sender, const Cells& cells,
                                  const std::string& last_event, const std::string& paper);

class GalleryRoot : public vimo_ui::Widget {
 public:
  // working: the root starts a worker that answers after this long, and
  // until then reports outstanding work (for the settled capture).
  explicit GalleryRoot(std::optional<int> working_ms = std::nullopt);
  ~GalleryRoot() override;

  std::string_view type_name() const override { return "gallery::GalleryRoot"; }
  std::string_view kind_name() const override { return "GalleryRoot"; }
  bool update(vimo_ui::UpdateContext& ctx) override;
  bool needs_idle_sync() const override { return working_; }
  std::vector<const vimo_ui::Widget*> children() const override { return {screen_.get()}; }
  std::vector<vimo_ui::Widget*> children_mut() override { return {screen_.get()}; }

  const std::string& last_event() const { return last_event_; }

 private:
  void rebuild();

  vimo_ui::Sender<std::string> sender_;
  vimo_ui::Receiver<std::string> receiver_;
  Cells cells_;
  std::string last_event_ = "none";
  std::string paper_ = "a4";
  bool working_ = false;
  vimo_ui::WidgetPtr screen_;
};

// The launch record of the gallery program: fixture "narrow" opens a
// 520 x 820 window, "tall" one of 1280 x 1700 that shows the whole gallery,
// "working" starts a worker that answers after 400 ms.
vimo_ui::launch::LaunchRecord gallery_record();

}  // namespace gallery
