// The libcups adapter. Each operation opens its own connection (so calls from
// several threads never share libcups state), sends IPP requests with a
// bounded wait, and translates libcups' thread-local error into a text at once.
#include "os_actions/cups_client.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <fmt/format.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "os_actions/ipp_records.h"
#include "os_actions/watched_call.h"

namespace os_actions::printing {
namespace {

struct HttpCloser {
  void operator()(http_t* h) const { httpClose(h); }
};
using Http = std::unique_ptr<http_t, HttpCloser>;
struct IppDeleter {
  void operator()(ipp_t* p) const { ippDelete(p); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;
using Attributes = std::map<std::string, ipp_attribute_t*>;

// Returning 0 makes libcups give up the wait instead of waiting again.
int give_up(http_t*, void*) { return 0; }

// Never prompt on a terminal for a password: an operation that needs one fails.
const char* no_password(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

std::string cups_error(std::string_view what) {
  const char* text = cupsLastErrorString();
  return fmt::format("{}: {}", what, text && *text ? text : ippErrorString(cupsLastError()));
}

// Connects to host:port (a domain socket when host is a path) within timeout;
// every later wait on the connection is bounded by the same timeout.
Result<Http> connect(const std::string& host, int port, http_encryption_t encryption,
                     std::chrono::milliseconds timeout) {
  cupsSetPasswordCB2(no_password, nullptr);
  int cancel = 0;
  errno = 0;
  http_t* http = httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, encryption, 1,
                              static_cast<int>(timeout.count()), &cancel);
  if (!http) {
    const int err = errno;
    return std::unexpected(fmt::format("cannot reach {}{}{}", host, err ? ": " : "",
                                       err ? std::strerror(err) : ""));
  }
  httpSetTimeout(http, static_cast<double>(timeout.count()) / 1000.0, give_up, nullptr);
  return Http(http);
}

Result<Http> connect_service(std::chrono::milliseconds timeout) {
  const char* server = cupsServer();
  return connect(server ? server : "localhost", ippPort(), cupsEncryption(), timeout);
}

ipp_t* new_request(ipp_op_t op) {
  ipp_t* req = ippNewRequest(op);
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  return req;
}

// Sends `req` (freed here) and answers the response, or the failure text
// when the transport failed or the status is an error.
Result<Ipp> send(http_t* http, ipp_t* req, const char* resource, std::string_view what,
                 bool not_found_is_empty = false) {
  Ipp resp(cupsDoRequest(http, req, resource));
  const ipp_status_t status = cupsLastError();
  if (not_found_is_empty && status == IPP_STATUS_ERROR_NOT_FOUND) return Ipp(ippNew());
  if (!resp || status > IPP_STATUS_OK_CONFLICTING) return std::unexpected(cups_error(what));
  return resp;
}

std::vector<Attributes> groups(ipp_t* resp, ipp_tag_t tag) {
  std::vector<Attributes> out;
  Attributes current;
  for (ipp_attribute_t* a = ippFirstAttribute(resp); a; a = ippNextAttribute(resp)) {
    const char* name = ippGetName(a);
    if (ippGetGroupTag(a) != tag || !name) {
      if (!current.empty()) out.push_back(std::move(current));
      current.clear();
      continue;
    }
    current[name] = a;
  }
  if (!current.empty()) out.push_back(std::move(current));
  return out;
}

ipp_attribute_t* find(const Attributes& attrs, const char* name) {
  const auto it = attrs.find(name);
  return it == attrs.end() ? nullptr : it->second;
}

std::optional<std::string> text(const Attributes& attrs, const char* name) {
  ipp_attribute_t* a = find(attrs, name);
  if (!a) return std::nullopt;
  const char* s = ippGetString(a, 0, nullptr);
  return s ? std::optional<std::string>(s) : std::nullopt;
}

std::vector<std::string> texts(const Attributes& attrs, const char* name) {
  std::vector<std::string> out;
  if (ipp_attribute_t* a = find(attrs, name)) {
    for (int i = 0; i < ippGetCount(a); ++i) {
      const char* s = ippGetString(a, i, nullptr);
      out.emplace_back(s ? s : "");
    }
  }
  return out;
}

std::vector<int> integers(const Attributes& attrs, const char* name) {
  std::vector<int> out;
  if (ipp_attribute_t* a = find(attrs, name))
    for (int i = 0; i < ippGetCount(a); ++i) out.push_back(ippGetInteger(a, i));
  return out;
}

std::optional<int> integer(const Attributes& attrs, const char* name) {
  ipp_attribute_t* a = find(attrs, name);
  if (!a) return std::nullopt;
  return ippGetInteger(a, 0);
}

std::vector<std::string> octet_strings(const Attributes& attrs, const char* name) {
  std::vector<std::string> out;
  if (ipp_attribute_t* a = find(attrs, name)) {
    for (int i = 0; i < ippGetCount(a); ++i) {
      int len = 0;
      const void* data = ippGetOctetString(a, i, &len);
      if (ippGetValueTag(a) == IPP_TAG_STRING && data)
        out.emplace_back(static_cast<const char*>(data), static_cast<std::size_t>(len));
      else if (const char* s = ippGetString(a, i, nullptr))
        out.emplace_back(s);
    }
  }
  return out;
}

std::vector<std::string> reasons_of(const Attributes& attrs, const char* name) {
  auto out = texts(attrs, name);
  std::erase(out, "none");
  std::erase(out, "");
  return out;
}

// The print service refuses these in queue names; refusing them here keeps
// a name from changing meaning inside a URI or the options file.
bool valid_queue_name(std::string_view name) {
  if (name.empty() || name.size() > 127) return false;
  for (unsigned char c : name)
    if (c <= ' ' || c == 127 || c == '/' || c == '\\' || c == '?' || c == '\'' || c == '"' ||
        c == '#')
      return false;
  return true;
}

std::string queue_uri(const std::string& queue) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.c_str());
  return uri;
}

std::string job_uri(int id) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/jobs/%d", id);
  return uri;
}

// What a network printer says of itself when asked directly.
struct DeviceAnswer {
  bool answered = false;
  std::vector<std::string> reasons;
  std::optional<std::vector<Supply>> supplies;
};

bool is_ipp_device(std::string_view uri) {
  return uri.starts_with("ipp://") || uri.starts_with("ipps://");
}

DeviceAnswer ask_device(const std::string& uri, std::chrono::milliseconds timeout) {
  char scheme[32], userpass[256], host[256], resource[1024];
  int port = 0;
  if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, userpass,
                      sizeof userpass, host, sizeof host, &port, resource,
                      sizeof resource) < HTTP_URI_STATUS_OK)
    return {};
  const bool tls = std::string_view(scheme) == "ipps";
  auto http = connect(host, port, tls ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED,
                      timeout);
  if (!http) return {};
  ipp_t* req = new_request(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
  static const char* const wanted[] = {"printer-state",  "printer-state-reasons", "marker-names",
                                       "marker-levels",  "marker-colors",         "printer-supply",
                                       "printer-supply-description"};
  ippAddStrings(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(wanted)), nullptr, wanted);
  auto resp = send(http->get(), req, resource, "printer status");
  if (!resp) return {};
  DeviceAnswer answer;
  answer.answered = true;
  const auto printer = groups(resp->get(), IPP_TAG_PRINTER);
  if (printer.empty()) return answer;
  const Attributes& a = printer.front();
  answer.reasons = reasons_of(a, "printer-state-reasons");
  answer.supplies = ipp::supplies_from_markers(texts(a, "marker-names"), integers(a, "marker-levels"),
                                               texts(a, "marker-colors"));
  if (!answer.supplies)
    answer.supplies = ipp::supplies_from_printer_supply(octet_strings(a, "printer-supply"),
                                                        texts(a, "printer-supply-description"));
  return answer;
}

