// Every BLAST text report read by our reader and by BioPerl's Bio::SearchIO: the readings agree.
#include <algorithm>
#include <filesystem>

#include "results/blast_test_util.h"
#include "vistram/results/report_kind.h"

using namespace blasttest;

namespace {

// "skip", "unordered" or "" for a report (where the readers part on purpose, and why: the .tsv file).
std::string ExceptionFor(const std::string& relative) {
  std::istringstream in(ReadWholeFile(std::string(VISTRAM_TEST_DATA_DIR) + "/results/bioperl_blast_exceptions.tsv"));
  for (std::string path, kind, why;
       std::getline(in, path, '\t') && std::getline(in, kind, '\t') && std::getline(in, why);)
    if (path == relative || path == relative.substr(0, relative.find('/')) + "/*") return kind;
  return "";
}

// Hits without HSPs and queries without hits are dropped (our tables hold no such rows).
Reading Kept(Reading r, bool sorted) {
  for (auto& q : r) {
    std::erase_if(q, [](const PerlHit& h) { return h.hsps.empty(); });
    for (PerlHit& h : q)
      for (auto& hsp : h.hsps) std::get<4>(hsp) = -1;  // BLAST expect values are not compared
    if (sorted) std::sort(q.begin(), q.end());
  }
  std::erase_if(r, [](const std::vector<PerlHit>& q) { return q.empty(); });
  return r;
}

TEST(BioPerlCrossCheck, EveryTextReportAgreesOrIsAListedException) {
  if (PerlReading("bioperl_blast_summary.pl", DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastp_001.txt"))
          .empty())
    GTEST_SKIP() << "perl with Bio::SearchIO is not installed";
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  const std::filesystem::path root = DataPath("");
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  int compared = 0;
  for (const std::string& path : files) {
    const std::string relative = std::filesystem::relative(path, root).string();
    const std::string exception = ExceptionFor(relative);
    if (relative.rfind("blast_html", 0) == 0 || exception == "skip") continue;
    SCOPED_TRACE(relative);
    auto ours = Read(path, TestFichier(path));
    ASSERT_EQ(ours->code, kBlastOk);
    const bool unordered = exception == "unordered";
    ExpectSameReading(Kept(OurReading(ours->dp), unordered),
                      Kept(PerlReading("bioperl_blast_summary.pl", path), unordered));
    ++compared;
  }
  SetCurrentPlatform(nullptr);
  EXPECT_GE(compared, 90);
}

}  // namespace
