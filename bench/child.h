// Running one program of the benchmark: timed, or traced for its peak memory. Its standard
// input, output and error are /dev/null; it gets exactly the environment given.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Command {
  std::vector<std::string> argv;         // argv[0] is the program's path
  std::vector<std::string> environment;  // "NAME=value" entries
};

// Wall time in milliseconds from the start of the program to the end of the wait for it.
// Ends the benchmark when the program does not exit with the status expected.
double TimedRun(const Command& command, int expectedStatus = 0);

struct OwnUsage {
  long peakKiB = 0;  // peak resident memory (VmHWM)
  double cpuMs = 0;  // time on a processor (schedstat)
};

// What the program itself used, read when it exits (with 0) by tracing it to its exit. The
// resource usage that wait4 reports would also count the launcher it started and, for the
// memory, the pages of the parent that started it.
OwnUsage TracedRun(const Command& command);

}  // namespace bench
