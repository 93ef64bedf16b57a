// The searchable PDF writer.
//
// The file is laid out by hand: object 1 is the Helvetica font (standard, not
// embedded), object 2 the page tree, then for each written page its image,
// its content stream and its page object, and the catalog last. Every object
// number comes from one table, reserved when it must be referred to and
// defined later; offsets are taken from the output's position as each object
// starts, and the cross-reference table is generated from them.
//
// Memory: only the images are large. Each page's pixels are compressed
// straight into that page's object buffer (sized to the compressor's bound,
// of which only the written part is ever touched); the final buffer is
// reserved once at its exact size, and each object buffer is released as
// soon as it has been copied. Peak use is therefore about the caller's pixels
// plus the output, never three copies of the document.
//
// Time: compressing the images is nearly all the work and pages are
// independent, so they are compressed on up to one thread per core. Each
// page's bytes depend only on that page, so the file is the same whatever the
// number of threads.
//
// Placement: a page is scaled, up or down, to touch the 559 × 806 point area
// inside the margins in one direction and centred in both; the invisible text
// is one string drawn at 18, 18 in 10-point Helvetica with rendering mode 3.
#include "pdf/writer.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

#include "pdf/number.h"
#include "pdf/text.h"

namespace pdf {
namespace {

constexpr double kMediaWidth = 595;   // A4 in points
constexpr double kMediaHeight = 842;
constexpr double kMargin = 18;
constexpr double kFitWidth = kMediaWidth - 2 * kMargin;    // 559
constexpr double kFitHeight = kMediaHeight - 2 * kMargin;  // 806

// The header's second line is a comment of bytes above 127, so that tools
// guessing at text or binary see a binary file.
constexpr std::string_view kHeader{"%PDF-1.7\n\x25\xE2\xE3\xCF\xD3\n", 15};

// One object's content: text, optionally followed by stream data and more
// text. Plain objects use only `head`.
struct Object {
  std::string head;
  std::unique_ptr<std::uint8_t[]> owned;  // compressed data, when compressed
  std::span<const std::uint8_t> data;     // into `owned` or into the caller's pixels
  std::string tail;

  std::size_t size() const { return head.size() + data.size() + tail.size(); }
};

// Object numbers are handed out here only, in order from 1: reserved when
// something must refer to them, defined when their content is known.
class ObjectTable {
 public:
  std::uint64_t reserve() {
    objects_.emplace_back();
    return objects_.size();
  }
  Object& at(std::uint64_t number) { return objects_.at(number - 1); }
  void define(std::uint64_t number, Object object) { objects_.at(number - 1) = std::move(object); }
  std::uint64_t count() const { return objects_.size(); }

