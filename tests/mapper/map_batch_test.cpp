// vistram --map in-process on real reports: the TSV form against the loaded
// records, the selection and sort options, and the refusals with their exit
// codes. (Pictures need the window library: see gui/map_picture_test.cpp.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "vistram/mapper/map_picture_writer.h"
#include "vistram/shell/batch.h"
#include "vistram/shell/batch_load.h"

namespace fs = std::filesystem;

namespace {

std::string DataFile(const char* folder, const char* name) {
  return (fs::path(VISTRAM_TEST_DATA_DIR) / folder / name).string();
}

class MapBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "map_batch.XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static int Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"vistram", "--map"});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int exitCode = -1;
    EXPECT_TRUE(RunBatchIfRequested(static_cast<int>(args.size()), argv.data(), exitCode));
    return exitCode;
  }
  // The lines of a TSV output split into fields.
  static std::vector<std::vector<std::string>> Rows(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string> fields;
      std::stringstream ss(line);
      for (std::string f; std::getline(ss, f, '\t');) fields.push_back(f);
      rows.push_back(fields);
    }
    return rows;
  }
  std::string Out(const char* name) const { return (fs::path(dir_) / name).string(); }
  std::string dir_;
};

// Every alignment becomes a bar in report order with the score the parser
// read (BLAST: the bits before the decimal point; FASTA: the Smith-Waterman
// score), then one profile line per query position.
TEST_F(MapBatch, TsvMatchesTheLoadedRecords) {
  const std::string reports[] = {DataFile("blast/blast_legacy_text_ncbi", "biojava_ncbi_blastp_2.2.3.out"),
                                 DataFile("fasta", "bioperl_HUMBETGLOA.FASTA")};
  for (const std::string& report : reports) {
    SCOPED_TRACE(report);
    ASSERT_EQ(Run({report, "-o", Out("map.tsv")}), 0);
    DataProgram dp;
    ASSERT_EQ(LoadReportForBatch(dp, report), 1);
    LoadTableIntoWorkingSet(dp, 0);
    const auto rows = Rows(Out("map.tsv"));
    std::size_t r = 0;
    for (const auto& hit : *dp.hits) {
      for (const auto& ali : hit->alignments) {
        ASSERT_LT(r, rows.size());
        const auto& row = rows[r++];
        ASSERT_EQ(row.size(), 7U);
        EXPECT_EQ(row[0], "bar");
        EXPECT_EQ(row[1], std::to_string(hit->number));
        EXPECT_EQ(row[3], std::to_string(static_cast<long long>(std::trunc(ali->score))));
        EXPECT_EQ(row[5], std::to_string(ali->queryStart));
        EXPECT_EQ(row[6], std::to_string(ali->queryEnd));
      }
    }
    ASSERT_EQ(rows.size(), r + static_cast<std::size_t>(dp.header.queryLength));
    for (int p = 1; r < rows.size(); ++r, ++p) {
      ASSERT_EQ(rows[r].size(), 4U);
      EXPECT_EQ(rows[r][0] + " " + rows[r][1], "position " + std::to_string(p));
    }
    FreeDataTable(dp);
  }
}

TEST_F(MapBatch, FirstAlignmentsAndSortedBars) {
  const std::string report = DataFile("blast/blast_legacy_text_ncbi", "bioperl_ex_blastp.1.txt");
  ASSERT_EQ(Run({"--select", "first", report, "--sort", "-o", Out("first.tsv")}), 0);
  ASSERT_EQ(Run({report, "-o", Out("all.tsv")}), 0);
  std::vector<int> starts;
  std::set<std::string> hits;
  std::size_t firstBars = 0;
  for (const auto& row : Rows(Out("first.tsv"))) {
    if (row[0] != "bar") continue;
    ++firstBars;
    starts.push_back(std::stoi(row[5]));
    EXPECT_TRUE(hits.insert(row[1]).second) << "hit " << row[1] << " twice";
    EXPECT_EQ(row[2].substr(row[2].size() - 3), "  1");  // the alignment number ends the label
  }
  EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end()));
  std::size_t allBars = 0;
  for (const auto& row : Rows(Out("all.tsv"))) allBars += row[0] == "bar";
  EXPECT_EQ(allBars, 212U);
  EXPECT_EQ(firstBars, 50U);
}

TEST_F(MapBatch, WrongArgumentsAndUnreadableReports) {
  const std::string report = DataFile("blast/blast_legacy_text_ncbi", "biojava_ncbi_blastp_2.2.3.out");
  const std::vector<std::vector<std::string>> usage = {
      {report},
      {"-o", Out("m.tsv")},
      {report, "-o", Out("m.txt")},
      {report, "-o", Out("m")},
      {report, "-o"},
      {report, "-o", Out("a.tsv"), "-o", Out("b.tsv")},
      {report, "-o", Out("m.tsv"), "--select", "some"},
      {report, "-o", Out("m.tsv"), "--select"},
      {report, "-o", Out("m.tsv"), "--sort", "--sort"},
      {report, report, "-o", Out("m.tsv")},
      {report, "-o", Out("m.tsv"), "--wide"},
  };
  for (const auto& args : usage) EXPECT_EQ(Run(args), 2) << args.size();
  EXPECT_EQ(Run({Out("missing.bla"), "-o", Out("m.tsv")}), 1);
  EXPECT_EQ(Run({report, "-o", (fs::path(dir_) / "no" / "folder.tsv").string()}), 1);
  // Without the window library's writer, pictures are refused.
  SetMapPictureWriter(nullptr);
  EXPECT_EQ(Run({report, "-o", Out("m.svg")}), 1);
  EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
