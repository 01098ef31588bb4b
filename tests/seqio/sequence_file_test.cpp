#include "vistram/seqio/sequence_file.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "seqio/seqio_test_files.h"
#include "vistram/seqio/line_pieces.h"

extern char** environ;

namespace {

struct Read {
  bool ok = false;
  std::string text;
  std::string name;
};

Read ReadFile(const std::string& path) {
  Read r;
  SequenceText t = LireSequence(path, r.name);
  if (t) {
    r.ok = true;
    r.text = t.get();
    // The text sits in a block of exactly its length plus one.
    EXPECT_EQ(MySize(t.get()), r.text.size() + 1);
  }
  return r;
}

// Real files of every format, checked against the sequence that an
// independent parser reads from them (length and both ends).
TEST(LireSequence, ReadsRealFilesOfEveryFormat) {
  struct Case {
    const char* file;
    const char* name;
    std::size_t length;
    const char* head;
    const char* tail;
  };
  const Case cases[] = {
      // FASTA: first entry only; '>>' in the description; blocks of ten; lower case; no final newline.
      {"bioperl_test.fasta", "roa1_drome", 358, "MVNSNQNQNGNS", "QGFNNGGNNRRY"},
      {"galaxy_blast_rhodopsin_proteins.fasta", "gi|57163783|ref|NP_001009242.1|", 348, "MNGTEGPNFYVP",
       "GSKTETSQVAPA"},
      {"fasta36_mgstm1.raa", "mgstm1.aa", 217, "LEGLPLKPCKRP", "TSQTIFFDKDAE"},
      {"fasta36_myosin_bp.aa", "gi|46049110|ref|NP_996557|", 1123, "MPEPTKKEENEV", "IECKLEVKVIAQ"},
      {"fasta2_mchu.aa", "MCHU", 149, "ADQLTEEQIAEF", "YEEFVQMMTAK*"},  // '*' is a residue in FASTA
      // GCG: the name comes from the file when the first line is no "ID" line.
      {"bioperl_test.gcg", "bioperl_test", 358, "MVNSNQNQNGNS", "QGFNNGGNNRRY"},
      {"bioperl_test_badlf.gcg", "bioperl_test_badlf", 146, "VXCAAEFDFMEK", nullptr},
      // NBRF entries written as ">P1;NAME", a title line and residues ending in '*'.
      {"bioperl_seqfile.pir", "CCHU", 105, "MGDVEKGKKIFI", "DLIAYLKKATNE"},
      {"biopython_DMB_prot.pir", "HLA:HLA00489", 263, "MITFLPLLLGLS", "PGSNYSEGWHIS"},
      {"fasta2_lcbo.vms", "LCBO", 229, "MDSKGSSQKGSR", "LLNCRIIYNNNC"},
      // GenPept: the name is the first word of the definition.
      {"bioruby_CAA35997.gp", "unnamed", 100, "MRTPMLLALLAL", "FQEAYRRFYGPV"},
      {"bioperl_P35527.gb", "Keratin,", 623, "MSCRQFSSSYLS", "GYGGGSGKSSHS"},
      // SwissProt: classic and current identification lines; first of several entries.
      {"bioperl_calm.swiss", "CALM_HUMAN", 148, "ADQLTEEQIAEF", "NYEEFVQMMTAK"},
      {"biopython_O23729.txt", "CHS3_BROFI", 394, "MAPAMEEIRQAQ", "IVLRSVPIAGAE"},
      {"emboss_prot.m-swiss", "SWISSM1", 100, "ACDEFGHIKLMN", "KLMNPQRSTVWY"},
      // Raw.
      {"bioperl_test2.raw", "bioperl_test2", 358, "MVNSNQNQNGNS", "QGFNNGGNNRRY"},
      {"emboss_prot.text", "emboss_prot", 100, "ACDEFGHIKLMN", "KLMNPQRSTVWY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Read r = ReadFile(SequenceDataFile(c.file));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.text.size(), c.length);
    EXPECT_EQ(r.text.substr(0, 12), c.head);
    if (c.tail != nullptr) EXPECT_EQ(r.text.substr(r.text.size() - 12), c.tail);
    EXPECT_EQ(r.text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ*"), std::string::npos);
  }
  // A FASTA entry with gap hyphens: every reader fails, the header line included.
  Read gap = ReadFile(SequenceDataFile("emboss_protgap.fasta"));
  EXPECT_FALSE(gap.ok);
  EXPECT_EQ(gap.name, "");
}

// Runs seqret to write `input` in `format`; false when seqret is not installed or fails.
bool Seqret(const std::string& input, const std::string& format, const std::string& output) {
  std::vector<std::string> args = {"seqret", "-sequence", input, "-osformat2", format, "-outseq", output, "-auto"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "seqret", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && std::filesystem::file_size(output) > 0;
}

TEST(LireSequence, ReadsWhatSeqretWritesInEachFormat) {
  TempFolder dir;
  // Calmodulin, written in lower case over lines of irregular lengths.
  const std::string protein =
      "ADQLTEEQIAEFKEAFSLFDKDGDGTITTKELGTVMRSLGQNPTEAELQDMINEVDADGNGTIDFPEFLTMMARKMKDTDSEEEIREAFRVFDKDGNGYI"
      "SAAELRHVMTNLGEKLTDEEVDEMIREADIDGDGQVNYEEFVQMMTAK";
  std::string lower = protein;
  for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
  const std::string input = dir.Write("calm.fa", ">CALM calmodulin human\n" + lower.substr(0, 70) + "\n" +
                                                    lower.substr(70, 33) + "\n" + lower.substr(103) + "\n");
  struct Case {
    const char* format;
    const char* name;  // empty: the output file's base name
  };
  const Case cases[] = {
      {"fasta", "CALM"}, {"gcg", ""},      {"pir", "CALM"},       {"nbrf", "CALM"},
      {"swiss", "CALM"}, {"genpept", "calmodulin"}, {"refseqp", "calmodulin"},
      {"codata", "calmodulin"},  // the ENTRY / TITLE / SEQUENCE layout of NBRF-PIR
      {"raw", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    const std::string output = (dir.Path() / (std::string("out_") + c.format + ".seq")).string();
    if (!Seqret(input, c.format, output)) GTEST_SKIP() << "seqret (EMBOSS) is not installed or failed";
    Read r = ReadFile(output);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, protein);
    EXPECT_EQ(r.name, *c.name != '\0' ? c.name : std::string("out_") + c.format);
  }
}

TEST(LireSequence, TakesTheFirstFastaEntryWhateverComesBefore) {
  TempFolder dir;
  Read r = ReadFile(dir.Write("two.fa",
                              "some notes; not residues!\n> alpha first entry\nMKVLAAGIVG\nLL\n>beta\nWWWWWWWWWWWW\n"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.text, "MKVLAAGIVGLL");
  EXPECT_EQ(r.name, "alpha");
  // A header holding only '>' takes the name from the file.
  r = ReadFile(dir.Write("noname.pea", ">\nMKVLAAGIVGLL\n"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.name, "noname");
  // A header longer than a line piece is never read as residues, even when
  // its rest holds only letters and blanks.
  r = ReadFile(dir.Write("long.fa", ">LONG " + std::string(150, 'Q') + " more words\nMKVLAAGIVGLL\n"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.text, "MKVLAAGIVGLL");
  EXPECT_EQ(r.name, "LONG");
}

TEST(LireSequence, EveryLineEndGivesTheSameResidues) {
  TempFolder dir;
  for (std::string end : {"\n", "\r\n", "\r"}) {
    for (bool finalEnd : {true, false}) {
      std::string fasta = ">P1 x" + end + "  1 mkvla agivg" + end + "  11 wyfhe";
      std::string raw = "mkvlaagivg" + end + "wyfhe";
      if (finalEnd) {
        fasta += end;
        raw += end;
      }
      SCOPED_TRACE(testing::Message() << "end " << (end == "\n" ? "LF" : end == "\r" ? "CR" : "CRLF") << finalEnd);
      Read f = ReadFile(dir.Write("le.fa", fasta));
      Read w = ReadFile(dir.Write("le.seq", raw));
      EXPECT_EQ(f.text, "MKVLAAGIVGWYFHE");
      EXPECT_EQ(w.text, "MKVLAAGIVGWYFHE");
    }
  }
}

TEST(LireSequence, KeepsToTenUpTo2500Residues) {
  TempFolder dir;
  auto residues = [](std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
      s += "ACDEFGHIKLMNPQRSTVWY"[i % 20];
      if (i % 60 == 59) s += '\n';
    }
    return s + "\n";
  };
  for (auto [n, ok] : {std::pair{9u, false}, {10u, true}, {2500u, true}, {2501u, false}}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ReadFile(dir.Write("n.seq", residues(n))).ok, ok);
    Read f = ReadFile(dir.Write("n.fa", ">N\n" + residues(n)));
    EXPECT_EQ(f.ok, ok);
    if (ok) EXPECT_EQ(f.text.size(), n);
  }
}

TEST(LireSequence, SwissProtDeclaringTooManyResiduesGivesNothing) {
  TempFolder dir;
  const std::string entry = "ID   BIG_HUMAN      STANDARD;      PRT;   3000 AA.\nSQ   SEQUENCE   3000 AA;\n"
                            "     MKVLAAGIVG LLLSGALALT\n//\n";
  EXPECT_FALSE(ReadFile(dir.Write("big.sw", entry)).ok);
  std::string fine = entry;
  fine.replace(fine.find("SEQUENCE   3000"), 15, "SEQUENCE     20");
  Read r = ReadFile(dir.Write("fine.sw", fine));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.name, "BIG_HUMAN");
  EXPECT_EQ(r.text, "MKVLAAGIVGLLLSGALALT");
}

TEST(LireSequence, BadInputGivesNothingAndNeverCrashes) {
  TempFolder dir;
  std::string name = "stale";
  EXPECT_EQ(LireSequence((dir.Path() / "missing.seq").string(), name), nullptr);
  EXPECT_EQ(name, "");
  EXPECT_FALSE(ReadFile(dir.Path().string()).ok);  // a folder
  EXPECT_FALSE(ReadFile(dir.Write("empty.seq", "")).ok);
  EXPECT_FALSE(ReadFile(dir.Write("blank.seq", "\n\n   \n")).ok);
  std::mt19937 random(42);
  std::string binary(65536, '\0');
  for (char& c : binary) c = static_cast<char>(random() & 0xFF);
  EXPECT_FALSE(ReadFile(dir.Write("binary.seq", binary)).ok);
  // Residues cut by NUL bytes are not taken for a sequence.
  EXPECT_FALSE(ReadFile(dir.Write("nul.seq", std::string("MKVLA\0AGIVGLL\n", 14))).ok);
  // One huge line: more than 2500 residues gives nothing; blanks are no residues.
  EXPECT_FALSE(ReadFile(dir.Write("huge.seq", std::string(5'000'000, 'M'))).ok);
  Read spaced = ReadFile(dir.Write("spaced.seq", std::string(1'000'000, ' ') + "MKVLAAGIVGLL" + std::string(999, ' ')));
  ASSERT_TRUE(spaced.ok);
  EXPECT_EQ(spaced.text, "MKVLAAGIVGLL");
  // A huge FASTA header line before a valid entry.
  Read header = ReadFile(dir.Write("hdr.fa", ">H " + std::string(300000, 'x') + "\nMKVLAAGIVGLL\n"));
  ASSERT_TRUE(header.ok);
  EXPECT_EQ(header.text, "MKVLAAGIVGLL");
  // A sparse file of 64 MB stands for an endless input: the search for a
  // sequence stops after kMaxSequenceFileBytes, so the entry at its end is
  // never reached.
  const std::string sparse = dir.Write("sparse.seq", "");
  std::filesystem::resize_file(sparse, std::uintmax_t{64} << 20);
  std::ofstream(sparse, std::ios::app) << "\n>late\nMKVLAAGIVGLL\n";
  EXPECT_FALSE(ReadFile(sparse).ok);
  LineReader file;
  ASSERT_TRUE(file.Open(sparse));
  LinePieces in(file);
  while (in.Next()) {
  }
  EXPECT_LE(file.Position(), kMaxSequenceFileBytes + kSequencePieceSize);
}

// Real files with bytes changed, cut or repeated at random: whatever comes
// back is a valid sequence text or nothing (the sanitizer build watches the
// buffers).
TEST(LireSequence, DamagedRealFilesGiveAValidTextOrNothing) {
  TempFolder dir;
  std::mt19937 random(7);
  for (const auto& entry : std::filesystem::directory_iterator(std::string(VISTRAM_TEST_DATA_DIR) + "/sequences")) {
    if (entry.path().extension() == ".md") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (int round = 0; round < 20; ++round) {
      std::string bytes = original;
      const std::size_t at = random() % (bytes.size() + 1);
      switch (round % 4) {
        case 0:
          for (int k = 0; k < 8 && !bytes.empty(); ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
          break;
        case 1: bytes.resize(at); break;
        case 2: bytes.insert(at, std::string(random() % 400, "AZ\r\n>* -\0"[random() % 10])); break;
        default: bytes.erase(at, random() % 200); break;
      }
      Read r = ReadFile(dir.Write(std::to_string(round) + entry.path().filename().string(), bytes));
      SCOPED_TRACE(entry.path().filename().string());
      if (!r.ok) continue;
      EXPECT_GE(r.text.size(), kMinSequenceResidues);
      EXPECT_LE(r.text.size(), kMaxSequenceResidues);
      EXPECT_EQ(r.text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ*"), std::string::npos);
      EXPECT_LT(r.name.size(), kSequenceNameWidth);
    }
  }
}

}  // namespace
