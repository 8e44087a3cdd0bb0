#pragma once
// A console reporter that also prints every benchmark's time as a ratio against a named
// baseline benchmark of the same run, so figures from different machines compare.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit TRatioReporter(std::string baseline) : FBaseline(std::move(baseline)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const std::string name = r.benchmark_name();
      if (!FTimes.count(name)) FOrder.push_back(name);
      FTimes[name] = r.GetAdjustedRealTime();
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    auto base = FTimes.find(FBaseline);
    if (base == FTimes.end() || base->second <= 0) {
      std::printf("\n(no baseline '%s' in this run: no ratios)\n", FBaseline.c_str());
      return;
    }
    std::printf("\nRatios against %s (same run):\n", FBaseline.c_str());
    for (const std::string& name : FOrder)
      std::printf("  %-40s %8.2fx\n", name.c_str(), FTimes[name] / base->second);
  }

 private:
  std::string FBaseline;
  std::vector<std::string> FOrder;
  std::map<std::string, double> FTimes;
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
