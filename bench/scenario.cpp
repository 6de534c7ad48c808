#include "bench/scenario.h"

#include <algorithm>
#include <string>
#include <vector>

#include "bench/child.h"

namespace bench {
namespace {

constexpr int kTracedRuns = 7;

std::vector<std::string> Environment(const Kit& kit, const Scenario& scenario) {
  return {"SystemRoot=" + kit.Logs().string(),
          "IVX_BENCH_SETUP_LOG_BYTES=" + std::to_string(scenario.setupLogBytes),
          "IVX_BENCH_APPEND_BYTES=" + std::to_string(scenario.appendBytes)};
}

Command InstallCommand(const Kit& kit, const Scenario& scenario) {
  return {{kit.Command().string(), "/s", "/f", scenario.settings.string()},
          Environment(kit, scenario)};
}

// What the command hands its launcher for the benchmark's settings, split as the launcher
// receives it; only the log names differ.
Command DirectLaunch(const Kit& kit, const Scenario& scenario) {
  return {{kit.Launcher().string(), "/s", "/f1" + (kit.Root() / "setup.iss").string(),
           "/f2" + (kit.Logs() / "setup_direct.log").string(), "/clone_wait",
           "/z" + (kit.Logs() / "installvorx_direct.log").string(), "/v/qr VORX_PORT=8080"},
          Environment(kit, scenario)};
}

double Median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

double TimedAndCleared(const Kit& kit, const Command& command, int status = 0) {
  const double ms = TimedRun(command, status);
  kit.ClearLogs();
  return ms;
}

}  // namespace

Figures Measure(const Kit& kit, const Scenario& scenario) {
  const Command install = InstallCommand(kit, scenario);
  const Command direct = DirectLaunch(kit, scenario);
  std::vector<double> launcher;
  std::vector<double> command;
  std::vector<double> added;
  launcher.reserve(static_cast<std::size_t>(scenario.pairs));
  command.reserve(static_cast<std::size_t>(scenario.pairs));
  added.reserve(static_cast<std::size_t>(scenario.pairs));
  for (int i = 0; i < scenario.pairs; ++i) {
    const bool commandFirst = i % 2 == 0;
    const double first = TimedAndCleared(kit, commandFirst ? install : direct);
    const double second = TimedAndCleared(kit, commandFirst ? direct : install);
    command.push_back(commandFirst ? first : second);
    launcher.push_back(commandFirst ? second : first);
    added.push_back(command.back() - launcher.back());
  }
  Figures figures{Median(launcher), Median(command), Median(added), 0, 0};
  for (int i = 0; i < kTracedRuns; ++i) {
    const OwnUsage usage = TracedRun(install);
    kit.ClearLogs();
    figures.peakKiB = std::max(figures.peakKiB, usage.peakKiB);
    figures.ownCpuMs = i == 0 ? usage.cpuMs : std::min(figures.ownCpuMs, usage.cpuMs);
  }
  return figures;
}

double MedianStartOnly(const Kit& kit, int runs) {
  const Command start{{kit.Command().string(), "/x"}, Environment(kit, {})};
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(runs));
  for (int i = 0; i < runs; ++i) times.push_back(TimedAndCleared(kit, start, 1));
  return Median(times);
}

}  // namespace bench
