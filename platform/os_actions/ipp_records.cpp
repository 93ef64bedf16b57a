// Pure translations between the print service's attributes and the records.
#include "os_actions/ipp_records.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>
#include <map>
#include <sstream>

namespace os_actions::printing::ipp {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::uint8_t> percent(long long level) {
  if (level < 0 || level > 100) return std::nullopt;
  return static_cast<std::uint8_t>(level);
}

std::optional<long long> to_int(std::string_view s) {
  long long v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc{} || p != s.data() + s.size()) return std::nullopt;
  return v;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percent_decode(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      const int hi = hex_value(s[i + 1]), lo = hex_value(s[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

std::string_view strip_query(std::string_view s) {
  const auto q = s.find_first_of("?#");
  return q == std::string_view::npos ? s : s.substr(0, q);
}

std::string scheme_of(std::string_view uri) {
  const auto colon = uri.find(':');
  return colon == std::string_view::npos ? std::string{} : lower(uri.substr(0, colon));
}

std::string normalised_name(std::string_view name) {
  std::string out;
  bool space = false;
  for (unsigned char c : name) {
    if (std::isspace(c)) {
      space = !out.empty();
      continue;
    }
    if (space) out.push_back(' ');
    space = false;
    out.push_back(static_cast<char>(std::tolower(c)));
  }
  return out;
}

}  // namespace

JobState job_state(int s) {
  switch (s) {
    case 3: return JobState::Pending;
    case 4: return JobState::Held;
    case 5: return JobState::Processing;
    case 6: return JobState::Stopped;
    case 7: return JobState::Canceled;
    case 8: return JobState::Aborted;
    case 9: return JobState::Completed;
    default: return JobState::Unknown;
  }
}

PrinterState printer_state(int s) {
  switch (s) {
    case 4: return PrinterState::Printing;
    case 5: return PrinterState::Paused;
    default: return PrinterState::Idle;
  }
}

std::optional<std::string> supply_colour(std::string_view text) {
  if (text.size() < 7 || text[0] != '#') return std::nullopt;
  for (std::size_t i = 1; i < 7; ++i)
    if (hex_value(text[i]) < 0) return std::nullopt;
  return lower(text.substr(0, 7));
}

std::optional<std::vector<Supply>> supplies_from_markers(const std::vector<std::string>& names,
                                                         const std::vector<int>& levels,
                                                         const std::vector<std::string>& colours) {
  if (names.empty()) return std::nullopt;
  std::vector<Supply> out;
  out.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    Supply s{.name = names[i], .colour = std::nullopt, .level = std::nullopt};
    if (i < colours.size()) s.colour = supply_colour(colours[i]);
    if (i < levels.size()) s.level = percent(levels[i]);
    out.push_back(std::move(s));
  }
  return out;
}

std::optional<std::vector<Supply>> supplies_from_printer_supply(
    const std::vector<std::string>& entries, const std::vector<std::string>& descriptions) {
  static const std::map<std::string, std::string> colorants = {
      {"black", "#000000"},   {"cyan", "#00ffff"},   {"magenta", "#ff00ff"},
      {"yellow", "#ffff00"},  {"red", "#ff0000"},    {"green", "#00ff00"},
      {"blue", "#0000ff"},    {"white", "#ffffff"},  {"photoblack", "#000000"},
      {"mattblack", "#000000"}, {"lightcyan", "#e0ffff"}, {"lightmagenta", "#ff80ff"},
      {"gray", "#808080"},    {"grey", "#808080"},   {"lightgray", "#d3d3d3"}};
  if (entries.empty()) return std::nullopt;
  std::vector<Supply> out;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::map<std::string, std::string> kv;
    std::string_view rest = entries[i];
    while (!rest.empty()) {
      const auto semi = rest.find(';');
      const std::string_view field = rest.substr(0, semi);
      rest = semi == std::string_view::npos ? std::string_view{} : rest.substr(semi + 1);
      const auto eq = field.find('=');
      if (eq == std::string_view::npos) continue;
      kv[lower(field.substr(0, eq))] = std::string(field.substr(eq + 1));
    }
    if (lower(kv["class"]) == "receptaclethatisfilled") continue;
    Supply s;
    s.name = i < descriptions.size() && !descriptions[i].empty() ? descriptions[i]
             : !kv["type"].empty()                               ? kv["type"]
                                                                 : "Supply";
    const auto colorant = colorants.find(lower(kv["colorantname"]));
    if (colorant != colorants.end()) s.colour = colorant->second;
    const auto level = to_int(kv["level"]);
    const auto capacity = to_int(kv["maxcapacity"]);
    if (level && *level >= 0) {
      if (lower(kv["unit"]) == "percent" || !capacity || *capacity == 100)
        s.level = percent(*level);
      else if (*capacity > 0 && *level <= *capacity)
        s.level = percent(*level * 100 / *capacity);
    }
    out.push_back(std::move(s));
  }
  return out;
}

std::string job_time_text(std::time_t created, std::time_t now) {
  std::tm c{}, n{};
  localtime_r(&created, &c);
  localtime_r(&now, &n);
  const auto same_day = [](const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday;
  };
  if (created <= now) {
    if (same_day(c, n)) return "today";
    std::tm y = n;
    y.tm_mday -= 1;
    y.tm_isdst = -1;
    const std::time_t yesterday_t = std::mktime(&y);
    std::tm yd{};
    localtime_r(&yesterday_t, &yd);
    if (same_day(c, yd)) return "yesterday";
  }
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", (c.tm_year + 1900) % 10000, c.tm_mon + 1,
                c.tm_mday);
  return buf;
}

