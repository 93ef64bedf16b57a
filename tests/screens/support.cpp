// Helpers shared by the screen tests.
#include "support.h"

#include <ostream>

namespace pagora::screens_test {

using namespace vimo_ui;

std::string describe(const Message& message) {
  return std::visit(
      [](const auto& m) -> std::string {
        using M = std::decay_t<decltype(m)>;
        if constexpr (std::is_same_v<M, msg::Refresh>)
          return "Refresh";
        else if constexpr (std::is_same_v<M, msg::ShowDashboard>)
          return "ShowDashboard";
        else if constexpr (std::is_same_v<M, msg::ShowQueue>)
          return "ShowQueue";
        else if constexpr (std::is_same_v<M, msg::ShowHistory>)
          return "ShowHistory";
        else if constexpr (std::is_same_v<M, msg::ShowDiagnostics>)
          return "ShowDiagnostics";
        else if constexpr (std::is_same_v<M, msg::FindPrinters>)
          return "FindPrinters";
        else if constexpr (std::is_same_v<M, msg::ChooseDocument>)
          return "ChooseDocument";
        else if constexpr (std::is_same_v<M, msg::ShowScan>)
          return "ShowScan";
        else if constexpr (std::is_same_v<M, msg::ShowDevice>)
          return "ShowDevice " + m.queue_name;
        else if constexpr (std::is_same_v<M, msg::SetDefaultPrinter>)
          return "SetDefaultPrinter " + m.queue_name;
        else if constexpr (std::is_same_v<M, msg::SetPrinterEnabled>)
          return fmt::format("SetPrinterEnabled {} {}", m.queue_name, m.enabled);
        else if constexpr (std::is_same_v<M, msg::RequestCancelJob>)
          return "RequestCancelJob " + m.job_id;
        else if constexpr (std::is_same_v<M, msg::CancelJob>)
          return "CancelJob " + m.job_id;
        else if constexpr (std::is_same_v<M, msg::RetryJob>)
          return "RetryJob " + m.job_id;
        else if constexpr (std::is_same_v<M, msg::AddPrinter>)
          return fmt::format("AddPrinter {}|{}|{}", m.printer.uri, m.printer.name, m.printer.location.value_or("-"));
        else
          return "other message";
      },
      message);
}

const Column* page_column(const Widget& screen) {
  // Row(flexible space, Container(Scrollable(Column)), flexible space)
  const auto outer = screen.children();
  EXPECT_EQ(screen.kind(), Kind::Row);
  EXPECT_EQ(outer.size(), 3u);
  if (outer.size() != 3) return nullptr;
  const auto* frame = dynamic_cast<const Container*>(outer[1]);
  if (!frame || frame->children().size() != 1) return nullptr;
  const auto* scroll = dynamic_cast<const Scrollable*>(frame->children()[0]);
  if (!scroll || scroll->children().size() != 1) return nullptr;
  return dynamic_cast<const Column*>(scroll->children()[0]);
}

namespace {

std::string first_text(const Widget& w) {
  const auto all = vimo_ui::testing::texts(w);
  return all.empty() ? "" : all.front();
}

std::string item_line(const Widget& w) {
  if (auto* s = dynamic_cast<const Spacer*>(&w)) return s->height ? fmt::format("space {}", *s->height) : "flex";
  if (auto* b = dynamic_cast<const Banner*>(&w)) return "banner " + b->title;
  if (auto* c = dynamic_cast<const Card*>(&w)) return "card " + c->title.value_or("");
  if (auto* d = dynamic_cast<const surface::DashboardCard*>(&w)) return "dashboard-card " + first_text(*d);
  if (auto* g = dynamic_cast<const CardGrid*>(&w)) return fmt::format("grid {}", g->items.size());
  if (auto* b = dynamic_cast<const Button*>(&w)) return "button " + b->label;
  if (auto* c = dynamic_cast<const Container*>(&w)) {
    return c->max_width ? fmt::format("box {} {}", *c->max_width, item_line(*c->children().at(0)))
                        : "box " + item_line(*c->children().at(0));
  }
  if (w.kind() == Kind::Column) return "column " + first_text(w);
  return std::string(w.kind_name()) + " " + first_text(w);
}

}  // namespace

std::vector<std::string> sketch(const Widget& screen) {
  std::vector<std::string> out;
  const Column* page = page_column(screen);
  if (!page) {
    ADD_FAILURE() << "not a page frame around a scrolling column";
    return out;
  }
  for (const Widget* item : page->children()) out.push_back(item_line(*item));
  return out;
}

void PrintTo(const Pressed& p, std::ostream* os) {
  *os << "{" << p.control_id << " | " << p.label << " | "
      << (p.kind == vimo_actions::ExecutionKind::Perform ? "Perform" : "other") << " | " << p.sends << "}";
}

std::vector<Pressed> press_all(const Widget& screen, Outbox& outbox) {
  std::vector<Pressed> out;
  outbox.drain();
  for (const Button* b : vimo_ui::testing::buttons(screen)) {
    const bool pressed = b->press();
    const auto sent = outbox.drain();
    std::string sends = !pressed           ? "nothing"
                        : sent.size() == 1 ? sent.front()
                                           : fmt::format("{} messages", sent.size());
    out.push_back({b->control_id, b->label, b->execution, std::move(sends)});
  }
  return out;
}

std::vector<std::string> bars(const Widget& screen) {
  std::vector<std::string> out;
  for (const auto* bar : vimo_ui::testing::find_all<ProgressBar>(screen)) {
    out.push_back(bar->value ? fmt::format("{}={}", bar->label, *bar->value) : bar->label + "=moving");
  }
  return out;
}

std::vector<std::string> previews(const Widget& screen) {
  std::vector<std::string> out;
  for (const auto* p : vimo_ui::testing::find_all<PagePreview>(screen)) {
    out.push_back(fmt::format("{} {}/{}", p->label, p->page, p->count));
  }
  return out;
}

}  // namespace pagora::screens_test
