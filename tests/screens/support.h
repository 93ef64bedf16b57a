// Small snapshots, a channel to catch what buttons send, and a sketch of a
// page's top-level items so tests can state section order in one line.
#pragma once

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "screens/dashboard_card.h"
#include "screens/screens.h"
#include "vimo_ui/testing.h"

namespace pagora::screens_test {

namespace printing = os_actions::printing;
using printing::JobState;
using printing::PrinterState;
using vimo_ui::testing::buttons_with_id;
using vimo_ui::testing::has_text;

inline printing::PrinterQueue printer(std::string name) {
  printing::PrinterQueue q;
  q.name = std::move(name);
  q.responded = true;
  return q;
}

inline printing::PrintJob job(std::string id, JobState state, std::string queue_name = "Office") {
  printing::PrintJob j;
  j.id = std::move(id);
  j.state = state;
  j.queue_name = std::move(queue_name);
  return j;
}

inline printing::Supply supply(std::string name, std::optional<std::uint8_t> level) {
  return printing::Supply{std::move(name), std::nullopt, level};
}

inline ServiceSnapshot loaded(std::vector<printing::PrinterQueue> queues = {},
                              std::vector<printing::PrintJob> jobs = {}, std::vector<printing::Scanner> scanners = {}) {
  return ServiceSnapshot{std::move(queues), std::move(jobs), std::move(scanners)};
}

inline std::unexpected<std::string> failed() { return std::unexpected<std::string>("service said no"); }

// What a message says, in a form a table can compare.
std::string describe(const Message& message);

// Catches what pressed buttons send.
struct Outbox {
  vimo_ui::Sender<Message> sender;
  vimo_ui::Receiver<Message> receiver;
  Outbox() {
    auto [tx, rx] = vimo_ui::channel<Message>();
    sender = std::move(tx);
    receiver = std::move(rx);
  }
  // Every message sent since the last call, described.
  std::vector<std::string> drain() {
    std::vector<std::string> out;
    for (auto t = receiver.try_take(); t.has_value(); t = receiver.try_take()) out.push_back(describe(*t.value));
    return out;
  }
};

// The page column inside page_frame(scrollable(column)); fails the test when
// the frame is not that shape.
const vimo_ui::Column* page_column(const vimo_ui::Widget& screen);

// One line per top-level item of the page: "space 20", "banner Title",
// "card Title", "dashboard-card Title", "grid 24", "button Label",
// "column First text".
std::vector<std::string> sketch(const vimo_ui::Widget& screen);

// A button as a table row: control id, label, execution kind and what
// pressing it sent.
struct Pressed {
  std::string control_id;
  std::string label;
  vimo_actions::ExecutionKind kind = vimo_actions::ExecutionKind::Perform;
  std::string sends;
  friend bool operator==(const Pressed&, const Pressed&) = default;
};
void PrintTo(const Pressed& p, std::ostream* os);

// Presses every button of the tree, in tree order, and records each one.
std::vector<Pressed> press_all(const vimo_ui::Widget& screen, Outbox& outbox);

// The bars and previews of a tree, in order, as "label=value" and
// "label page/count".
std::vector<std::string> bars(const vimo_ui::Widget& screen);
std::vector<std::string> previews(const vimo_ui::Widget& screen);

}  // namespace pagora::screens_test
