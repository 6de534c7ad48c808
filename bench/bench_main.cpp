// The benchmark of the Linux build: what "installvorx /s" adds to a run of its launcher in
// wall time and memory, and how both behave as the settings file and the logs grow.
//   bench_installvorx <installvorx binary> <no-op launcher binary>
// IVX_BENCH_PAIRS sets the number of interleaved pairs for the overhead (default 201).
#include <sys/utsname.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "bench/kit.h"
#include "bench/scenario.h"

namespace {

using bench::Figures;
using bench::Scenario;

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;
constexpr double kAddedTargetMs = 1.0;
constexpr long kPeakTargetKiB = 4L * 1024;

struct Size {
  const char* label;
  std::size_t bytes;
};
constexpr std::array<Size, 3> kSizes = {{{"1 KiB", kKiB}, {"1 MiB", kMiB}, {"64 MiB", 64 * kMiB}}};
constexpr int kSizePairs = 101;

std::string CpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown";
}

void PrintMachine() {
  utsname system{};
  uname(&system);
  std::printf("machine: %u CPUs, %s, %s %s\n", std::thread::hardware_concurrency(),
              CpuModel().c_str(), system.sysname, system.release);
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

void PrintOverhead(const Figures& f, double startOnlyMs, int pairs) {
  std::printf("\nfull run over the launcher alone, %d interleaved pairs, minimal settings:\n",
              pairs);
  std::printf("  launcher alone    median %7.3f ms\n", f.launcherMs);
  std::printf("  installvorx /s    median %7.3f ms\n", f.commandMs);
  std::printf("  installvorx /x    median %7.3f ms   %s\n", startOnlyMs,
              "(an invalid option: its start and end alone)");
  std::printf("  added per run     median %7.3f ms, ratio %.2f   target < 1 ms: %s\n", f.addedMs,
              f.commandMs / f.launcherMs, Verdict(f.addedMs < kAddedTargetMs));
  std::printf("  installvorx's own processor time: least %.3f ms\n", f.ownCpuMs);
  std::printf("  peak resident memory of installvorx: %ld KiB   target < 4 MiB: %s\n", f.peakKiB,
              Verdict(f.peakKiB < kPeakTargetKiB));
}

void PrintRow(const Size& size, int pairs, const Figures& f) {
  std::printf("  %-7s %5d %12.3f %11.3f %10.3f %11.3f %9ld\n", size.label, pairs, f.launcherMs,
              f.commandMs, f.addedMs, f.ownCpuMs, f.peakKiB);
}

void PrintHeader(const char* what) {
  std::printf("\n%s\n  size    pairs  launcher ms  command ms   added ms  own cpu ms  peak KiB\n",
              what);
}

// vary(scenario, bytes) sets the size under test. The largest size gets fewer pairs: each
// run reads or writes it whole.
template <typename Vary>
void MeasureSizes(const bench::Kit& kit, const char* what, int largestPairs, Vary vary) {
  PrintHeader(what);
  for (const Size& size : kSizes) {
    const int pairs = &size == &kSizes.back() ? largestPairs : kSizePairs;
    Scenario scenario{kit.WriteSettings(0), 0, 0, pairs};
    vary(scenario, size.bytes);
    PrintRow(size, pairs, bench::Measure(kit, scenario));
    (void)std::fflush(stdout);
  }
}

int PairsFromEnvironment() {
  const char* value = std::getenv("IVX_BENCH_PAIRS");
  const long pairs = value == nullptr ? 201 : std::strtol(value, nullptr, 10);
  return pairs > 0 && pairs < 1000000 ? static_cast<int>(pairs) : 201;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    (void)std::fprintf(stderr, "usage: bench_installvorx <installvorx> <no-op launcher>\n");
    return 2;
  }
  if (geteuid() != 0) {
    (void)std::fprintf(stderr, "bench: installvorx installs for the whole machine: run as root\n");
    return 2;
  }
  const bench::Kit kit(argv[1], argv[2]);
  PrintMachine();
  const int pairs = PairsFromEnvironment();
  const Figures overhead = bench::Measure(kit, {kit.WriteSettings(0), 0, 0, pairs});
  PrintOverhead(overhead, bench::MedianStartOnly(kit, pairs), pairs);
  MeasureSizes(kit, "settings file size (comment lines before the values):", 5,
               [&kit](Scenario& s, std::size_t bytes) { s.settings = kit.WriteSettings(bytes); });
  MeasureSizes(kit, "setup log size (written by the launcher, result on its first line):", 21,
               [](Scenario& s, std::size_t bytes) { s.setupLogBytes = bytes; });
  MeasureSizes(kit, "installation log size (appended by the launcher):", 21,
               [](Scenario& s, std::size_t bytes) { s.appendBytes = bytes; });
  return 0;
}
