// One benchmark condition and the figures measured under it: the command run against its
// launcher started directly with the same arguments, in interleaved pairs.
#pragma once

#include <cstddef>
#include <filesystem>

#include "bench/kit.h"

namespace bench {

struct Scenario {
  std::filesystem::path settings;
  std::size_t setupLogBytes = 0;  // the setup log the launcher writes (0: just the result)
  std::size_t appendBytes = 0;    // what the launcher appends to the installation log
  int pairs = 1;
};

struct Figures {
  double launcherMs = 0;  // median wall time of the launcher started directly
  double commandMs = 0;   // median wall time of "installvorx /s /f settings"
  double addedMs = 0;     // median of the per-pair differences
  long peakKiB = 0;       // the command's largest peak resident memory over a few runs
  // The command's own processor time, the least over those runs: other work on the machine
  // can only add to it.
  double ownCpuMs = 0;
};

// The pairs alternate which of the two runs first, so that neither gains from going second.
Figures Measure(const Kit& kit, const Scenario& scenario);

// Median wall time of "installvorx /x": an invalid option, so the command starts, prints
// its usage and ends with status 1. What it costs merely to start.
double MedianStartOnly(const Kit& kit, int runs);

}  // namespace bench
