// What the editor's model tests share: hand-made alignments, data paths, tools.
#pragma once
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "vistram/editor/msa.h"
#include "vistram/editor/msf.h"
#include "vistram/results/records.h"

using test_support::TempFolder;
using Rows = std::vector<std::pair<std::string, std::string>>;

inline std::string EditorData(const std::string& name) { return std::string(VISTRAM_TEST_DATA_DIR) + "/editor/" + name; }

struct TestHsp {
  std::string query, middle, subject;
  int queryStart = 1, subjectStart = 1, subjectEnd = 1;
};

// A working set of one hit per entry of `hits`, every alignment selected.
inline DataProgram MakeWorkingSet(const std::vector<std::vector<TestHsp>>& hits, int queryLength) {
  DataProgram dp;
  dp.header = {.queryName = "QUERYNAME_LONGER", .queryLength = queryLength};
  dp.reportPath = "/data/report.bla";
  dp.hits = std::make_shared<HitList>();
  for (const auto& hsps : hits) {
    auto& hit = dp.hits->emplace_back(std::make_unique<HspData>());
    hit->number = static_cast<int>(dp.hits->size());
    hit->identifier = "SP|P" + std::to_string(10000 + hit->number) + "|LONGNAME";
    for (const TestHsp& t : hsps) {
      AliData& a = *hit->alignments.emplace_back(std::make_unique<AliData>());
      std::tie(a.queryLine, a.middleLine, a.subjectLine, a.queryStart, a.subjectStart, a.subjectEnd) =
          std::tie(t.query, t.middle, t.subject, t.queryStart, t.subjectStart, t.subjectEnd);
      hit->selected.push_back(1);
    }
    hit->alignmentCount = static_cast<int>(hit->alignments.size());
  }
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  return dp;
}

// An MSA of `rows` named R1, R2, ...
inline std::unique_ptr<DarUvaData> MakeMsa(const std::vector<std::string>& rows) {
  auto msa = NewDarUvaData(static_cast<int>(rows.size()), rows.empty() ? 0 : static_cast<int>(rows[0].size()));
  for (std::size_t i = 0; i < rows.size(); ++i) msa->rows[i]->residues = rows[i], msa->rows[i]->name = "R" + std::to_string(i + 1);
  return msa;
}

inline std::vector<std::string> Residues(const DarUvaData& msa) {
  std::vector<std::string> out;
  for (const auto& r : msa.rows) out.push_back(r->residues);
  return out;
}

inline std::string Upper(std::string s) {
  return std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); }), s;
}

// An MSF file read as the window reads it (null when refused).
inline std::unique_ptr<DarUvaData> ReadMsf(const std::string& path) {
  int rows = 0, columns = 0;
  return AnalyseMSFHeader(path, rows, columns) ? ReadMSFforSeq(path, rows, columns, "") : nullptr;
}

// Runs `command` (a shell line of the test's own making); its standard output.
inline std::string RunTool(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  *status = pipe ? pclose(pipe) : -1;
  return out;
}

// Rows of a FASTA text by name (the header's first word), gaps as '.', upper case.
inline Rows FastaRows(const std::string& text) {
  Rows rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '>') rows.push_back({line.substr(1, line.find_first_of(" \t\r") - 1), ""});
    else if (!rows.empty())
      for (char c : line) rows.back().second += c == '-' || c == '~' || c == '.' ? "." : c == ' ' || c == '\r' ? "" : Upper({c});
  }
  return rows;
}

// The rows EMBOSS seqret reads in an MSF file.
inline Rows SeqretRows(const std::string& path, int* status) {
  return FastaRows(RunTool("seqret -sequence 'msf::" + path + "' -osformat fasta -outseq stdout -auto 2>/dev/null", status));
}
