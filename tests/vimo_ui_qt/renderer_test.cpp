// The renderer against real Qt widgets (offscreen): what a rebuild keeps,
// what it drops, and how controls and their cells meet.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vimo_ui/qt/flow_layout.h"
#include "vimo_ui/qt/views.h"
#include "vimo_ui/qt/renderer.h"
#include "vimo_ui/widgets.h"

namespace {

using namespace vimo_ui;
using vimo_ui::qt::Renderer;

// A window holding one renderer, shown offscreen at a given size.
struct Screen {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  int inputs = 0;
  Renderer renderer{window.get(), [this] { ++inputs; }};

  explicit Screen(int width = 520, int height = 400) {
    window->resize(width, height);
    window->show();
  }
  void show(const Widget& tree) {
    renderer.render(tree);
    settle();
  }
  static void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
};

// Every Qt widget below the window, in a stable order.
std::vector<QWidget*> all_widgets(QWidget* root) {
  const QList<QWidget*> list = root->findChildren<QWidget*>();
  return {list.begin(), list.end()};
}

std::unique_ptr<NumberInput> number_field(std::string id, LocalState<double> cell) {
  auto f = std::make_unique<NumberInput>();
  f->id = std::move(id);
  f->label = "Copies";
  f->cell = std::move(cell);
  f->minimum = 1;
  f->maximum = 99;
  return f;
}

// A scrolling page: a tall list of texts, a number field, and buttons.
WidgetPtr long_page(const std::string& title, LocalState<double> copies) {
  auto list = column(heading(title, 28), space(14));
  for (int i = 0; i < 40; ++i) {
    list->items.push_back(body("Line " + std::to_string(i)));
    list->items.push_back(space(8));
  }
  list->items.push_back(number_field("copies", std::move(copies)));
  list->items.push_back(row(button(ButtonKind::Action, "a", "First"), button(ButtonKind::Action, "b", "Second")));
  return column(scrollable(std::move(list)));
}

QScrollArea* first_scroll_area(QWidget* root) { return root->findChild<QScrollArea*>(); }

TEST(Reconcile, RebuildWithSameShapeKeepsWidgetsFocusAndScroll) {
  auto copies = local_state(2.0);
  Screen screen;
  auto first = long_page("Queue", copies);
  screen.show(*first);

  const std::vector<QWidget*> before = all_widgets(screen.window.get());
  auto* spin = screen.renderer.widget_for_control("copies")->findChild<QDoubleSpinBox*>();
  ASSERT_NE(spin, nullptr);
  spin->setFocus();
  auto* area = first_scroll_area(screen.window.get());
  ASSERT_NE(area, nullptr);
  area->verticalScrollBar()->setValue(300);
  ASSERT_EQ(area->verticalScrollBar()->value(), 300);
  // Half-typed: the user cleared the field and has not typed the new number yet.
  QLineEdit* edit = spin->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  ASSERT_EQ(edit->text(), "");

  // A new tree, same shape, one text changed.
  auto second = long_page("Queue (2)", copies);
  first.reset();  // the renderer must not need the old tree
  screen.show(*second);

  EXPECT_EQ(screen.renderer.last_stats().created, 0u);
  EXPECT_EQ(screen.renderer.last_stats().dropped, 0u);
  EXPECT_EQ(all_widgets(screen.window.get()), before);
  EXPECT_EQ(QApplication::focusWidget(), spin);
  EXPECT_EQ(area->verticalScrollBar()->value(), 300);
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(copies->get(), 2.0);
  QTest::keyClicks(edit, "7");
  EXPECT_EQ(copies->get(), 7.0);
  auto* title = qobject_cast<QLabel*>(screen.renderer.widget_at(std::vector<std::size_t>{0, 0, 0}));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), "Queue (2)");
}

