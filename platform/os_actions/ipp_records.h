// Pure translations between what the print service reports and the records:
// no I/O here, so every rule is testable without a server.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os_actions/printing.h"

namespace os_actions::printing::ipp {

// IPP job-state (3 pending .. 9 completed) to JobState; anything else Unknown.
JobState job_state(int ipp_state);

// IPP printer-state (3 idle, 4 processing, 5 stopped).
PrinterState printer_state(int ipp_state);

// Supplies from parallel marker-names/-levels/-colors lists. Absent when there
// are no names. Levels outside 0..100 (IPP's -1/-2/-3 "unknown") are absent.
std::optional<std::vector<Supply>> supplies_from_markers(const std::vector<std::string>& names,
                                                         const std::vector<int>& levels,
                                                         const std::vector<std::string>& colours);

// Supplies from a printer's own printer-supply entries
// ("type=toner;maxcapacity=100;level=75;colorantname=black;") with their
// printer-supply-description names. Waste receptacles are left out: their
// level says how full they are, not how much remains.
std::optional<std::vector<Supply>> supplies_from_printer_supply(
    const std::vector<std::string>& entries, const std::vector<std::string>& descriptions);

// "#rrggbb" in lower case, or absent for "none", multi-colour lists are cut
// to their first colour.
std::optional<std::string> supply_colour(std::string_view text);

// Short time text for a job created at `created`, seen at `now`, local time:
// "today", "yesterday" or the date as "YYYY-MM-DD".
std::string job_time_text(std::time_t created, std::time_t now);

// The queue name of a job from its printer URI (last path segment, decoded).
std::string queue_name_from_uri(std::string_view uri);

// Job ids read "QUEUE-N", as the print service's own tools show them.
std::string job_id_text(std::string_view queue, int id);

// The service's integer from "QUEUE-N" (or a bare "N"), or absent unless N is
// plain decimal digits naming a positive 32-bit id.
std::optional<int> parse_job_id(std::string_view text);

// A queue name the print service accepts, derived from a printer's shown
// name: ASCII letters, digits, "-" and "_" kept, every other run of
// characters becomes one "_", at most 127 bytes; when it would clash with one
// of `taken` (compared without case, as the service does) "_2", "_3"... is
// appended.
std::string safe_queue_name(std::string_view shown_name, const std::vector<std::string>& taken);

// Network printers seen through several routes (ipp and ipps, DNS-SD service
// names) reduced to one entry each, ipps preferred, in first-seen order;
// printers whose device is already a queue's device (`added_uris`) are left out.
std::vector<FoundPrinter> dedupe_found(const std::vector<FoundPrinter>& found,
                                       const std::vector<std::string>& added_uris);

// The key under which two URIs name the same device: host, port and
// resource for ipp/ipps, the service instance for dnssd. The ipp and ipps
// routes of one device (often on different ports) are merged by their name.
std::string device_key(std::string_view uri);

// The user's options file with `queue` made the default destination; other
// lines keep their order and options.
std::string lpoptions_with_default(std::string_view current, std::string_view queue);

}  // namespace os_actions::printing::ipp
