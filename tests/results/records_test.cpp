#include "vistram/results/records.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "vistram/platform/recording_platform.h"

namespace {

std::unique_ptr<HspData> MakeHit(int number, int alignments) {
  auto hit = std::make_unique<HspData>();
  hit->number = number;
  hit->identifier = "HIT" + std::to_string(number);
  for (int i = 0; i < alignments; ++i) {
    auto ali = std::make_unique<AliData>();
    ali->queryLine = "VIL" + std::to_string(i);
    ali->queryStart = i + 1;
    hit->alignments.push_back(std::move(ali));
  }
  hit->alignmentCount = alignments;
  hit->selected.assign(static_cast<size_t>(alignments), 1);
  return hit;
}

// Fills the working set as a load does, then makes it a table.
int LoadTable(DataProgram& dp, const std::string& name, int hits) {
  dp.hits = std::make_shared<HitList>();
  int alignments = 0;
  for (int i = 1; i <= hits; ++i) {
    dp.hits->push_back(MakeHit(i, 2));
    alignments += 2;
  }
  dp.hitCount = static_cast<unsigned>(hits);
  dp.viewHitCount = hits;
  dp.alignmentCount = alignments;
  dp.tableName = name;
  return CreateTableEntry(dp);
}

TEST(SetText, CutsToWidthMinusOne) {
  std::string field;
  SetText(field, "ABCDEFGHIJ", width::kScoreText);
  EXPECT_EQ(field, "ABCDEFG");
  SetText(field, "AB", width::kScoreText);
  EXPECT_EQ(field, "AB");
}

TEST(Tables, CreateAndEraseKeepCurrentIndexInRange) {
  DataProgram dp;
  ASSERT_EQ(LoadTable(dp, "a.bla", 3), 1);
  ASSERT_EQ(LoadTable(dp, "b.bla", 2), 1);
  ASSERT_EQ(LoadTable(dp, "c.bla", 1), 1);
  EXPECT_EQ(dp.tableCount, 3);
  EXPECT_EQ(dp.currentTable, 2);
  EXPECT_EQ(dp.tables[1]->name, "b.bla");
  EXPECT_EQ(dp.tables[1]->hitCount, 2u);

  // Erasing the first table while it is current leaves currentTable at 0.
  LoadTableIntoWorkingSet(dp, 0);
  FreeHspData(dp);
  EraseTableEntry(dp, 0);
  EXPECT_EQ(dp.tableCount, 2);
  EXPECT_EQ(dp.currentTable, 0);
  EXPECT_EQ(dp.tables[0]->name, "b.bla");

  // Erasing down to nothing leaves no tables array and no current table.
  EraseTableEntry(dp, 0);
  EraseTableEntry(dp, 0);
  EXPECT_EQ(dp.tableCount, 0);
  EXPECT_EQ(dp.currentTable, -1);
  EXPECT_TRUE(dp.tables.empty());
  EraseTableEntry(dp, 0);  // nothing current: nothing happens
  EXPECT_EQ(dp.tableCount, 0);
}

TEST(Tables, WorkingSetSharesTheCurrentTablesHitsAndFreesThemOnce) {
  DataProgram dp;
  ASSERT_EQ(LoadTable(dp, "a.bla", 2), 1);
  // The working set and the table refer to the same hits.
  EXPECT_EQ(dp.hits.get(), dp.tables[0]->hits.get());
  std::weak_ptr<HitList> watch = dp.hits;
  auto dpPtr = std::make_unique<DataProgram>(std::move(dp));
  FreeDataProgram(dpPtr);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(dpPtr, nullptr);
}

TEST(Tables, LeavingRemembersViewerPositionAndKeepsHits) {
  DataProgram dp;
  ASSERT_EQ(LoadTable(dp, "a.bla", 4), 1);
  dp.viewer = std::make_unique<VisualHaspData>();
  dp.viewer->hitNumber = 3;
  dp.viewer->alignmentNumber = 2;
  LeaveCurrentTable(dp);
  EXPECT_EQ(dp.hitCount, 0u);
  EXPECT_EQ(dp.hits, nullptr);
  EXPECT_EQ(dp.tables[0]->savedHit, 3);
  EXPECT_EQ(dp.tables[0]->savedAlignment, 2);
  ASSERT_NE(dp.tables[0]->hits, nullptr);
  EXPECT_EQ(dp.tables[0]->hits->size(), 4u);
  LoadTableIntoWorkingSet(dp, 0);
  EXPECT_EQ(dp.viewHitCount, 4);
  EXPECT_EQ(dp.Hit(4)->identifier, "HIT4");
  EXPECT_EQ(dp.Hit(5), nullptr);
}

TEST(TableNames, SurviveClosingAndIndexAlignments) {
  DataProgram dp;
  ASSERT_EQ(LoadTable(dp, "first.bla", 1), 1);
  ASSERT_EQ(AddtableNameEntry(dp, "first.bla", ++dp.tableNameCount), 1);
  AssTBnameToAli(0, *dp.hits, dp.hitCount);
  ASSERT_EQ(LoadTable(dp, "second.bla", 2), 1);
  ASSERT_EQ(AddtableNameEntry(dp, "second.bla", ++dp.tableNameCount), 1);
  AssTBnameToAli(1, *dp.hits, dp.hitCount);
  EXPECT_EQ(dp.Hit(2)->alignments[1]->sourceTableIndex, 1);

  LoadTableIntoWorkingSet(dp, 0);
  FreeHspData(dp);
  EraseTableEntry(dp, 0);
  ASSERT_EQ(dp.tableNames.size(), 2u);
  EXPECT_EQ(dp.tableNames[0], "first.bla");
  LoadTableIntoWorkingSet(dp, dp.currentTable);
  EXPECT_EQ(dp.tableNames[static_cast<size_t>(dp.Hit(1)->alignments[0]->sourceTableIndex)], "second.bla");
}

TEST(Copies, AreDeepWithClearedSelection) {
  auto hit = MakeHit(7, 3);
  hit->url = "http://x";
  auto copy = CopieDataHsp(*hit);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->alignmentCount, 3);
  EXPECT_EQ(copy->selected, std::vector<int>(3, 0));
  EXPECT_EQ(copy->url, "http://x");
  EXPECT_NE(copy->alignments[0].get(), hit->alignments[0].get());
  copy->alignments[0]->queryLine = "CHANGED";
  EXPECT_EQ(hit->alignments[0]->queryLine, "VIL0");

