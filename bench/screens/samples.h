// Large but realistic snapshots for the screen benchmarks.
#pragma once

#include "model/snapshot.h"

namespace pagora::bench {

// `printers` queues with `supplies` supplies each, `jobs` active and finished
// jobs, two scanners. Another `variant` shifts levels, pages and states the
// way a later refresh would.
ServiceSnapshot large_snapshot(int printers, int supplies, int jobs, int variant = 0);

}  // namespace pagora::bench
