// vistram --map in-process on real reports: the TSV against the loaded records, options and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

#include "support/temp_folder.h"
#include "vistram/mapper/map_picture_writer.h"
#include "vistram/shell/batch.h"
#include "vistram/shell/batch_load.h"

namespace {

std::string Report(const char* name) { return std::string(VISTRAM_TEST_DATA_DIR) + "/" + name; }

int RunMap(std::vector<std::string> args) {
  args.insert(args.begin(), {"vistram", "--map"});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  int exitCode = -1;
  EXPECT_TRUE(RunBatchIfRequested(static_cast<int>(args.size()), argv.data(), exitCode));
  return exitCode;
}

// The lines of a TSV output split into fields.
std::vector<std::vector<std::string>> Rows(const std::string& path) {
  std::istringstream in(test_support::ReadWholeFile(path));
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    std::stringstream ss(line);
    for (rows.emplace_back(); std::getline(ss, line, '\t');) rows.back().push_back(line);
  }
  return rows;
}

// A bar per alignment in report order with the parser's score, then a line per query position.
TEST(MapBatch, TsvMatchesTheLoadedRecords) {
  test_support::TempFolder dir;
  for (const char* report : {"blast/blast_legacy_text_ncbi/biojava_ncbi_blastp_2.2.3.out", "fasta/bioperl_HUMBETGLOA.FASTA"}) {
    SCOPED_TRACE(report);
    ASSERT_EQ(RunMap({Report(report), "-o", dir / "map.tsv"}), 0);
    DataProgram dp;
    ASSERT_EQ(LoadReportForBatch(dp, Report(report)), 1);
    LoadTableIntoWorkingSet(dp, 0);
    std::vector<std::vector<std::string>> expected;
    for (const auto& hit : *dp.hits)
      for (const auto& a : hit->alignments)
        expected.push_back({"bar", std::to_string(hit->number), std::to_string(static_cast<long long>(std::trunc(a->score))),
                            std::to_string(a->queryStart), std::to_string(a->queryEnd)});
    for (int p = 1; p <= dp.header.queryLength; ++p) expected.push_back({"position", std::to_string(p)});
    std::vector<std::vector<std::string>> rows = Rows(dir / "map.tsv");
    for (auto& row : rows) {
      ASSERT_EQ(row.size(), row[0] == "bar" ? 7U : 4U);
      row = row[0] == "bar" ? std::vector<std::string>{row[0], row[1], row[3], row[5], row[6]} : std::vector<std::string>{row[0], row[1]};
    }
    EXPECT_EQ(rows, expected);
    FreeDataTable(dp);
  }
}

TEST(MapBatch, FirstAlignmentsSortedBarsAndRefusals) {
  test_support::TempFolder dir;
  const std::string report = Report("blast/blast_legacy_text_ncbi/bioperl_ex_blastp.1.txt");
  ASSERT_EQ(RunMap({"--select", "first", report, "--sort", "-o", dir / "first.tsv"}), 0);
  std::vector<int> starts;
  std::set<std::string> hits;
  for (const auto& row : Rows(dir / "first.tsv")) {
    if (row[0] == "bar" && hits.insert(row[1]).second && row[2].ends_with("  1")) starts.push_back(std::stoi(row[5]));
    else EXPECT_EQ(row[0], "position");  // each hit once, its first alignment
  }
  EXPECT_TRUE(starts.size() == 50U && std::is_sorted(starts.begin(), starts.end()));
  const std::string m = dir / "m.tsv";
  for (const auto& args : std::vector<std::vector<std::string>>{{report}, {"-o", m}, {report, "-o", dir / "m.txt"}, {report, "-o", dir / "m"},
           {report, "-o"}, {report, "-o", m, "-o", m}, {report, "-o", m, "--select", "some"}, {report, "-o", m, "--select"},
           {report, "-o", m, "--sort", "--sort"}, {report, report, "-o", m}, {report, "-o", m, "--wide"}})
    EXPECT_EQ(RunMap(args), 2) << args.size();
  EXPECT_EQ(RunMap({dir / "missing.bla", "-o", m}), 1);
  EXPECT_EQ(RunMap({report, "-o", dir / "no/folder.tsv"}), 1);
  SetMapPictureWriter(nullptr);  // without the window library's writer, pictures are refused
  EXPECT_EQ(RunMap({report, "-o", dir / "m.svg"}), 1);
  EXPECT_EQ(dir.EntryCount(), 1U);
}

}  // namespace