// Asks every distinct device at once on detached workers and waits until a
// deadline, so a refresh takes about one printer timeout however many
// printers stay silent, and even a connection step that ignores its timeout
// (a stuck TLS handshake) cannot hold the refresh. Late answers are dropped.
std::map<std::string, DeviceAnswer> ask_devices(const std::vector<std::string>& uris,
                                                std::chrono::milliseconds timeout) {
  struct Shared {
    std::vector<std::string> uris;
    std::vector<std::optional<DeviceAnswer>> answers;
    std::atomic<std::size_t> next{0};
    std::mutex m;
    std::condition_variable cv;
    std::size_t done = 0;
  };
  auto shared = std::make_shared<Shared>();
  for (const auto& u : uris)
    if (is_ipp_device(u) && std::find(shared->uris.begin(), shared->uris.end(), u) == shared->uris.end())
      shared->uris.push_back(u);
  const std::size_t n = shared->uris.size();
  shared->answers.resize(n);
  constexpr std::size_t max_threads = 16;
  for (std::size_t t = 0; t < std::min(max_threads, n); ++t) {
    std::thread([shared, timeout] {
      for (std::size_t i = shared->next++; i < shared->uris.size(); i = shared->next++) {
        DeviceAnswer answer = ask_device(shared->uris[i], timeout);
        std::lock_guard lock(shared->m);
        shared->answers[i] = std::move(answer);
        ++shared->done;
        shared->cv.notify_all();
      }
    }).detach();
  }
  // libcups adds up to a second of its own to a request's wait.
  const auto rounds = static_cast<long>((n + max_threads - 1) / max_threads);
  const auto deadline = std::chrono::steady_clock::now() + (timeout + std::chrono::milliseconds(1500)) * rounds;
  std::unique_lock lock(shared->m);
  shared->cv.wait_until(lock, deadline, [&] { return shared->done == n; });
  std::map<std::string, DeviceAnswer> out;
  for (std::size_t i = 0; i < n; ++i) out[shared->uris[i]] = shared->answers[i].value_or(DeviceAnswer{});
  return out;
}