 private:
  std::vector<Object> objects_;
};

Object plain_object(std::string content) { return Object{std::move(content), nullptr, {}, {}}; }

// "<< /Length n extra >>\nstream\n" data "\nendstream"; every extra entry
// begins with a space.
Object stream_object(std::string_view extra, std::span<const std::uint8_t> data,
                     std::unique_ptr<std::uint8_t[]> owned = nullptr) {
  Object o;
  o.head = "<< /Length ";
  append_integer(o.head, data.size());
  o.head += extra;
  o.head += " >>\nstream\n";
  o.owned = std::move(owned);
  o.data = data;
  o.tail = "\nendstream";
  return o;
}

// A stream of a few lines of text, left uncompressed: its data is kept in
// the head.
Object text_stream_object(std::string_view data) {
  Object o;
  o.head = "<< /Length ";
  append_integer(o.head, data.size());
  o.head += " >>\nstream\n";
  o.head += data;
  o.tail = "\nendstream";
  return o;
}

// width × height × 3, or nothing when that does not fit in a size_t.
std::optional<std::size_t> pixel_bytes(std::uint32_t width, std::uint32_t height) {
  std::size_t n = 0;
  if (__builtin_mul_overflow(static_cast<std::size_t>(width), static_cast<std::size_t>(height), &n)) return {};
  if (__builtin_mul_overflow(n, std::size_t{3}, &n)) return {};
  return n;
}

bool is_usable(const PdfPage& page) {
  if (page.width == 0 || page.height == 0) return false;
  const auto n = pixel_bytes(page.width, page.height);
  return n && *n == page.rgb.size();
}

std::string content_stream(const PdfPage& page, std::size_t index) {
  const double scale = std::min(kFitWidth / page.width, kFitHeight / page.height);
  const double w = scale * page.width;
  const double h = scale * page.height;
  const double x = (kMediaWidth - w) * 0.5;
  const double y = (kMediaHeight - h) * 0.5;
  std::string s = "q ";
  append_real(s, w);
  s += " 0 0 ";
  append_real(s, h);
  s += ' ';
  append_real(s, x);
  s += ' ';
  append_real(s, y);
  s += " cm /Im";
  append_integer(s, index);
  s += " Do Q\n";
  if (!is_blank(page.text)) {
    s += "BT /F1 10 Tf 3 Tr 18 18 Td (";
    const auto escaped = escape_pdf_string(encode_win_ansi(page.text));
    s.append(escaped.begin(), escaped.end());
    s += ") Tj ET\n";
  }
  return s;
}

std::string image_entries(const PdfPage& page, bool compressed) {
  std::string s = " /Type /XObject /Subtype /Image /Width ";
  append_integer(s, page.width);
  s += " /Height ";
  append_integer(s, page.height);
  s += " /ColorSpace /DeviceRGB /BitsPerComponent 8";
  if (compressed) s += " /Filter /FlateDecode";
  return s;
}

Object image_object(const PdfPage& page, const Compressor& compressor) {
  const std::size_t capacity = compressor.bound(page.rgb.size());
  // Left uninitialised: pages of it that the compressor does not reach are
  // never touched and cost no memory.
  auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
  const std::size_t written = compressor.compress(page.rgb, {buffer.get(), capacity});
  if (written == 0 || written > capacity) {
    // Keeping the pixels uncompressed beats a page that shows nothing.
    buffer.reset();
    return stream_object(image_entries(page, false), page.rgb);
  }
  const std::span<const std::uint8_t> data{buffer.get(), written};
  return stream_object(image_entries(page, true), data, std::move(buffer));
}

struct ImageJob {
  const PdfPage* page;
  std::uint64_t object;
};

// Compresses every job's image into its object, on up to `max_threads`
// threads including this one. The first failure (only ever std::bad_alloc)
// is rethrown here once all threads are done.
void compress_images(std::span<const ImageJob> jobs, ObjectTable& table, const WriterOptions& options) {
  unsigned threads = options.max_threads != 0 ? options.max_threads : std::thread::hardware_concurrency();
  threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(std::max<std::size_t>(jobs.size(), 1)));

  // Each job has its own slot, so no two threads touch the same one.
  std::vector<Object> results(jobs.size());
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::atomic<bool> failed{false};
  std::mutex failure_mutex;
  const auto run = [&] {
    for (std::size_t j; (j = next.fetch_add(1)) < jobs.size() && !failed.load();) {
      try {
        results[j] = image_object(*jobs[j].page, options.compressor);
      } catch (...) {
        const std::lock_guard lock{failure_mutex};
        if (!failure) failure = std::current_exception();
        failed = true;
      }
    }
  };
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(threads - 1);
    for (unsigned t = 1; t < threads; ++t) {
      try {
        helpers.emplace_back(run);
      } catch (const std::system_error&) {
        break;  // no more threads to be had: the ones running share the work
      }
    }
    run();
  }
  if (failure) std::rethrow_exception(failure);
  for (std::size_t j = 0; j < jobs.size(); ++j) table.define(jobs[j].object, std::move(results[j]));
}

void append(std::vector<std::uint8_t>& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }
void append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> s) {
  out.insert(out.end(), s.begin(), s.end());
}

