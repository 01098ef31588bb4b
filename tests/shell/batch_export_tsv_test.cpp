#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "results/blast_test_util.h"
#include "support/temp_folder.h"
#include "vistram/shell/batch.h"
#include "vistram/shell/batch_commands.h"

using blasttest::DataPath;
using blasttest::TempDir;

namespace {

using test_support::ReadWholeFile;

std::vector<std::vector<std::string>> Rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', start);
      cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// Runs the command with standard error captured.
int Export(std::vector<std::string> args, std::string& err) {
  TempDir d;
  const std::string errPath = d.path() + "/err";
  fflush(stderr);
  const int saved = ::dup(2);
  const int fd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(fd, 2);
  ::close(fd);
  std::vector<char*> argv;
  args.insert(args.begin(), {"vistram", "--export-tsv"});
  for (auto& a : args) argv.push_back(a.data());
  int code = -1;
  const bool ran = RunBatchIfRequested(static_cast<int>(argv.size()), argv.data(), code);
  fflush(stderr);
  ::dup2(saved, 2);
  ::close(saved);
  err = ReadWholeFile(errPath);
  return ran ? code : -100;
}

TEST(ExportTsv, WritesOneRowPerAlignmentOfEveryTable) {
  TempDir dir;
  const std::string out = dir.path() + "/out.tsv";
  std::string err;
  ASSERT_EQ(Export({DataPath("blastplus_text/bioperl_multiresult_blastn+.bls"), "-o", out}, err), 0) << err;
  const auto rows = Rows(ReadWholeFile(out));
  ASSERT_EQ(rows.size(), 1u + 36u);
  const std::vector<std::string> header = {
      "table",     "hit",       "identifier",  "description", "length",   "score_text",    "expect_text",
      "url",       "alignment", "score",       "expect",      "identity", "hca",           "align_length",
      "positives", "p_value",   "initn",       "init1",       "opt",      "z_score",       "query_start",
      "query_end", "subject_start", "subject_end", "gapped"};
  EXPECT_EQ(rows[0], header);
  for (const auto& r : rows) ASSERT_EQ(r.size(), header.size());
  EXPECT_EQ(rows[1][0], "bioperl_multiresult_blastn+.bls");
  EXPECT_EQ(rows[1][1], "1");
  EXPECT_EQ(rows[1][2], "GI|194750627|REF|XM_001957596.1|");
  EXPECT_EQ(rows[1][8], "1");
  EXPECT_EQ(std::strtod(rows[1][9].c_str(), nullptr), 42.8);
  EXPECT_EQ(rows[1][16], "-1");  // initn: not in a BLAST report
  EXPECT_EQ(rows[14][0], "bioperl_multiresult_blastn+.bls (query 2)");
  EXPECT_EQ(rows[14][1], "1");
  // No temporary file is left beside the output.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(ExportTsv, NumbersReadBackExactlyAndTextsHaveNoTabs) {
  TempDir dir;
  const std::string report = dir.Write(
      "t.bla",
      "BLASTP Altschul\nQuery= Q\n  (10 letters)\nDatabase: d\n x\n"
      ">ID1 a\tdescription with a tab\n Length = 10\n"
      " Score = 0.1 bits (1), Expect = 3.333333333333333e-7, P = 0.30000000000000004\n"
      " Identities = 1/3 (33.33333333333333%)\n"
      "Query: 1 ABC 3\n         A\nSbjct: 1 ABC 3\n  Database: d\n    Posted date: x\n");
  std::string err;
  const std::string out = dir.path() + "/o.tsv";
  ASSERT_EQ(Export({report, "-o", out}, err), 0) << err;
  const auto rows = Rows(ReadWholeFile(out));
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_EQ(rows[1].size(), 25u);
  EXPECT_EQ(rows[1][3], "A DESCRIPTION WITH A TAB");
  EXPECT_EQ(std::strtod(rows[1][9].c_str(), nullptr), 0.1);
  EXPECT_EQ(std::strtod(rows[1][10].c_str(), nullptr), 3.333333333333333e-7);
  EXPECT_EQ(std::strtod(rows[1][11].c_str(), nullptr), 33.33333333333333);
  EXPECT_EQ(std::strtod(rows[1][15].c_str(), nullptr), 0.30000000000000004);
}

TEST(ExportTsv, UnreadableReportLeavesTheOutputAlone) {
  TempDir dir;
  const std::string out = dir.Write("keep.tsv", "previous contents\n");
  const std::string bad = dir.Write("bad.txt", "not a report\n");
  std::string err;
  EXPECT_EQ(Export({bad, "-o", out}, err), 1);
  EXPECT_NE(err.find("Unable to open or read your file.\nPlease, check the file :\n" + bad + "."), std::string::npos);
  EXPECT_EQ(ReadWholeFile(out), "previous contents\n");
  EXPECT_EQ(Export({DataPath("blast_legacy_text_truncated/bioperl_ex_NCBI_blastn.txt"), "-o", out}, err), 1);
  EXPECT_EQ(ReadWholeFile(out), "previous contents\n");
  // An output folder that does not exist: an error, nothing written.
  EXPECT_EQ(Export({DataPath("blast_legacy_text_ncbi/bioperl_multi_blast.bls"), "-o", dir.path() + "/no/such.tsv"},
                   err),
            1);
  EXPECT_NE(err.find("cannot write"), std::string::npos);
  // Usage errors.
  EXPECT_EQ(Export({}, err), 2);
  EXPECT_EQ(Export({"a", "-o"}, err), 2);
}

}  // namespace
