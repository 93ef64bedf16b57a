// The print queue: one card per job, with "Try again" and a two-step cancel.
#include <fmt/format.h>

#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

namespace {

// Keeps the rebuild small; the rest of the list is left out.
constexpr std::size_t max_cards = 24;

struct JobActions {
  bool retry = false;
  bool cancel = false;
};

JobActions actions_for(JobState state) {
  switch (state) {
    case JobState::Pending:
    case JobState::Held:
    case JobState::Processing: return {false, true};
    case JobState::Stopped: return {true, true};
    case JobState::Canceled: return {true, false};
    case JobState::Aborted: return {true, true};
    case JobState::Completed: return {false, false};
    case JobState::Unknown: break;
  }
  // Unknown and raw values outside the table: the job may still be waiting.
  return {false, true};
}

WidgetPtr job_card(const PrintJob& job, bool awaiting_confirmation, const MessageSender& sender) {
  const auto [page, count] = job_page_position(job);
  const auto allowed = actions_for(job.state);
  auto buttons = row();
  buttons->wrap = true;
  if (allowed.retry) {
    buttons->items.push_back(
        action_button("pagora.job.retry", "Try again", sender, msg::RetryJob{job.id}, ExecutionKind::Perform));
  }
  if (allowed.cancel) {
    buttons->items.push_back(awaiting_confirmation
                                 ? action_button("pagora.job.cancel", "Confirm cancel", sender, msg::CancelJob{job.id},
                                                 ExecutionKind::Perform)
                                 : action_button("pagora.job.cancel", "Cancel", sender,
                                                 msg::RequestCancelJob{job.id}, ExecutionKind::Perform));
  }
  auto details = column(body(queue_state_label(job.state)),
                        secondary(fmt::format("Sent to {}", printer_display_name(job.queue_name))), space(10),
                        progress_bar(job_progress(job), "Document progress"), space(10), std::move(buttons));
  // A 330 px grid column is too narrow for the preview and the details side
  // by side at every font size; let the details move under the preview.
  auto content = row(page_preview("Queued document", page, count), std::move(details));
  content->wrap = true;
  return titled_card(job_title(job), nullptr, std::move(content));
}

}  // namespace

WidgetPtr queue_screen(const ServiceSnapshot& snapshot, const std::optional<std::string>& cancel_confirmation,
                       const std::optional<Notice>& notice, const MessageSender& sender) {
  auto page = column(back_bar("Print queue", "Every document, in one place", sender), space(20));
  if (notice) {
    page->items.push_back(notice_banner(*notice));
    page->items.push_back(space(14));
  }
  if (auto card = partial_failure_card(failed_categories(snapshot, false, true, false), sender)) {
    page->items.push_back(std::move(card));
    page->items.push_back(space(14));
  }
  if (cancel_confirmation) {
    page->items.push_back(banner(Tone::Warning, "Cancel this document?",
                                 "It will be removed from the printer. This cannot be undone."));
    page->items.push_back(space(14));
  }
  const auto& jobs = loaded_or_empty(snapshot.jobs);
  if (jobs.empty()) {
    page->items.push_back(
        titled_card("Nothing waiting", nullptr, body("New documents will appear here as soon as an app sends them.")));
  } else {
    auto grid = std::make_unique<CardGrid>();
    grid->column_width = 330;
    const std::size_t shown = std::min(jobs.size(), max_cards);
    for (std::size_t i = 0; i < shown; ++i) {
      const bool awaiting = cancel_confirmation && *cancel_confirmation == jobs[i].id;
      grid->items.push_back(job_card(jobs[i], awaiting, sender));
    }
    page->items.push_back(std::move(grid));
  }
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
