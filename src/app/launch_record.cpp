// Filling the launch record: id, fixture names, constructors, window size.
#include "app/launch_record.h"

#include "fixtures/fixtures.h"
#include "surface/pagora.h"

namespace pagora::app {

vimo_ui::launch::LaunchRecord make_launch_record(std::function<surface::Collaborators()> system) {
  using namespace vimo_ui::launch;
  LaunchRecord record;
  record.app_id = kApplicationId;
  record.fixture_names = fixtures::fixture_names();
  record.live = [system]() -> vimo_ui::WidgetPtr { return surface::Pagora::live(system()); };
  record.preview = [system](const LaunchContext& context) {
    return PreviewRoot{fixtures::fixture_root(fixtures::fixture_state(context.fixture), system()), std::nullopt};
  };
  record.window_size = [](const LaunchContext& context) { return fixtures::initial_window_size(context.fixture); };
  record.may_close = [] { return true; };
  record.persist_opener = &vimo_ui::persist::open;
  record.resizable = true;
  record.fullscreen = false;
  record.decorated = true;
  record.show_on_start = true;
  return record;
}

}  // namespace pagora::app
