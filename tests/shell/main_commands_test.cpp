#include "vistram/shell/main_commands.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// A working set of hits with the given numbers of alignments, as one table.
std::unique_ptr<DataProgram> MakeProgram(std::initializer_list<int> alignmentsPerHit) {
  auto dp = std::make_unique<DataProgram>();
  auto hits = std::make_shared<HitList>();
  int number = 0;
  for (int n : alignmentsPerHit) {
    auto hit = std::make_unique<HspData>();
    hit->number = ++number;
    hit->alignmentCount = n;
    for (int i = 0; i < n; ++i) hit->alignments.push_back(std::make_unique<AliData>());
    hit->selected.assign(static_cast<std::size_t>(n), 0);
    hits->push_back(std::move(hit));
  }
  dp->hits = hits;
  dp->hitCount = static_cast<unsigned>(hits->size());
  dp->alignmentCount = 0;
  for (int n : alignmentsPerHit) dp->alignmentCount += n;
  dp->tableName = "first.bla";
  EXPECT_EQ(CreateTableEntry(*dp), 1);
  dp->tableNames = {"first.bla"};
  dp->tableNameCount = 1;
  return dp;
}

std::vector<int> Flags(const DataProgram& dp) {
  std::vector<int> out;
  for (const auto& h : *dp.hits) out.insert(out.end(), h->selected.begin(), h->selected.end());
  return out;
}

void ShowAlignment(DataProgram& dp, int hit, int alignment) {
  dp.viewer = std::make_unique<VisualHaspData>();
  dp.viewer->hitNumber = hit;
  dp.viewer->alignmentNumber = alignment;
}
}  // namespace

TEST(CommandLineTest, ReportPathMsfMarkerAndLimits) {
  char a0[] = "vistram", a1[] = "/data/my", a2[] = "report.bla";
  char* argv[] = {a0, a1, a2};
  EXPECT_EQ(JoinArguments(3, argv), "/data/my report.bla");
  EXPECT_EQ(JoinArguments(1, argv), "");

  CommandLine report = ParseCommandLine("/data/my report.bla");
  EXPECT_EQ(report.path, "/data/my report.bla");
  EXPECT_FALSE(report.msf);
  EXPECT_FALSE(report.tooLong);

  CommandLine msf = ParseCommandLine("/data/align.msf {msf_file}");
  EXPECT_TRUE(msf.msf);
  EXPECT_EQ(msf.path, "/data/align.msf");

  EXPECT_TRUE(ParseCommandLine("").path.empty());
  EXPECT_FALSE(ParseCommandLine(std::string(259, 'a')).tooLong);
  EXPECT_TRUE(ParseCommandLine(std::string(260, 'a')).tooLong);
}

TEST(DataStateTest, TitlesAndEnabling) {
  EXPECT_EQ(ResultTitle(1), "Vistram - BLAST");
  EXPECT_EQ(ResultTitle(2), "Vistram - BLAST 2");
  EXPECT_EQ(ResultTitle(3), "Vistram - FASTA");
  EXPECT_EQ(ResultTitle(4), "Vistram - Mixed results");
  EXPECT_EQ(ResultTitle(0), "Vistram ");

  DataProgram empty;
  EXPECT_FALSE(HasData(empty));
  auto dp = MakeProgram({1});
  EXPECT_TRUE(HasData(*dp));
  EXPECT_FALSE(HasHtmlData(*dp));
  dp->header.isHtml = 1;
  EXPECT_TRUE(HasHtmlData(*dp));
  LeaveCurrentTable(*dp);  // the working set emptied while a load runs
  EXPECT_FALSE(HasData(*dp));
  EXPECT_FALSE(HasHtmlData(*dp));
}

TEST(SelectionCommandsTest, FirstAllAndNone) {
  auto dp = MakeProgram({3, 1, 2});
  (*dp->hits)[0]->selected[2] = 1;
  SelectAllFirstAlignments(*dp);
  EXPECT_EQ(Flags(*dp), (std::vector<int>{1, 0, 1, 1, 1, 0}));  // other flags kept
  SelectAllAlignments(*dp);
  EXPECT_EQ(Flags(*dp), (std::vector<int>{1, 1, 1, 1, 1, 1}));
  UnselectAllAlignments(*dp);
  EXPECT_EQ(Flags(*dp), (std::vector<int>{0, 0, 0, 0, 0, 0}));

  // A hit whose selection array was never allocated gets one.
  (*dp->hits)[1]->selected.clear();
  SelectAllAlignments(*dp);
  EXPECT_EQ((*dp->hits)[1]->selected, std::vector<int>{1});
}

TEST(SelectionCommandsTest, ToggleInvertsOneFlag) {
  auto dp = MakeProgram({2, 1});
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 1, 2), 1);
  EXPECT_EQ(AlignmentSelected(*dp, 1, 2), 1);
  EXPECT_EQ(AlignmentSelected(*dp, 1, 1), 0);
  (*dp->hits)[1]->selected[0] = 7;  // anything non-zero counts as selected and becomes 0
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 2, 1), 0);
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 2, 2), -1);
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 3, 1), -1);
  EXPECT_EQ(AlignmentSelected(*dp, 0, 1), -1);
}

