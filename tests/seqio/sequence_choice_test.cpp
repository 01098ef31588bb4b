#include "vistram/seqio/sequence_choice.h"

#include <gtest/gtest.h>

#include "seqio/seqio_test_files.h"
#include "vistram/platform/recording_platform.h"

namespace {

class SequenceChoice : public testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
};

TEST_F(SequenceChoice, AsksForAFileAndReadsIt) {
  const std::string file = SequenceDataFile("bioperl_calm.swiss");
  platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, file, "bioperl_calm.swiss"});
  std::string path;
  std::string name;
  SequenceText text = ChoisiEtLitFichierSeq(nullptr, path, name, "/opt/vistram");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text.get()).size(), 148u);
  EXPECT_EQ(name, "CALM_HUMAN");
  EXPECT_EQ(path, file);

  ASSERT_EQ(platform_.FileRequests().size(), 1u);
  const FileDialogRequest request = platform_.FileRequests()[0];
  EXPECT_EQ(request.title, "Choose a sequence file");
  EXPECT_EQ(request.initialFolder, "/opt/vistram");
  EXPECT_EQ(request.defaultExtension, "SEQ");
  EXPECT_EQ(request.filterIndex, 1);
  EXPECT_TRUE(request.mustExist);
  ASSERT_EQ(request.filters.size(), 7u);
  EXPECT_EQ(request.filters[0].text, "All files (*.*)");
  EXPECT_EQ(request.filters[0].patterns, "*.*");
  EXPECT_EQ(request.filters[4].text, "NBRF-PIR (*.PIR)");
  EXPECT_EQ(request.filters[6].patterns, "*.SW");
  EXPECT_TRUE(platform_.Messages().empty());
}

}  // namespace
