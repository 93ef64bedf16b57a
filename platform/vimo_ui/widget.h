// The widget interface: what the toolkit asks of every node of a screen tree
// and of the program's own widgets (the root, the dashboard card).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vimo_actions/actions.h"

namespace vimo_ui {

// The arguments the loop passes to update and sync. Empty for now: the
// loop's calls carry no data the program reads.
struct UpdateContext {};

// The built-in kinds the renderer knows how to draw. Program widgets answer
// Custom and are drawn through their children.
enum class Kind : std::uint8_t {
  Custom,
  Column,
  Row,
  Container,
  Spacer,
  Scrollable,
  Card,
  CardGrid,
  Banner,
  Button,
  Text,
  ProgressBar,
  PagePreview,
  IconWidget,
  Image,
  Divider,
  Dropdown,
  NumberInput,
  Toggle,
  ToggleGroup,
  ImageCropEditor,
};

std::string_view kind_label(Kind kind);
// "vimo_ui::Column" and so on.
std::string_view builtin_type_name(Kind kind);

// A control-action binding: a control that automation may press or select.
struct ControlAction {
  std::string control_id;  // e.g. "pagora.job.cancel" or "pagora.scan.color.select"
  std::string label;
  vimo_actions::ExecutionKind kind = vimo_actions::ExecutionKind::Perform;
};

class Widget {
 public:
  Widget() = default;
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;
  virtual ~Widget() = default;

  virtual Kind kind() const { return Kind::Custom; }
  // Full type name, e.g. "vimo_ui::Column" or "pagora::surface::Pagora".
  virtual std::string_view type_name() const = 0;
  // Short kind name shown in descriptions, e.g. "Column" or "DashboardCard".
  virtual std::string_view kind_name() const { return kind_label(kind()); }

  // Handles pending work; true when something changed and update should be
  // called again.
  virtual bool update(UpdateContext&) { return false; }
  virtual void sync(UpdateContext&) {}
  virtual bool needs_idle_sync() const { return false; }

  virtual std::vector<const Widget*> children() const { return {}; }
  virtual std::vector<Widget*> children_mut() { return {}; }

  // Automation. The defaults offer nothing and handle nothing.
  virtual std::vector<vimo_actions::Resource> resources() const { return {}; }
  virtual vimo_actions::InvokeResult invoke_operation(const vimo_actions::Invocation&) { return {}; }
  virtual std::vector<ControlAction> control_actions() const { return {}; }
  virtual vimo_actions::InvokeResult perform_control_action(std::string_view /*control_id*/,
                                                            std::string_view /*argument_json*/) {
    return {};
  }
};

using WidgetPtr = std::unique_ptr<Widget>;

}  // namespace vimo_ui
