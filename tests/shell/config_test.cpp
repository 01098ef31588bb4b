#include "vistram/base/config.h"
#include "vistram/base/process.h"
#include "vistram/shell/companions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/temp_folder.h"
#include "vistram/platform/recording_platform.h"
#include "view_fixture.h"

namespace fs = std::filesystem;

namespace {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = folder_.path();
    cfg_ = (dir_ / "vistram.cfg").string();
    SetCurrentPlatform(&platform_);
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  void WriteCfg(const std::string& text) { std::ofstream(cfg_, std::ios::binary) << text; }
  std::string ReadCfg() const { return test_support::ReadWholeFile(cfg_); }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : platform_.Messages()) out.push_back(m.text);
    return out;
  }
  // Waits (up to 10 s) for a file that a started program writes.
  static bool WaitForFile(const fs::path& p) {
    for (int i = 0; i < 200; ++i) {
      if (fs::exists(p)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  test_support::TempFolder folder_;
  RecordingPlatform platform_;
  fs::path dir_;
  std::string cfg_;
};

TEST_F(ConfigTest, PreferencesDefaultWithoutSectionsAndAreClampedOnReading) {
  WriteCfg("[INTERNET]\nNAVIGATOR=\n");
  GuiPreferences p = ReadGuiPreferences(cfg_);
  EXPECT_EQ(p.comboFontSize, 10);
  EXPECT_EQ(p.listFontSize, 12);
  EXPECT_EQ(p.viewerFontSize, 12);
  EXPECT_EQ(p.listLines, 2);
  EXPECT_EQ(p.hca.letterFontSize, 8);
  EXPECT_EQ(p.hca.symbolFontSize, 10);

  WriteCfg("[gui_pref]\nLBLINES=0\nLBFNTSIZE=30\nALIFNTSIZE=3\nCBFNTSIZE=13\n[HCA_PREF]\nHCAFNTSIZE=-4\n"
           "HCASPEFNTSIZE=15\n");
  p = ReadGuiPreferences(cfg_);
  EXPECT_EQ(p.listLines, 1);
  EXPECT_EQ(p.listFontSize, 14);
  EXPECT_EQ(p.viewerFontSize, 6);
  EXPECT_EQ(p.comboFontSize, 13);
  EXPECT_EQ(p.hca.letterFontSize, 6);
  EXPECT_EQ(p.hca.symbolFontSize, 14);
  WriteCfg("[GUI_PREF]\nLBLINES=9\n");
  int lines = 0, list = 0;
  ReadGuiConfiguration(cfg_, nullptr, nullptr, nullptr, &list, nullptr, &lines);
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(list, 12);
  // No file at all: the defaults.
  EXPECT_EQ(ReadGuiPreferences((dir_ / "none.cfg").string()).listLines, 2);
}

TEST_F(ConfigTest, TheShippedConfigurationHoldsEveryKeyWithinItsLimits) {
  const std::string shipped = ShippedConfigPath();
  ASSERT_TRUE(fs::exists(shipped));
  const std::string text = test_support::ReadWholeFile(shipped);
  for (const char* key : {"CBFNTSIZE=", "LBFNTSIZE=", "ALIFNTSIZE=", "LBLINES=", "HCAFNTSIZE=", "HCASPEFNTSIZE=",
                          "\nNAVIGATOR=\n", "VISTWEB=", "HITMERGE=", "CONFIG_FILE=", "[Couleurs_HCA]",
                          "[Couleur_Fond_HCA]", "[Couleurs_SimIden]", "[Couleur_Fond_SimIden]"}) {
    EXPECT_NE(text.find(key), std::string::npos) << key;
  }
  GuiPreferences p = ReadGuiPreferences(shipped);
  EXPECT_EQ(p.listLines, 2);
  EXPECT_EQ(p.listFontSize, 12);
}

TEST_F(ConfigTest, BrowserAndCompanionPathsCountOnlyWhenLongerThanFourCharacters) {
  WriteCfg("[INTERNET]\nNAVIGATOR=abcd\n[EXTERN]\nHITMERGE=/opt/hitmerge\n");
  std::string value;
  EXPECT_FALSE(ReadBrowserPath(cfg_, value));
  EXPECT_EQ(value, "abcd");
  EXPECT_TRUE(ReadCompanionPath(cfg_, value));
  EXPECT_EQ(value, "/opt/hitmerge");
  EXPECT_EQ(CallBrowser(cfg_, "https://www.uniprot.org/uniprot/P12345", nullptr), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Navigator not found."});

  WriteCfg("[INTERNET]\nNAVIGATOR=\n");
  platform_.Clear();
  EXPECT_EQ(CallCompanion(cfg_, "/tmp/report.bla", nullptr), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Hitmerge not found."});

  // Programs that cannot start are reported.
  WriteCfg("[INTERNET]\nNAVIGATOR=/nonexistent/browser %u\n[EXTERN]\nHITMERGE=/nonexistent/hitmerge\n");
  platform_.Clear();
  EXPECT_EQ(CallBrowser(cfg_, "http://x", nullptr), 0);
  EXPECT_EQ(CallCompanion(cfg_, "/tmp/r.bla", nullptr), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Unable to find a Web navigator.\nPlease update the vistram.cfg file.",
                                                      "Unable to start Hitmerge.\nPlease update the vistram.cfg file."}));
}

TEST_F(ConfigTest, BrowserAndCompanionStartWithTheirArgumentAsOneWord) {
  // The "browser" copies its argument's file; the link holds a blank and a
  // shell character, which must reach the program unchanged.
  const fs::path source = dir_ / "a b;c";
  std::ofstream(source) << "x";
  const fs::path copied = dir_ / "copied";
  WriteCfg("[INTERNET]\nNAVIGATOR=cp %f \"" + copied.string() + "\"\n[EXTERN]\nHITMERGE=/usr/bin/touch\n");
  EXPECT_EQ(CallBrowser(cfg_, source.string(), nullptr), 1);
  EXPECT_TRUE(WaitForFile(copied));
  const fs::path touched = dir_ / "report 1.bla";
  EXPECT_EQ(CallCompanion(cfg_, touched.string(), nullptr), 1);
  EXPECT_TRUE(WaitForFile(touched));
  EXPECT_TRUE(platform_.Messages().empty());
}

TEST_F(ConfigTest, CommandsSplitLikeDesktopEntries) {
  using V = std::vector<std::string>;
  EXPECT_EQ(BuildCommandArguments("firefox %u", "http://a?b=1&c"), (V{"firefox", "http://a?b=1&c"}));
  EXPECT_EQ(BuildCommandArguments("/usr/bin/chromium", "http://a"), (V{"/usr/bin/chromium", "http://a"}));
  EXPECT_EQ(BuildCommandArguments("\"/opt/my browser/run\" --new %U %i", "u"), (V{"/opt/my browser/run", "--new", "u"}));
  EXPECT_EQ(BuildCommandArguments("b --url=%u 100%%", "x"), (V{"b", "--url=x", "100%"}));
  EXPECT_EQ(BuildCommandArguments("b \"say \\\"hi\\\"\"", "x"), (V{"b", "say \"hi\"", "x"}));
  EXPECT_EQ(BuildCommandArguments("b %u %u", "x"), (V{"b", "x"}));
  EXPECT_TRUE(BuildCommandArguments("   ", "x").empty());
}

TEST_F(ConfigTest, FirstStartWritesTheDetectedBrowserOnlyIntoAnEmptyKey) {
  auto found = [] { return std::string("/usr/bin/firefox-esr %u"); };
  auto none = [] { return std::string(); };

  // No NAVIGATOR key at all: the file is not changed.
  const std::string without = "[INTERNET]\nVISTWEB=vistweb\n";
  WriteCfg(without);
  EXPECT_FALSE(DetectBrowser(cfg_, found));
  EXPECT_EQ(ReadCfg(), without);
  // A browser already configured stays.
  WriteCfg("[INTERNET]\nNAVIGATOR=/usr/bin/lynx\n");
  EXPECT_FALSE(DetectBrowser(cfg_, found));
  // An empty key and no browser found: nothing written.
  WriteCfg("[INTERNET]\nNAVIGATOR=\n");
  EXPECT_FALSE(DetectBrowser(cfg_, none));
  EXPECT_EQ(ReadCfg(), "[INTERNET]\nNAVIGATOR=\n");
  // An empty key gets the browser; the rest of the file stays.
  WriteCfg("; top\n[Internet]\nnavigator=\nVISTWEB=vistweb\n");
  EXPECT_TRUE(DetectBrowser(cfg_, found));
  EXPECT_EQ(ReadCfg(), "; top\n[Internet]\nnavigator=/usr/bin/firefox-esr %u\nVISTWEB=vistweb\n");
  // A command longer than the key's 519 characters is not stored cut.
  WriteCfg("[INTERNET]\nNAVIGATOR=\n");
  EXPECT_FALSE(DetectBrowser(cfg_, [] { return std::string(600, 'a'); }));
  EXPECT_EQ(ReadCfg(), "[INTERNET]\nNAVIGATOR=\n");
}

TEST_F(ConfigTest, DefaultBrowserComesFromTheDesktopEntryOfTheHtmlHandler) {
  // A stand-in xdg-mime on PATH and a desktop entry in XDG_DATA_HOME.
  const fs::path bin = dir_ / "bin";
  fs::create_directories(bin);
  {
    std::ofstream script(bin / "xdg-mime");
    script << "#!/bin/sh\n[ \"$1 $2 $3\" = \"query default text/html\" ] && echo test-browser.desktop\n";
  }
  fs::permissions(bin / "xdg-mime", fs::perms::owner_all);
  const fs::path apps = dir_ / "share" / "applications";
  fs::create_directories(apps);
  std::ofstream(apps / "test-browser.desktop")
      << "[Desktop Entry]\nName=Test\nExec=/opt/test\\sbrowser/run --x %u\n[Desktop Action new]\nExec=other\n";

  const std::string oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  const char* oldHome = std::getenv("XDG_DATA_HOME");
  const std::string savedHome = oldHome != nullptr ? oldHome : "";
  ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
  ::setenv("XDG_DATA_HOME", (dir_ / "share").c_str(), 1);
  const std::string command = FindDefaultBrowserCommand();
  ::setenv("PATH", oldPath.c_str(), 1);
  if (oldHome != nullptr) {
    ::setenv("XDG_DATA_HOME", savedHome.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
  EXPECT_EQ(command, "/opt/test browser/run --x %u");
}

TEST_F(ConfigTest, RunAndCaptureReturnsOutputAndFailsOnErrors) {
  std::string out;
  EXPECT_TRUE(RunAndCapture({"echo", "one", "two words"}, out));
  EXPECT_EQ(out, "one two words\n");
  EXPECT_FALSE(RunAndCapture({"false"}, out));
  EXPECT_FALSE(RunAndCapture({"/nonexistent/program"}, out));
  EXPECT_FALSE(RunAndCapture({}, out));
}

}  // namespace
