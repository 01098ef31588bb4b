#include "vistram/seqio/sequence_file.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/temp_folder.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/seqio/sequence_choice.h"
#include "vistram/seqio/sequence_text.h"

namespace {

const std::string kData = std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/";
constexpr const char* kResidues = "ABCDEFGHIJKLMNOPQRSTUVWXYZ*";

struct Read {
  bool ok = false;
  std::string text, name;
};

Read ReadFile(const std::string& path) {
  Read r;
  SequenceText t = LireSequence(path, r.name);
  if (t) {
    r.ok = true;
    r.text = t.get();
    EXPECT_EQ(MySize(t.get()), r.text.size() + 1);  // a block of exactly the text and its NUL
  }
  return r;
}

// Real files of every format, against what an independent parser reads from them.
TEST(LireSequence, ReadsRealFilesOfEveryFormat) {
  std::istringstream table(test_support::ReadWholeFile(kData + "expected_reads.tsv"));
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream row(line);
    std::string file, name, head, tail;
    std::size_t length = 0;
    ASSERT_TRUE(std::getline(row, file, '\t') && std::getline(row, name, '\t') && row >> length >> head >> tail);
    SCOPED_TRACE(file);
    ++rows;
    Read r = ReadFile(kData + file);
    EXPECT_EQ(r.ok, length > 0);
    EXPECT_EQ(r.name, name == "-" ? "" : name);
    EXPECT_EQ(r.text.size(), length);
    if (head != "-") EXPECT_EQ(r.text.substr(0, 12), head);
    if (tail != "-") EXPECT_EQ(r.text.substr(r.text.size() - 12), tail);
    EXPECT_EQ(r.text.find_first_not_of(kResidues), std::string::npos);
  }
  EXPECT_EQ(rows, 18);
}

bool Seqret(const std::string& input, const std::string& format, const std::string& output) {
  const std::string command = "seqret -sequence '" + input + "' -osformat2 " + format + " -outseq '" + output +
                              "' -auto >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && std::filesystem::file_size(output) > 0;
}

TEST(LireSequence, ReadsWhatSeqretWritesInEachFormat) {
  test_support::TempFolder dir;
  const std::string input = kData + "bioperl_calm.swiss", protein = ReadFile(input).text;
  // The name each format gives ("": the output file's base name); codata is NBRF-PIR's ENTRY/TITLE/SEQUENCE.
  const std::pair<const char*, const char*> cases[] = {
      {"fasta", "CALM_HUMAN"},   {"gcg", ""},           {"pir", "CALM_HUMAN"},
      {"nbrf", "CALM_HUMAN"},    {"swiss", "CALM_HUMAN"}, {"genpept", "Calmodulin"},
      {"refseqp", "Calmodulin"}, {"codata", "Calmodulin"}, {"raw", ""}};
  for (const auto& [format, name] : cases) {
    SCOPED_TRACE(format);
    const std::string base = std::string("out_") + format, output = dir / (base + ".seq");
    if (!Seqret(input, format, output)) GTEST_SKIP() << "seqret (EMBOSS) is not installed or failed";
    Read r = ReadFile(output);
    EXPECT_EQ(r.text, protein);
    EXPECT_EQ(r.name, *name != '\0' ? name : base);
  }
}

TEST(LireSequence, ChoosesAndReadsTheFirstEntry) {
  test_support::TempFolder dir;
  const std::pair<std::string, Read> cases[] = {
      {"some notes; not residues!\n> alpha first entry\nMKVLAAGIVG\nLL\n>beta\nWWWWWWWWWWWW\n",
       {true, "MKVLAAGIVGLL", "alpha"}},
      {">\nMKVLAAGIVGLL\n", {true, "MKVLAAGIVGLL", "t1"}},  // a bare '>' takes the file's name
      // A header longer than a line piece is never read as residues, even of letters and blanks only.
      {">LONG " + std::string(150, 'Q') + " more words\nMKVLAAGIVGLL\n", {true, "MKVLAAGIVGLL", "LONG"}},
      {">H " + std::string(300000, 'x') + "\nMKVLAAGIVGLL\n", {true, "MKVLAAGIVGLL", "H"}},
      // SwissProt declaring more than 2500 residues gives nothing.
      {"ID   BIG_HUMAN      STANDARD;      PRT;   3000 AA.\nSQ   SEQUENCE   3000 AA;\n"
       "     MKVLAAGIVG LLLSGALALT\n//\n", {}},
      {"ID   BIG_HUMAN      STANDARD;      PRT;   20 AA.\nSQ   SEQUENCE     20 AA;\n"
       "     MKVLAAGIVG LLLSGALALT\n//\n", {true, "MKVLAAGIVGLLLSGALALT", "BIG_HUMAN"}},
      {std::string(1'000'000, ' ') + "MKVLAAGIVGLL" + std::string(999, ' '), {true, "MKVLAAGIVGLL", "t6"}},
      // GCG named by an "ID name word word number word" first line.
      {"ID   GCGNAME  STANDARD;  PRT;  20 AA.\n  Length: 20  Type: P  Check: 1234  ..\n  1  MKVLAAGIVG LLLSGALALT\n",
       {true, "MKVLAAGIVGLLLSGALALT", "GCGNAME"}},
      {"", {}}, {"\n\n   \n", {}}, {std::string("MKVLA\0AGIVGLL\n", 14), {}}, {std::string(5'000'000, 'M'), {}},
  };
  int i = 0;
  for (const auto& [text, want] : cases) {
    SCOPED_TRACE(i);
    Read r = ReadFile(dir.Write("t" + std::to_string(i++), text));
    EXPECT_EQ(r.ok, want.ok);
    EXPECT_EQ(r.text, want.text);
    if (want.ok) EXPECT_EQ(r.name, want.name);
  }
  std::string name = "stale";
  EXPECT_EQ(LireSequence(dir / "missing.seq", name), nullptr);
  EXPECT_EQ(name, "");
  EXPECT_FALSE(ReadFile(dir.path()).ok);  // a folder
  RecordingPlatform platform;  // through the file dialog
  SetCurrentPlatform(&platform);
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, kData + "bioperl_calm.swiss", "bioperl_calm.swiss"});
  std::string path;
  SequenceText text = ChoisiEtLitFichierSeq(nullptr, path, name, "/opt/vistram");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(name, "CALM_HUMAN");
  EXPECT_EQ(path, kData + "bioperl_calm.swiss");
  EXPECT_EQ(platform.FileRequests().at(0).initialFolder, "/opt/vistram");
  SetCurrentPlatform(nullptr);
}

