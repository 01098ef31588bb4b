// Throughput of the FASTA reader on a large report, against the bare line
// reader (MYFGETS over the same file, each line upper-cased as the reader
// does), measured in the same run.
//   fasta_load_bench REPORT [ROUNDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "vistram/results/fasta_parser.h"
#include "vistram/base/line_reader.h"
#include "vistram/results/report_kind.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The baseline: every line read and upper-cased, nothing else.
double Baseline(const std::string& path, std::uint64_t& bytes) {
  LineReader reader;
  if (!reader.Open(path)) return -1;
  char line[500];
  char up[500];
  std::size_t lines = 0;
  const auto t0 = std::chrono::steady_clock::now();
  while (MYFGETS(reader, 500, line) != nullptr) {
    std::size_t i = 0;
    for (; line[i] != '\0'; ++i) up[i] = static_cast<char>(line[i] >= 'a' && line[i] <= 'z' ? line[i] - 32 : line[i]);
    up[i] = '\0';
    lines += up[0] == '>' ? 1 : 0;
  }
  bytes = reader.FileSize();
  const double s = Seconds(std::chrono::steady_clock::now() - t0);
  std::printf("  (%zu '>' lines)\n", lines);
  return s;
}

double Reader(const std::string& path, unsigned& hits, int& alignments) {
  DataProgram dp;
  const auto t0 = std::chrono::steady_clock::now();
  const int r = LitFastaForListBox(nullptr, nullptr, dp, path, kReportFastaText);
  const double s = Seconds(std::chrono::steady_clock::now() - t0);
  if (r != kFastaOk) return -1;
  hits = dp.hitCount;
  alignments = dp.alignmentCount;
  FreeHspData(dp);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s REPORT [ROUNDS]\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  double best[2] = {1e30, 1e30};
  std::uint64_t bytes = 0;
  unsigned hits = 0;
  int alignments = 0;
  for (int i = 0; i < rounds; ++i) {
    const double b = Baseline(path, bytes);
    const double r = Reader(path, hits, alignments);
    if (b < 0 || r < 0) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      return 1;
    }
    best[0] = std::min(best[0], b);
    best[1] = std::min(best[1], r);
  }
  const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
  std::printf("report: %.1f MB, %u hits, %d alignments\n", mb, hits, alignments);
  std::printf("baseline (line reader + upper case): %.3f s, %.0f MB/s\n", best[0], mb / best[0]);
  std::printf("FASTA reader (LitFastaForListBox):   %.3f s, %.0f MB/s (%.2f x baseline)\n", best[1], mb / best[1],
              best[1] / best[0]);
  return 0;
}
