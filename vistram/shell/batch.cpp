#include "vistram/shell/batch.h"

#include <cstdio>
#include <cstring>

#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_hca.h"

namespace {

struct BatchCommand {
  const char* option;
  const char* usage;  // the arguments after the option
  const char* summary;  // null: not listed by --help
  int (*run)(int argc, char** argv);
};

// One line per command.
constexpr BatchCommand kCommands[] = {
    {"--export-tsv", "REPORT [-o OUT]",
     "load REPORT as the Open command does and write one tab-separated row per alignment (to OUT or standard "
     "output)",
     RunExportTsv},
    {"--save", "REPORT -o FILE", "write the saved-results file of the report's first table", RunSave},
    {"--export-html", "REPORT -o PATH", "write the four HTML files of the report's first table, named from PATH", RunExportHtml},
    {"--hca", "SEQFILE -o OUT.hca|OUT.svg|OUT.png",
     "write the HCA plot of the sequence in SEQFILE as a plot file, an SVG or a PNG picture", RunHcaBatch},
    {"--prosite-to-mot", "PROSITE.DAT -o OUT.mot",
     "write the PROSITE patterns that the pattern search can express as a pattern file; list the others on standard "
     "error",
     RunPrositeToMot},
    {"--find-patterns", "IN (--pattern TEXT | --patterns FILE.mot) [--select all|first]",
     "search the pattern(s) over every row of the alignment in IN (an MSF file, or the alignment built from a "
     "report) and print one line per match: row name, pattern, match",
     RunFindPatterns},
    {"--map", "REPORT -o OUT.svg|OUT.png|OUT.tsv [--select all|first] [--sort]",
     "write the map of the report's first table (every alignment, or the first of each hit) as a picture, or its "
     "bars and coverage profile as tab-separated lines; --sort orders the bars by query start",
     RunMapBatch},
    {"--blast2", "SEQFILE -o REPORT [--config FILE]",
     "send a BLAST-2 request with the configuration's defaults for the sequence in SEQFILE through the web helper "
     "and write its answer, once it loads as a report, to REPORT",
     RunBlast2Batch},
    {"--clustalw", "FASTAFILE -o OUT.msf [--config FILE]",
     "send a ClustalW request with the configuration's defaults for the sequences in FASTAFILE through the web "
     "helper and write its MSF answer to OUT.msf",
     RunClustalwBatch},
    {"--msf", "INPUT -o OUT.msf|OUT.fasta|OUT.aln [--select all|first]",
     "build the alignment editor's MSA from the report INPUT (every alignment, or the first of each hit) or read the "
     "MSF file INPUT, and write it with its consensus as MSF, aligned FASTA or Clustal",
     RunMsfBatch},
    {"--pdf", "1d|hca|msa|map INPUT -o OUT.pdf [--select all|first]",
     "write a printout as a PDF file: the 1D or HCA printout of the report's first alignment, or the alignment or "
     "map printout of the report's alignments (all, or the first of each hit; msa also reads an MSF file)",
     RunPdfBatch},
    {"--print", "1d|hca|msa|map INPUT [--select all|first]",
     "print the same pages as --pdf on the system's default printer", RunPrintBatch},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: vistram [REPORT]\n");
  for (const BatchCommand& c : kCommands) {
    if (c.summary != nullptr) std::fprintf(out, "       vistram %s %s\n", c.option, c.usage);
  }
  std::fprintf(out, "\n  REPORT  open the report in the workbench\n");
  for (const BatchCommand& c : kCommands) {
    if (c.summary != nullptr) std::fprintf(out, "  %s  %s\n", c.option, c.summary);
  }
}
}  // namespace

bool RunBatchIfRequested(int argc, char** argv, int& exitCode) {
  if (argc < 2) return false;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(stdout);
    exitCode = 0;
    return true;
  }
  for (const BatchCommand& c : kCommands) {
    if (std::strcmp(argv[1], c.option) == 0) {
      exitCode = c.run(argc - 2, argv + 2);
      if (exitCode == 2) PrintUsage(stderr);
      return true;
    }
  }
  return false;
}
