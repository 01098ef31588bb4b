// Pattern search speed: 1,000 PROSITE-style patterns over an alignment of
// 1,000 rows of 750 columns, as the "Find pattern(s)" window runs it (every
// pattern prepared once, every (row, pattern) pair searched, the matches
// chained). Baseline in the same run: POSIX extended regular expressions
// compiled from the same PROSITE texts, every successive match of every row
// found with regexec (on the first patterns only unless told otherwise: the
// C library's matcher is slow, the figure is given per pattern and for the
// whole set).
//
//   build/bin/patterns_bench [BASELINE_PATTERNS (default 100)]
#include <regex.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "vistram/patterns/matcher.h"
#include "vistram/patterns/prosite.h"
#include "vistram/patterns/search_run.h"
#include "vistram/base/temp_files.h"

namespace {

constexpr std::size_t kRows = 1000;
constexpr std::size_t kColumns = 750;
constexpr std::size_t kPatterns = 1000;

double Ms(std::chrono::steady_clock::time_point a) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count();
}

// Processor time of the whole process so far, in milliseconds (the machine
// is shared: wall time alone says little).
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Real protein text (the pattern tests' sequences), cut into windows,
// lightly mutated and given gap runs as an aligner leaves them.
std::vector<PatternRow> Alignment(std::mt19937& rng) {
  std::string text;
  for (const char* f : {"fasta36_prot_test.lib", "galaxy_blast_rhodopsin_proteins.fasta", "emboss_globins.fasta"}) {
    std::ifstream in(std::string(VISTRAM_SOURCE_DIR) + "/tests/data/patterns/" + f);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '>') continue;
      for (char c : line) {
        if (c >= 'A' && c <= 'Z') text += c;
      }
    }
  }
  if (text.size() < kColumns) text.assign(kColumns * 2, 'A');
  const std::string residues = "ACDEFGHIKLMNPQRSTVWY";
  std::vector<PatternRow> rows;
  for (std::size_t r = 0; r < kRows; ++r) {
    std::string s;
    std::size_t at = rng() % (text.size() - kColumns);
    while (s.size() < kColumns) {
      if (rng() % 60 == 0) {
        s.append(1 + rng() % 8, '.');
      } else {
        char c = text[at++ % text.size()];
        if (rng() % 10 == 0) c = residues[rng() % residues.size()];
        s += c;
      }
    }
    s.resize(kColumns);
    rows.push_back({"row" + std::to_string(r + 1), s});
  }
  return rows;
}

// A PROSITE pattern shaped like the database's: 4 to 12 elements of single
// residues, groups, exclusions and x runs.
std::string PrositePattern(std::mt19937& rng) {
  const std::string residues = "ACDEFGHIKLMNPQRSTVWY";
  auto some = [&](std::size_t n) {
    std::string s;
    while (s.size() < n) {
      const char c = residues[rng() % residues.size()];
      if (s.find(c) == std::string::npos) s += c;
    }
    return s;
  };
  std::string p;
  const std::size_t n = 4 + rng() % 9;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) p += '-';
    const auto k = rng() % 100;
    if (k < 40 || i == 0 || i + 1 == n) {
      p += k % 2 == 0 ? std::string(1, residues[rng() % residues.size()]) : "[" + some(2 + rng() % 4) + "]";
    } else if (k < 70) {
      p += "[" + some(2 + rng() % 5) + "]";
    } else if (k < 78) {
      p += "{" + some(1 + rng() % 2) + "}";
    } else if (k < 90) {
      p += "x";
    } else if (k < 95) {
      p += "x(" + std::to_string(2 + rng() % 3) + ")";
    } else {
      const auto lo = rng() % 4;
      p += "x(" + std::to_string(lo) + "," + std::to_string(lo + 1 + rng() % 6) + ")";
    }
  }
  return p + ".";
}

