#include "vistram/base/config.h"
#include "vistram/base/process.h"
#include "vistram/shell/companions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/temp_folder.h"
#include "vistram/platform/recording_platform.h"
#include "view_fixture.h"

namespace fs = std::filesystem;
using test_support::ReadWholeFile;
using V = std::vector<std::string>;

namespace {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  void WriteCfg(const std::string& text) { folder_.Write("vistram.cfg", text); }
  V TakeMessages() {
    V out;
    for (const auto& m : platform_.Messages()) out.push_back(m.text);
    platform_.Clear();
    return out;
  }
  static bool WaitForFile(const fs::path& p) {  // written by a started program, within 10 s
    for (int i = 0; i < 200 && !fs::exists(p); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fs::exists(p);
  }

  test_support::TempFolder folder_;
  RecordingPlatform platform_;
  const std::string cfg_ = folder_ / "vistram.cfg";
};

std::vector<int> Sizes(const GuiPreferences& p) {
  return {p.comboFontSize, p.listFontSize, p.viewerFontSize, p.listLines, p.hca.letterFontSize, p.hca.symbolFontSize};
}

}  // namespace

TEST_F(ConfigTest, PreferencesDefaultAndAreClampedOnReading) {
  const std::pair<const char*, std::vector<int>> rows[] = {  // sizes: combo, list, viewer, lines, HCA letters, symbols
      {"[INTERNET]\nNAVIGATOR=\n", {10, 12, 12, 2, 8, 10}},
      {"[gui_pref]\nLBLINES=0\nLBFNTSIZE=30\nALIFNTSIZE=3\nCBFNTSIZE=13\n[HCA_PREF]\nHCAFNTSIZE=-4\nHCASPEFNTSIZE=15\n",
       {13, 14, 6, 1, 6, 14}},
      {"[GUI_PREF]\nLBLINES=9\n", {10, 12, 12, 4, 8, 10}},
  };
  for (const auto& [text, sizes] : rows) {
    WriteCfg(text);
    EXPECT_EQ(Sizes(ReadGuiPreferences(cfg_)), sizes) << text;
  }
  int lines = 0, list = 0;  // a null destination is skipped
  ReadGuiConfiguration(cfg_, nullptr, nullptr, nullptr, &list, nullptr, &lines);
  EXPECT_EQ((std::vector<int>{lines, list}), (std::vector<int>{4, 12}));
  EXPECT_EQ(Sizes(ReadGuiPreferences(folder_ / "none.cfg")), Sizes(GuiPreferences()));
  EXPECT_EQ(Sizes(ReadGuiPreferences(ShippedConfigPath())), Sizes(GuiPreferences()));
}

