#include "vistram/results/report_kind.h"

#include <cstdio>
#include <memory>
#include <new>

#include "vistram/results/fasta_parser.h"
#include "vistram/base/text_scan.h"

int TestFichier(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return kReportUnreadable;
  std::unique_ptr<char[]> buf(new (std::nothrow) char[kReportProbeBytes + 1]());
  if (!buf) {
    std::fclose(f);
    return kReportUnreadable;
  }
  const std::size_t n = std::fread(buf.get(), 1, kReportProbeBytes, f);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return kReportUnreadable;
  char* b = buf.get();
  UpperCopy(b, b, n);
  auto has = [&](const auto& word) { return Contains(b, n, word); };

  int kind = kReportUnknown;
  if ((has("BLAST") && has("ALTSCHUL")) || (has("VISTRAM") && has("HALVER")) || (has("BLAST") && has("GISH")))
    kind = has("<HTML>") && has("<A HREF") ? kReportBlastHtml : kReportBlastText;
  if (kind == kReportUnknown && has("THE BEST SCORES") && has("INITN") && has("INIT1") && has("OPT"))
    kind = has("<TITLE>") && has("<A HREF") ? kReportFastaHtml : kReportFastaText;
  if (kind == kReportUnknown && has("FASTA SEARCHES") && has("/EBI"))
    kind = has("<TITLE>") && has("<A HREF") ? kReportEbiFastaHtml : kReportEbiFastaText;
  // The FASTA package's current layout, which an ssearch36 report (no
  // "initn") or a report without hits does not announce by the words above.
  if (kind == kReportUnknown && LooksLikeCurrentFastaReport(std::string_view(b, n))) kind = kReportFastaText;
  // BLAST+ reports that cite no author of the classic pair (BLASTN cites
  // the greedy-alignment paper, some HTML pages cite nobody): the "Query="
  // line and a "Length=" line at a line start.
  if (kind == kReportUnknown && has("BLAST") && has("QUERY=") && has("\nLENGTH="))
    kind = has("<HTML>") && has("<A HREF") ? kReportBlastHtml : kReportBlastText;
  // The NCBI web site's "download as text" layout of a BLAST+ search.
  if (kind == kReportUnknown && has("BLAST") && has("QUERY #1:") && has("SEQUENCE ID:")) kind = kReportBlastText;
  return kind;
}
