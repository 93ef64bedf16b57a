// The gallery through the whole loop: what the window shows matches the
// tree, and a press travels through the channel, the root's update and a
// reconciled rebuild without disturbing what the user was doing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <set>
#include <string>

#include "gallery.h"
#include "vimo_ui/qt/host.h"
#include "vimo_ui/testing.h"
#include "qt_wait.h"

namespace {

using namespace vimo_ui;


// Texts Qt shows as labels and button captions.
std::set<std::string> shown_texts(QWidget* window) {
  std::set<std::string> out;
  for (auto* label : window->findChildren<QLabel*>())
    if (!label->text().isEmpty()) out.insert(label->text().toStdString());
  for (auto* button : window->findChildren<QAbstractButton*>())
    if (!button->text().isEmpty()) out.insert(button->text().toStdString());
  return out;
}

struct GalleryWindow {
  qt::EventLoopHost host;
  gallery::GalleryRoot* root = nullptr;
  GalleryWindow() {
    auto owned = std::make_unique<gallery::GalleryRoot>();
    root = owned.get();
    host.set_root(std::move(owned));
    host.window()->resize(520, 820);
    host.window()->show();
    QCoreApplication::processEvents();
  }
};

TEST(Gallery, WindowShowsExactlyTheTreesTexts) {
  GalleryWindow g;
  std::set<std::string> expected;
  vimo_ui::testing::walk(*g.root, [&](const Widget& w) {
    if (auto* t = dynamic_cast<const Text*>(&w)) expected.insert(t->text);
    if (auto* b = dynamic_cast<const Button*>(&w)) expected.insert(b->label);
    if (auto* b = dynamic_cast<const Banner*>(&w)) {
      expected.insert(b->title);
      if (b->message) expected.insert(*b->message);
    }
    if (auto* c = dynamic_cast<const Card*>(&w); c && c->title) expected.insert(*c->title);
    if (auto* d = dynamic_cast<const Dropdown*>(&w)) expected.insert(d->label);
    if (auto* f = dynamic_cast<const NumberInput*>(&w)) expected.insert(f->label);
    if (auto* t = dynamic_cast<const Toggle*>(&w)) expected.insert(t->label);
    if (auto* s = dynamic_cast<const ToggleGroup*>(&w)) expected.insert(s->labels.begin(), s->labels.end());
  });
  EXPECT_EQ(shown_texts(g.host.window()), expected);
}

TEST(Gallery, PressGoesThroughTheLoopAndTheRebuildKeepsScrollAndWidgets) {
  GalleryWindow g;
  auto* area = g.host.window()->findChild<QScrollArea*>();
  ASSERT_NE(area, nullptr);
  ASSERT_GT(area->verticalScrollBar()->maximum(), 200) << "the gallery is taller than the narrow window";
  area->verticalScrollBar()->setValue(200);
  QPointer<QWidget> refresh = g.host.renderer().widget_for_control("gallery.refresh");
  ASSERT_TRUE(refresh);
  refresh->setFocus();
  const std::uint64_t pumps = g.host.pump_count();

  QTest::mouseClick(static_cast<QAbstractButton*>(refresh.data()), Qt::LeftButton);
  ASSERT_TRUE(run_until([&] { return g.root->last_event() == "gallery.refresh" && !g.host.scheduled(); }));
  QCoreApplication::processEvents();

  EXPECT_GT(g.host.pump_count(), pumps);
  EXPECT_TRUE(shown_texts(g.host.window()).contains("Last event: gallery.refresh"));
  EXPECT_EQ(g.host.renderer().widget_for_control("gallery.refresh"), refresh.data());
  EXPECT_EQ(g.host.renderer().last_stats().created, 0u);
  EXPECT_EQ(g.host.renderer().last_stats().dropped, 0u);
  EXPECT_EQ(area->verticalScrollBar()->value(), 200);
  EXPECT_EQ(QApplication::focusWidget(), refresh.data());
}

}  // namespace
