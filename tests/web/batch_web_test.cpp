// vistram --blast2 and --clustalw run as scripts run them, in a private
// installation: with a stand-in helper, and end to end through the real
// helper (a loopback URL API server, local blastp and clustalw runs).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "end_to_end_support.h"
#include "vistram/editor/msf.h"

using webtest::Installation;
using webtest::ReadAll;

namespace {

struct Outcome {
  int code = -1;
  std::string err;
};

class WebBatchTest : public ::testing::Test {
 protected:
  Outcome Vistram(const std::string& arguments) {
    const std::string err = inst_.Path("stderr.txt");
    const std::string command = std::string(VISTRAM_BINARY_DIR) + "/bin/vistram " + arguments + " 2>" + err +
                                " >/dev/null";
    const int status = std::system(command.c_str());
    Outcome r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadAll(err);
    webtest::fs::remove(err);
    return r;
  }
  std::string Config() const { return " --config " + inst_.Config(); }
  std::string Sequence() const { return std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/bioperl_calm.swiss"; }
  std::string Fasta() const {
    return std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/galaxy_blast_rhodopsin_proteins.fasta";
  }
  std::string Msf() const { return std::string(VISTRAM_TEST_DATA_DIR) + "/web/bioperl_cysprot.msf"; }

  Installation inst_;
};

TEST_F(WebBatchTest, Blast2AnswerIsWrittenWhenItLoadsAsAReport) {
  const std::string report = webtest::ShippedFile("sample.bla");
  inst_.WriteHelper(report);
  const std::string out = inst_.Path("answer.txt");
  const Outcome r = Vistram("--blast2 " + Sequence() + " -o " + out + Config());
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadAll(out), ReadAll(report));
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
  // The shipped defaults, the sequence read from the file and its name as the title.
  const std::string post = inst_.SeenPost();
  EXPECT_EQ(post.rfind("PROGRAM=blastp&DATABASE=nr&ENTREZ%5FQUERY=&QUERY=%3ECALM%5FHUMAN%0D%0AADQLTEEQIAEFKEAF", 0), 0u)
      << post;
  EXPECT_NE(post.find("&EXPECT=10&FILTER=L&DESCRIPTIONS=100&ALIGNMENTS=50&MATRIX=BLOSUM62&GENETIC%5FCODE=1&CMD=Put"),
            std::string::npos);
  EXPECT_NE(inst_.SeenRequest().find("\nAction=ACT_OPENBLAST\n"), std::string::npos);
}

TEST_F(WebBatchTest, Blast2FailuresExitWithTheirMessage) {
  const std::string out = inst_.Path("answer.txt");
  const struct {
    const char* name;
    std::string answer;   // the stand-in's answer ("" none)
    std::string message;  // expected on standard error
  } cases[] = {
      {"no answer", "", "Unable to open or read your file."},
      {"not a report", Msf(), "Unable to open or read your file."},
  };
  for (const auto& c : cases) {
    inst_.WriteHelper(c.answer);
    const Outcome r = Vistram("--blast2 " + Sequence() + " -o " + out + Config());
    EXPECT_EQ(r.code, 1) << c.name;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    EXPECT_FALSE(webtest::fs::exists(out)) << c.name;
    EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty()) << c.name;
  }
  Outcome r = Vistram("--blast2 " + inst_.Config() + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Unable to open or read your file.\nPlease, check the file :\n" + inst_.Config()),
            std::string::npos);
  inst_.SetKey("vistram.cfg", "VISTWEB", "missing-helper");
  r = Vistram("--blast2 " + Sequence() + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Unable to call 'Vist Web'."), std::string::npos) << r.err;
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
  inst_.SetKey("blast2.cfg", "SERVER_BLAST", "http://blast.example.org");
  r = Vistram("--blast2 " + Sequence() + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Please use either ExPASy or Infobiogen\nor NCBI WWW server."), std::string::npos) << r.err;
  for (const std::string& usage : {std::string("--blast2 ") + Sequence(), std::string("--blast2 -o ") + out,
                                   "--blast2 a b -o " + out, "--clustalw " + Fasta() + " -o"}) {
    r = Vistram(usage + Config());
    EXPECT_EQ(r.code, 2) << usage;
    EXPECT_NE(r.err.find("usage: vistram"), std::string::npos) << usage;
  }
}

TEST_F(WebBatchTest, ClustalwAnswerIsWrittenWhenItIsAnMsfFile) {
  inst_.WriteHelper(Msf());
  const std::string out = inst_.Path("aligned.msf");
  Outcome r = Vistram("--clustalw " + Fasta() + " -o " + out + Config());
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadAll(out), ReadAll(Msf()));
  const std::string post = inst_.SeenPost();
  EXPECT_EQ(post.rfind("POST /clustalw HTTP/1.0|User-Agent: Netscape/4.0|", 0), 0u);
  EXPECT_NE(post.find("||outorder=aligned&guidetree=slow&matrix=gonnet&gapopen=10&gapext=0.2&sequence="
                      "%3Egi%7C57163783%7Cref%7CNP%5F0010092421%7C+rhodopsin+Felis+catus%0D%0AMNGTEGPNFYVPF"),
            std::string::npos)
      << post;
  EXPECT_NE(inst_.SeenRequest().find("\nServerName=local://clustalw\nAction=ACT_OPENMSF\n"), std::string::npos);
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());