bool any_reason(const std::vector<std::string>& reasons, std::initializer_list<std::string_view> prefixes) {
  return std::any_of(reasons.begin(), reasons.end(), [&](const std::string& r) {
    return std::any_of(prefixes.begin(), prefixes.end(), [&](std::string_view p) { return r.starts_with(p); });
  });
}

std::string home_folder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "";
}

}  // namespace

CupsClient::CupsClient(SystemServiceOptions options) : options_(std::move(options)) {}

Result<std::vector<PrinterQueue>> CupsClient::queues() {
  auto http = connect_service(options_.service_timeout);
  if (!http) return std::unexpected(http.error());
  ipp_t* req = new_request(IPP_OP_CUPS_GET_PRINTERS);
  static const char* const wanted[] = {
      "printer-name",  "printer-state", "printer-state-reasons", "printer-state-message",
      "printer-is-accepting-jobs", "marker-names", "marker-levels", "marker-colors", "device-uri"};
  ippAddStrings(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(wanted)), nullptr, wanted);
  // The service answers "not found" when no queue has been added yet.
  auto resp = send(http->get(), req, "/", "list printers", true);
  if (!resp) return std::unexpected(resp.error());

  // The user's own choice (their options file) wins over the server's default.
  std::string default_name;
  if (cups_dest_t* dest = cupsGetNamedDest(http->get(), nullptr, nullptr)) {
    default_name = dest->name ? dest->name : "";
    cupsFreeDests(1, dest);
  }

  std::vector<PrinterQueue> out;
  std::vector<std::string> devices;
  for (const Attributes& a : groups(resp->get(), IPP_TAG_PRINTER)) {
    auto name = text(a, "printer-name");
    if (!name) continue;
    PrinterQueue q;
    q.name = *name;
    q.state_reasons = reasons_of(a, "printer-state-reasons");
    q.supplies = ipp::supplies_from_markers(texts(a, "marker-names"), integers(a, "marker-levels"),
                                            texts(a, "marker-colors"));
    q.state_message = text(a, "printer-state-message");
    if (q.state_message && q.state_message->empty()) q.state_message.reset();
    q.is_default = !default_name.empty() && default_name == q.name;
    if (ipp_attribute_t* acc = find(a, "printer-is-accepting-jobs")) q.accepting = ippGetBoolean(acc, 0);
    q.state = ipp::printer_state(integer(a, "printer-state").value_or(3));
    out.push_back(std::move(q));
    devices.push_back(text(a, "device-uri").value_or(""));
  }

  const auto answers = ask_devices(devices, options_.printer_timeout);
  for (std::size_t i = 0; i < out.size(); ++i) {
    PrinterQueue& q = out[i];
    const auto it = answers.find(devices[i]);
    if (it == answers.end()) {
      // Not a device we can ask ourselves: trust what the service last saw.
      q.responded = !any_reason(q.state_reasons, {"offline", "connecting-to-device", "timed-out"});
      if (!q.responded && q.state != PrinterState::Paused) q.state = PrinterState::Unreachable;
      continue;
    }
    const DeviceAnswer& answer = it->second;
    q.responded = answer.answered;
    if (!answer.answered) {
      // A paused queue stays paused: that is what the user can act on.
      if (q.state != PrinterState::Paused) q.state = PrinterState::Unreachable;
      continue;
    }
    for (const auto& r : answer.reasons)
      if (r != "paused" && std::find(q.state_reasons.begin(), q.state_reasons.end(), r) == q.state_reasons.end())
        q.state_reasons.push_back(r);
    // The service copies levels only after a first job; the device knows now.
    if (!q.supplies || q.supplies->empty()) q.supplies = answer.supplies;
  }
  return out;
}

