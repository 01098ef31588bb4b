// The printer checks of the print commands and the out-of-memory message, on the recording services.
#include "vistram/platform/printer.h"

#include <gtest/gtest.h>

#include <functional>

#include "vistram/base/memory.h"
#include "vistram/platform/recording_platform.h"

namespace {

TEST(Platform, PrinterChecksAndOutOfMemoryMessages) {
  RecordingPlatform platform;
  RecordingPrinterServices printers;
  SetCurrentPlatform(&platform);
  SetCurrentPrinterServices(&printers);
  PrinterChoice current = CurrentPrinterServices().DefaultPrinter();
  EXPECT_FALSE(RequirePrinter(current, nullptr));  // none installed: every command says so, no dialog
  EXPECT_FALSE(PrinterSetup(current, nullptr));
  ASSERT_EQ(platform.Messages().size(), 2u);
  for (const auto& m : platform.Messages()) EXPECT_EQ(m.caption + ": " + m.text, "Vistram: No printer installed on this computer.");
  printers.SetDefault({"Office", "ipp", "office.local"});
  current = CurrentPrinterServices().DefaultPrinter();
  EXPECT_TRUE(RequirePrinter(current, nullptr));
  printers.QueueSetupAnswer(false, {"Other", "ipp", "x"});
  EXPECT_FALSE(PrinterSetup(current, nullptr));  // cancelled: the previous printer stays
  EXPECT_EQ(current.device, "Office");
  printers.QueueSetupAnswer(true, {"Lab", "pdf", "lab.local"});
  EXPECT_TRUE(PrinterSetup(current, nullptr));
  EXPECT_EQ(current.device + " " + current.port, "Lab lab.local");
  EXPECT_EQ(printers.SetupDialogsShown(), 2);
  SetCurrentPrinterServices(nullptr);  // the default services know no printer
  EXPECT_TRUE(CurrentPrinterServices().DefaultPrinter().Empty());
  EXPECT_EQ(PrintDocumentName("MSA report"), "Vistram - MSA report");
  EXPECT_EQ(PrintDocumentName(std::string(300, 'x')).size(), 255u);
  // Each out-of-memory failure is one system-modal error box.
  constexpr std::size_t kTooLarge = static_cast<std::size_t>(-1) - 8;
  void* kept = MyAlloc(16);
  const std::pair<std::function<bool()>, const char*> cases[] = {
      {[] { return MyAlloc(kTooLarge) == nullptr; }, "Memory allocation failed: not enough memory !"},
      {[&] { return MyReAlloc(kept, kTooLarge) == nullptr; }, "Memory reallocation failed: not enough memory !"},
      {[] { ReportOutOfMemory(); return true; }, "Memory allocation failed: not enough memory !"},
  };
  for (const auto& [fails, text] : cases) {
    platform.Clear();
    ASSERT_TRUE(fails()) << text;
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, text);
    EXPECT_TRUE(platform.Messages()[0].icon == MsgIcon::Error && platform.Messages()[0].systemModal);
  }
  EXPECT_EQ(MySize(kept), 16u);  // the block survives a failed resize whole
  MyFree(kept);
  SetCurrentPlatform(nullptr);
}

}  // namespace
