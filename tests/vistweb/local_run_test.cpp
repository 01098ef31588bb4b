// Requests served by programs on this machine: clustalw and BLAST+.
#include <gtest/gtest.h>

#include "vistram/results/report_kind.h"
#include "vistweb/local_run.h"
#include "vistweb/run.h"
#include "vistweb_test_support.h"

using vwtest::FormEncode;
using vwtest::ReadFile;
using vwtest::TempFolder;
using vwtest::WriteFile;

namespace {

const char kSequences[] =
    ">one first protein\nMKVLAAGIVALLLAAGCSSSKEETAPKAEEKPAAEQ\n"
    ">two second.protein\nMKVLSAGIVALLLAAGCSSEETKPAAEAPKAEEKS\n"
    ">three\nMKILAAGIVGLLLAGCSSKEETAPKAEEKPAAEQ\n";

bool Contains(const std::vector<std::string>& args, const std::string& word) {
  for (const std::string& a : args)
    if (a == word) return true;
  return false;
}

}  // namespace

TEST(LocalRun, ClustalwOptionsComeOnlyFromKnownValues) {
  FormFields good = DecodeForm("OUTORDER=input&QT=fast&MATRIX=Gonnet&GAPOPEN=10&GAPEXT=0.2&SEQUENCE=x");
  std::vector<std::string> args = ClustalwArguments(good, "/p/in.fasta", "/p/out");
  EXPECT_EQ(args, (std::vector<std::string>{"clustalw", "-infile=/p/in.fasta", "-outfile=/p/out", "-output=gcg",
                                            "-outorder=input", "-quicktree", "-matrix=gonnet", "-gapopen=10",
                                            "-gapext=0.2"}));
  // Values that are not what the options take are left out, not passed on.
  FormFields bad = DecodeForm("OUTORDER=-tree&QT=slow&MATRIX=%2Fetc%2Fpasswd&GAPOPEN=-5&GAPEXT=1+-infile%3Dx");
  EXPECT_EQ(ClustalwArguments(bad, "i", "o"),
            (std::vector<std::string>{"clustalw", "-infile=i", "-outfile=o", "-output=gcg"}));
}

TEST(LocalRun, BlastOptionsComeOnlyFromKnownValues) {
  struct Case {
    const char* body;
    const char* program;
    std::vector<std::string> present, absent;
    bool usable;
  } cases[] = {
      {"DATABASE=swissprot&EXPECT=1e-5&MATRIX_NAME=PAM30&FILTER=L&DESCRIPTIONS=20&ALIGNMENTS=5&", "blastp",
       {"swissprot", "1e-5", "PAM30", "-seg", "yes", "20", "5"}, {"-dust"}, true},
      {"DATABASE=nt&FILTER=F&MATRIX=BLOSUM62", "blastn", {"-dust", "no"}, {"-matrix", "-seg"}, true},
      {"DATABASE=nr&GENETIC_CODE=11", "blastx", {"-query_gencode", "11"}, {}, true},
      {"DATABASE=nr&GENETIC_CODE=11", "blastp", {}, {"-query_gencode"}, true},
      {"DATABASE=nr&EXPECT=10%3Brm&DESCRIPTIONS=-1&MATRIX=-out", "blastp", {}, {"-evalue", "-num_descriptions", "-matrix"},
       true},
      {"DATABASE=-remote", "blastp", {}, {}, false},
      {"DATABASE=..%2Fsecret", "blastp", {}, {}, false},
      {"QUERY=MKV", "blastp", {}, {}, false},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = BlastArguments(c.program, DecodeForm(c.body), "/p/q", "/p/out");
    ASSERT_EQ(!args.empty(), c.usable) << c.body;
    if (!c.usable) continue;
    EXPECT_EQ(args[0], c.program);
    for (const std::string& word : c.present) EXPECT_TRUE(Contains(args, word)) << c.body << " lacks " << word;
    for (const std::string& word : c.absent) EXPECT_FALSE(Contains(args, word)) << c.body << " has " << word;
  }
  EXPECT_TRUE(IsLocalProgram("tblastx"));
  EXPECT_FALSE(IsLocalProgram("sh"));
}

TEST(LocalRun, SequencesOfTheForm) {
  EXPECT_EQ(FormSequences(DecodeForm("SEQUENCE=%3Ea%0D%0AMKV%0D%0A")), ">a\nMKV\n");
  EXPECT_EQ(FormSequences(DecodeForm("QUERY=MKVL")), ">query\nMKVL\n");
  EXPECT_EQ(FormSequences(DecodeForm("sequences_field=%3Ex%0D%0AAC")), ">x\nAC\n");  // found by its '>'
  EXPECT_EQ(FormSequences(DecodeForm("QUERY=+%0D%0A")), "");
}

