// bench_load REPORT: loads a report as the Open command does (the pending
// file path, the load worker with the report-kind recognition and the
// parser, then the load-done handler that makes the tables) and prints the
// wall time, the hits, the alignments (HSPs) and the peak resident memory.
// Exit status 0 when the report loaded, 1 otherwise. The tables are not
// freed at the end (the workbench keeps them open).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "vistram/results/records.h"
#include "vistram/shell/batch_load.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_load REPORT\n");
    return 2;
  }
  const std::string path = argv[1];
  DataProgram dp;
  const auto start = std::chrono::steady_clock::now();
  const int loaded = LoadReportForBatch(dp, path);
  const auto stop = std::chrono::steady_clock::now();

  unsigned long long hits = 0;
  unsigned long long hsps = 0;
  for (const auto& table : dp.tables) {
    if (!table->hits) continue;
    hits += table->hits->size();
    for (const auto& hit : *table->hits) hsps += hit->alignments.size();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double seconds = std::chrono::duration<double>(stop - start).count();
  std::printf("file\t%s\nloaded\t%d\ntables\t%zu\nhits\t%llu\nhsps\t%llu\nseconds\t%.3f\npeak_rss_kb\t%ld\n",
              path.c_str(), loaded, dp.tables.size(), hits, hsps, seconds, usage.ru_maxrss);
  // The workbench keeps a loaded table until it is closed: the process ends
  // here without freeing it, so that the times measured are the load's.
  std::fflush(stdout);
  std::_Exit(loaded == 1 ? 0 : 1);
}
