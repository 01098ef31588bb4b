#include "vistram/results/report_kind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <new>

#include "vistram/results/fasta_parser.h"
#include "vistram/base/text_scan.h"

int TestFichier(const std::string& path) {
  // A report is read twice (here, then by its reader), so only a regular
  // file can be one: a FIFO would be drained here, or block the open for
  // ever without a writer, and a device such as /dev/zero never ends. The
  // open does not wait for a FIFO's writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kReportUnreadable;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return kReportUnreadable;
  }
  std::FILE* f = ::fdopen(fd, "rb");
  if (f == nullptr) {
    ::close(fd);
    return kReportUnreadable;
  }
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