TEST(LocalRun, ClustalwAlignsThePostedSequencesIntoAnMsfFile) {
  TempFolder dir;
  std::string body = "OUTORDER=input&QT=fast&MATRIX=blosum&GAPOPEN=10&GAPEXT=0.2&SEQUENCE=" + FormEncode(kSequences);
  // The ClustalW post file starts with its header segment.
  WriteFile(dir / "post.tmp", "POST /cgi-bin/clustalw HTTP/1.0|User-Agent: Netscape/4.0|Content-type: "
                              "application/x-www-form-urlencoded|Content-length:" + std::to_string(body.size()) + "||" + body);
  WriteFile(dir / "vistram.cfg", "[VISTWEB]\nTIME_LIMIT=60\n");
  vwtest::WriteRequest(dir / "web.tmp", "local://clustalw", "/cgi-bin/clustalw", dir / "post.tmp", dir / "res.msf",
                       dir / "vistram");
  vwtest::RecordingProgress progress;
  RunVistWeb(dir / "web.tmp", progress);
  std::string msf = ReadFile(dir / "res.msf");
  EXPECT_NE(msf.find("MSF:"), std::string::npos) << msf;
  std::size_t one = msf.find("Name: one"), two = msf.find("Name: two"), three = msf.find("Name: three");
  ASSERT_NE(three, std::string::npos) << msf;
  EXPECT_TRUE(one < two && two < three);  // the input order asked for
  EXPECT_NE(msf.find("//"), std::string::npos);
  EXPECT_TRUE(progress.Saw("Running clustalw..."));
  // Nothing of the run stays behind in the private folders.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);
}

TEST(LocalRun, BlastpSearchesALocalDatabase) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "db");
  WriteFile(dir / "db.fasta", kSequences);
  ASSERT_EQ(vwtest::RunProgram({"makeblastdb", "-in", dir / "db.fasta", "-dbtype", "prot", "-out", dir / "db/labdb"}),
            0);
  WriteFile(dir / "vistram.cfg", "[VISTWEB]\nTIME_LIMIT=60\nBLASTDB=" + (dir / "db") + "\n");
  WriteFile(dir / "post.tmp", FormEncode("CMD=Put&PROGRAM=blastp&DATABASE=labdb&QUERY=>probe\n"
                                         "MKVLAAGIVALLLAAGCSSSKEETAPK&EXPECT=10&DESCRIPTIONS=50&ALIGNMENTS=50&"));
  // "local://blast" takes the program from the form, as the BLAST-2 sheet sends it.
  vwtest::WriteRequest(dir / "web.tmp", "local://blast", "/Blast.cgi", dir / "post.tmp", dir / "res.vist",
                       dir / "vistram");
  vwtest::RecordingProgress progress;
  RunVistWeb(dir / "web.tmp", progress);
  std::string report = ReadFile(dir / "res.vist");
  EXPECT_EQ(report.substr(0, 6), "BLASTP") << report;
  EXPECT_NE(report.find("Query= probe"), std::string::npos);
  EXPECT_NE(report.find("\n>one first protein"), std::string::npos);
  EXPECT_EQ(TestFichier(dir / "res.vist"), kReportBlastText);
}

TEST(LocalRun, FailuresLeaveANote) {
  struct Case {
    const char* server;
    std::string body;
    std::string noteStart;
  } cases[] = {
      {"local://sh", "QUERY=MKV", "VistWeb: \"sh\" is not a program this helper runs."},
      {"local://blast", "PROGRAM=clustalw&QUERY=MKV", "VistWeb: \"clustalw\" is not a program this helper runs."},
      {"local://blastp", "DATABASE=labdb&EXPECT=10", "VistWeb: the request holds no sequence for blastp."},
      {"local://blastp", "QUERY=MKV&DATABASE=%2Fetc", "VistWeb: the request names no usable database for blastp."},
      {"local://blastp", "QUERY=MKV&DATABASE=nosuchdb", "VistWeb: blastp failed: "},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    WriteFile(dir / "post.tmp", c.body);
    WriteFile(dir / "vistram.cfg", "[VISTWEB]\nBLASTDB=" + dir.Path() + "\n");
    vwtest::WriteRequest(dir / "web.tmp", c.server, "/x", dir / "post.tmp", dir / "res.vist", dir / "vistram");
    Progress quiet;
    RunVistWeb(dir / "web.tmp", quiet);
    std::string note = ReadFile(dir / "res.vist");
    EXPECT_EQ(note.substr(0, c.noteStart.size()), c.noteStart) << c.server << " " << c.body;
    EXPECT_EQ(note.find('\n'), note.size() - 1) << "a note is one line: " << note;
  }
}
