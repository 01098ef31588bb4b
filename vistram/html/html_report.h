// The HTML report: the hits of the current table as four pages that a
// browser shows as one page in three frames: N_main.html (the frame set),
// N_head.html (column titles), N_lr.html (one row per hit, its number linking
// to the hit's alignments) and N_ali.html (every alignment, residues coloured
// as in the pairwise viewer, with position scales).
//
// Every text taken from a report (identifiers, descriptions, numbers,
// statistics, residues) is escaped, and a database link is written only when
// it is an http, https or ftp address, so no report can put markup or script
// into the pages. The four pages are written to temporary files and renamed
// into place together: either all four are there, or none of this export is.
#pragma once
#include <cstdio>
#include <functional>
#include <vector>
#include <memory>
#include <string>
#include <string_view>

#include "vistram/results/records.h"

// The pairwise record of alignment `alignmentNumber` of hit `hitNumber` (both
// from 1) of the working set, with its colour arrays filled; null when it
// cannot be read.
using HtmlAlignmentSource =
    std::function<std::unique_ptr<VisualHaspData>(DataProgram& dp, int hitNumber, int alignmentNumber)>;

// The alignment source of the workbench: the alignment reader, then the
// colours of `dp`'s colour code and background setting (the configuration is
// read once per export).
HtmlAlignmentSource DefaultHtmlAlignmentSource(const DataProgram& dp);

// The HTML colours of the sixteen palette indexes.
extern const char* const TABCOLORHTML[16];

// The four file names of an export to `chosenPath`: its folder, and its file
// name without extension followed by "_main", "_head", "_lr" and "_ali".
struct HtmlReportNames {
  std::string folder;  // with its trailing '/', or empty
  std::string base;    // N
  std::string Main() const { return base + "_main"; }
  std::string Head() const { return base + "_head"; }
  std::string List() const { return base + "_lr"; }
  std::string Ali() const { return base + "_ali"; }
  std::string PathOf(const std::string& name) const { return folder + name + ".html"; }
};
HtmlReportNames MakeHtmlReportNames(const std::string& chosenPath);

// Writes the four files for the working set of `dp` (all hits, or with
// selectionOnly only the selected alignments). True when all four were
// written; otherwise none of them was created (files of the same names from
// before are left as they were).
bool PrepHTMLsave(DataProgram& dp, const std::string& chosenPath, int selectionOnly,
                  const HtmlAlignmentSource& source);
// The same with DefaultHtmlAlignmentSource(dp).
bool PrepHTMLsave(DataProgram& dp, const std::string& chosenPath, int selectionOnly);

// The files, each written to an open stream; false when a part could not be
// written (an alignment that cannot be read).
bool CreeMainFile(std::FILE* file, std::string_view headBase, std::string_view listBase, std::string_view aliBase,
                  std::string_view baseName);
bool CreeMainHeader(std::FILE* file);
bool CreeLRfile(const DataProgram& dp, std::FILE* file, int selectionOnly, std::string_view aliBase);
bool CreeALImodUnfile(DataProgram& dp, std::FILE* file, int selectionOnly, const HtmlAlignmentSource& source);

// Parts of the list and alignment pages.
void CreeLRheader(std::FILE* file);
void CreeLRtail(std::FILE* file);
void CreeLR(const DataProgram& dp, std::FILE* file, int selectionOnly, std::string_view aliBase);
void CreeLREntry(std::FILE* file, const HspData& hit, unsigned hitNumber, std::string_view aliBase);
void CreeALImodUnheader(std::FILE* file);
void CreeALImodUntail(std::FILE* file);
bool CreeALImodUnList(DataProgram& dp, std::FILE* file, int selectionOnly, const HtmlAlignmentSource& source);
// One alignment entry; `firstOfHit` is cleared once the hit's anchor and
// number cell are written.
bool CreeAliEntry(DataProgram& dp, std::FILE* file, int hitNumber, int alignmentNumber, int alignmentsOfHit,
                  bool& firstOfHit, const HtmlAlignmentSource& source);
// A line of residues, a FONT element wherever the colour changes.
void CreeSeqAliColor(std::FILE* file, std::string_view residues, const std::vector<int>& colours);
// The position marks of every tenth residue, full stop above the residue.
void CreeSeqAliScale(std::FILE* file, std::string_view residues, const std::vector<int>& positions);

// Escapes & < > " ' for text and attribute values.
std::string HtmlEscape(std::string_view text);
// True when `url` is an absolute http, https or ftp address (the only links
// a report may place in the pages).
bool IsSafeLink(std::string_view url);
