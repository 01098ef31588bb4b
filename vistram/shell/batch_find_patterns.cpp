// vistram --find-patterns IN (--pattern TEXT | --patterns FILE.mot)
// [--select all|first]: the pattern search of the "Find pattern(s)" window
// over every row of the alignment in IN, one line per match on standard
// output: row name, tab, pattern, tab, the match as the result tree shows it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vistram/editor/msa_batch.h"
#include "vistram/patterns/motif_file.h"
#include "vistram/patterns/pattern_row.h"
#include "vistram/patterns/search_run.h"
#include "vistram/shell/batch_commands.h"

// The rows of the alignment in `in` (an MSF file, or a report whose
// alignment is built from all its alignments or only the first one of each
// hit). False with the reason in `message` when it cannot be read.
bool LoadPatternRows(const std::string& in, bool firstOnly, std::vector<PatternRow>& rows, std::string& message) {
  rows.clear();
  DarUvaData msa;
  if (LoadMsaForBatch(in, firstOnly, msa, message) != 1) return false;
  rows.reserve(msa.rows.size());
  for (const auto& row : msa.rows) rows.push_back(PatternRow{row->name, row->residues});
  return true;
}

namespace {

struct FindArguments {
  std::string input;
  std::string pattern;
  std::string patternFile;
  bool havePattern = false;
  bool firstOnly = false;
};

bool ParseArguments(int argc, char** argv, FindArguments& a) {
  bool haveSelect = false;
  for (int i = 0; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--pattern") == 0 && hasValue && !a.havePattern && a.patternFile.empty()) {
      a.pattern = argv[++i];
      a.havePattern = true;
    } else if (std::strcmp(argv[i], "--patterns") == 0 && hasValue && !a.havePattern && a.patternFile.empty()) {
      a.patternFile = argv[++i];
      if (a.patternFile.empty()) return false;
    } else if (std::strcmp(argv[i], "--select") == 0 && hasValue && !haveSelect) {
      const std::string v = argv[++i];
      if (v != "all" && v != "first") return false;
      a.firstOnly = v == "first";
      haveSelect = true;
    } else if (a.input.empty() && argv[i][0] != '-' && argv[i][0] != '\0') {
      a.input = argv[i];
    } else {
      return false;
    }
  }
  return !a.input.empty() && (a.havePattern || !a.patternFile.empty());
}

}  // namespace

int RunFindPatterns(int argc, char** argv) {
  FindArguments a;
  if (!ParseArguments(argc, argv, a)) return 2;
  PatternFileState state;
  std::string description;
  if (!a.patternFile.empty()) {
    if (!ReadMotifs(a.patternFile, state.entries)) {
      std::fprintf(stderr, "%s: %s\n", a.patternFile.c_str(), kMsgPatternFileProblem);
      return 1;
    }
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < state.entries.size(); ++i) all.push_back(i);
    if (!ChooseEntries(state, all)) {
      std::fprintf(stderr, "%s: %s\n", a.patternFile.c_str(), kMsgPatternFileProblem);
      return 1;
    }
    description = kAllPatterns;
  }
  const std::vector<std::string> patterns = PatternsToSearch(description, a.pattern, state);
  ResidueClassTable table;
  if (!CreeTableDNA(TableFolder(TableBaseName(SequenceKind::Protein)), TableBaseName(SequenceKind::Protein), table)) {
    std::fprintf(stderr, "%s\n", kMsgNoTable);
    return 1;
  }
  std::vector<PatternRow> rows;
  std::string message;
  if (!LoadPatternRows(a.input, a.firstOnly, rows, message)) {
    std::fprintf(stderr, "%s: %s\n", a.input.c_str(), message.c_str());
    return 1;
  }
  return WriteFindPatternLines(rows, patterns, table, stdout, stderr) ? 0 : 1;
}