  int flags[] = {0, 1, 1};
  auto some = CopieDataHsp2(*hit, flags, 3);
  ASSERT_NE(some, nullptr);
  EXPECT_EQ(some->alignmentCount, 2);
  EXPECT_EQ(some->alignments[0]->queryStart, 2);
  EXPECT_EQ(some->selected, std::vector<int>(2, 0));

  int none[] = {0, 0, 0};
  EXPECT_EQ(CopieDataHsp2(*hit, none, 3), nullptr);
}

TEST(InitDataProgram, NeedsTheConfigurationFileBesideTheProgram) {
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  auto dir = std::filesystem::temp_directory_path() / ("vistram_init_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string program = (dir / "vistram").string();

  EXPECT_EQ(InitDataProgram(program), nullptr);
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].caption, "Vistram ");
  EXPECT_EQ(platform.Messages()[0].text, "This is not a complete release of Vistram.\nUnable to execute the software.");

  std::ofstream(dir / "vistram.cfg") << "[GUI_PREF]\n";
  auto dp = InitDataProgram(program);
  ASSERT_NE(dp, nullptr);
  EXPECT_EQ(dp->currentTable, -1);
  EXPECT_EQ(dp->configPath, (dir / "vistram.cfg").string());
  EXPECT_EQ(dp->helpPath, (dir / "vistram.hlp").string());
  EXPECT_EQ(dp->colourCode, 10);
  std::filesystem::remove_all(dir);
  SetCurrentPlatform(nullptr);
}

}  // namespace
