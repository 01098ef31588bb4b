#include "vistram/shell/main_commands.h"
#include "vistram/shell/recent_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_folder.h"

namespace fs = std::filesystem;
using V = std::vector<std::string>;

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
  EXPECT_TRUE(JoinArguments(3, argv) == "/data/my report.bla" && JoinArguments(1, argv).empty());
  const CommandLine report = ParseCommandLine("/data/my report.bla"), msf = ParseCommandLine("/data/align.msf {msf_file}");
  EXPECT_TRUE(report.path == "/data/my report.bla" && !report.msf && !report.tooLong);
  EXPECT_TRUE(msf.path == "/data/align.msf" && msf.msf);
  EXPECT_TRUE(ParseCommandLine("").path.empty() && !ParseCommandLine(std::string(259, 'a')).tooLong);
  EXPECT_TRUE(ParseCommandLine(std::string(260, 'a')).tooLong);

  const char* titles[] = {"Vistram ", "Vistram - BLAST", "Vistram - BLAST 2", "Vistram - FASTA", "Vistram - Mixed results"};
  for (int kind = 0; kind < 5; ++kind) EXPECT_EQ(ResultTitle(kind), titles[kind]);

  EXPECT_FALSE(HasData(DataProgram()));
  auto dp = MakeProgram({1});
  EXPECT_TRUE(HasData(*dp) && !HasHtmlData(*dp));
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
  EXPECT_EQ((std::vector<int>{AlignmentSelected(*dp, 1, 2), AlignmentSelected(*dp, 1, 1)}), (std::vector<int>{1, 0}));
  (*dp->hits)[2]->selected[0] = 7;  // anything non-zero counts as selected and becomes 0
  EXPECT_EQ((std::vector<int>{ToggleAlignmentSelection(*dp, 3, 1), ToggleAlignmentSelection(*dp, 2, 2),
                              ToggleAlignmentSelection(*dp, 4, 1), AlignmentSelected(*dp, 0, 1)}),
            (std::vector<int>{0, -1, -1, -1}));
}

TEST(MainCommands, SteppedAlignmentStaysInsideTheHit) {
  auto dp = MakeProgram({3, 1});
  EXPECT_EQ(SteppedAlignment(*dp, 1), 0);  // nothing shown
  for (const auto& [hit, alignment, next, previous] :
       std::vector<std::tuple<int, int, int, int>>{{1, 1, 2, 0}, {1, 3, 0, 2}, {2, 1, 0, 0}}) {
    dp->viewer = std::make_unique<VisualHaspData>();
    dp->viewer->hitNumber = hit;
    dp->viewer->alignmentNumber = alignment;
    EXPECT_EQ((std::vector<int>{SteppedAlignment(*dp, 1), SteppedAlignment(*dp, -1)}), (std::vector<int>{next, previous}));
  }
}