TEST(Reconcile, ControlThatDisappearsIsDroppedAndTheRestKept) {
  Screen screen;
  auto tree = row(button(ButtonKind::Action, "a", "A"), button(ButtonKind::Action, "b", "B"),
                  button(ButtonKind::Action, "c", "C"));
  screen.show(*tree);
  QPointer<QWidget> a = screen.renderer.widget_for_control("a");
  QPointer<QWidget> b = screen.renderer.widget_for_control("b");
  QPointer<QWidget> c = screen.renderer.widget_for_control("c");
  ASSERT_TRUE(a && b && c);
  c->setFocus();

  auto without_b = row(button(ButtonKind::Action, "a", "A"), button(ButtonKind::Action, "c", "C"));
  screen.show(*without_b);

  EXPECT_TRUE(b.isNull()) << "the dropped control's Qt widget is deleted";
  EXPECT_EQ(screen.renderer.widget_for_control("b"), nullptr);
  EXPECT_EQ(screen.renderer.widget_for_control("a"), a.data());
  EXPECT_EQ(screen.renderer.widget_for_control("c"), c.data());
  EXPECT_EQ(QApplication::focusWidget(), c.data());
  EXPECT_EQ(screen.renderer.last_stats().dropped, 1u);
  EXPECT_EQ(screen.renderer.last_stats().created, 0u);
  // Still laid out left to right in the new order.
  EXPECT_LT(a->geometry().right(), c->geometry().left());
}

TEST(Reconcile, ControlsFollowTheirIdWhenSomethingAppearsBeforeThem) {
  auto copies = local_state(3.0);
  Screen screen;
  auto before = column(body("Choose"), number_field("copies", copies), button(ButtonKind::Action, "go", "Go"));
  screen.show(*before);
  QPointer<QWidget> field = screen.renderer.widget_for_control("copies");
  QPointer<QWidget> go = screen.renderer.widget_for_control("go");

  auto after = column(banner(Tone::Warning, "Check the paper", std::nullopt), body("Choose"),
                      number_field("copies", copies), button(ButtonKind::Action, "go", "Go"));
  screen.show(*after);
  EXPECT_EQ(screen.renderer.widget_for_control("copies"), field.data());
  EXPECT_EQ(screen.renderer.widget_for_control("go"), go.data());
  EXPECT_EQ(screen.renderer.last_stats().created, 1u) << "only the banner is new";
  EXPECT_EQ(screen.renderer.last_stats().dropped, 0u);
  // The banner is laid out above the rest.
  EXPECT_LT(screen.renderer.widget_at(std::vector<std::size_t>{0})->geometry().bottom(), field->geometry().top());
}

TEST(Reconcile, KindChangeAtAPositionReplacesTheWidget) {
  Screen screen;
  auto text_first = column(body("Loading"), body("Below"));
  screen.show(*text_first);
  QPointer<QWidget> below = screen.renderer.widget_at(std::vector<std::size_t>{1});
  auto bar_first = column(progress_bar(0.5, "Progress"), body("Below"));
  screen.show(*bar_first);
  EXPECT_NE(dynamic_cast<qt::ProgressView*>(screen.renderer.widget_at(std::vector<std::size_t>{0})), nullptr);
  EXPECT_EQ(screen.renderer.widget_at(std::vector<std::size_t>{1}), below.data());
}

TEST(Reconcile, ReplacedHeaderActionIsShownInTheCardsTitleRow) {
  Screen screen(520, 400);
  for (const ButtonKind kind : {ButtonKind::Action, ButtonKind::Plain, ButtonKind::Icon}) {
    auto tree = column(titled_card("Studio printer", button(kind, "open", "Open"), body("Ready")));
    screen.show(*tree);
    QWidget* card = screen.renderer.widget_at(std::vector<std::size_t>{0});
    QWidget* open = screen.renderer.widget_for_control("open");
    ASSERT_TRUE(card && open);
    EXPECT_TRUE(open->isVisible()) << button_kind_name(kind);
    EXPECT_EQ(open->parentWidget(), card);
    auto* ready = screen.renderer.widget_at(std::vector<std::size_t>{0, 1});
    ASSERT_NE(ready, nullptr);
    // Beside the title, above the body.
    EXPECT_LT(open->geometry().bottom(), ready->geometry().top()) << button_kind_name(kind);
    EXPECT_GT(open->x(), card->width() / 2) << button_kind_name(kind);
  }
}

