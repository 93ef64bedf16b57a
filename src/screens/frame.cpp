// Shared screen pieces and formatting helpers.
#include "screens/frame.h"

#include <fmt/format.h>

#include <algorithm>
#include <limits>

namespace pagora::screens {

using namespace vimo_ui;

std::function<void()> sends(const MessageSender& sender, Message message) {
  return [sender, message = std::move(message)] { sender.send(message); };
}

std::unique_ptr<Button> action_button(std::string control_id, std::string label, const MessageSender& sender,
                                      Message message, ExecutionKind kind) {
  return button(ButtonKind::Action, std::move(control_id), std::move(label), sends(sender, std::move(message)), kind);
}

std::unique_ptr<Button> icon_button(IconRole icon_role, std::string control_id, std::string label,
                                    const MessageSender& sender, Message message, ExecutionKind kind) {
  return button(ButtonKind::Icon, std::move(control_id), std::move(label), sends(sender, std::move(message)), kind,
                icon_role);
}

std::unique_ptr<Button> emphasised_button(IconRole icon_role, std::string control_id, std::string label,
                                          const MessageSender& sender, Message message, ExecutionKind kind) {
  return button(ButtonKind::Emphasised, std::move(control_id), std::move(label), sends(sender, std::move(message)),
                kind, icon_role);
}

std::unique_ptr<Button> plain_button(std::string control_id, std::string label, ExecutionKind kind) {
  return button(ButtonKind::Plain, std::move(control_id), std::move(label), {}, kind);
}

WidgetPtr page_frame(WidgetPtr content, int width) {
  auto limited = container(std::move(content));
  limited->max_width = width;
  return row(flex_space(), std::move(limited), flex_space());
}

WidgetPtr back_bar(std::string title, std::string subtitle, const MessageSender& sender) {
  return column(icon_button(IconRole::Back, "pagora.back", "Pagora", sender, msg::ShowDashboard{}), space(14),
                heading(std::move(title), 28), secondary(std::move(subtitle)));
}

WidgetPtr app_header(std::string subtitle) {
  auto title_block = container(column(heading("Pagora", 28), secondary(std::move(subtitle))));
  title_block->fixed_width = 220;
  auto buttons = container(row(plain_button("pagora.add", "Add printer"), plain_button("pagora.print", "Print a document")));
  buttons->fixed_width = 300;
  return row(std::move(title_block), std::move(buttons));
}

WidgetPtr notice_banner(const Notice& notice) {
  return banner(notice.success ? Tone::Success : Tone::Error, notice.title, notice.body);
}

WidgetPtr supply_row(std::string_view label, std::string_view value_text, double fraction) {
  return column(body(fmt::format("{}: {}", label, value_text)), space(6),
                progress_bar(fraction, fmt::format("{} level", label)));
}

std::string printer_state_label(const PrinterQueue& queue) {
  using os_actions::printing::PrinterState;
  switch (queue.state) {
    case PrinterState::Idle: return queue.accepting ? "Ready" : "Not accepting new documents";
    case PrinterState::Printing: return "Printing";
    case PrinterState::Paused: return "Paused";
    case PrinterState::Unreachable: return "Cannot reach this printer";
  }
  return "Cannot reach this printer";
}

std::string job_title(const PrintJob& job) {
  if (job.document_name) return *job.document_name;
  std::string_view id = job.id;
  if (const auto dash = id.rfind('-'); dash != std::string_view::npos) id = id.substr(dash + 1);
  return fmt::format("Document {}", id);
}

std::pair<std::uint32_t, std::uint32_t> job_page_position(const PrintJob& job) {
  const std::uint32_t count = (job.pages_total && *job.pages_total >= 1) ? *job.pages_total : 1;
  if (!job.pages_done) return {1, count};
  const std::uint32_t done = *job.pages_done;
  const std::uint32_t page = done == std::numeric_limits<std::uint32_t>::max() ? done : done + 1;
  return {std::min(page, count), count};
}

double job_progress(const PrintJob& job, ProgressSource source) {
  const auto percent = source(job);
  return percent ? static_cast<double>(*percent) / 100.0 : 0.0;
}

std::string queue_state_label(JobState state) {
  switch (state) {
    case JobState::Pending: return "In progress";
    case JobState::Held: return "Waiting";
    case JobState::Processing: return "In progress";
    case JobState::Stopped: return "Needs attention";
    case JobState::Canceled: return "Canceled";
    case JobState::Aborted: return "Could not print";
    case JobState::Completed: return "Printed";
    case JobState::Unknown: return "In progress";
  }
  // Raw values outside the table read like Unknown.
  return "In progress";
}

std::optional<std::string> dashboard_status_title(JobState state) {
  switch (state) {
    case JobState::Pending:
    case JobState::Processing: return "Printing now";
    case JobState::Held: return "Waiting to print";
    case JobState::Stopped: return "Needs attention";
    default: return std::nullopt;
  }
}

std::optional<std::string> history_label(JobState state) {
  switch (state) {
    case JobState::Canceled: return "Canceled";
    case JobState::Aborted: return "Did not print";
    case JobState::Completed: return "Printed";
    default: return std::nullopt;
  }
}

}  // namespace pagora::screens
