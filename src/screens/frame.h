// What every screen shares: the page frame, the back bar, the header of the
// loading and first-run screens, the notice banner, buttons that send a
// message, and the small formatting helpers for printers and jobs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/display_name.h"
#include "model/message.h"
#include "model/notice.h"
#include "os_actions/printing.h"
#include "vimo_ui/channel.h"
#include "vimo_ui/widgets.h"

namespace pagora::screens {

using MessageSender = vimo_ui::Sender<Message>;
using vimo_ui::WidgetPtr;
using os_actions::printing::JobState;
using os_actions::printing::PrinterQueue;
using os_actions::printing::PrintJob;
using vimo_actions::ExecutionKind;

// Pressing sends a copy of `message` through a clone of `sender`, every time.
std::function<void()> sends(const MessageSender& sender, Message message);

std::unique_ptr<vimo_ui::Button> action_button(std::string control_id, std::string label, const MessageSender& sender,
                                               Message message, ExecutionKind kind = ExecutionKind::Perform);
std::unique_ptr<vimo_ui::Button> icon_button(vimo_ui::IconRole icon, std::string control_id, std::string label,
                                             const MessageSender& sender, Message message,
                                             ExecutionKind kind = ExecutionKind::Perform);
std::unique_ptr<vimo_ui::Button> emphasised_button(vimo_ui::IconRole icon, std::string control_id, std::string label,
                                                   const MessageSender& sender, Message message,
                                                   ExecutionKind kind = ExecutionKind::Perform);
// A button with a control id and a label that sends nothing.
std::unique_ptr<vimo_ui::Button> plain_button(std::string control_id, std::string label,
                                              ExecutionKind kind = ExecutionKind::Navigate);

// Row(flexible space, width-limited container holding content, flexible space).
WidgetPtr page_frame(WidgetPtr content, int width);
WidgetPtr back_bar(std::string title, std::string subtitle, const MessageSender& sender);
WidgetPtr app_header(std::string subtitle);
WidgetPtr notice_banner(const Notice& notice);
// "{label}: {value}", 6 px, a determinate bar labelled "{label} level".
WidgetPtr supply_row(std::string_view label, std::string_view value_text, double fraction);

std::string printer_state_label(const PrinterQueue& queue);
std::string job_title(const PrintJob& job);
std::pair<std::uint32_t, std::uint32_t> job_page_position(const PrintJob& job);
// The service's percentage / 100, or 0 when it gives none; not clamped.
using ProgressSource = std::optional<std::uint32_t> (*)(const PrintJob&);
double job_progress(const PrintJob& job, ProgressSource source = &PrintJob::progress_percent);

// The labels each screen gives a job state; absent where a screen shows none.
std::string queue_state_label(JobState state);
std::optional<std::string> dashboard_status_title(JobState state);
std::optional<std::string> history_label(JobState state);

}  // namespace pagora::screens