TEST(Reconcile, PressRunsTheActionOfTheLatestTree) {
  Screen screen;
  std::vector<std::string> pressed;
  auto first = column(button(ButtonKind::Action, "go", "Go", [&] { pressed.push_back("first"); }));
  screen.show(*first);
  auto* go = qobject_cast<QPushButton*>(screen.renderer.widget_for_control("go"));
  ASSERT_NE(go, nullptr);
  QTest::mouseClick(go, Qt::LeftButton);
  auto second = column(button(ButtonKind::Action, "go", "Go", [&] { pressed.push_back("second"); }));
  first.reset();
  screen.show(*second);
  ASSERT_EQ(screen.renderer.widget_for_control("go"), go);
  QTest::mouseClick(go, Qt::LeftButton);
  QTest::mouseClick(go, Qt::LeftButton);
  EXPECT_EQ(pressed, (std::vector<std::string>{"first", "second", "second"}));
  EXPECT_EQ(screen.inputs, 3);

  // A button without message does nothing when pressed.
  auto plain = column(button(ButtonKind::Plain, "go", "Go"));
  screen.show(*plain);
  auto* plain_button = qobject_cast<QPushButton*>(screen.renderer.widget_for_control("go"));
  ASSERT_NE(plain_button, nullptr);
  QTest::mouseClick(plain_button, Qt::LeftButton);
  EXPECT_EQ(pressed.size(), 3u);
}

TEST(BoundCells, TypingWritesTheCellAndCellWritesUpdateTheField) {
  auto copies = local_state(1.0);
  Screen screen;
  auto tree = column(number_field("copies", copies));
  screen.show(*tree);
  auto* spin = screen.renderer.widget_for_control("copies")->findChild<QDoubleSpinBox*>();
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->value(), 1.0);

  spin->setFocus();
  spin->selectAll();
  QTest::keyClicks(spin, "12");
  EXPECT_EQ(copies->get(), 12.0);
  EXPECT_GE(screen.inputs, 1);

  // Rebuilt around the same cell, the field keeps what the user typed.
  auto again = column(number_field("copies", copies));
  screen.show(*again);
  EXPECT_EQ(spin->findChild<QLineEdit*>()->text(), "12");

  // A write from elsewhere reaches the field at the next render.
  copies->set(5.0);
  screen.show(*again);
  EXPECT_EQ(spin->value(), 5.0);

  // A different cell in the same place shows that cell's value.
  auto other = local_state(7.0);
  auto swapped = column(number_field("copies", other));
  screen.show(*swapped);
  EXPECT_EQ(spin->value(), 7.0);
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(other->get(), 8.0);
  EXPECT_EQ(copies->get(), 5.0);
}

TEST(BoundCells, RefusedWriteLeavesTheFieldShowingTheCell) {
  bool allow = true;
  auto copies = local_state(4.0, WakeHandle([&] { return allow; }));
  Screen screen;
  auto tree = column(number_field("copies", copies));
  screen.show(*tree);
  auto* spin = screen.renderer.widget_for_control("copies")->findChild<QDoubleSpinBox*>();
  allow = false;
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(copies->get(), 4.0);
  EXPECT_EQ(spin->value(), 4.0);
}