Result<std::vector<PrintJob>> CupsClient::jobs() {
  auto http = connect_service(options_.service_timeout);
  if (!http) return std::unexpected(http.error());
  ipp_t* req = new_request(IPP_OP_GET_JOBS);
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
  ippAddBoolean(req, IPP_TAG_OPERATION, "my-jobs", 0);
  static const char* const wanted[] = {
      "job-id", "job-name", "job-originating-user-name", "job-state", "job-state-reasons",
      "job-printer-uri", "time-at-creation", "job-k-octets", "job-impressions-completed",
      "job-impressions"};
  ippAddStrings(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(wanted)), nullptr, wanted);
  auto resp = send(http->get(), req, "/", "list jobs", true);
  if (!resp) return std::unexpected(resp.error());

  const std::time_t now = std::time(nullptr);
  std::vector<PrintJob> out;
  for (const Attributes& a : groups(resp->get(), IPP_TAG_JOB)) {
    const auto id = integer(a, "job-id");
    if (!id) continue;
    PrintJob j;
    j.queue_name = ipp::queue_name_from_uri(text(a, "job-printer-uri").value_or(""));
    j.id = ipp::job_id_text(j.queue_name, *id);
    j.owner = text(a, "job-originating-user-name").value_or("");
    j.time = ipp::job_time_text(integer(a, "time-at-creation").value_or(0), now);
    j.state_reasons = reasons_of(a, "job-state-reasons");
    j.document_name = text(a, "job-name");
    if (j.document_name && j.document_name->empty()) j.document_name.reset();
    if (auto done = integer(a, "job-impressions-completed"); done && *done >= 0)
      j.pages_done = static_cast<std::uint32_t>(*done);
    if (auto total = integer(a, "job-impressions"); total && *total > 0)
      j.pages_total = static_cast<std::uint32_t>(*total);
    j.size_bytes = static_cast<std::uint64_t>(std::max(0, integer(a, "job-k-octets").value_or(0))) * 1024;
    j.state = ipp::job_state(integer(a, "job-state").value_or(0));
    out.push_back(std::move(j));
  }
  return out;
}

namespace {

struct EnumContext {
  std::vector<FoundPrinter> found;
};

int collect_dest(void* data, unsigned flags, cups_dest_t* dest) {
  if (flags & CUPS_DEST_FLAGS_REMOVED) return 1;
  auto* ctx = static_cast<EnumContext*>(data);
  const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options);
  if (!uri) uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
  if (!uri) return 1;
  const char* type = cupsGetOption("printer-type", dest->num_options, dest->options);
  // Queues already added on the server come back too; only discovered ones count.
  const long bits = type ? std::strtol(type, nullptr, 10) : 0;
  if (!(bits & CUPS_PRINTER_DISCOVERED) && !std::string_view(uri).starts_with("dnssd://")) return 1;
  const char* info = cupsGetOption("printer-info", dest->num_options, dest->options);
  const char* location = cupsGetOption("printer-location", dest->num_options, dest->options);
  FoundPrinter f{.uri = uri, .name = info && *info ? info : dest->name, .location = std::nullopt};
  if (location && *location) f.location = location;
  ctx->found.push_back(std::move(f));
  return 1;
}

}  // namespace

