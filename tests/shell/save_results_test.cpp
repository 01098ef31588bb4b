#include "vistram/shell/save_results.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "vistram/platform/recording_platform.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<VisualHaspData> PlainView(DataProgram& dp, int k, int h) {
  const AliData& ali = *dp.Hit(k)->alignments[static_cast<std::size_t>(h - 1)];
  auto view = std::make_unique<VisualHaspData>();
  view->alignedLength = static_cast<int>(ali.queryLine.size());
  view->queryLine = view->subjectLine = view->middleLine = ali.queryLine;
  view->queryTextColours.assign(ali.queryLine.size(), 0);
  view->subjectTextColours.assign(ali.queryLine.size(), 0);
  return view;
}

class SaveResultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    std::string pattern = (fs::temp_directory_path() / "save_results.XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    dp_.programFolder = dir_.string() + "/";
    dp_.header.queryName = "Q";
    dp_.header.queryLengthText = "(4 letters)";
    dp_.hits = std::make_shared<HitList>();
    for (int i = 1; i <= 2; ++i) {
      auto hit = std::make_unique<HspData>();
      hit->number = i;
      hit->identifier = "HIT" + std::to_string(i);
      auto ali = std::make_unique<AliData>();
      ali->statsText = "SCORE = 1 BITS (1), EXPECT = 1";
      ali->queryLine = ali->subjectLine = ali->middleLine = "MKVL";
      ali->queryStart = ali->subjectStart = 1;
      hit->alignments.push_back(std::move(ali));
      hit->alignmentCount = 1;
      hit->selected = {0};
      dp_.hits->push_back(std::move(hit));
    }
    dp_.hitCount = 2;
    dp_.viewHitCount = 2;
    dp_.alignmentCount = 2;
  }
  void TearDown() override {
    SetCurrentPlatform(nullptr);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : platform_.Messages()) texts.push_back(m.text);
    return texts;
  }
  void Choose(const fs::path& path) {
    FileDialogResult answer;
    answer.status = FileDialogResult::Status::Chosen;
    answer.path = path.string();
    platform_.QueueFileAnswer(answer);
  }

  RecordingPlatform platform_;
  fs::path dir_;
  DataProgram dp_;
};

}  // namespace

TEST_F(SaveResultsTest, ChoosingAFileForcesTheVistExtension) {
  std::string path;
  Choose(dir_ / "results.txt");
  ASSERT_EQ(1, ChoisiFichierSauve(nullptr, path, dp_.programFolder));
  EXPECT_EQ((dir_ / "results.vist").string(), path);
  const FileDialogRequest request = platform_.FileRequests().back();
  EXPECT_EQ("Choose a file", request.title);
  EXPECT_EQ("VIST", request.defaultExtension);
  ASSERT_EQ(2u, request.filters.size());
  EXPECT_EQ("Vistram file (*.VIST)", request.filters[0].text);
  EXPECT_EQ("*.*", request.filters[1].patterns);
  EXPECT_EQ(dp_.programFolder, request.initialFolder);

  // The next choice starts in the folder of the current path; a cancel keeps the path.
  ASSERT_EQ(0, ChoisiFichierSauve(nullptr, path, "/elsewhere/"));
  EXPECT_EQ(dir_.string() + "/", platform_.FileRequests().back().initialFolder);
  EXPECT_EQ((dir_ / "results.vist").string(), path);

  EXPECT_EQ("/a.b/name.vist", ForceVistExtension("/a.b/name"));
  EXPECT_EQ("/a/.hidden.vist", ForceVistExtension("/a/.hidden"));
  EXPECT_EQ("x.vist", ForceVistExtension("x.VIST"));
}

TEST_F(SaveResultsTest, SaveNeedsAFileNameAndASelection) {
  SaveResultsState state;
  EXPECT_FALSE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  state.path = (dir_ / "out.vist").string();
  state.selectionOnly = true;
  EXPECT_FALSE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  EXPECT_EQ((std::vector<std::string>{"Please enter a file name.", "No sequences selected."}), Texts());
  EXPECT_FALSE(fs::exists(dir_ / "out.vist"));

  (*dp_.hits)[1]->selected[0] = 1;
  ASSERT_TRUE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  EXPECT_TRUE(state.path.empty());
  std::ifstream in(dir_ / "out.vist");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(std::string::npos, text.find(">HIT1"));
  EXPECT_NE(std::string::npos, text.find(">HIT2"));
}

TEST_F(SaveResultsTest, HtmlStyleWritesTheReportAndFailuresAreTold) {
  SaveResultsState state;
  state.html = true;
  state.path = (dir_ / "web.vist").string();
  ASSERT_TRUE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  for (const char* name : {"web_main.html", "web_head.html", "web_lr.html", "web_ali.html"}) {
    EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  }

  // A folder that does not exist: the user is told and the dialog stays open.
  state.path = (dir_ / "missing/x.vist").string();
  EXPECT_FALSE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  state.html = false;
  EXPECT_FALSE(SaveResultsOnSave(dp_, nullptr, state, PlainView));
  const auto texts = Texts();
  ASSERT_EQ(2u, texts.size());
  EXPECT_EQ("Unable to write the HTML report :\n" + (dir_ / "missing/x.vist").string() + ".", texts[0]);
  EXPECT_EQ("Unable to write the file :\n" + (dir_ / "missing/x.vist").string() + ".", texts[1]);
  EXPECT_FALSE(state.path.empty());
}
