// vistram --blast2 and --clustalw as scripts run them, in a private
// installation: with a stand-in helper, and end to end through the real one.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "web_test_support.h"

using namespace webtest;

namespace {

class WebBatchTest : public ::testing::Test {
 protected:
  // vistram's exit code with `arguments` and this installation's configuration; its standard error in `err`.
  int Vistram(const std::string& arguments, std::string& err) {
    const std::string command = std::string(VISTRAM_BINARY_DIR) + "/bin/vistram " + arguments + " --config " +
                                inst_.Config() + " 2>" + inst_.Path("stderr.txt") + " >/dev/null";
    const int status = std::system(command.c_str());
    err = ReadAll(inst_.Path("stderr.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  Installation inst_;
  const std::string sequence_ = TestData("sequences/bioperl_calm.swiss");
  const std::string fasta_ = TestData("sequences/galaxy_blast_rhodopsin_proteins.fasta");
  const std::string out_ = inst_.Path("answer.txt");
};

TEST_F(WebBatchTest, AnswersOfAStandInHelper) {
  const std::string msf = TestData("web/bioperl_cysprot.msf"), report = ShippedFile("sample.bla"), o = " -o " + out_;
  const std::string refused = "Unable to open or read your file.", usage = "usage: vistram";
  // key, value: a setting changed for the run (SERVER_BLAST in blast2.cfg, others in vistram.cfg); err: held by
  // standard error; seen: held by the request and post files the stand-in saw. An exit code 0 writes the answer.
  const struct { const char* name; std::string answer; const char *key, *value; std::string args; int code;
                 std::string err; Strings seen; } cases[] = {
      {"blast2", report, nullptr, "", "--blast2 " + sequence_ + o, 0, "",
       {"\nAction=ACT_OPENBLAST\n", "PROGRAM=blastp&DATABASE=nr&ENTREZ%5FQUERY=&QUERY=%3ECALM%5FHUMAN%0D%0AADQLT"}},
      {"clustalw", msf, nullptr, "", "--clustalw " + fasta_ + o, 0, "",
       {"\nServerName=local://clustalw\nAction=ACT_OPENMSF\n", "||outorder=aligned&guidetree=slow&matrix=gonnet&gapopen"
        "=10&gapext=0.2&sequence=%3Egi%7C57163783%7Cref%7CNP%5F0010092421%7C+rhodopsin+Felis+catus%0D%0AMNGTEG"}},
      {"blast2 without answer", "", nullptr, "", "--blast2 " + sequence_ + o, 1, refused, {}},
      {"blast2 answered not a report", msf, nullptr, "", "--blast2 " + sequence_ + o, 1, refused, {}},
      {"clustalw answered no MSF", report, nullptr, "", "--clustalw " + fasta_ + o, 1, "Unable to open a non-MSF", {}},
      {"blast2 of no sequence", report, nullptr, "", "--blast2 " + inst_.Config() + o, 1,
       refused + "\nPlease, check the file :\n" + inst_.Config(), {}},
      {"clustalw of no sequences", msf, nullptr, "", "--clustalw " + inst_.Config() + o, 1, refused, {}},
      {"no helper", report, "VISTWEB", "missing", "--blast2 " + sequence_ + o, 1, "Unable to call 'Vist Web'.", {}},
      {"refused server", report, "SERVER_BLAST", "http://blast.example.org", "--blast2 " + sequence_ + o, 1,
       "Please use either ExPASy or Infobiogen\nor NCBI WWW server.", {}},
      {"no output", report, nullptr, "", "--blast2 " + sequence_, 2, usage, {}},
      {"no input", report, nullptr, "", "--blast2" + o, 2, usage, {}},
      {"two inputs", report, nullptr, "", "--blast2 a b" + o, 2, usage, {}},
      {"clustalw without output", report, nullptr, "", "--clustalw " + fasta_ + " -o", 2, usage, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* seen : {"seen-request0", "seen-post0"}) fs::remove(inst_.Path(seen));
    inst_.WriteHelper(c.answer);
    const std::string file = c.key && std::string(c.key) == "SERVER_BLAST" ? "blast2.cfg" : "vistram.cfg";
    const std::string keep = ReadAll(inst_.Path(file));
    if (c.key != nullptr) inst_.SetKey(file, c.key, c.value);
    std::string err;
    EXPECT_EQ(Vistram(c.args, err), c.code) << err;
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    EXPECT_EQ(fs::exists(out_) ? ReadAll(out_) : "none", c.code == 0 ? ReadAll(c.answer) : "none");
    for (const std::string& seen : c.seen) EXPECT_TRUE(Has(inst_.Seen("request") + inst_.Seen("post"), seen)) << seen;
    EXPECT_TRUE(FilesIn(inst_.Cache()).empty());
    fs::remove(out_);
    WriteAll(inst_.Path(file), keep);
  }
}

// Through the real helper: the URL API's report, or the helper's note on
// standard error; the helper's settings come from the configuration named
// by --config (its e-mail address, its time limit).
TEST_F(WebBatchTest, Blast2ThroughTheUrlApi) {
  if (!PrivateNamespaces()) GTEST_SKIP() << "no private mount namespace for the test's NCBI host name";
  for (const auto& [waits, limit, note] : std::vector<std::tuple<const char*, const char*, std::string>>{
           {"1", "60", ""},
           {"99", "3", "VistWeb: no result from blast.ncbi.test within 3 seconds (search R42XYZ).\n"}}) {
    vwtest::LoopbackServer server({"urlapi", "--waits", waits, "--page", kUrlApiReport});
    UseUrlApiServer(inst_, server.Port());
    inst_.SetKey("vistram.cfg", "TIME_LIMIT", limit);
    std::string err;
    EXPECT_EQ(Vistram("--blast2 " + sequence_ + " -o " + out_, err), note.empty() ? 0 : 1) << err;
    EXPECT_EQ(err, note);
    EXPECT_EQ(fs::exists(out_) ? ReadAll(out_) : "none", note.empty() ? ReadAll(kUrlApiReport) : "none");
    EXPECT_TRUE(vwtest::RequestBody(server.Request(1)).ends_with("&CMD=Put&tool=vistweb&email=tester%40example.org"));
    EXPECT_TRUE(FilesIn(inst_.Cache()).empty());
    fs::remove(out_);
  }
}

TEST_F(WebBatchTest, Blast2WithTheLocalBlastpAndTheDatabasesOfTheConfiguration) {
  ASSERT_EQ(vwtest::RunProgram({"makeblastdb", "-in", fasta_, "-dbtype", "prot", "-out", inst_.Path("rhodopsins")}), 0);
  const std::string fasta = ReadAll(fasta_);
  WriteAll(inst_.Path("query.fasta"), fasta.substr(0, fasta.find('>', 1)));  // the first rhodopsin
  inst_.SetKey("blast2db.cfg", "rhodopsins", "Rhodopsins");  // the first database of the sheet
  inst_.SetKey("blast2.cfg", "SERVER_BLAST", "local://blastp");
  inst_.SetKey("vistram.cfg", "ACCEPTED_SERVERS", "blastp");
  inst_.SetKey("vistram.cfg", "VISTWEB", kVistweb.c_str());
  inst_.SetKey("vistram.cfg", "BLASTDB", inst_.Path("").c_str());
  std::string err;
  ASSERT_EQ(Vistram("--blast2 " + inst_.Path("query.fasta") + " -o " + out_, err), 0) << err;
  // The title as the sheet makes it (27 characters), the whole database searched.
  const std::string report = ReadAll(out_);
  EXPECT_TRUE(report.starts_with("BLASTP ") && Has(report, "\nQuery= gi|57163783|ref|NP_00100924\n") &&
              Has(report, "6 sequences; 2,059 total letters")) << report;
  EXPECT_TRUE(FilesIn(inst_.Cache()).empty());
}

}  // namespace
