#include "vistram/results/records.h"

#include <gtest/gtest.h>

#include "results/search_tables.h"
#include "support/temp_folder.h"
#include "vistram/platform/recording_platform.h"

namespace {

// A table of `hits` hits, HIT1 to HITn, of two alignments each, made as a load makes it.
int LoadTable(DataProgram& dp, const std::string& name, int hits) {
  SearchHits h;
  for (int i = 1; i <= hits; ++i) h.push_back({"HIT" + std::to_string(i), "", {1, 2}});
  return AddSearchTable(dp, name, h);
}

TEST(Tables, CreateLeaveEraseAndFree) {
  std::string field;
  SetText(field, "ABCDEFGHIJ", width::kScoreText);  // cut to the width less one
  EXPECT_EQ(field, "ABCDEFG");

  DataProgram dp;
  ASSERT_EQ(LoadTable(dp, "a.bla", 4), 1);
  EXPECT_EQ(dp.hits.get(), dp.tables[0]->hits.get());  // the working set shares the table's hits
  // Leaving the only table (index 0) remembers the viewer's place and keeps the hits.
  dp.viewer = std::make_unique<VisualHaspData>();
  dp.viewer->hitNumber = 3;
  dp.viewer->alignmentNumber = 2;
  LeaveCurrentTable(dp);
  EXPECT_TRUE(dp.hitCount == 0u && dp.hits == nullptr && dp.tables[0]->hits != nullptr);
  EXPECT_EQ(std::tie(dp.tables[0]->savedHit, dp.tables[0]->savedAlignment), std::make_tuple(3, 2));
  LoadTableIntoWorkingSet(dp, 0);
  EXPECT_EQ(std::tie(dp.viewHitCount, dp.Hit(4)->identifier), std::make_tuple(4, std::string("HIT4")));
  EXPECT_EQ(dp.Hit(5), nullptr);

  ASSERT_EQ(LoadTable(dp, "b.bla", 2), 1);
  ASSERT_EQ(LoadTable(dp, "c.bla", 1), 1);
  EXPECT_EQ(std::tie(dp.tableCount, dp.currentTable, dp.tables[1]->name, dp.tables[1]->hitCount),
            std::make_tuple(3, 2, std::string("b.bla"), 2u));
  // Erasing the first table while it is current leaves currentTable at 0.
  LoadTableIntoWorkingSet(dp, 0);
  FreeHspData(dp);
  EraseTableEntry(dp, 0);
  EXPECT_EQ(std::tie(dp.tableCount, dp.currentTable, dp.tables[0]->name), std::make_tuple(2, 0, std::string("b.bla")));
  EraseTableEntry(dp, 0);
  EraseTableEntry(dp, 0);
  EXPECT_TRUE(dp.tableCount == 0 && dp.currentTable == -1 && dp.tables.empty());
  EraseTableEntry(dp, 0);  // nothing current: nothing happens
  EXPECT_EQ(dp.tableCount, 0);

  ASSERT_EQ(LoadTable(dp, "d.bla", 2), 1);
  std::weak_ptr<HitList> watch = dp.hits;
  auto dpPtr = std::make_unique<DataProgram>(std::move(dp));
  FreeDataProgram(dpPtr);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(dpPtr, nullptr);
}

TEST(InitDataProgram, NeedsTheConfigurationFileBesideTheProgram) {
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  test_support::TempFolder dir;
  EXPECT_EQ(InitDataProgram(dir / "vistram"), nullptr);
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].caption, "Vistram ");
  EXPECT_EQ(platform.Messages()[0].text, "This is not a complete release of Vistram.\nUnable to execute the software.");
  dir.Write("vistram.cfg", "[GUI_PREF]\n");
  auto dp = InitDataProgram(dir / "vistram");
  ASSERT_NE(dp, nullptr);
  EXPECT_EQ(std::tie(dp->currentTable, dp->configPath, dp->helpPath, dp->colourCode),
            std::make_tuple(-1, dir / "vistram.cfg", dir / "vistram.hlp", 10));
  SetCurrentPlatform(nullptr);
}

}  // namespace
