// Records the desktop's automation layer reads from a widget: resources, the
// actions on them, and the answers an invocation gets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vimo_actions {

// How an action is to be carried out. 0 is never executed by a widget.
enum class ExecutionKind : std::uint8_t { None = 0, Perform = 1, Navigate = 2 };

struct ActionSpec {
  std::string name;
  std::string description;
  ExecutionKind kind = ExecutionKind::Perform;
  std::string operation_type;
  std::string argument_json;  // the action's JSON argument
  friend bool operator==(const ActionSpec&, const ActionSpec&) = default;
};

struct Resource {
  std::string id;
  std::string type;
  std::string title;
  std::vector<Resource> children;
  std::vector<ActionSpec> actions;
  friend bool operator==(const Resource&, const Resource&) = default;
};

// One invocation as the automation layer hands it to the widget tree.
struct Invocation {
  std::string operation_type;
  std::string argument_json;
  ExecutionKind kind = ExecutionKind::None;
};

enum class InvokeStatus : std::uint8_t {
  NotHandled,  // not this widget's operation; the caller may ask another
  Handled,     // carried out
  Refused,     // this widget's operation, but not acceptable now (wrong kind, bad argument)
};

struct InvokeResult {
  InvokeStatus status = InvokeStatus::NotHandled;
  std::optional<std::string> message;
  friend bool operator==(const InvokeResult&, const InvokeResult&) = default;
};

}  // namespace vimo_actions