// The POSIX expression of a PROSITE pattern; gap columns match nothing.
std::string PosixOf(const std::string& p) {
  std::string r;
  for (char c : p) {
    switch (c) {
      case '-':
      case '.':
        break;
      case 'x':
        r += "[^.-]";
        break;
      case '{':
        r += "[^.";
        break;
      case '}':
        r += "-]";  // a "-" ends the bracket, where it names itself
        break;
      case '(':
        r += '{';
        break;
      case ')':
        r += '}';
        break;
      default:
        r += c;
    }
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t baselinePatterns = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  std::mt19937 rng(20261207);
  const std::vector<PatternRow> rows = Alignment(rng);
  std::vector<std::string> prosite, ours;
  while (ours.size() < kPatterns) {
    const std::string p = PrositePattern(rng);
    std::string converted, why;
    if (!ConvertPrositePattern(p, converted, why)) continue;
    prosite.push_back(p);
    ours.push_back(converted);
  }
  ResidueClassTable table;
  CreeTableDNA(std::string(VISTRAM_SOURCE_DIR) + "/data", "PROTEINE", table);

  // Ours, in memory: every pair searched.
  auto t0 = std::chrono::steady_clock::now();
  double c0 = CpuMs();
  std::size_t foundPairs = 0, matches = 0, matchesOfFirst = 0;
  const std::size_t nb = std::min(baselinePatterns, prosite.size());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    PreparedPattern prepared(ours[i], table);
    for (const PatternRow& row : rows) {
      const SearchOutcome o = SearchRow(prepared, row.residues);
      if (o.code == kSearchFound && !o.matches.empty()) ++foundPairs;
      matches += o.matches.size();
      if (i < nb) matchesOfFirst += o.matches.size();
    }
  }
  const double oursMs = Ms(t0);
  const double oursCpu = CpuMs() - c0;

  // As the window runs it: the search thread, and RESULTS.TMP written and
  // read back in a private folder for every pair that found something.
  t0 = std::chrono::steady_clock::now();
  c0 = CpuMs();
  PrivateFolder work("vistram-patterns-");
  BackgroundSearch search(rows, ours, std::make_unique<ResidueClassTable>(table));
  search.Start();
  std::vector<PairOutcome> outcomes;
  std::size_t shown = 0;
  ResultsFile results;
  results.Create(work.Path());
  while (true) {
    outcomes.clear();
    const bool more = search.Take(outcomes);
    for (const PairOutcome& o : outcomes) {
      std::vector<PatternMatch> back;
      if (results.Write(o.outcome.matches) && results.Read(back)) {
        for (std::size_t i = 0; i < back.size(); ++i) {
          shown += MatchItemText(static_cast<unsigned>(i + 1), back[i], rows[o.row].residues).empty() ? 0 : 1;
        }
        results.Empty();
      }
    }
    if (!more) break;
    if (outcomes.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const double windowMs = Ms(t0);
  const double windowCpu = CpuMs() - c0;

  // Baseline: POSIX regular expressions of the same PROSITE texts.
  t0 = std::chrono::steady_clock::now();
  c0 = CpuMs();
  std::size_t regexMatches = 0;
  for (std::size_t i = 0; i < nb; ++i) {
    regex_t re;
    if (regcomp(&re, PosixOf(prosite[i]).c_str(), REG_EXTENDED) != 0) continue;
    for (const PatternRow& row : rows) {
      const char* s = row.residues.c_str();
      regmatch_t m;
      while (*s != '\0' && regexec(&re, s, 1, &m, 0) == 0) {
        ++regexMatches;
        s += m.rm_eo > m.rm_so ? m.rm_eo : m.rm_so + 1;
      }
    }
    regfree(&re);
  }
  const double regexMs = Ms(t0);
  const double regexCpu = CpuMs() - c0;

  const double perRegex = nb ? regexCpu / static_cast<double>(nb) : 0.0;
  std::printf("alignment: %zu rows x %zu columns; %zu patterns (PROSITE syntax, converted)\n", kRows, kColumns, kPatterns);
  std::printf("                        wall ms    cpu ms\n");
  std::printf("ours, in memory:        %8.0f  %8.0f  (%zu pairs with matches, %zu matches)\n", oursMs, oursCpu,
              foundPairs, matches);
  std::printf("ours, as the window:    %8.0f  %8.0f  (search thread + RESULTS.TMP per found pair, %zu items)\n",
              windowMs, windowCpu, shown);
  std::printf("POSIX regexec, %4zu:    %8.0f  %8.0f  (%zu matches; ours: %zu on the same patterns)\n", nb, regexMs,
              regexCpu, regexMatches, matchesOfFirst);
  std::printf("cpu ms per pattern:     ours %.3f, regexec %.3f (%.0f ms for %zu patterns)\n",
              oursCpu / kPatterns, perRegex, perRegex * kPatterns, kPatterns);
  return 0;
}
