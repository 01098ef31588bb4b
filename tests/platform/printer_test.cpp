// The printer checks of the print commands, on the recording services.
#include "vistram/platform/printer.h"

#include <gtest/gtest.h>

#include <string>

#include "vistram/platform/recording_platform.h"

namespace {

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    SetCurrentPrinterServices(&printers_);
  }
  void TearDown() override {
    SetCurrentPrinterServices(nullptr);
    SetCurrentPlatform(nullptr);
  }
  RecordingPlatform platform_;
  RecordingPrinterServices printers_;
};

TEST_F(PrinterTest, WithoutAPrinterEveryCommandSaysSo) {
  PrinterChoice none = CurrentPrinterServices().DefaultPrinter();
  ASSERT_TRUE(none.Empty());
  EXPECT_FALSE(RequirePrinter(none, nullptr));
  EXPECT_FALSE(PrinterSetup(none, nullptr));
  ASSERT_EQ(platform_.Messages().size(), 2u);
  for (const auto& m : platform_.Messages()) {
    EXPECT_EQ(m.text, "No printer installed on this computer.");
    EXPECT_EQ(m.caption, "Vistram");
  }
  EXPECT_EQ(printers_.SetupDialogsShown(), 0);  // no dialog without a printer
}

TEST_F(PrinterTest, SetupKeepsThePreviousPrinterOnCancel) {
  printers_.SetDefault({"Office", "ipp", "office.local"});
  PrinterChoice current = CurrentPrinterServices().DefaultPrinter();
  EXPECT_TRUE(RequirePrinter(current, nullptr));
  printers_.QueueSetupAnswer(false, {"Other", "ipp", "x"});
  EXPECT_FALSE(PrinterSetup(current, nullptr));
  EXPECT_EQ(current.device, "Office");
  printers_.QueueSetupAnswer(true, {"Lab", "pdf", "lab.local"});
  EXPECT_TRUE(PrinterSetup(current, nullptr));
  EXPECT_EQ(current.device, "Lab");
  EXPECT_EQ(current.port, "lab.local");
  EXPECT_EQ(printers_.SetupDialogsShown(), 2);
  EXPECT_TRUE(platform_.Messages().empty());
  SetCurrentPrinterServices(nullptr);  // the default services know no printer
  EXPECT_TRUE(CurrentPrinterServices().DefaultPrinter().Empty());
}

TEST_F(PrinterTest, DocumentNameIsCutAt255Characters) {
  EXPECT_EQ(PrintDocumentName("MSA report"), "Vistram - MSA report");
  EXPECT_EQ(PrintDocumentName(std::string(300, 'x')).size(), 255u);
}

}  // namespace