TEST(BoundCells, ToggleAndSegmentsWriteTheirCells) {
  auto two_sided = local_state(false);
  auto resolution = local_state<std::uint32_t>(0);
  auto toggle = [&] {
    auto t = std::make_unique<Toggle>();
    t->id = "two_sided";
    t->label = "Both sides";
    t->cell = two_sided;
    return t;
  };
  auto segments = [&] {
    auto g = std::make_unique<ToggleGroup>();
    g->control_id = "resolution";
    g->labels = {"150", "300", "600"};
    g->cell = resolution;
    return g;
  };
  Screen screen;
  auto tree = column(toggle(), segments());
  screen.show(*tree);
  auto* check = qobject_cast<QCheckBox*>(screen.renderer.widget_for_control("two_sided"));
  auto* group_box = screen.renderer.widget_for_control("resolution");
  ASSERT_TRUE(check && group_box);
  auto buttons = group_box->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 3);
  EXPECT_TRUE(buttons[0]->isChecked());

  QTest::mouseClick(check, Qt::LeftButton);
  EXPECT_TRUE(two_sided->get());
  QTest::mouseClick(buttons[2], Qt::LeftButton);
  EXPECT_EQ(resolution->get(), 2u);

  two_sided->set(false);
  resolution->set(1);
  auto again = column(toggle(), segments());
  screen.show(*again);
  EXPECT_FALSE(check->isChecked());
  EXPECT_TRUE(buttons[1]->isChecked());
  EXPECT_FALSE(buttons[2]->isChecked());

  // An index naming no segment selects none.
  resolution->set(9);
  screen.show(*again);
  for (auto* b : buttons) EXPECT_FALSE(b->isChecked()) << b->text().toStdString();
}

void send_mouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButtons buttons) {
  QMouseEvent event(type, pos, w->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

TEST(BoundCells, CropDragWritesTheCellOnceAndCellWritesMoveTheFrame) {
  auto crop = local_state(CropSelection{});
  auto make = [&] {
    auto e = std::make_unique<ImageCropEditor>();
    e->width = 200;
    e->height = 100;
    e->rgba = std::make_shared<const std::vector<std::uint8_t>>(200 * 100 * 4, 0x80);
    e->cell = crop;
    return column(std::move(e));
  };
  Screen screen(520, 400);
  auto tree = make();
  screen.show(*tree);
  auto* editor = dynamic_cast<qt::CropEditorView*>(screen.renderer.widget_at(std::vector<std::size_t>{0}));
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->height(), 100) << "shown at its natural size here";
  // The page is centred in the editor's width.
  const double x0 = (editor->width() - 200) / 2.0;
  auto at = [&](double x, double y) { return QPointF(x0 + x, y); };
  const std::uint64_t version = crop->version();

  // Drag the bottom-right corner half-way in.
  send_mouse(editor, QEvent::MouseButtonPress, at(199, 99), Qt::LeftButton);
  send_mouse(editor, QEvent::MouseMove, at(150, 75), Qt::LeftButton);
  send_mouse(editor, QEvent::MouseMove, at(100, 50), Qt::LeftButton);
  EXPECT_EQ(crop->version(), version) << "nothing is written while dragging";
  send_mouse(editor, QEvent::MouseButtonRelease, at(100, 50), Qt::NoButton);
  EXPECT_EQ(crop->version(), version + 1);
  const CropSelection s = crop->get();
  EXPECT_NEAR(s.right, 0.5, 0.02);
  EXPECT_NEAR(s.bottom, 0.5, 0.02);
  EXPECT_EQ(s.left, 0.0);
  EXPECT_EQ(s.top, 0.0);

  // Dragging past the page edge stays on the page.
  send_mouse(editor, QEvent::MouseButtonPress, at(50, 25), Qt::LeftButton);
  send_mouse(editor, QEvent::MouseMove, at(-500, -500), Qt::LeftButton);
  send_mouse(editor, QEvent::MouseButtonRelease, at(-500, -500), Qt::NoButton);
  EXPECT_EQ(crop->get(), s) << "moving a frame already at the corner changes nothing";

  // Dragging the frame to the right stops at the page's edge.
  send_mouse(editor, QEvent::MouseButtonPress, at(50, 25), Qt::LeftButton);
  send_mouse(editor, QEvent::MouseMove, at(900, 25), Qt::LeftButton);
  send_mouse(editor, QEvent::MouseButtonRelease, at(900, 25), Qt::NoButton);
  EXPECT_NEAR(crop->get().left, 0.5, 0.02);
  EXPECT_NEAR(crop->get().right, 1.0, 1e-9);

  crop->set(CropSelection{0.25, 0.25, 0.75, 1.0});
  screen.show(*tree);
  EXPECT_EQ(editor->selection(), (CropSelection{0.25, 0.25, 0.75, 1.0}));
}

std::unique_ptr<Dropdown> paper_dropdown(std::vector<std::string>* changes, std::optional<std::string> selected) {
  auto d = std::make_unique<Dropdown>();
  d->id = "paper";
  d->label = "Paper";
  d->placeholder = "Choose";
  d->options = {{"a4", "A4"}, {"letter", "Letter"}, {"a5", "A5"}};
  d->selected = std::move(selected);
  d->on_change = [changes](const std::string& v) { changes->push_back(v); };
  return d;
}

TEST(Dropdown, UserChoiceCallsOnChangeAndRendersDoNot) {
  std::vector<std::string> changes;
  Screen screen;
  auto tree = column(paper_dropdown(&changes, "a4"));
  screen.show(*tree);
  auto* combo = screen.renderer.widget_for_control("paper")->findChild<QComboBox*>();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->currentText(), "A4");

  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(changes, std::vector<std::string>{"letter"});
  // Choosing the option already chosen is no change.
  emit combo->activated(1);
  EXPECT_EQ(changes, std::vector<std::string>{"letter"});

  // The program's answer selects another value: shown, and not reported back.
  auto rebuilt = column(paper_dropdown(&changes, "a5"));
  screen.show(*rebuilt);
  EXPECT_EQ(combo->currentText(), "A5");
  EXPECT_EQ(changes.size(), 1u);

  // No selection shows the placeholder.
  auto none = column(paper_dropdown(&changes, std::nullopt));
  screen.show(*none);
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_EQ(combo->placeholderText(), "Choose");
}

