// The batch commands that write a report's table, run in-process as main() runs them,
// and every writer on the targets that lost data before they all went through SafeFile.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "support/temp_folder.h"
#include "vistram/base/profile.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/batch.h"

namespace fs = std::filesystem;
using test_support::ReadWholeFile;

namespace {

std::string Blast(const std::string& relative) { return std::string(VISTRAM_TEST_DATA_DIR) + "/blast/" + relative; }
const std::string kReport = Blast("blast_legacy_text_ncbi/biopython_text_2011L_blastp_003.txt");
const std::string kShellData = VISTRAM_TEST_DATA_DIR "/../shell/data/";

// The exit code, or -100 when the arguments are not a batch command.
int Batch(std::vector<std::string> args) {
  args.insert(args.begin(), "vistram");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  int code = -1;
  return RunBatchIfRequested(static_cast<int>(argv.size()), argv.data(), code) ? code : -100;
}

std::vector<std::vector<std::string>> TsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    rows.emplace_back(1);
    for (char c : line) c == '\t' ? void(rows.back().emplace_back()) : rows.back().back().push_back(c);
  }
  return rows;
}

// A saved-results file without its date, which changes from one second to the next.
std::string Undated(const std::string& text) { return text.substr(0, text.find("POSTED DATE:")); }

DataProgram Load(const std::string& path, int kind) {
  DataProgram dp;
  EXPECT_EQ(kBlastOk, LitBlastForListBox(nullptr, nullptr, dp, path, kind)) << path;
  return dp;
}

class BatchTest : public ::testing::Test {
 protected:
  test_support::TempFolder dir_;
};

}  // namespace

TEST_F(BatchTest, SaveAndHtmlReadBackAsTheReport) {
  const std::string out = dir_ / "out.vist";
  ASSERT_EQ(0, Batch({"--save", kReport, "-o", out}));
  const DataProgram original = Load(kReport, 5), back = Load(out, kReportBlastText);
  ASSERT_TRUE(original.hitCount == back.hitCount && original.alignmentCount == back.alignmentCount);
  EXPECT_EQ(original.Hit(1)->identifier, back.Hit(1)->identifier);

  ASSERT_EQ(0, Batch({"--export-html", kReport, "-o", dir_ / "report.txt"}));
  EXPECT_EQ(5u, dir_.EntryCount());  // out.vist and the four pages
  const std::string list = ReadWholeFile(dir_ / "report_lr.html"), ali = ReadWholeFile(dir_ / "report_ali.html");
  EXPECT_NE(std::string::npos, list.find("report_ali.html#ALI" + std::to_string(original.hitCount) + "\""));
  EXPECT_TRUE(ali.find("<A NAME=\"ALI1\"></A>") != std::string::npos && ali.find("<FONT COLOR=\"#") != std::string::npos);
}

TEST_F(BatchTest, TsvHasOneRowPerAlignmentOfEveryTableAndExactNumbers) {
  const std::string out = dir_ / "out.tsv";
  ASSERT_EQ(Batch({"--export-tsv", Blast("blastplus_text/bioperl_multiresult_blastn+.bls"), "-o", out}), 0);
  auto rows = TsvRows(ReadWholeFile(out));
  ASSERT_EQ(rows.size(), 1u + 36u);
  EXPECT_EQ(rows[0], TsvRows(ReadWholeFile(kShellData + "header.tsv"))[0]);
  for (const auto& r : rows) ASSERT_EQ(r.size(), 25u);
  EXPECT_EQ((std::vector<std::string>{rows[1][0], rows[1][1], rows[1][2], rows[1][8], rows[1][16]}),
            (std::vector<std::string>{"bioperl_multiresult_blastn+.bls", "1", "GI|194750627|REF|XM_001957596.1|", "1",
                                      "-1"}));
  EXPECT_EQ(std::strtod(rows[1][9].c_str(), nullptr), 42.8);
  EXPECT_EQ(rows[14][0] + " " + rows[14][1], "bioperl_multiresult_blastn+.bls (query 2) 1");
  EXPECT_EQ(dir_.EntryCount(), 1u);  // no temporary file left beside the output

  // Numbers read back exactly; a tab in a text does not split the row.
  ASSERT_EQ(Batch({"--export-tsv", kShellData + "numbers.bla", "-o", out}), 0);
  rows = TsvRows(ReadWholeFile(out));
  ASSERT_TRUE(rows.size() == 2u && rows[1].size() == 25u);
  EXPECT_EQ(rows[1][3], "A DESCRIPTION WITH A TAB");
  for (const auto& [column, value] : std::vector<std::pair<int, double>>{
           {9, 0.1}, {10, 3.333333333333333e-7}, {11, 33.33333333333333}, {15, 0.30000000000000004}})
    EXPECT_EQ(std::strtod(rows[1][static_cast<std::size_t>(column)].c_str(), nullptr), value) << column;
}

