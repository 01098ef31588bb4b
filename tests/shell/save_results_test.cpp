#include "vistram/shell/save_results.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "view_fixture.h"
#include "vistram/platform/recording_platform.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<VisualHaspData> PlainView(DataProgram& dp, int k, int h) {
  const AliData& ali = *dp.Hit(k)->alignments[static_cast<std::size_t>(h - 1)];
  auto view = MakeView(ali.queryLine, ali.queryLine, ali.queryLine, 1, 1);
  view->queryTextColours.assign(ali.queryLine.size(), 0);
  view->subjectTextColours.assign(ali.queryLine.size(), 0);
  return view;
}

class SaveResultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    dp_.programFolder = dir_.path() + "/";
    dp_.header.queryName = "Q";
    dp_.header.queryLengthText = "(4 letters)";
    FillWorkingSet(dp_, 2);
    for (auto& hit : *dp_.hits) {
      hit->identifier = "HIT" + std::to_string(hit->number);
      AliData& ali = *hit->alignments[0];
      ali.statsText = "SCORE = 1 BITS (1), EXPECT = 1";
      ali.queryLine = ali.subjectLine = ali.middleLine = "MKVL";
      ali.queryStart = ali.subjectStart = 1;
    }
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  std::vector<std::string> TakeTexts() {  // the messages shown since the last call
    std::vector<std::string> texts;
    for (const auto& m : platform_.Messages()) texts.push_back(m.text);
    platform_.Clear();
    return texts;
  }

  RecordingPlatform platform_;
  test_support::TempFolder dir_;
  DataProgram dp_;
};

}  // namespace

TEST_F(SaveResultsTest, ChoosingAFileForcesTheVistExtension) {
  std::string path;
  platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, dir_ / "results.txt", ""});
  ASSERT_EQ(1, ChoisiFichierSauve(nullptr, path, dp_.programFolder));
  EXPECT_EQ(dir_ / "results.vist", path);
  const FileDialogRequest request = platform_.FileRequests().back();
  EXPECT_TRUE(request.defaultExtension == "VIST" && request.initialFolder == dp_.programFolder);

  // The next choice starts in the folder of the current path; a cancel keeps the path.
  ASSERT_EQ(0, ChoisiFichierSauve(nullptr, path, "/elsewhere/"));
  EXPECT_TRUE(platform_.FileRequests().back().initialFolder == dir_.path() + "/" && path == dir_ / "results.vist");

  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"/a.b/name", "/a.b/name.vist"}, {"/a/.hidden", "/a/.hidden.vist"}, {"x.VIST", "x.vist"}})
    EXPECT_EQ(to, ForceVistExtension(from));
}

TEST_F(SaveResultsTest, SaveNeedsAFileNameAndASelectionAndFailuresAreTold) {
  SaveResultsState state;
  EXPECT_FALSE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  state.path = dir_ / "out.vist";
  state.selectionOnly = true;
  EXPECT_FALSE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  EXPECT_EQ((std::vector<std::string>{"Please enter a file name.", "No sequences selected."}), TakeTexts());
  EXPECT_EQ(0u, dir_.EntryCount());

  (*dp_.hits)[1]->selected[0] = 1;
  ASSERT_TRUE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  const std::string text = test_support::ReadWholeFile(dir_ / "out.vist");
  EXPECT_TRUE(state.path.empty() && text.find(">HIT1") == std::string::npos && text.find(">HIT2") != std::string::npos);

  state.html = true;
  state.path = dir_ / "web.vist";
  ASSERT_TRUE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  const std::vector<std::string> files = {"out.vist", "web_main.html", "web_head.html", "web_lr.html", "web_ali.html"};
  std::vector<std::string> before;
  for (const std::string& f : files) before.push_back(test_support::ReadWholeFile(dir_ / f));
  // The list names the selected hit only, linked by its place in the table.
  EXPECT_TRUE(before[3].find("web_ali.html#ALI2\"") != std::string::npos && before[3].find("#ALI1\"") == std::string::npos);

  // Failed writes (no folder, a full disk) are told; the dialog stays open, the files as they were.
  const std::string missing = dir_ / "missing/x.vist", out = dir_ / "out.vist", web = dir_ / "web.vist";
  state.selectionOnly = false;
  for (const auto& [html, path] : std::vector<std::pair<bool, std::string>>{
           {true, missing}, {false, missing}, {false, out}, {true, web}}) {
    state.html = html;
    state.path = path;
    test_support::FileSizeLimit limit(16);
    ASSERT_TRUE(limit.Active());
    EXPECT_FALSE(SaveResultsOnSave(dp_, nullptr, state, PlainView)) << path;
    EXPECT_EQ(state.path, path);
  }
  EXPECT_EQ(TakeTexts(), (std::vector<std::string>{"Unable to write the HTML report :\n" + missing + ".",
                                                   "Unable to write the file :\n" + missing + ".",
                                                   "Unable to write the file :\n" + out + ".",
                                                   "Unable to write the HTML report :\n" + web + "."}));
  EXPECT_EQ(dir_.EntryCount(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    EXPECT_EQ(test_support::ReadWholeFile(dir_ / files[i]), before[i]) << files[i];
}