TEST(Dropdown, OpenPopupSurvivesARebuild) {
  std::vector<std::string> changes;
  Screen screen;
  auto tree = column(paper_dropdown(&changes, "a4"), body("Status: idle"));
  screen.show(*tree);
  auto* combo = screen.renderer.widget_for_control("paper")->findChild<QComboBox*>();
  combo->showPopup();
  Screen::settle();
  ASSERT_TRUE(combo->view()->isVisible());
  auto rebuilt = column(paper_dropdown(&changes, "a4"), body("Status: printing"));
  screen.show(*rebuilt);
  EXPECT_TRUE(combo->view()->isVisible());
  combo->hidePopup();
}

TEST(Layout, WrappingRowFlowsOntoLinesWithoutClipping) {
  Screen screen(520, 400);
  auto buttons = row();
  for (const char* label : {"Print a document", "Add printer", "Find printers", "Check devices", "See all", "Refresh"})
    buttons->items.push_back(button(ButtonKind::Icon, label, label, {}, vimo_actions::ExecutionKind::Perform, IconRole::Add));
  buttons->wrap = true;
  auto tree = column(std::move(buttons));
  screen.show(*tree);
  std::set<int> rows;
  for (auto* b : screen.window->findChildren<QPushButton*>()) {
    const QRect g(b->mapTo(screen.window.get(), QPoint(0, 0)), b->size());
    EXPECT_LE(g.right(), 520) << b->text().toStdString();
    EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString() << " is clipped";
    EXPECT_EQ(b->height(), 44);
    rows.insert(g.top());
  }
  EXPECT_GE(rows.size(), 2u);
}

TEST(Layout, CardGridFitsAsManyColumnsAsTheWidthAllows) {
  struct Case {
    int width;
    std::size_t columns;
  };
  // A bare column gets the window's page margins (32 px each side), so
  // these window widths leave 1036, 636 and 456 px for the grid.
  for (const Case c : {Case{1100, 3}, Case{764, 2}, Case{520, 1}}) {
    Screen screen(c.width, 600);
    auto grid = std::make_unique<CardGrid>();
    for (int i = 0; i < 5; ++i) grid->items.push_back(plain_card(body("Job " + std::to_string(i))));
    auto tree = column(std::move(grid));
    screen.show(*tree);
    std::set<int> xs;
    for (int i = 0; i < 5; ++i) {
      QWidget* card = screen.renderer.widget_at(std::vector<std::size_t>{0, static_cast<std::size_t>(i)});
      ASSERT_NE(card, nullptr);
      xs.insert(card->x());
      EXPECT_EQ(card->width(), 330) << "width " << c.width;
    }
    EXPECT_EQ(xs.size(), c.columns) << "width " << c.width;
  }
}