TEST(SteppedAlignmentTest, StaysInsideTheHit) {
  auto dp = MakeProgram({3, 1});
  EXPECT_EQ(SteppedAlignment(*dp, 1), 0);  // nothing shown
  ShowAlignment(*dp, 1, 1);
  EXPECT_EQ(SteppedAlignment(*dp, 1), 2);
  EXPECT_EQ(SteppedAlignment(*dp, -1), 0);
  ShowAlignment(*dp, 1, 3);
  EXPECT_EQ(SteppedAlignment(*dp, 1), 0);  // '+' at the last alignment does nothing
  EXPECT_EQ(SteppedAlignment(*dp, -1), 2);
  ShowAlignment(*dp, 2, 1);
  EXPECT_EQ(SteppedAlignment(*dp, 1), 0);
  EXPECT_EQ(SteppedAlignment(*dp, -1), 0);
}

TEST(RenameTest, TableAndNameListFollowOnlyThatName) {
  auto dp = MakeProgram({1});
  dp->tableNames = {"first.bla", "first.bla (query 2)", "other"};
  dp->tableNameCount = 3;
  ASSERT_TRUE(RenameCurrentTable(*dp, "renamed"));
  EXPECT_EQ(dp->tables[0]->name, "renamed");
  EXPECT_EQ(dp->tableName, "renamed");
  // Names that only contain the old name belong to other tables and stay.
  EXPECT_EQ(dp->tableNames, (std::vector<std::string>{"renamed", "first.bla (query 2)", "other"}));
  EXPECT_FALSE(RenameCurrentTable(*dp, ""));
  DataProgram none;
  EXPECT_FALSE(RenameCurrentTable(none, "x"));
}

TEST(RenameTest, RenamedPath) {
  EXPECT_EQ(RenamedSourcePath("/home/u/r/report.bla", "mine"), "/home/u/r/mine.vist");
  EXPECT_EQ(RenamedSourcePath("/home/u/r/report.bla", "mine.txt"), "/home/u/r/mine.txt");
  EXPECT_EQ(RenamedSourcePath("/home/u/r/report.bla", "../escape"), "");
  EXPECT_EQ(RenamedSourcePath("/home/u/r/report.bla", ".."), "");
  EXPECT_EQ(RenamedSourcePath("/home/u/r/report.bla", ""), "");
  EXPECT_EQ(RenamedSourcePath("/" + std::string(250, 'd') + "/r.bla", "longer_name"), "");
}

class RenameFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = folder_.path();
    source_ = (dir_ / "report.bla").string();
    std::ofstream(source_) << "report";
    dp_ = MakeProgram({1});
    dp_->tables[0]->sourcePath = source_;
    dp_->reportPath = source_;
  }
  test_support::TempFolder folder_;
  fs::path dir_;
  std::string source_;
  std::unique_ptr<DataProgram> dp_;
};

TEST_F(RenameFileTest, RenamesAndFollows) {
  EXPECT_EQ(RenameCurrentTableFile(*dp_, "mine"), FileRenameResult::Renamed);
  const std::string target = (dir_ / "mine.vist").string();
  EXPECT_TRUE(fs::exists(target));
  EXPECT_FALSE(fs::exists(source_));
  EXPECT_EQ(dp_->tables[0]->sourcePath, target);
  EXPECT_EQ(dp_->reportPath, target);
}

TEST_F(RenameFileTest, NeverReplacesAnotherFileAndKeepsThePathOnFailure) {
  std::ofstream(dir_ / "taken.vist") << "keep me";
  EXPECT_EQ(RenameCurrentTableFile(*dp_, "taken"), FileRenameResult::Failed);
  std::ifstream in(dir_ / "taken.vist");
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "keep me");
  EXPECT_TRUE(fs::exists(source_));
  EXPECT_EQ(dp_->tables[0]->sourcePath, source_);

  fs::remove(source_);  // the file went away behind our back
  EXPECT_EQ(RenameCurrentTableFile(*dp_, "gone"), FileRenameResult::Failed);
  EXPECT_EQ(dp_->tables[0]->sourcePath, source_);

  dp_->tables[0]->sourcePath.clear();  // a table made by a search
  EXPECT_EQ(RenameCurrentTableFile(*dp_, "x"), FileRenameResult::NoFile);
}

TEST(FileHeaderTest, Texts) {
  auto dp = MakeProgram({2, 3});
  dp->header.queryName = "MOPB_RHOCA";
  dp->header.queryLengthText = "(270 letters)";
  dp->header.databaseText = "swissprot";
  const FileHeaderTexts t = FileHeaderInfo(*dp);
  EXPECT_EQ(t.sequenceName, "MOPB_RHOCA (270 letters)");
  EXPECT_EQ(t.databaseName, "swissprot");
  EXPECT_EQ(t.sequenceCount, "2");
  EXPECT_EQ(t.alignmentCount, "5");
}
