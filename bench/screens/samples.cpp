// Sample data for the screen benchmarks.
#include "samples.h"

#include <string>

namespace pagora::bench {

namespace printing = os_actions::printing;

ServiceSnapshot large_snapshot(int printers, int supplies, int jobs, int variant) {
  const char* supply_names[] = {"Black", "Cyan", "Magenta", "Yellow", "Photo black", "Waste"};
  std::vector<printing::PrinterQueue> queues;
  for (int p = 0; p < printers; ++p) {
    printing::PrinterQueue q;
    q.name = "Floor_" + std::to_string(p / 10) + "-printer_" + std::to_string(p);
    q.responded = p % 7 != 0;
    q.is_default = p == 0;
    q.state = static_cast<printing::PrinterState>((p + variant) % 4);
    q.accepting = p % 5 != 0;
    std::vector<printing::Supply> list;
    for (int s = 0; s < supplies; ++s) {
      std::optional<std::uint8_t> level;
      if ((p + s) % 9 != 0) level = static_cast<std::uint8_t>((p * 13 + s * 29 + variant * 7) % 101);
      list.push_back({supply_names[s % 6], std::nullopt, level});
    }
    q.supplies = std::move(list);
    queues.push_back(std::move(q));
  }
  std::vector<printing::PrintJob> job_list;
  for (int j = 0; j < jobs; ++j) {
    printing::PrintJob job;
    job.id = queues.empty() ? "Office-" + std::to_string(j) : queues[j % queues.size()].name + "-" + std::to_string(j);
    job.queue_name = queues.empty() ? "Office" : queues[j % queues.size()].name;
    job.state = static_cast<printing::JobState>(j % 7);
    if (j % 3 != 0) job.document_name = "Quarterly report " + std::to_string(j) + ".pdf";
    job.pages_total = static_cast<std::uint32_t>(1 + j % 20);
    job.pages_done = static_cast<std::uint32_t>((j + variant) % 20 / 2);
    job.time = "today";
    job_list.push_back(std::move(job));
  }
  return ServiceSnapshot{std::move(queues), std::move(job_list),
                         std::vector<printing::Scanner>{{"s1", "Flatbed scanner"}, {"s2", "Sheet feeder"}}};
}

}  // namespace pagora::bench