Result<std::vector<FoundPrinter>> CupsClient::discover_driverless() {
  Result<std::vector<FoundPrinter>> raw;
  if (options_.discovery_source) {
    raw = options_.discovery_source();
  } else {
    // libcups' enumeration also asks the service for its queues and waits
    // without limit on one that hangs: it runs watched, and is told to stop.
    static DeviceLock one_at_a_time;
    const auto listen = options_.discovery_time;
    raw = run_watched<std::vector<FoundPrinter>>(
        one_at_a_time,
        [listen](Watch& watch) -> Result<std::vector<FoundPrinter>> {
          // libcups polls this flag, which is meant to be set from elsewhere.
          auto flag = std::make_shared<int>(0);
          watch.set_canceller([flag] { __atomic_store_n(flag.get(), 1, __ATOMIC_RELAXED); });
          EnumContext ctx;
          cupsEnumDests(CUPS_DEST_FLAGS_NONE, static_cast<int>(listen.count()), flag.get(), 0, 0, collect_dest,
                        &ctx);
          watch.set_canceller(nullptr);
          return std::move(ctx.found);
        },
        WatchLimits{options_.discovery_time + options_.service_timeout, std::chrono::milliseconds(1000)},
        "discover printers");
  }
  if (!raw) return std::unexpected(raw.error());

  // Leave out what is already a queue: ask the service for its devices.
  auto http = connect_service(options_.service_timeout);
  if (!http) return std::unexpected(http.error());
  ipp_t* req = new_request(IPP_OP_CUPS_GET_PRINTERS);
  static const char* const wanted[] = {"printer-name", "device-uri"};
  ippAddStrings(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
  auto resp = send(http->get(), req, "/", "list printers", true);
  if (!resp) return std::unexpected(resp.error());
  std::vector<std::string> added;
  for (const Attributes& a : groups(resp->get(), IPP_TAG_PRINTER))
    if (auto uri = text(a, "device-uri")) added.push_back(*uri);
  return ipp::dedupe_found(*raw, added);
}

Done CupsClient::add_driverless(const std::string& uri, const std::string& name) {
  char scheme[32], userpass[256], host[256], resource[1024];
  int port = 0;
  if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, userpass, sizeof userpass,
                      host, sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
    return std::unexpected("not a printer address: " + uri);
  const std::string_view s = scheme;
  if (s != "ipp" && s != "ipps" && s != "dnssd")
    return std::unexpected("not a driverless printer address: " + uri);

  auto http = connect_service(options_.service_timeout);
  if (!http) return std::unexpected(http.error());
  ipp_t* list = new_request(IPP_OP_CUPS_GET_PRINTERS);
  ippAddString(list, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
  auto resp = send(http->get(), list, "/", "list printers", true);
  if (!resp) return std::unexpected(resp.error());
  std::vector<std::string> taken;
  for (const Attributes& a : groups(resp->get(), IPP_TAG_PRINTER))
    if (auto n = text(a, "printer-name")) taken.push_back(*n);
  const std::string queue = ipp::safe_queue_name(name, taken);

  ipp_t* req = new_request(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, queue_uri(queue).c_str());
  ippAddString(req, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, uri.c_str());
  ippAddString(req, IPP_TAG_PRINTER, IPP_TAG_NAME, "ppd-name", nullptr, "everywhere");
  ippAddString(req, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, name.c_str());
  ippAddBoolean(req, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
  ippAddInteger(req, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
  if (auto done = send(http->get(), req, "/admin/", "add printer"); !done)
    return std::unexpected(done.error());
  return {};
}

Done CupsClient::set_default(const std::string& queue_name) {
  if (!valid_queue_name(queue_name)) return std::unexpected("not a queue name: " + queue_name);
  // Only a queue the service knows may become the default.
  auto http = connect_service(options_.service_timeout);
  if (!http) return std::unexpected(http.error());
  ipp_t* req = new_request(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, queue_uri(queue_name).c_str());
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
  if (auto known = send(http->get(), req, "/", "find printer"); !known) return std::unexpected(known.error());

  // The user's own options file, as the service's tools keep it; written
  // whole to a temporary file and renamed so a crash leaves the old one.
  const std::string home = home_folder();
  if (home.empty()) return std::unexpected("no home folder to keep the preferred printer in");
  const std::filesystem::path folder = std::filesystem::path(home) / ".cups";
  const std::filesystem::path file = folder / "lpoptions";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return std::unexpected("cannot create " + folder.string() + ": " + ec.message());
  std::string current;
  {
    std::ifstream in(file, std::ios::binary);
    if (in) current.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::string updated = ipp::lpoptions_with_default(current, queue_name);
  const std::string tmp = file.string() + ".XXXXXX";
  std::vector<char> tmpl(tmp.begin(), tmp.end());
  tmpl.push_back('\0');
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) return std::unexpected("cannot write " + file.string() + ": " + std::strerror(errno));
  fchmod(fd, 0644);
  std::size_t written = 0;
  while (written < updated.size()) {
    const ssize_t n = ::write(fd, updated.data() + written, updated.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool ok = written == updated.size() && ::fsync(fd) == 0;
  ::close(fd);
  if (!ok || std::rename(tmpl.data(), file.c_str()) != 0) {
    const std::string err = std::strerror(errno);
    ::unlink(tmpl.data());
    return std::unexpected("cannot write " + file.string() + ": " + err);
  }
  return {};
}

Done CupsClient::set_enabled(const std::string& queue_name, bool enabled) {
  if (!valid_queue_name(queue_name)) return std::unexpected("not a queue name: " + queue_name);
  auto http = connect_service(options_.service_timeout);
  if (!http) return std::unexpected(http.error());
  const std::string uri = queue_uri(queue_name);
  // Resuming also accepts documents again: a paused, rejecting queue would
  // otherwise look resumed and still refuse every document.
  const std::vector<ipp_op_t> ops =
      enabled ? std::vector<ipp_op_t>{IPP_OP_RESUME_PRINTER, IPP_OP_CUPS_ACCEPT_JOBS}
              : std::vector<ipp_op_t>{IPP_OP_PAUSE_PRINTER};
  for (ipp_op_t op : ops) {
    ipp_t* req = new_request(op);
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    if (auto done = send(http->get(), req, "/admin/", enabled ? "resume printer" : "pause printer"); !done)
      return std::unexpected(done.error());
  }
  return {};
}

namespace {

Done job_operation(ipp_op_t op, const std::string& job_id, std::chrono::milliseconds timeout,
                   std::string_view what) {
  const auto id = ipp::parse_job_id(job_id);
  if (!id) return std::unexpected("not a job id: " + job_id);
  auto http = connect_service(timeout);
  if (!http) return std::unexpected(http.error());
  ipp_t* req = new_request(op);
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, job_uri(*id).c_str());
  if (auto done = send(http->get(), req, "/jobs/", what); !done) return std::unexpected(done.error());
  return {};
}

}  // namespace

Done CupsClient::cancel_job(const std::string& job_id) {
  return job_operation(IPP_OP_CANCEL_JOB, job_id, options_.service_timeout, "cancel job");
}

Done CupsClient::retry_job(const std::string& job_id) {
  return job_operation(IPP_OP_RESTART_JOB, job_id, options_.service_timeout, "restart job");
}

Done CupsClient::print_document(const std::string& path, const std::string& queue_name,
                                std::uint16_t copies, bool two_sided) {
  if (!valid_queue_name(queue_name)) return std::unexpected("not a queue name: " + queue_name);
  if (copies < 1 || copies > 99) return std::unexpected(fmt::format("copies out of range: {}", copies));
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::unexpected(path + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return std::unexpected(path + ": not a regular file");
  if (::access(path.c_str(), R_OK) != 0) return std::unexpected(path + ": " + std::strerror(errno));

  auto http = connect_service(options_.service_timeout);
  if (!http) return std::unexpected(http.error());
  ipp_t* req = new_request(IPP_OP_PRINT_JOB);
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, queue_uri(queue_name).c_str());
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
               std::filesystem::path(path).filename().c_str());
  ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
               "application/octet-stream");
  ippAddInteger(req, IPP_TAG_JOB, IPP_TAG_INTEGER, "copies", copies);
  ippAddString(req, IPP_TAG_JOB, IPP_TAG_KEYWORD, "sides", nullptr,
               two_sided ? "two-sided-long-edge" : "one-sided");
  const std::string resource = "/printers/" + queue_name;
  Ipp resp(cupsDoFileRequest(http->get(), req, resource.c_str(), path.c_str()));
  if (!resp || cupsLastError() > IPP_STATUS_OK_CONFLICTING) return std::unexpected(cups_error("print"));
  return {};
}

}  // namespace os_actions::printing
