// The batch commands, one source file each (batch_<name>.cpp). Each gets the
// arguments after its option word and returns the process exit code: 0 on
// success, 1 when its input could not be loaded or its output written, 2 on
// a usage error.
#pragma once
#include <string>

// vistram --export-tsv REPORT [-o OUT]
int RunExportTsv(int argc, char** argv);
// vistram --save REPORT -o FILE
int RunSave(int argc, char** argv);
// vistram --export-html REPORT -o PATH
int RunExportHtml(int argc, char** argv);
// vistram --map REPORT -o OUT.svg|OUT.png|OUT.tsv [--select all|first] [--sort]
int RunMapBatch(int argc, char** argv);
// Prepares the map of the working set's selection; messages go to standard
// error. 1 when the map was made.
struct StatData;
struct DataProgram;
int PrepareMapForBatch(StatData& stat, DataProgram& dp);
// vistram --pdf 1d|hca|msa|map INPUT -o OUT.pdf [--select all|first]
int RunPdfBatch(int argc, char** argv);
// vistram --print 1d|hca|msa|map INPUT [--select all|first]
int RunPrintBatch(int argc, char** argv);

// vistram --prosite-to-mot PROSITE.DAT -o OUT.mot
int RunPrositeToMot(int argc, char** argv);
// vistram --find-patterns IN (--pattern TEXT | --patterns FILE.mot) [--select all|first]
int RunFindPatterns(int argc, char** argv);

// vistram --blast2 SEQFILE -o REPORT [--config FILE]
int RunBlast2Batch(int argc, char** argv);
// vistram --clustalw FASTAFILE -o OUT.msf [--config FILE]
int RunClustalwBatch(int argc, char** argv);

// vistram --msf INPUT -o OUT.msf|.fasta|.aln [--select all|first]
int RunMsfBatch(int argc, char** argv);

// REPORT and "-o OUT" (both required, in either order); false on a usage error.
bool ParseBatchReportAndOutput(int argc, char** argv, std::string& report, std::string& out);

// "-o OUT" and "--select all|first" as several batch commands take them.
struct BatchOutputAndSelection {
  std::string out;
  bool firstOnly = false;
  bool selectSeen = false;
};
// Takes either option at argv[i] (i then stands on its value): 1 when taken,
// 0 when argv[i] is another argument, -1 for a repeated option, a missing
// value or a selection other than all and first.
int TakeOutputOrSelect(int argc, char** argv, int& i, BatchOutputAndSelection& o);
