// Turns a widget tree into Qt widgets and keeps them in step with later
// trees. Screens are rebuilt whole on every change; the renderer matches each
// new tree against the mounted one (by kind and position, by control id where
// a node has one) and updates the matched Qt widgets in place, so that focus,
// scroll position, half-typed input and open popups survive a rebuild.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include <QWidget>

#include "vimo_ui/widget.h"

namespace vimo_ui::qt {

struct Node;

class Renderer {
 public:
  // frame: the Qt widget the tree is shown in (owned by the caller).
  // on_input: called after every user input the renderer passed on (a press,
  // a choice, a cell write), so the loop can ask the root what changed.
  explicit Renderer(QWidget* frame, std::function<void()> on_input = {});
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Shows `root`: mounts it the first time, afterwards updates in place. The
  // renderer keeps no pointer into the tree, which the caller may free.
  void render(const Widget& root);

  struct Stats {
    std::size_t created = 0;  // Qt-backed nodes made by the last render
    std::size_t reused = 0;   // nodes kept and updated in place
    std::size_t dropped = 0;  // nodes removed with their Qt widgets
  };
  const Stats& last_stats() const { return stats_; }

  QWidget* root_widget() const;
  // The Qt widget mounted for the node reached by these child indices from
  // the root (empty: the root); null when there is none.
  QWidget* widget_at(std::span<const std::size_t> path) const;
  // The Qt widget of the node with this control id (first in tree order).
  QWidget* widget_for_control(std::string_view control_id) const;

 private:
  std::unique_ptr<Node> create(const Widget& w, QWidget* parent);
  void update(Node& node, const Widget& w);
  void apply(Node& node, const Widget& w);
  void reconcile_children(Node& node, const Widget& w);
  void place_children(Node& node);
  void drop(std::unique_ptr<Node> node);
  void input_happened();

  QWidget* frame_;
  std::function<void()> on_input_;
  std::unique_ptr<Node> root_;
  Stats stats_;
};

}  // namespace vimo_ui::qt
