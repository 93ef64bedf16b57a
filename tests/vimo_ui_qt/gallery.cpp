#include "gallery.h"

#include <chrono>
#include <thread>
#include <utility>

namespace gallery {

using namespace vimo_ui;

Pixels sample_pixels(std::uint32_t width, std::uint32_t height) {
  auto data = std::make_shared<std::vector<std::uint8_t>>(std::size_t{width} * height * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint8_t* p = data->data() + (std::size_t{y} * width + x) * 4;
      const bool frame = x < 6 || y < 6 || x + 6 >= width || y + 6 >= height;
      p[0] = frame ? 40 : static_cast<std::uint8_t>(90 + 120 * x / std::max<std::uint32_t>(1, width));
      p[1] = frame ? 60 : static_cast<std::uint8_t>(140 + 80 * y / std::max<std::uint32_t>(1, height));
      p[2] = frame ? 90 : 220;
      p[3] = 255;
    }
  }
  return data;
}

namespace {

std::function<void()> send(const Sender<std::string>& sender, std::string message) {
  return [sender, message = std::move(message)] { sender.send(message); };
}

std::unique_ptr<Container> limited(WidgetPtr child, int max_width) {
  auto c = container(std::move(child));
  c->max_width = max_width;
  return c;
}

WidgetPtr supply(const std::string& name, double level) {
  return column(body(name + ": " + std::to_string(static_cast<int>(level * 100)) + "%"), space(6),
                progress_bar(level, name + " level"));
}

}  // namespace

WidgetPtr gallery_screen(const Sender<std::string>& sender, const Cells& cells, const std::string& last_event,
                         const std::string& paper) {
  auto header = row(icon(IconRole::Printer, 34),
                    column(heading("Pagora gallery", 28), secondary("Every widget kind the toolkit draws")));

  auto buttons = row(
      button(ButtonKind::Emphasised, "gallery.print", "Print a document", send(sender, "gallery.print"),
             vimo_actions::ExecutionKind::Perform, IconRole::Printer),
      button(ButtonKind::Icon, "gallery.refresh", "Refresh", send(sender, "gallery.refresh"),
             vimo_actions::ExecutionKind::Perform, IconRole::Refresh),
      button(ButtonKind::Action, "gallery.cancel", "Cancel", send(sender, "gallery.cancel")),
      button(ButtonKind::Plain, "gallery.add", "Add printer"),
      button(ButtonKind::Icon, "gallery.back", "Back", send(sender, "gallery.back"),
             vimo_actions::ExecutionKind::Navigate, IconRole::Back),
      button(ButtonKind::Icon, "gallery.find", "Find printers", send(sender, "gallery.find"),
             vimo_actions::ExecutionKind::Perform, IconRole::Find));
  buttons->wrap = true;

  auto icons = row(icon(IconRole::Printer, 24), icon(IconRole::Add, 24), icon(IconRole::Find, 24),
                   icon(IconRole::Scanner, 24), icon(IconRole::Back, 24), icon(IconRole::Open, 24),
                   icon(IconRole::SeeAll, 24), icon(IconRole::CheckDevices, 24), icon(IconRole::Refresh, 24));
  icons->wrap = true;

  auto printer_card = titled_card(
      "Studio printer",
      button(ButtonKind::Icon, "gallery.open", "Open", send(sender, "gallery.open"),
             vimo_actions::ExecutionKind::Navigate, IconRole::Open),
      column(secondary("Ready \u00b7 2 documents waiting"), space(12), supply("Black", 0.62), space(10),
             supply("Cyan", 0.18), space(14), progress_bar(std::nullopt, "Searching for printers"), space(6),
             secondary("Searching for printers\u2026")));

  auto preview_card = plain_card(column(heading("Travel itinerary.pdf", 17), space(10),
                                        page_preview("Travel itinerary.pdf", 9, 12), space(8),
                                        secondary("A page number past the end shows the last page:"),
                                        page_preview("Short note", 7, 2)));

  auto dropdown = std::make_unique<Dropdown>();
  dropdown->id = "gallery.paper";
  dropdown->label = "Paper size";
  dropdown->placeholder = "Choose a size";
  dropdown->options = {{"a4", "A4"}, {"letter", "US Letter"}, {"a5", "A5"}};
  dropdown->selected = paper;
  dropdown->on_change = [sender](const std::string& value) { sender.send("paper:" + value); };

  auto copies = std::make_unique<NumberInput>();
  copies->id = "gallery.copies";
  copies->label = "Copies";
  copies->cell = cells.copies;
  copies->minimum = 1;
  copies->maximum = 99;

  auto two_sided = std::make_unique<Toggle>();
  two_sided->id = "gallery.two_sided";
  two_sided->label = "Print on both sides";
  two_sided->cell = cells.two_sided;

  auto resolution = std::make_unique<ToggleGroup>();
  resolution->control_id = "gallery.resolution";
  resolution->labels = {"150 dpi", "300 dpi", "600 dpi"};
  resolution->cell = cells.resolution;

  auto settings_card = titled_card("Print settings", nullptr,
                                   column(std::move(dropdown), space(14), std::move(copies), space(14),
                                          std::move(two_sided), space(14), secondary("Resolution"), space(6),
                                          std::move(resolution)));

  auto grid = std::make_unique<CardGrid>();
  grid->items.push_back(std::move(printer_card));
  grid->items.push_back(std::move(preview_card));
  grid->items.push_back(std::move(settings_card));

  auto picture = std::make_unique<Image>();
  picture->width = 240;
  picture->height = 160;
  picture->rgba = sample_pixels(240, 160);

  auto crop = std::make_unique<ImageCropEditor>();
  crop->width = 240;
  crop->height = 320;
  crop->rgba = sample_pixels(240, 320);
  crop->cell = cells.crop;

  auto boxed = container(column(heading("A card surface", 17), space(6),
                                body("A container drawn as a card, at least 200 px wide. Long text wraps onto "
                                     "further lines instead of running out of its box, whatever the window's width.")));
  boxed->card_surface = true;
  boxed->min_width = 200;

  auto page = column(
      std::move(header), space(20),
      banner(Tone::Success, "Document sent to the printer", "Studio printer is printing it now."), space(10),
      banner(Tone::Warning, "Cancel this document?", "Travel itinerary.pdf will not be printed."), space(10),
      banner(Tone::Error, "Could not print", std::nullopt), space(20), heading("Buttons", 19), space(10),
      std::move(buttons), space(20), heading("Icons", 19), space(10), std::move(icons), space(20),
      heading("Cards", 19), space(10), std::move(grid), space(20), divider(), space(20), heading("Images", 19),
      space(10), row(std::move(picture), std::move(crop)), space(20), std::move(boxed), space(20),
      body("Last event: " + last_event));

  return row(flex_space(), limited(scrollable(std::move(page)), 1120), flex_space());
}