TEST(MainCommands, RenameTheTableAndItsFile) {
  auto dp = MakeProgram({2, 3});
  dp->tableNames = {"first.bla", "first.bla (query 2)", "other"};
  dp->tableNameCount = 3;
  ASSERT_TRUE(RenameCurrentTable(*dp, "renamed"));
  EXPECT_TRUE(dp->tables[0]->name == "renamed" && dp->tableName == "renamed");
  // Names that only contain the old name belong to other tables and stay.
  EXPECT_EQ(dp->tableNames, (std::vector<std::string>{"renamed", "first.bla (query 2)", "other"}));
  DataProgram none;
  EXPECT_FALSE(RenameCurrentTable(*dp, "") || RenameCurrentTable(none, "x"));

  for (const auto& [name, path] : std::vector<std::pair<std::string, std::string>>{
           {"mine", "/home/u/r/mine.vist"}, {"mine.txt", "/home/u/r/mine.txt"}, {"../escape", ""}, {"..", ""}, {"", ""}})
    EXPECT_EQ(RenamedSourcePath("/home/u/r/report.bla", name), path) << name;
  EXPECT_EQ(RenamedSourcePath("/" + std::string(250, 'd') + "/r.bla", "longer_name"), "");

  test_support::TempFolder dir;
  const std::string source = dir.Write("report.bla", "report"), taken = dir.Write("taken.vist", "keep me");
  dp->tables[0]->sourcePath = dp->reportPath = source;
  // Never over another file; the path stays on failure.
  EXPECT_EQ(RenameCurrentTableFile(*dp, "taken"), FileRenameResult::Failed);
  EXPECT_TRUE(test_support::ReadWholeFile(taken) == "keep me" && fs::exists(source));
  EXPECT_EQ(dp->tables[0]->sourcePath, source);
  EXPECT_EQ(RenameCurrentTableFile(*dp, "mine"), FileRenameResult::Renamed);
  EXPECT_TRUE(!fs::exists(source) && fs::exists(dir / "mine.vist"));
  EXPECT_EQ((V{dp->tables[0]->sourcePath, dp->reportPath}), (V{dir / "mine.vist", dir / "mine.vist"}));
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

namespace {


TEST(RecentFiles, PushKeepsTheLatestTenWithoutRepeats) {
  V list;
  for (int i = 1; i <= 12; ++i) list = PushRecentFile(list, "/r/" + std::to_string(i));
  ASSERT_EQ(list.size(), kMaxRecentFiles);
  EXPECT_TRUE(list.front() == "/r/12" && list.back() == "/r/3");
  // An entry opened again moves to the top, once.
  list = PushRecentFile(list, "/r/7");
  ASSERT_EQ(list.size(), kMaxRecentFiles);
  EXPECT_EQ(V(list.begin(), list.begin() + 2), (V{"/r/7", "/r/12"}));
  EXPECT_EQ(std::count(list.begin(), list.end(), "/r/7"), 1);
  // What a profile line cannot hold is not added.
  for (const char* bad : {"", "/r/a\nb", "/r/a\rb"}) EXPECT_EQ(PushRecentFile(list, bad), list) << bad;
}

TEST(RecentFiles, KeptInTheConfigurationBesideTheOtherSettings) {
  test_support::TempFolder dir;
  const std::string cfg = dir.Write("vistram.cfg", "; mine\n[GUI_PREF]\nLBLINES=3\n");
  const V list = {"/a/one.bla", "/b/two.msf {msf_file}", "/c/x=y.bla"};
  ASSERT_TRUE(WriteRecentFiles(cfg, list));
  EXPECT_EQ(ReadRecentFiles(cfg), list);
  EXPECT_EQ(test_support::ReadWholeFile(cfg).rfind("; mine\n[GUI_PREF]\nLBLINES=3\n", 0), 0u);
  // A shorter list empties the keys it no longer uses.
  ASSERT_TRUE(WriteRecentFiles(cfg, {"/a/one.bla"}));
  EXPECT_EQ(ReadRecentFiles(cfg), V{"/a/one.bla"});
  // A hand-edited list is cleaned on reading.
  dir.Write("vistram.cfg", "[recent_files]\nFILE1=/a\nFILE2=\nFILE3=/b\nFILE4=/a\nFILE11=/ignored\n");
  EXPECT_EQ(ReadRecentFiles(cfg), (V{"/a", "/b"}));
  EXPECT_TRUE(ReadRecentFiles(dir / "missing.cfg").empty());
  std::filesystem::create_directories(dir / "folder.cfg");
  EXPECT_FALSE(WriteRecentFiles(dir / "folder.cfg", {"/a"}));
}

TEST(RecentFiles, MsfFilesByNameOrContent) {
  test_support::TempFolder dir;
  std::filesystem::create_directories(dir / "msf.d");
  const struct {
    const char* name;
    const char* text;
    bool msf;
  } cases[] = {
      {"a.msf", "", true},
      {"A.MSF", "anything", true},
      {"clustal.out", "!!AA_MULTIPLE_ALIGNMENT\n\n   MSF: 99  Type: P  Check: 0 ..\n\n//\n", true},
      {"report.bla", "BLASTP 2.2.1\nQuery= x\n", false},
      {"late.txt", "x\n//\n MSF: 3 Check: 1 ..\n", false},  // after the header's "//"
      {"msf.d/report", "BLASTN\n", false},
      {"half.txt", " MSF: 3 Type: N ..\n", false},
  };
  for (const auto& c : cases) {
    const std::string path = dir.Write(c.name, c.text);
    EXPECT_EQ(IsMsfFile(path), c.msf) << c.name;
    EXPECT_EQ(DroppedFileCommandLine(path), c.msf ? path + " {msf_file}" : path) << c.name;
  }
  EXPECT_EQ((V{RecentFileLabel("/x/a b.msf {msf_file}"), RecentFileLabel("/x/a.bla")}), (V{"/x/a b.msf", "/x/a.bla"}));
}

}  // namespace
