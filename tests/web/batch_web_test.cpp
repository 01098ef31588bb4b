// vistram --blast2 and --clustalw run as scripts run them, with a stand-in
// helper in a private installation.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "web_test_support.h"

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
  inst_.WriteHelper(webtest::ShippedFile("sample.bla"));
  r = Vistram("--clustalw " + Fasta() + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(webtest::fs::exists(out));
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
  r = Vistram("--clustalw " + webtest::ShippedFile("sample.bla") + " -o " + out + Config());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Unable to open or read your file."), std::string::npos);
}

}  // namespace