std::string object_start(std::uint64_t number) {
  std::string s;
  append_integer(s, number);
  s += " 0 obj\n";
  return s;
}
constexpr std::string_view kObjectEnd = "\nendobj\n";
constexpr std::string_view kFreeEntry = "0000000000 65535 f \n";
constexpr std::size_t kXrefLine = kFreeEntry.size();  // every line is 20 bytes
// Longest trailer: fixed text plus three 20-digit numbers.
constexpr std::size_t kTrailerMax = 100;

std::vector<std::uint8_t> serialise(ObjectTable& table, std::uint64_t catalog) {
  const std::uint64_t count = table.count();
  std::string xref_head = "xref\n0 ";
  append_integer(xref_head, count + 1);
  xref_head += '\n';

  std::size_t total = kHeader.size() + xref_head.size() + (count + 1) * kXrefLine + kTrailerMax;
  for (std::uint64_t n = 1; n <= count; ++n)
    total += object_start(n).size() + table.at(n).size() + kObjectEnd.size();

  std::vector<std::uint8_t> out;
  out.reserve(total);  // the one allocation of the file's size
  append(out, kHeader);
  std::vector<std::uint64_t> offsets;
  offsets.reserve(count);
  for (std::uint64_t n = 1; n <= count; ++n) {
    Object& o = table.at(n);
    offsets.push_back(out.size());
    append(out, object_start(n));
    append(out, o.head);
    append(out, o.data);
    append(out, o.tail);
    append(out, kObjectEnd);
    o = Object{};  // releases the compressed image now, not at the end
  }

  const std::uint64_t xref_offset = out.size();
  append(out, xref_head);
  append(out, kFreeEntry);
  std::string line;
  for (const std::uint64_t offset : offsets) {
    line.clear();
    append_padded(line, offset, 10);
    line += " 00000 n \n";
    append(out, line);
  }
  std::string trailer = "trailer\n<< /Size ";
  append_integer(trailer, count + 1);
  trailer += " /Root ";
  append_integer(trailer, catalog);
  trailer += " 0 R >>\nstartxref\n";
  append_integer(trailer, xref_offset);
  trailer += "\n%%EOF\n";
  append(out, trailer);
  return out;
}

}  // namespace

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages) {
  return write_searchable_pdf(pages, WriterOptions{});
}

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages, const WriterOptions& options) {
  ObjectTable table;
  const std::uint64_t font = table.reserve();
  table.define(font, plain_object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
  const std::uint64_t tree = table.reserve();

  std::vector<std::uint64_t> kids;
  std::vector<ImageJob> jobs;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const PdfPage& page = pages[i];
    if (!is_usable(page)) continue;  // still uses up its index i
    const std::uint64_t image = table.reserve();
    const std::uint64_t content = table.reserve();
    const std::uint64_t page_object = table.reserve();
    jobs.push_back({&page, image});
    table.define(content, text_stream_object(content_stream(page, i)));
    std::string p = "<< /Type /Page /Parent ";
    append_integer(p, tree);
    p += " 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 ";
    append_integer(p, font);
    p += " 0 R >> /XObject << /Im";
    append_integer(p, i);
    p += ' ';
    append_integer(p, image);
    p += " 0 R >> >> /Contents ";
    append_integer(p, content);
    p += " 0 R >>";
    table.define(page_object, plain_object(std::move(p)));
    kids.push_back(page_object);
  }

  std::string t = "<< /Type /Pages /Count ";
  append_integer(t, kids.size());
  t += " /Kids [";
  for (std::size_t k = 0; k < kids.size(); ++k) {
    if (k != 0) t += ' ';
    append_integer(t, kids[k]);
    t += " 0 R";
  }
  t += "] >>";
  table.define(tree, plain_object(std::move(t)));

  const std::uint64_t catalog = table.reserve();
  std::string c = "<< /Type /Catalog /Pages ";
  append_integer(c, tree);
  c += " 0 R >>";
  table.define(catalog, plain_object(std::move(c)));

  compress_images(jobs, table, options);
  return serialise(table, catalog);
}

}  // namespace pdf