TEST(LireSequence, LineEndsAndLengthLimits) {
  test_support::TempFolder dir;
  for (std::string end : {"\n", "\r\n", "\r"}) {
    for (bool finalEnd : {true, false}) {
      SCOPED_TRACE(testing::Message() << (end == "\n" ? "LF" : end == "\r" ? "CR" : "CRLF") << finalEnd);
      const std::string last = finalEnd ? end : "";
      EXPECT_EQ(ReadFile(dir.Write("le.fa", ">P1 x" + end + "  1 mkvla agivg" + end + "  11 wyfhe" + last)).text,
                "MKVLAAGIVGWYFHE");
      EXPECT_EQ(ReadFile(dir.Write("le.seq", "mkvlaagivg" + end + "wyfhe" + last)).text, "MKVLAAGIVGWYFHE");
    }
  }
  auto residues = [](std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += std::string(1, "ACDEFGHIKLMNPQRSTVWY"[i % 20]) + (i % 60 == 59 ? "\n" : "");
    return s + "\n";
  };
  for (auto [n, ok] : {std::pair{9u, false}, {10u, true}, {2500u, true}, {2501u, false}}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ReadFile(dir.Write("n.seq", residues(n))).ok, ok);
    EXPECT_EQ(ReadFile(dir.Write("n.fa", ">N\n" + residues(n))).text.size(), ok ? n : 0);
  }
  // A sparse file of 64 MB stands for an endless input: the search stops before the entry at its end.
  const std::string sparse = dir.Write("sparse.seq", "");
  std::filesystem::resize_file(sparse, std::uintmax_t{64} << 20);
  std::ofstream(sparse, std::ios::app) << "\n>late\nMKVLAAGIVGLL\n";
  EXPECT_FALSE(ReadFile(sparse).ok);
}

// Random bytes, and real files with bytes changed, cut or repeated: a valid text or nothing (ASan watches).
TEST(LireSequence, DamagedFilesGiveAValidTextOrNothing) {
  test_support::TempFolder dir;
  std::mt19937 random(7);
  std::string binary(65536, '\0');
  for (char& c : binary) c = static_cast<char>(random() & 0xFF);
  EXPECT_FALSE(ReadFile(dir.Write("binary.seq", binary)).ok);
  for (const auto& entry : std::filesystem::directory_iterator(kData)) {
    if (entry.path().extension() == ".md" || entry.path().extension() == ".tsv") continue;
    const std::string original = test_support::ReadWholeFile(entry.path());
    SCOPED_TRACE(entry.path().filename().string());
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
      if (!r.ok) continue;
      EXPECT_TRUE(r.text.size() >= kMinSequenceResidues && r.text.size() <= kMaxSequenceResidues) << r.text.size();
      EXPECT_EQ(r.text.find_first_not_of(kResidues), std::string::npos);
      EXPECT_LT(r.name.size(), kSequenceNameWidth);
    }
  }
}

TEST(LitBasesSequ, AppendsLinesUpTo2500Residues) {
  struct Appender {
    SequenceText sequence;
    std::size_t capacity = 0, count = 0;
    bool Add(std::string_view line) { return LitBasesSequ(line, sequence, capacity, count); }
  } a, b;
  using namespace std::literals;
  ASSERT_TRUE(a.Add("       1 mkvla agivg"));  // position numbers and blanks skipped, case raised
  ASSERT_TRUE(a.Add("  11 W*"));
  EXPECT_EQ(std::string(a.sequence.get()), "MKVLAAGIVGW*");  // zero-filled: terminated
  EXPECT_EQ(a.count, 12u);
  for (std::string_view bad : {"ACD\tEF"sv, "ACD-EF"sv, "ACD.EF"sv, "ACD;EF"sv, "AC>DE"sv, "AC\xE9" "DE"sv, "AC\0DE"sv})
    EXPECT_FALSE(Appender{}.Add(bad)) << bad;  // the whole line refused
  ASSERT_TRUE(a.Add(std::string(2488, 'A')));
  EXPECT_FALSE(a.Add("D"));
  EXPECT_EQ(a.count, 2500u);
  EXPECT_EQ(a.sequence.get()[2500], '\0');
  EXPECT_FALSE(b.Add(std::string(100000, 'M')));  // one line far past the limit
  EXPECT_EQ(b.count, 2500u);
}

}  // namespace
