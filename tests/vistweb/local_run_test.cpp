// Requests served by programs on this machine: clustalw and BLAST+.
#include <gtest/gtest.h>

#include "vistram/results/report_kind.h"
#include "vistram/web/form_encoding.h"
#include "vistweb/local_run.h"
#include "vistweb/run.h"
#include "vistweb_test_support.h"

using namespace vwtest;
using Strings = std::vector<std::string>;

namespace {

const char kSequences[] =
    ">one first protein\nMKVLAAGIVALLLAAGCSSSKEETAPKAEEKPAAEQ\n>two second.protein\nMKVLSAGIVALLLAAGCSSEETKPAAEAPKAEE\n"
    ">three\nMKILAAGIVGLLLAGCSSKEETAPKAEEKPAAEQ\n";

TEST(LocalRun, OptionsComeOnlyFromKnownValues) {
  EXPECT_EQ(ClustalwArguments(DecodeForm("OUTORDER=input&QT=fast&MATRIX=Gonnet&GAPOPEN=10&GAPEXT=0.2&SEQUENCE=x"),
                              "/p/in", "/p/out"),
            (Strings{"clustalw", "-infile=/p/in", "-outfile=/p/out", "-output=gcg", "-outorder=input", "-quicktree",
                     "-matrix=gonnet", "-gapopen=10", "-gapext=0.2"}));
  // Values that are not what the options take are left out, not passed on.
  EXPECT_EQ(ClustalwArguments(DecodeForm("OUTORDER=-tree&QT=slow&MATRIX=%2Fetc%2Fx&GAPOPEN=-5&GAPEXT=1+-infile%3Dx"),
                              "i", "o"),
            (Strings{"clustalw", "-infile=i", "-outfile=o", "-output=gcg"}));
  const struct { const char *body, *program; Strings present, absent; bool usable; } cases[] = {
      {"DATABASE=swissprot&EXPECT=1e-5&MATRIX_NAME=PAM30&FILTER=L&DESCRIPTIONS=20&ALIGNMENTS=5&", "blastp",
       {"swissprot", "1e-5", "PAM30", "-seg", "yes", "20", "5"}, {"-dust"}, true},
      {"DATABASE=nt&FILTER=F&MATRIX=BLOSUM62", "blastn", {"-dust", "no"}, {"-matrix", "-seg"}, true},
      {"DATABASE=nr&GENETIC_CODE=11", "blastx", {"-query_gencode", "11"}, {}, true},
      {"DATABASE=nr&GENETIC_CODE=11", "blastp", {}, {"-query_gencode"}, true},
      {"DATABASE=nr&EXPECT=1%3Brm&DESCRIPTIONS=-1&MATRIX=-out", "blastp", {}, {"-evalue", "-num_descriptions", "-matrix"},
       true},
      {"DATABASE=-remote", "blastp", {}, {}, false}, {"DATABASE=..%2Fsecret", "blastp", {}, {}, false},
      {"QUERY=MKV", "blastp", {}, {}, false}};
  for (const auto& c : cases) {
    const Strings args = BlastArguments(c.program, DecodeForm(c.body), "/p/q", "/p/out");
    ASSERT_EQ(!args.empty(), c.usable) << c.body;
    if (!c.usable) continue;
    EXPECT_EQ(args[0], c.program);
    for (const std::string& word : c.present) EXPECT_TRUE(Holds(args, word)) << c.body << " lacks " << word;
    for (const std::string& word : c.absent) EXPECT_FALSE(Holds(args, word)) << c.body << " has " << word;
  }
  EXPECT_TRUE(IsLocalProgram("tblastx") && !IsLocalProgram("sh"));
  std::string sequences;  // the last found by its '>'
  for (const char* body : {"SEQUENCE=%3Ea%0D%0AMKV%0D%0A", "QUERY=MKVL", "QUERY=+%0D%0A", "seq_field=%3Ex%0D%0AAC"})
    sequences += FormSequences(DecodeForm(body)) + "|";
  EXPECT_EQ(sequences, ">a\nMKV\n|>query\nMKVL\n||>x\nAC\n|");
}

// Local runs answer with their output, or with a note of one line; nothing
// of the run stays behind in the private folders.
TEST(LocalRun, ClustalwAndBlastAnswerOrLeaveANote) {
  TempFolder db;
  ASSERT_EQ(RunProgram({"makeblastdb", "-in", db.Write("db.fasta", kSequences), "-dbtype", "prot", "-out", db / "labdb"}),
            0);
  const std::string clustal = "OUTORDER=input&QT=fast&MATRIX=blosum&GAPEXT=0.2&SEQUENCE=" + ConvertToMimeName(kSequences);
  const std::string note = "VistWeb: ";
  const struct { const char* server; std::string body; Strings parts; bool isNote; } cases[] = {
      // The ClustalW post file starts with its header segment; the input order is kept.
      {"local://clustalw", "POST /cgi-bin/clustalw HTTP/1.0|User-Agent: Netscape/4.0|Content-type: application/"
       "x-www-form-urlencoded|Content-length:" + std::to_string(clustal.size()) + "||" + clustal,
       {"MSF:", "Name: one", "Name: two", "Name: three", "//"}, false},
      // "local://blast" takes the program from the form, as the BLAST-2 sheet sends it.
      {"local://blast", ConvertToMimeName("CMD=Put&PROGRAM=blastp&DATABASE=labdb&QUERY=>probe\nMKVLAAGIVALLLAAGCSSSKE"
                                          "&EXPECT=10&DESCRIPTIONS=50&ALIGNMENTS=50&"),
       {"BLASTP", "Query= probe", "\n>one first protein"}, false},
      {"local://sh", "QUERY=MKV", {note + "\"sh\" is not a program this helper runs."}, true},
      {"local://blast", "PROGRAM=clustalw&QUERY=MKV", {note + "\"clustalw\" is not a program this helper runs."}, true},
      {"local://blastp", "DATABASE=labdb&EXPECT=10", {note + "the request holds no sequence for blastp."}, true},
      {"local://blastp", "QUERY=MKV&DATABASE=%2Fx", {note + "the request names no usable database for blastp."}, true},
      {"local://blastp", "QUERY=MKV&DATABASE=nosuchdb", {note + "blastp failed: ", "database [nosuchdb]"}, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.server) + " " + c.body.substr(0, 40));
    Request request(c.server, "/x", c.body, "TIME_LIMIT=60\nBLASTDB=" + db.path() + "\n");
    RecordingProgress progress;
    RunVistWeb(request.path, progress);
    const std::string answer = ReadFile(request.response);
    std::size_t at = 0;
    for (const std::string& part : c.parts) EXPECT_NE(at = answer.find(part, at), std::string::npos) << part << answer;
    EXPECT_TRUE(!c.isNote || (answer.rfind(c.parts[0], 0) == 0 && answer.find('\n') == answer.size() - 1)) << answer;
    EXPECT_TRUE(c.parts[0] != "BLASTP" || TestFichier(request.response) == kReportBlastText);
    EXPECT_EQ(Holds(progress.lines, "Running clustalw..."), c.parts[0] == "MSF:");
    EXPECT_EQ(request.dir.EntryCount(), 4u);
  }
}

}  // namespace