std::string queue_name_from_uri(std::string_view uri) {
  uri = strip_query(uri);
  while (!uri.empty() && uri.back() == '/') uri.remove_suffix(1);
  const auto slash = uri.rfind('/');
  return percent_decode(slash == std::string_view::npos ? uri : uri.substr(slash + 1));
}

std::string job_id_text(std::string_view queue, int id) {
  return std::string(queue) + "-" + std::to_string(id);
}

std::optional<int> parse_job_id(std::string_view text) {
  if (const auto dash = text.rfind('-'); dash != std::string_view::npos) text.remove_prefix(dash + 1);
  if (text.empty() || text.size() > 10) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const auto v = to_int(text);
  if (!v || *v <= 0 || *v > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(*v);
}

std::string safe_queue_name(std::string_view shown_name, const std::vector<std::string>& taken) {
  constexpr std::size_t max_len = 127;
  std::string base;
  bool pending_sep = false;
  for (unsigned char c : shown_name) {
    if (std::isalnum(c) && c < 0x80) {
      if (pending_sep && !base.empty()) base.push_back('_');
      pending_sep = false;
      base.push_back(static_cast<char>(c));
    } else if (c == '-' || c == '_') {
      pending_sep = false;
      if (!base.empty() || c == '_') base.push_back(static_cast<char>(c));
    } else {
      pending_sep = true;
    }
  }
  while (!base.empty() && (base.back() == '_' || base.back() == '-')) base.pop_back();
  while (!base.empty() && base.front() == '_') base.erase(base.begin());
  if (base.empty()) base = "Printer";
  if (base.size() > max_len) base.resize(max_len);

  const auto is_taken = [&](const std::string& candidate) {
    const auto lc = lower(candidate);
    return std::any_of(taken.begin(), taken.end(),
                       [&](const std::string& t) { return lower(t) == lc; });
  };
  if (!is_taken(base)) return base;
  for (int n = 2;; ++n) {
    const std::string suffix = "_" + std::to_string(n);
    std::string candidate = base.substr(0, max_len - suffix.size()) + suffix;
    if (!is_taken(candidate)) return candidate;
  }
}

std::string device_key(std::string_view uri) {
  const std::string scheme = scheme_of(uri);
  auto rest = uri.substr(std::min(uri.size(), scheme.size() + 1));
  if (rest.starts_with("//")) rest.remove_prefix(2);
  rest = strip_query(rest);
  const auto slash = rest.find('/');
  std::string_view authority = rest.substr(0, slash);
  std::string_view resource = slash == std::string_view::npos ? "/" : rest.substr(slash);
  if (const auto at = authority.rfind('@'); at != std::string_view::npos)
    authority.remove_prefix(at + 1);
  if (scheme == "dnssd") {
    // "Name._ipp._tcp.local." and "Name._ipps._tcp.local." are one device.
    std::string host = percent_decode(authority);
    const auto service = host.find("._ipp");
    if (service != std::string::npos) host.resize(service);
    return "dnssd:" + normalised_name(host);
  }
  std::string host = lower(percent_decode(authority));
  std::string port;
  const auto bracket = host.rfind(']');
  if (const auto colon = host.rfind(':');
      colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
    port = host.substr(colon + 1);
    host.resize(colon);
  }
  while (!host.empty() && host.back() == '.') host.pop_back();
  if (host.ends_with(".local")) host.resize(host.size() - 6);
  // Several printers can share a host on different ports; 631 is the default.
  if (!port.empty() && port != "631") host += ":" + port;
  std::string res(resource);
  while (res.size() > 1 && res.back() == '/') res.pop_back();
  return "net:" + host + res;
}

std::vector<FoundPrinter> dedupe_found(const std::vector<FoundPrinter>& found,
                                       const std::vector<std::string>& added_uris) {
  std::vector<std::string> added_keys;
  for (const auto& uri : added_uris) added_keys.push_back(device_key(uri));
  const auto is_added = [&](const FoundPrinter& f) {
    return std::find(added_keys.begin(), added_keys.end(), device_key(f.uri)) != added_keys.end();
  };

  std::vector<FoundPrinter> out;
  std::vector<std::string> keys, names;
  for (const auto& f : found) {
    if (f.uri.empty()) continue;
    const std::string key = device_key(f.uri);
    const std::string name = normalised_name(f.name);
    std::size_t i = 0;
    for (; i < out.size(); ++i)
      if (keys[i] == key || (!name.empty() && names[i] == name)) break;
    if (i == out.size()) {
      out.push_back(f);
      keys.push_back(key);
      names.push_back(name);
      continue;
    }
    FoundPrinter& kept = out[i];
    if (scheme_of(kept.uri) != "ipps" && scheme_of(f.uri) == "ipps") kept.uri = f.uri;
    if (!kept.location && f.location) kept.location = f.location;
  }
  std::vector<FoundPrinter> fresh;
  for (auto& f : out)
    if (!is_added(f)) fresh.push_back(std::move(f));
  // Every route found for one device counts as added once any one of them is.
  std::erase_if(fresh, [&](const FoundPrinter& f) {
    return std::any_of(found.begin(), found.end(), [&](const FoundPrinter& g) {
      return normalised_name(g.name) == normalised_name(f.name) && !f.name.empty() && is_added(g);
    });
  });
  return fresh;
}

std::string lpoptions_with_default(std::string_view current, std::string_view queue) {
  std::istringstream in{std::string(current)};
  std::string line, out;
  bool made_default = false;
  const auto name_of = [](std::string_view rest) {
    const auto end = rest.find_first_of(" \t");
    return rest.substr(0, end);
  };
  while (std::getline(in, line)) {
    std::string_view l = line;
    std::string keyword;
    if (l.starts_with("Default ") || l.starts_with("Default\t")) keyword = "Default";
    else if (l.starts_with("Dest ") || l.starts_with("Dest\t")) keyword = "Dest";
    if (keyword.empty()) {
      out += line + "\n";
      continue;
    }
    std::string_view rest = l.substr(keyword.size() + 1);
    const std::string_view name = name_of(rest);
    const std::string_view options = rest.substr(name.size());
    const bool is_queue = name == queue && !made_default;
    out += std::string(is_queue ? "Default " : "Dest ") + std::string(name) + std::string(options) + "\n";
    made_default = made_default || is_queue;
  }
  if (!made_default) out += "Default " + std::string(queue) + "\n";
  return out;
}

}  // namespace os_actions::printing::ipp