GalleryRoot::GalleryRoot(std::optional<int> working_ms) {
  auto [tx, rx] = channel<std::string>();
  sender_ = std::move(tx);
  receiver_ = std::move(rx);
  if (working_ms) {
    working_ = true;
    // A stand-in for a program's first refresh: one answer, later, from a worker.
    std::thread([tx = sender_, ms = *working_ms] {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      tx.send("worker.finished");
    }).detach();
    last_event_ = "working";
  }
  rebuild();
}

GalleryRoot::~GalleryRoot() = default;

bool GalleryRoot::update(UpdateContext&) {
  auto take = receiver_.try_take();
  if (!take.has_value()) return false;
  std::string message = std::move(*take.value);
  if (message == "worker.finished") working_ = false;
  if (message.starts_with("paper:")) paper_ = message.substr(6);
  last_event_ = std::move(message);
  rebuild();
  return true;
}

void GalleryRoot::rebuild() { screen_ = gallery_screen(sender_, cells_, last_event_, paper_); }

launch::LaunchRecord gallery_record() {
  launch::LaunchRecord record;
  record.app_id = "org.vimo.gallery";
  record.fixture_names = {"narrow", "working", "tall"};
  record.live = [] { return WidgetPtr(std::make_unique<GalleryRoot>()); };
  record.preview = [](const launch::LaunchContext& ctx) {
    launch::PreviewRoot out;
    const bool working = ctx.fixture && *ctx.fixture == "working";
    out.root = std::make_unique<GalleryRoot>(working ? std::optional<int>(400) : std::nullopt);
    return out;
  };
  record.window_size = [](const launch::LaunchContext& ctx) {
    if (ctx.fixture && *ctx.fixture == "narrow") return launch::WindowSize{520, 820};
    if (ctx.fixture && *ctx.fixture == "tall") return launch::WindowSize{1280, 1700};
    return launch::WindowSize{1280, 800};
  };
  record.may_close = [] { return true; };
  record.persist_opener = &persist::open;
  return record;
}

}  // namespace gallery
