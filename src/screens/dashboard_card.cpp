// The dashboard card and its fixed inner layout.
#include "screens/dashboard_card.h"


namespace pagora::surface {

DashboardCard::DashboardCard(std::unique_ptr<vimo_ui::Container> surface)
    : surface_(surface ? std::move(surface) : std::make_unique<vimo_ui::Container>()) {
  surface_->card_surface = true;
}

}  // namespace pagora::surface

namespace pagora::screens {

using namespace vimo_ui;

std::unique_ptr<surface::DashboardCard> dashboard_card(std::string title, WidgetPtr content, WidgetPtr actions) {
  auto surface = container(
      column(heading(std::move(title), 18), space(14), std::move(content), space(16), std::move(actions)));
  surface->card_surface = true;
  return std::make_unique<surface::DashboardCard>(std::move(surface));
}

}  // namespace pagora::screens