TEST_F(ConfigTest, BrowserAndCompanionCountOnlyBeyondFourCharactersAndFailuresAreTold) {
  WriteCfg("[INTERNET]\nNAVIGATOR=abcd\n[EXTERN]\nHITMERGE=/opt/hitmerge\n");
  std::string browser, companion;
  EXPECT_TRUE(!ReadBrowserPath(cfg_, browser) && ReadCompanionPath(cfg_, companion));
  EXPECT_EQ((V{browser, companion}), (V{"abcd", "/opt/hitmerge"}));
  EXPECT_EQ(CallBrowser(cfg_, "https://www.uniprot.org/uniprot/P12345", nullptr), 0);
  EXPECT_EQ(TakeMessages(), V{"Navigator not found."});

  WriteCfg("[INTERNET]\nNAVIGATOR=\n");
  EXPECT_EQ(CallCompanion(cfg_, "/tmp/report.bla", nullptr), 0);
  EXPECT_EQ(TakeMessages(), V{"Hitmerge not found."});

  WriteCfg("[INTERNET]\nNAVIGATOR=/nonexistent/browser %u\n[EXTERN]\nHITMERGE=/nonexistent/hitmerge\n");
  EXPECT_EQ(CallBrowser(cfg_, "http://x", nullptr), 0);
  EXPECT_EQ(CallCompanion(cfg_, "/tmp/r.bla", nullptr), 0);
  EXPECT_EQ(TakeMessages(), (V{"Unable to find a Web navigator.\nPlease update the vistram.cfg file.",
                               "Unable to start Hitmerge.\nPlease update the vistram.cfg file."}));

  // Started programs get their argument as one word, blank and ';' unchanged.
  const std::string source = folder_.Write("a b;c", "x"), copied = folder_ / "copied";
  WriteCfg("[INTERNET]\nNAVIGATOR=cp %f \"" + copied + "\"\n[EXTERN]\nHITMERGE=/usr/bin/touch\n");
  EXPECT_TRUE(CallBrowser(cfg_, source, nullptr) == 1 && WaitForFile(copied));
  EXPECT_TRUE(CallCompanion(cfg_, folder_ / "report 1.bla", nullptr) == 1 && WaitForFile(folder_ / "report 1.bla"));
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(ConfigTest, CommandsSplitLikeDesktopEntries) {
  const struct {
    const char *command, *argument;
    V words;
  } rows[] = {
      {"firefox %u", "http://a?b=1&c", {"firefox", "http://a?b=1&c"}},
      {"/usr/bin/chromium", "http://a", {"/usr/bin/chromium", "http://a"}},
      {"\"/opt/my browser/run\" --new %U %i", "u", {"/opt/my browser/run", "--new", "u"}},
      {"b --url=%u 100%%", "x", {"b", "--url=x", "100%"}},
      {"b \"say \\\"hi\\\"\"", "x", {"b", "say \"hi\"", "x"}},
      {"b %u %u", "x", {"b", "x"}},
      {"   ", "x", {}},
  };
  for (const auto& r : rows) EXPECT_EQ(BuildCommandArguments(r.command, r.argument), r.words) << r.command;

  std::string out;
  EXPECT_TRUE(RunAndCapture({"echo", "one", "two words"}, out) && out == "one two words\n");
  for (const V& fails : {V{"false"}, V{"/nonexistent/program"}, V{}}) EXPECT_FALSE(RunAndCapture(fails, out));
}

TEST_F(ConfigTest, FirstStartWritesTheDetectedBrowserOnlyIntoAnEmptyKey) {
  const struct {
    const char* before;
    std::string found;
    bool written;
    const char* after;  // null: unchanged
  } rows[] = {
      {"[INTERNET]\nVISTWEB=vistweb\n", "/usr/bin/firefox-esr %u", false, nullptr},  // no key at all
      {"[INTERNET]\nNAVIGATOR=/usr/bin/lynx\n", "/usr/bin/firefox-esr %u", false, nullptr},
      {"[INTERNET]\nNAVIGATOR=\n", "", false, nullptr},
      {"; top\n[Internet]\nnavigator=\nVISTWEB=vistweb\n", "/usr/bin/firefox-esr %u", true,
       "; top\n[Internet]\nnavigator=/usr/bin/firefox-esr %u\nVISTWEB=vistweb\n"},
      {"[INTERNET]\nNAVIGATOR=\n", std::string(600, 'a'), false, nullptr},  // longer than the key's 519
  };
  for (const auto& r : rows) {
    WriteCfg(r.before);
    EXPECT_EQ(DetectBrowser(cfg_, [&] { return r.found; }), r.written) << r.before;
    EXPECT_EQ(ReadWholeFile(cfg_), r.after != nullptr ? r.after : r.before);
  }
}

TEST_F(ConfigTest, DefaultBrowserComesFromTheDesktopEntryOfTheHtmlHandler) {
  // A stand-in xdg-mime on PATH and a desktop entry in XDG_DATA_HOME.
  const std::string xdg = VISTRAM_TEST_DATA_DIR "/../shell/data/xdg", oldPath = std::getenv("PATH");
  const std::string oldHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
  const bool hadHome = std::getenv("XDG_DATA_HOME") != nullptr;
  ::setenv("PATH", (xdg + "/bin:" + oldPath).c_str(), 1);
  ::setenv("XDG_DATA_HOME", (xdg + "/share").c_str(), 1);
  const std::string command = FindDefaultBrowserCommand();
  ::setenv("PATH", oldPath.c_str(), 1);
  hadHome ? ::setenv("XDG_DATA_HOME", oldHome.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(command, "/opt/test browser/run --x %u");
}
