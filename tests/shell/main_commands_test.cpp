#include "vistram/shell/main_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {
// A working set of hits with the given numbers of alignments, as one table.
std::unique_ptr<DataProgram> MakeProgram(std::initializer_list<int> alignmentsPerHit) {
  auto dp = std::make_unique<DataProgram>();
  dp->hits = std::make_shared<HitList>();
  for (int n : alignmentsPerHit) {
    auto hit = std::make_unique<HspData>();
    hit->number = static_cast<int>(dp->hits->size()) + 1;
    hit->alignmentCount = n;
    for (int i = 0; i < n; ++i) hit->alignments.push_back(std::make_unique<AliData>());
    hit->selected.assign(static_cast<std::size_t>(n), 0);
    dp->hits->push_back(std::move(hit));
    dp->alignmentCount += n;
  }
  dp->hitCount = static_cast<unsigned>(dp->hits->size());
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
}  // namespace

TEST(MainCommands, CommandLineTitlesAndDataState) {
  char a0[] = "vistram", a1[] = "/data/my", a2[] = "report.bla";
  char* argv[] = {a0, a1, a2};
  EXPECT_EQ(JoinArguments(3, argv), "/data/my report.bla");
  EXPECT_EQ(JoinArguments(1, argv), "");
  const CommandLine report = ParseCommandLine("/data/my report.bla");
  EXPECT_EQ(report.path, "/data/my report.bla");
  EXPECT_FALSE(report.msf || report.tooLong);
  const CommandLine msf = ParseCommandLine("/data/align.msf {msf_file}");
  EXPECT_TRUE(msf.msf);
  EXPECT_EQ(msf.path, "/data/align.msf");
  EXPECT_TRUE(ParseCommandLine("").path.empty());
  EXPECT_FALSE(ParseCommandLine(std::string(259, 'a')).tooLong);
  EXPECT_TRUE(ParseCommandLine(std::string(260, 'a')).tooLong);

  const char* titles[] = {"Vistram ", "Vistram - BLAST", "Vistram - BLAST 2", "Vistram - FASTA", "Vistram - Mixed results"};
  for (int kind = 0; kind < 5; ++kind) EXPECT_EQ(ResultTitle(kind), titles[kind]);

  EXPECT_FALSE(HasData(DataProgram()));
  auto dp = MakeProgram({1});
  EXPECT_TRUE(HasData(*dp));
  EXPECT_FALSE(HasHtmlData(*dp));
  dp->header.isHtml = 1;
  EXPECT_TRUE(HasHtmlData(*dp));
  LeaveCurrentTable(*dp);  // the working set emptied while a load runs
  EXPECT_FALSE(HasData(*dp) || HasHtmlData(*dp));
}

TEST(MainCommands, SelectionCommandsAndToggle) {
  auto dp = MakeProgram({3, 1, 2});
  (*dp->hits)[0]->selected[2] = 1;
  SelectAllFirstAlignments(*dp);
  EXPECT_EQ(Flags(*dp), (std::vector<int>{1, 0, 1, 1, 1, 0}));  // other flags kept
  SelectAllAlignments(*dp);
  EXPECT_EQ(Flags(*dp), (std::vector<int>{1, 1, 1, 1, 1, 1}));
  UnselectAllAlignments(*dp);
  EXPECT_EQ(Flags(*dp), (std::vector<int>{0, 0, 0, 0, 0, 0}));
  (*dp->hits)[1]->selected.clear();  // never allocated: gets one
  SelectAllAlignments(*dp);
  EXPECT_EQ((*dp->hits)[1]->selected, std::vector<int>{1});

  UnselectAllAlignments(*dp);
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 1, 2), 1);
  EXPECT_EQ(AlignmentSelected(*dp, 1, 2), 1);
  EXPECT_EQ(AlignmentSelected(*dp, 1, 1), 0);
  (*dp->hits)[2]->selected[0] = 7;  // anything non-zero counts as selected and becomes 0
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 3, 1), 0);
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 2, 2), -1);
  EXPECT_EQ(ToggleAlignmentSelection(*dp, 4, 1), -1);
  EXPECT_EQ(AlignmentSelected(*dp, 0, 1), -1);
}

TEST(MainCommands, SteppedAlignmentStaysInsideTheHit) {
  auto dp = MakeProgram({3, 1});
  EXPECT_EQ(SteppedAlignment(*dp, 1), 0);  // nothing shown
  const struct {
    int hit, alignment, next, previous;
  } rows[] = {{1, 1, 2, 0}, {1, 3, 0, 2}, {2, 1, 0, 0}};
  for (const auto& r : rows) {
    dp->viewer = std::make_unique<VisualHaspData>();
    dp->viewer->hitNumber = r.hit;
    dp->viewer->alignmentNumber = r.alignment;
    EXPECT_EQ(SteppedAlignment(*dp, 1), r.next) << r.hit << "/" << r.alignment;
    EXPECT_EQ(SteppedAlignment(*dp, -1), r.previous) << r.hit << "/" << r.alignment;
  }
}

TEST(MainCommands, RenameTheTableAndItsFile) {
  auto dp = MakeProgram({2, 3});
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

  for (const auto& [name, path] : std::vector<std::pair<std::string, std::string>>{
           {"mine", "/home/u/r/mine.vist"}, {"mine.txt", "/home/u/r/mine.txt"}, {"../escape", ""}, {"..", ""}, {"", ""}})
    EXPECT_EQ(RenamedSourcePath("/home/u/r/report.bla", name), path) << name;
  EXPECT_EQ(RenamedSourcePath("/" + std::string(250, 'd') + "/r.bla", "longer_name"), "");

  test_support::TempFolder dir;
  const std::string source = dir.Write("report.bla", "report"), taken = dir.Write("taken.vist", "keep me");
  dp->tables[0]->sourcePath = dp->reportPath = source;
  // Never over another file; the path stays on failure.
  EXPECT_EQ(RenameCurrentTableFile(*dp, "taken"), FileRenameResult::Failed);
  EXPECT_EQ(test_support::ReadWholeFile(taken), "keep me");
  EXPECT_TRUE(fs::exists(source));
  EXPECT_EQ(dp->tables[0]->sourcePath, source);
  EXPECT_EQ(RenameCurrentTableFile(*dp, "mine"), FileRenameResult::Renamed);
  EXPECT_FALSE(fs::exists(source));
  EXPECT_TRUE(fs::exists(dir / "mine.vist"));
  EXPECT_EQ(dp->tables[0]->sourcePath, dir / "mine.vist");
  EXPECT_EQ(dp->reportPath, dir / "mine.vist");
  fs::remove(dir / "mine.vist");  // gone behind our back
  EXPECT_EQ(RenameCurrentTableFile(*dp, "gone"), FileRenameResult::Failed);
  EXPECT_EQ(dp->tables[0]->sourcePath, dir / "mine.vist");
  dp->tables[0]->sourcePath.clear();  // a table made by a search
  EXPECT_EQ(RenameCurrentTableFile(*dp, "x"), FileRenameResult::NoFile);

  dp->header.queryName = "MOPB_RHOCA";
  dp->header.queryLengthText = "(270 letters)";
  dp->header.databaseText = "swissprot";
  const FileHeaderTexts t = FileHeaderInfo(*dp);
  EXPECT_EQ((std::vector<std::string>{t.sequenceName, t.databaseName, t.sequenceCount, t.alignmentCount}),
            (std::vector<std::string>{"MOPB_RHOCA (270 letters)", "swissprot", "2", "5"}));
}