TEST(Layout, LongTextWrapsInsteadOfClipping) {
  Screen screen(520, 400);
  const std::string text(60, 'x');
  std::string words;
  for (int i = 0; i < 30; ++i) words += "word" + std::to_string(i) + " ";
  auto tree = column(body(words));
  screen.show(*tree);
  auto* label = qobject_cast<QLabel*>(screen.renderer.widget_at(std::vector<std::size_t>{0}));
  ASSERT_NE(label, nullptr);
  EXPECT_LE(label->width(), 520);
  EXPECT_GT(label->height(), 2 * label->fontMetrics().height()) << "several lines";
  EXPECT_GE(label->height(), label->heightForWidth(label->width()));
}

TEST(Layout, PageFrameCentresAWidthLimitedContainer) {
  Screen screen(1280, 600);
  auto limited = container(column(body("Content")));
  limited->max_width = 920;
  auto tree = row(flex_space(), std::move(limited), flex_space());
  screen.show(*tree);
  QWidget* box = screen.renderer.widget_at(std::vector<std::size_t>{1});
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->width(), 920);
  const int left = box->x();
  const int right = 1280 - box->geometry().right() - 1;
  EXPECT_NEAR(left, right, 2);
}

TEST(Widgets, ShowWhatTheTreeSays) {
  Screen screen(800, 600);
  auto tree = column(progress_bar(0.25, "Black level"), progress_bar(std::nullopt, "Searching"),
                     progress_bar(1.5, "Overrun"), page_preview("Report.pdf", 0, 3), page_preview("Report.pdf", 9, 3),
                     banner(Tone::Error, "<b>Could not print</b>", std::nullopt));
  screen.show(*tree);
  auto widget = [&](std::size_t i) { return screen.renderer.widget_at(std::vector<std::size_t>{i}); };
  auto* determinate = dynamic_cast<qt::ProgressView*>(widget(0));
  auto* busy = dynamic_cast<qt::ProgressView*>(widget(1));
  auto* overrun = dynamic_cast<qt::ProgressView*>(widget(2));
  ASSERT_TRUE(determinate && busy && overrun);
  EXPECT_EQ(determinate->accessibleName(), "Black level");
  EXPECT_EQ(determinate->fraction(), 0.25);
  EXPECT_EQ(busy->fraction(), std::nullopt) << "indeterminate";
  EXPECT_EQ(busy->accessibleName(), "Searching");
  EXPECT_EQ(overrun->fraction(), 1.5) << "kept as given, drawn full";
  EXPECT_EQ(widget(3)->accessibleName(), "Report.pdf, Page 1 of 3");
  EXPECT_EQ(widget(4)->accessibleName(), "Report.pdf, Page 3 of 3");
  // Texts are shown as written, never read as markup.
  auto* title = widget(5)->findChild<QLabel*>();
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->textFormat(), Qt::PlainText);
  EXPECT_EQ(title->text(), "<b>Could not print</b>");
}

TEST(Widgets, ImageFromAShortBufferShowsNothingInsteadOfReadingPastIt) {
  Screen screen;
  auto image = std::make_unique<Image>();
  image->width = 100;
  image->height = 100;
  image->rgba = std::make_shared<const std::vector<std::uint8_t>>(100 * 10 * 4, 0xff);
  auto tree = column(std::move(image));
  screen.show(*tree);
  QWidget* view = screen.renderer.widget_at(std::vector<std::size_t>{0});
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->sizeHint(), QSize(0, 0));
}

}  // namespace