  webtest::fs::remove(out);
  // An answer the editor's MSF reader refuses; an input without sequences.
  inst_.WriteHelper(webtest::ShippedFile("sample.bla"));
  r = Vistram("--clustalw " + Fasta() + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Unable to open a non-MSF file.\n");
  EXPECT_FALSE(webtest::fs::exists(out));
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
  r = Vistram("--clustalw " + inst_.Config() + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Unable to open or read your file."), std::string::npos);
}

// End to end through the real helper. The answers are checked, the notes of
// the helper reach standard error, and the helper's settings come from the
// configuration named by --config.
TEST_F(WebBatchTest, Blast2ThroughTheUrlApi) {
  if (!webtest::PrivateNamespaces()) GTEST_SKIP() << "no private mount namespace for the test's NCBI host name";
  inst_.SetKey("vistram.cfg", "VISTWEB", webtest::WriteNcbiHelper(inst_));
  const std::string out = inst_.Path("answer.txt");
  const struct {
    const char* final;
    int waits;   // status requests answered WAITING
    int limit;   // the helper's TIME_LIMIT
    int code;
    const char* message;
  } cases[] = {
      {"READY", 1, 60, 0, ""},
      {"FAILED", 1, 60, 1, "VistWeb: the BLAST server blast.ncbi.test reports the search R42XYZ as FAILED.\n"},
      {"BROKEN", 1, 60, 1, "VistWeb: the report of search R42XYZ could not be read from blast.ncbi.test.\n"},
      {"READY", 1000, 3, 1, "VistWeb: no result from blast.ncbi.test within 3 seconds (search R42XYZ).\n"},
  };
  for (const auto& c : cases) {
    vwtest::LoopbackServer server({"urlapi", "--waits", std::to_string(c.waits), "--final", c.final, "--page",
                                   webtest::UrlApiReport()});
    webtest::UseUrlApiServer(inst_, server.Port());
    inst_.SetKey("vistram.cfg", "TIME_LIMIT", std::to_string(c.limit));
    const Outcome r = Vistram("--blast2 " + Sequence() + " -o " + out + Config());
    EXPECT_EQ(r.code, c.code) << c.final << ": " << r.err;
    EXPECT_EQ(r.err, c.message) << c.final;
    if (c.code == 0) EXPECT_EQ(ReadAll(out), ReadAll(webtest::UrlApiReport()));
    else EXPECT_FALSE(webtest::fs::exists(out)) << c.final;
    EXPECT_NE(vwtest::RequestBody(server.Request(1)).find("&CMD=Put&tool=vistweb&email=tester%40example.org"),
              std::string::npos);
    EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty()) << c.final;
    webtest::fs::remove(out);
  }
}

TEST_F(WebBatchTest, Blast2WithTheLocalBlastp) {
  // A protein database of the rhodopsins, the first of them as the query.
  const std::string db = inst_.Path("db");
  webtest::fs::create_directories(db);
  ASSERT_EQ(vwtest::RunProgram({"makeblastdb", "-in", Fasta(), "-dbtype", "prot", "-out", db + "/rhodopsins"}), 0);
  const std::string fasta = ReadAll(Fasta());
  const std::string query = inst_.Path("query.fasta");
  webtest::WriteAll(query, fasta.substr(0, fasta.find('>', 1)));
  std::string dbs = ReadAll(inst_.Path("blast2db.cfg"));
  Installation::Replace(dbs, "\nnr=", "\nrhodopsins=Rhodopsins\nnr=");
  webtest::WriteAll(inst_.Path("blast2db.cfg"), dbs);
  inst_.SetKey("blast2.cfg", "SERVER_BLAST", "local://blastp");
  inst_.SetKey("vistram.cfg", "ACCEPTED_SERVERS", "blastp");
  inst_.SetKey("vistram.cfg", "VISTWEB", webtest::kVistweb);
  const std::string out = inst_.Path("answer.txt");
  // Found through BLASTDB of the configuration; an empty folder has no database.
  for (const std::string& folder : {db, inst_.Cache()}) {
    inst_.SetKey("vistram.cfg", "BLASTDB", folder);
    const Outcome r = Vistram("--blast2 " + query + " -o " + out + Config());
    if (folder == db) {
      ASSERT_EQ(r.code, 0) << r.err;
      const std::string report = ReadAll(out);
      EXPECT_EQ(report.rfind("BLASTP ", 0), 0u);
      // The title as the sheet makes it (27 characters), the whole database searched.
      EXPECT_NE(report.find("\nQuery= gi|57163783|ref|NP_00100924\n"), std::string::npos);
      EXPECT_NE(report.find("6 sequences; 2,059 total letters"), std::string::npos);
      webtest::fs::remove(out);
    } else {
      EXPECT_EQ(r.code, 1);
      EXPECT_EQ(r.err.rfind("VistWeb: blastp failed: ", 0), 0u) << r.err;
      EXPECT_FALSE(webtest::fs::exists(out));
    }
    EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
  }
}

TEST_F(WebBatchTest, ClustalwWithTheLocalClustalw) {
  inst_.SetKey("vistram.cfg", "VISTWEB", webtest::kVistweb);
  const std::string out = inst_.Path("aligned.msf");
  Outcome r = Vistram("--clustalw " + Fasta() + " -o " + out + Config());
  ASSERT_EQ(r.code, 0) << r.err;
  int rows = 0, columns = 0;
  EXPECT_TRUE(AnalyseMSFHeader(out, rows, columns));
  EXPECT_EQ(rows, 6);
  EXPECT_GE(columns, 354);  // the longest rhodopsin
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
  webtest::fs::remove(out);

  const std::string one = inst_.Path("one.fasta");
  webtest::WriteAll(one, ">alone\nMKVLAAGIVGLLLAHW\n");
  r = Vistram("--clustalw " + one + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.rfind("VistWeb: clustalw failed: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("Only 1 sequence"), std::string::npos) << r.err;
  EXPECT_FALSE(webtest::fs::exists(out));
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
}

}  // namespace
