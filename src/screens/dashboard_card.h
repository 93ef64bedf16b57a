// The dashboard's own card: a titled card surface with its actions placed
// under the content, and its own name in the widget tree.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "screens/frame.h"
#include "vimo_ui/widgets.h"

namespace pagora::surface {

// Owns exactly one child, the card surface, and answers every call the
// toolkit makes by handing it to that child.
class DashboardCard final : public vimo_ui::Widget {
 public:
  // A null surface is replaced by an empty one, so the card always has its child.
  explicit DashboardCard(std::unique_ptr<vimo_ui::Container> surface);

  std::string_view type_name() const override { return "pagora::surface::DashboardCard"; }
  std::string_view kind_name() const override { return "DashboardCard"; }

  bool update(vimo_ui::UpdateContext& cx) override { return surface_->update(cx); }
  void sync(vimo_ui::UpdateContext& cx) override { surface_->sync(cx); }

  std::vector<const vimo_ui::Widget*> children() const override { return {surface_.get()}; }
  std::vector<vimo_ui::Widget*> children_mut() override { return {surface_.get()}; }

  const vimo_ui::Container& surface() const { return *surface_; }

 private:
  std::unique_ptr<vimo_ui::Container> surface_;
};

}  // namespace pagora::surface

namespace pagora::screens {

// Title as an 18 px heading, 14 px, the content, 16 px, the actions.
std::unique_ptr<surface::DashboardCard> dashboard_card(std::string title, vimo_ui::WidgetPtr content,
                                                       vimo_ui::WidgetPtr actions);

// One printer: display name, state, lowest supply, preferred or not, "Open".
std::unique_ptr<surface::DashboardCard> printer_card(const PrinterQueue& queue, const MessageSender& sender);

}  // namespace pagora::screens