// Failures exit 1 (input, output) or 2 (usage), say why and leave the output as it was.
TEST_F(BatchTest, FailuresExitOneOrTwoAndLeaveTheOutputAlone) {
  const std::string keep = dir_.Write("keep.out", "previous contents\n");
  const std::string bad = dir_.Write("bad.txt", "not a report\n");
  const std::string none = dir_ / "no/such.out", missing = dir_ / "missing.bla";
  const std::string truncated = Blast("blast_legacy_text_truncated/bioperl_ex_NCBI_blastn.txt");
  const struct {
    int code;
    std::vector<std::string> args;
    const char* error;  // expected on standard error
  } rows[] = {
      {1, {"--save", missing, "-o", keep}, ""},
      {1, {"--save", kReport, "-o", none}, ""},
      {1, {"--export-html", kReport, "-o", none}, ""},
      {1, {"--export-html", bad, "-o", keep}, ""},
      {1, {"--export-tsv", bad, "-o", keep}, "Unable to open or read your file.\nPlease, check the file :\n"},
      {1, {"--export-tsv", truncated, "-o", keep}, ""},
      {1, {"--export-tsv", Blast("blast_legacy_text_ncbi/bioperl_multi_blast.bls"), "-o", none}, "cannot write"},
      {1, {"--hca", missing, "-o", dir_ / "x.hca"}, "Unable to retrieve the sequence."},
      {2, {"--save", kReport}, ""},
      {2, {"--export-html", kReport, kReport, "-o", keep}, ""},
      {2, {"--export-tsv"}, "usage: vistram"},
      {2, {"--export-tsv", "a", "-o"}, ""},
      {2, {"--hca", kReport, "-o", dir_ / "x.txt"}, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args[0] + " " + (row.args.size() > 1 ? row.args[1] : ""));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Batch(row.args), row.code);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(row.error), std::string::npos) << row.error;
    EXPECT_EQ(ReadWholeFile(keep), "previous contents\n");
    EXPECT_EQ(dir_.EntryCount(), 2u);
  }
}

// A write-protected target refused (to an ordinary user: root may write anything), a
// file's own mode kept, a link written through, a FIFO written in place.
TEST_F(BatchTest, WritersKeepProtectedFilesModesLinksAndFifos) {
  const fs::path dir = dir_.path();
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  const std::string report = dir_ / "report.txt";
  const std::string fasta = dir_.Write("seq.fasta", ">s\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHF\n");
  fs::copy_file(kReport, report);
  RecordingPlatform platform;
  platform.SetProgramPath(dir_ / "vistram");
  SetCurrentPlatform(&platform);
  const struct {
    const char* file;  // the target's name
    std::function<bool(const std::string& target)> write;
  } writers[] = {
      {"out.tsv", [&](const std::string& t) { return Batch({"--export-tsv", report, "-o", t}) == 0; }},
      {"out.vist", [&](const std::string& t) { return Batch({"--save", report, "-o", t}) == 0; }},
      {"out_main.html", [&](const std::string&) { return Batch({"--export-html", report, "-o", dir_ / "out.html"}) == 0; }},
      {"out.hca", [&](const std::string& t) { return Batch({"--hca", fasta, "-o", t}) == 0; }},
      {"vistram.cfg", [](const std::string& t) { ProfileFile p; return p.Set("gui_pref", "LBLINES", "3") && p.Save(t); }},
  };
  for (const auto& w : writers) {
    SCOPED_TRACE(w.file);
    const std::string target = dir_ / w.file, real = dir_ / "real";
    dir_.Write(w.file, "protected");
    ::chmod(target.c_str(), 0444);
    const pid_t child = ::fork();
    if (child == 0) {
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
      ::_exit(w.write(target) ? 1 : 0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(status == 0 && ReadWholeFile(target) == "protected");

    ::chmod(target.c_str(), 0604);
    ASSERT_TRUE(w.write(target));
    const std::string written = Undated(ReadWholeFile(target));
    struct stat st {};
    EXPECT_TRUE(written != "protected" && ::stat(target.c_str(), &st) == 0 && (st.st_mode & 07777) == 0604u);

    fs::rename(target, real);
    fs::create_symlink("real", target);
    ASSERT_TRUE(w.write(target));
    EXPECT_TRUE(fs::is_symlink(target) && Undated(ReadWholeFile(real)) == written);
    fs::remove(target);
    fs::remove(real);

    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    std::string piped;
    std::thread reader([&] { piped = ReadWholeFile(target); });
    EXPECT_TRUE(w.write(target));
    reader.join();
    EXPECT_TRUE(Undated(piped) == written && fs::is_fifo(target));
    fs::remove(target);
  }
  SetCurrentPlatform(nullptr);
}
