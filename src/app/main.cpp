// Pagora's entry point: fill the launch record and hand the process to the
// toolkit's launcher.
#include <memory>

#include "app/launch_record.h"
#include "os_actions/system_service.h"
#include "service/workers.h"

int main(int argc, char** argv) {
  auto system = [] {
    pagora::surface::Collaborators c;
    c.printing = os_actions::printing::make_system_service();
    c.workers = std::make_shared<pagora::service::ThreadStarter>();
    return c;
  };
  return vimo_ui::launch::run_or_exit(pagora::app::make_launch_record(system), argc, argv);
}
