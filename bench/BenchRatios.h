#pragma once
// A console reporter that also prints every benchmark's time as a ratio against a named
// baseline benchmark of the same run, so figures from different machines compare. A
// benchmark may have a baseline of its own (the same work measured on another amount of
// bytes). With repetitions the ratios are of the medians. Ratios of wall-clock time come
// first; those of CPU time follow, as they hold better on a machine busy with other work.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit TRatioReporter(std::string baseline, std::map<std::string, std::string> ownBaselines = {})
      : FBaseline(std::move(baseline)), FOwnBaselines(std::move(ownBaselines)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const std::string name = r.run_name.str();
      if (r.run_type == Run::RT_Aggregate) {
        if (r.aggregate_name != "median") continue;
        FMedians.insert(name);
      } else if (FMedians.count(name)) {
        continue;
      }
      if (!FTimes.count(name)) FOrder.push_back(name);
      FTimes[name] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nRatios (same run%s):\n", FMedians.empty() ? "" : ", medians of the repetitions");
    for (const std::string& name : FOrder) {
      auto own = FOwnBaselines.find(name);
      const std::string& baseline = own == FOwnBaselines.end() ? FBaseline : own->second;
      if (name == baseline) continue;
      auto base = FTimes.find(baseline);
      if (base == FTimes.end() || base->second.Real <= 0 || base->second.Cpu <= 0) {
        std::printf("  %-40s (no baseline '%s' in this run)\n", name.c_str(), baseline.c_str());
        continue;
      }
      const TTimes& t = FTimes[name];
      std::printf("  %-40s %8.2fx  (cpu %8.2fx)  %s\n", name.c_str(), t.Real / base->second.Real,
                  t.Cpu / base->second.Cpu, baseline.c_str());
    }
  }

 private:
  std::string FBaseline;
  std::map<std::string, std::string> FOwnBaselines;
  std::vector<std::string> FOrder;
  struct TTimes {
    double Real = 0, Cpu = 0;
  };
  std::map<std::string, TTimes> FTimes;
  std::set<std::string> FMedians;
};

// main() for a benchmark program whose ratios are taken against `baseline`.
#define RATIO_BENCHMARK_MAIN(baseline)                                 \
  int main(int argc, char** argv) {                                    \
    benchmark::Initialize(&argc, argv);                                \
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;  \
    TRatioReporter reporter(baseline);                                 \
    benchmark::RunSpecifiedBenchmarks(&reporter);                      \
    benchmark::Shutdown();                                             \
    return 0;                                                          \
  }
