// vistram --pdf KIND INPUT -o OUT.pdf: a printout written as a PDF file
// without a display. The model loads the input; the window library
// installs the writer that lays the pages out and draws them.
#pragma once
#include <string>

struct VisualHaspData;
struct DarUvaData;
struct StatData;

struct PdfBatchJob {
  std::string kind;  // "1d", "hca", "msa" or "map"
  std::string out;  // empty: print on the system's default printer
  std::string configPath;
  // 1d and hca: the first alignment, its query name and hit identifier.
  const VisualHaspData* view = nullptr;
  std::string queryName, hitIdentifier;
  const DarUvaData* msa = nullptr;   // msa
  const StatData* stat = nullptr;    // map
  int fontPoints = 9;                // the list (map) and editor font size
  int hcaPoints = 8;                 // the HCA font size
};
// Writes the PDF of `job` to job.out. False with `error` set.
using PdfBatchWriter = bool (*)(const PdfBatchJob& job, std::string& error);
void SetPdfBatchWriter(PdfBatchWriter writer);
