// What the editor's model tests share: small alignments made by hand, and
// the test data folder.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "vistram/editor/msa.h"
#include "vistram/results/records.h"

inline std::string EditorData(const std::string& name) { return std::string(VISTRAM_TEST_DATA_DIR) + "/editor/" + name; }

// One HSP of a hand-made working set.
struct TestHsp {
  std::string query, middle, subject;
  int queryStart = 1;
  int subjectStart = 1;
  int subjectEnd = 1;
};

// A working set of one hit per entry of `hits` (each hit's HSPs in order),
// every alignment selected, with a query of `queryLength` residues.
inline DataProgram MakeWorkingSet(const std::vector<std::vector<TestHsp>>& hits, int queryLength,
                                  const std::string& queryName = "QUERYNAME_LONGER") {
  DataProgram dp;
  dp.header.queryLength = queryLength;
  dp.header.queryName = queryName;
  dp.reportPath = "/data/report.bla";
  dp.hits = std::make_shared<HitList>();
  int n = 0;
  for (const auto& hsps : hits) {
    auto hit = std::make_unique<HspData>();
    hit->number = ++n;
    hit->identifier = "SP|P" + std::to_string(10000 + n) + "|LONGNAME";
    for (const TestHsp& t : hsps) {
      auto ali = std::make_unique<AliData>();
      ali->queryLine = t.query;
      ali->middleLine = t.middle;
      ali->subjectLine = t.subject;
      ali->queryStart = t.queryStart;
      ali->subjectStart = t.subjectStart;
      ali->subjectEnd = t.subjectEnd;
      hit->alignments.push_back(std::move(ali));
      hit->selected.push_back(1);
    }
    hit->alignmentCount = static_cast<int>(hit->alignments.size());
    dp.hits->push_back(std::move(hit));
  }
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  return dp;
}

// An MSA whose rows hold `rows` (names "R1", "R2", ...), coloured black on white.
inline std::unique_ptr<DarUvaData> MakeMsa(const std::vector<std::string>& rows) {
  const int columns = rows.empty() ? 0 : static_cast<int>(rows[0].size());
  auto msa = NewDarUvaData(static_cast<int>(rows.size()), columns);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    msa->rows[i]->residues = rows[i];
    msa->rows[i]->name = "R" + std::to_string(i + 1);
  }
  return msa;
}

inline std::vector<std::string> Residues(const DarUvaData& msa) {
  std::vector<std::string> out;
  for (const auto& r : msa.rows) out.push_back(r->residues);
  return out;
}

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

// A folder of its own for one test, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/vistram-editor-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "";
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteWhole(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// Runs `command` (an argument-free shell line of the test's own making) and
// returns its standard output; `status` receives its exit status.
inline std::string RunTool(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int rc = pclose(pipe);
  if (status) *status = rc;
  return out;
}

// Sequences of a FASTA text, by name (the header's first word), gaps as '.',
// residues upper-cased.
inline std::vector<std::pair<std::string, std::string>> FastaRows(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '>') {
      rows.push_back({line.substr(1, line.find_first_of(" \t") == std::string::npos ? std::string::npos
                                                                                    : line.find_first_of(" \t") - 1),
                      ""});
      continue;
    }
    if (rows.empty()) continue;
    for (char c : line) {
      if (c == '-' || c == '~' || c == '.') rows.back().second += '.';
      else if (c != ' ') rows.back().second += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return rows;
}
