#include "vistram/html/html_report.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "vistram/base/memory.h"
#include "vistram/base/percent_encode.h"
#include "vistram/base/safe_file.h"

const char* const TABCOLORHTML[16] = {"#000000", "#FFFFFF", "#FF0000", "#00FF00", "#0000FF", "#FFFF00",
                                      "#FF00FF", "#00FFFF", "#800000", "#008000", "#000080", "#808000",
                                      "#800080", "#008080", "#C0C0C0", "#808080"};

namespace {

void Put(std::FILE* file, std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file);
}

void PutEscaped(std::FILE* file, std::string_view text) { Put(file, HtmlEscape(text)); }

void PutNumber(std::FILE* file, long long value) { Put(file, std::to_string(value)); }

// "%5u": right-aligned in five characters.
std::string Width(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

const char* HtmlColour(int index) { return TABCOLORHTML[index >= 0 && index < 16 ? index : 0]; }

std::size_t AlignmentsOf(const HspData& hit) {
  return std::min<std::size_t>(static_cast<std::size_t>(std::max(hit.alignmentCount, 0)), hit.alignments.size());
}

bool HasRow(const HspData& hit, int selectionOnly) {
  const std::size_t n = AlignmentsOf(hit);
  if (n == 0) return false;
  if (selectionOnly == 0) return true;
  for (std::size_t j = 0; j < n; ++j) {
    if (hit.IsSelected(static_cast<int>(j))) return true;
  }
  return false;
}

std::size_t HitsOf(const DataProgram& dp) {
  if (!dp.hits) return 0;
  return std::min<std::size_t>(dp.hitCount, dp.hits->size());
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

bool IsSafeLink(std::string_view url) {
  std::string lower;
  for (char c : url.substr(0, 8)) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.rfind("http://", 0) != 0 && lower.rfind("https://", 0) != 0 && lower.rfind("ftp://", 0) != 0) {
    return false;
  }
  // No control characters or blanks (a browser would strip or split on them).
  return std::none_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

HtmlReportNames MakeHtmlReportNames(const std::string& chosenPath) {
  HtmlReportNames names;
  std::string name = chosenPath;
  auto slash = chosenPath.find_last_of('/');
  if (slash != std::string::npos) {
    names.folder = chosenPath.substr(0, slash + 1);
    name = chosenPath.substr(slash + 1);
  }
  auto dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  names.base = name;
  return names;
}

bool CreeMainFile(std::FILE* file, std::string_view headBase, std::string_view listBase, std::string_view aliBase,
                  std::string_view baseName) {
  Put(file, "<HTML>\n<HEAD>\n");
  Put(file, "<TITLE>W-Vistram - results of ");
  PutEscaped(file, baseName);
  Put(file, "</TITLE>");
  Put(file, "</HEAD>\n<FRAMESET ROWS=\"10%,60%,30%\">\n");
  Put(file, "<FRAME NORESIZE FRAMEBORDER=\"NO\" BORDERCOLOR=\"#FFFFFF\" ");
  Put(file, "SCROLLING=NO NAME=\"header\" SRC=\"");
  Put(file, PercentEncode(headBase));
  Put(file, ".html\">\n");
  Put(file, "<FRAME SCROLLING=AUTO NAME=\"list\" SRC=\"");
  Put(file, PercentEncode(listBase));
  Put(file, ".html\"\n>");
  Put(file, "<FRAME SCROLLING=AUTO NAME=\"ali\" SRC=\"");
  Put(file, PercentEncode(aliBase));
  Put(file, ".html\">\n");
  Put(file, "</FRAMESET>\n</HTML>\n\n");
  return true;
}

bool CreeMainHeader(std::FILE* file) {
  Put(file, "<HTML>\n<HEAD>\n<TITLE>Header</TITLE>\n");
  Put(file, "</HEAD>\n");
  Put(file, "<BODY BGCOLOR=\"#FFFFFF\">\n");
  Put(file, "<BASEFONT FACE=\"COURIER NEW\" SIZE=\"3\" COLOR=\"#FF0000\">\n");
  Put(file, "<TABLE BORDER=1 WIDTH=98%>\n");
  Put(file, "<TR>\n");
  static constexpr std::string_view kCells[][2] = {
      {"<TD WIDTH=5% BGCOLOR=#99FFFF>\n", "<B>No.</B>\n"},   {"<TD WIDTH=18% BGCOLOR=#FF99CC>\n", "<B>ID</B>\n"},
      {"<TD WIDTH=47% BGCOLOR=#99CCCC>\n", "<B>Name</B>\n"}, {"<TD WIDTH=5% BGCOLOR=#FFCC00>\n", "<B>Score</B>\n"},
      {"<TD WIDTH=5% BGCOLOR=#FF00FF>\n", "<B>P(N)</B>\n"},  {"<TD WIDTH=5% BGCOLOR=#0099FF>\n", "<B>HSP(s)</B>\n"},
  };
  for (std::size_t i = 0; i < 6; ++i) {
    Put(file, kCells[i][0]);
    Put(file, kCells[i][1]);
    if (i < 5) Put(file, "</TD>\n");
  }
  Put(file, "</TD>\n</TR>\n</TABLE>\n</BODY>\n</HTML>\n");
  return true;
}

void CreeLRheader(std::FILE* file) {
  Put(file, "<HTML>\n");
  Put(file, "<HEAD>\n");
  Put(file, "<TITLE>Summary List</TITLE>\n");
  Put(file, "</HEAD>\n");
  Put(file, "<BODY BGCOLOR=\"#FFFFFF\">\n");
  Put(file, "<BASEFONT FACE=\"COURIER NEW\" SIZE=\"3\" COLOR=\"#000000\">\n");
}

void CreeLRtail(std::FILE* file) {
  Put(file, "</BODY>\n");
  Put(file, "</HTML>\n");
}

void CreeLREntry(std::FILE* file, const HspData& hit, unsigned hitNumber, std::string_view aliBase) {
  Put(file, "<TABLE BORDER=0 WIDTH=100%>\n");
  Put(file, "<TR>\n");
  Put(file, "<TD WIDTH=5% ALIGN=\"CENTER\" VALIGN=\"TOP\">\n");
  Put(file, "<A HREF=\"");
  Put(file, PercentEncode(aliBase));
  Put(file, ".html#ALI");
  PutNumber(file, hitNumber);
  Put(file, "\" TARGET=\"ali\" TITLE=\"Click to view sequence alignment\">");
  PutNumber(file, hitNumber);
  Put(file, ".</A>\n");
  Put(file, "</TD>\n");

  Put(file, "<TD WIDTH=18% VALIGN=\"TOP\">\n");
  if (hit.url.size() < 6 || !IsSafeLink(hit.url)) {
    PutEscaped(file, hit.identifier);
    Put(file, "\n");
  } else {
    Put(file, "<A HREF=\"");
    PutEscaped(file, hit.url);
    Put(file, "\" TARGET=\"_blank\" TITLE=\"Click to view database sequence\">");
    PutEscaped(file, hit.identifier);
    Put(file, "</A>\n");
  }
  Put(file, "</TD>\n");

  Put(file, "<TD WIDTH=47% VALIGN=\"TOP\">\n");
  PutEscaped(file, hit.description);
  Put(file, " <FONT COLOR=\"#0000FF\">(");
  PutEscaped(file, hit.lengthText);
  Put(file, " aa)</FONT>\n");
  Put(file, "</TD>\n");

  Put(file, "<TD WIDTH=5% ALIGN=\"CENTER\" VALIGN=\"TOP\">\n");
  PutEscaped(file, hit.scoreText);
  Put(file, "\n");
  Put(file, "</TD>\n");
  Put(file, "<TD WIDTH=5% ALIGN=\"CENTER\" VALIGN=\"TOP\">\n");
  PutEscaped(file, hit.expectText);
  Put(file, "\n");
  Put(file, "</TD>\n");
  Put(file, "<TD WIDTH=5% ALIGN=\"CENTER\" VALIGN=\"TOP\">\n");
  PutNumber(file, static_cast<long long>(AlignmentsOf(hit)));
  Put(file, "</TD>\n");
  Put(file, "</TR>\n");
  Put(file, "</TABLE>\n");
  Put(file, "<HR>\n");
}

void CreeLR(const DataProgram& dp, std::FILE* file, int selectionOnly, std::string_view aliBase) {
  const std::size_t count = HitsOf(dp);
  for (std::size_t i = 0; i < count; ++i) {
    const HspData* hit = (*dp.hits)[i].get();
    if (hit == nullptr || !HasRow(*hit, selectionOnly)) continue;
    CreeLREntry(file, *hit, static_cast<unsigned>(i + 1), aliBase);
  }
}

bool CreeLRfile(const DataProgram& dp, std::FILE* file, int selectionOnly, std::string_view aliBase) {
  CreeLRheader(file);
  CreeLR(dp, file, selectionOnly, aliBase);
  CreeLRtail(file);
  return true;
}

void CreeALImodUnheader(std::FILE* file) {
  Put(file, "<HTML>\n");
  Put(file, "<HEAD>\n");
  Put(file, "<TITLE>Alignment List</TITLE>\n");
  Put(file, "<BASEFONT SIZE=3 FACE=\"COURIER\" COLOR=\"#FFFFFF\">\n");
  Put(file, "</HEAD>\n");
  Put(file, "<BODY BGCOLOR=\"#FFFFFF\">\n");
}

void CreeALImodUntail(std::FILE* file) {
  Put(file, "</BODY>\n");
  Put(file, "</HTML>\n");
}

void CreeSeqAliColor(std::FILE* file, std::string_view residues, const std::vector<int>& colours) {
  bool open = false;
  int previous = 0;
  for (std::size_t i = 0; i < residues.size(); ++i) {
    const int colour = i < colours.size() ? colours[i] : 0;
    if (!open || colour != previous) {
      if (open) Put(file, "</FONT>");
      Put(file, "<FONT COLOR=\"");
      Put(file, HtmlColour(colour));
      Put(file, "\">");
      open = true;
      previous = colour;
    }
    PutEscaped(file, residues.substr(i, 1));
  }
  if (open) Put(file, "</FONT>");
  Put(file, "    \n");
}

void CreeSeqAliScale(std::FILE* file, std::string_view residues, const std::vector<int>& positions) {
  std::string scale(residues.size() + 10, ' ');
  for (std::size_t i = 0; i < residues.size() && i < positions.size(); ++i) {
    const int position = positions[i];
    if (position % 10 != 0 || residues[i] == '-') continue;
    const std::string mark = std::to_string(position) + ".";
    // The full stop at offset i + 9, the digits to its left.
    const long long end = static_cast<long long>(i) + 9;
    for (std::size_t k = 0; k < mark.size(); ++k) {
      const long long at = end - static_cast<long long>(mark.size() - 1 - k);
      if (at >= 0 && at < static_cast<long long>(scale.size())) scale[static_cast<std::size_t>(at)] = mark[k];
    }
  }
  Put(file, "      ");
  Put(file, scale);
  Put(file, "\n");
}

bool CreeAliEntry(DataProgram& dp, std::FILE* file, int hitNumber, int alignmentNumber, int alignmentsOfHit,
                  bool& firstOfHit, const HtmlAlignmentSource& source) {
  if (firstOfHit) {
    Put(file, "<A NAME=\"ALI");
    PutNumber(file, hitNumber);
    Put(file, "\"></A>");
  }
  Put(file, "<TABLE BORDER=0 WIDTH=100%>\n");
  Put(file, "<TR>\n");
  if (firstOfHit) {
    Put(file, "<TD WIDTH=8% ALIGN=\"CENTER\" VALIGN=\"TOP\" BGCOLOR=\"#99FFFF\">\n");
    Put(file, "Ali : ");
    PutNumber(file, hitNumber);
    Put(file, ".\n");
    Put(file, "</TD>\n");
    firstOfHit = false;
  } else {
    Put(file, "<TD WIDTH=8% ALIGN=\"CENTER\" VALIGN=\"TOP\" BGCOLOR=\"#FFFFFF\">\n");
    Put(file, " ");
    Put(file, "</TD>\n");
  }
  Put(file, "<TD WIDTH=8% ALIGN=\"CENTER\" VALIGN=\"TOP\" BGCOLOR=\"#FF99CC\">\n");
  Put(file, "HSP : ");
  PutNumber(file, alignmentNumber);
  Put(file, ".\n");
  Put(file, "</TD>\n");
  Put(file, "<TD WIDTH=84% ALIGN=\"LEFT\" VALIGN=\"TOP\" BGCOLOR=\"#99CCCC\">\n");

  std::unique_ptr<VisualHaspData> view = source ? source(dp, hitNumber, alignmentNumber) : nullptr;
  if (!view) return false;

  PutEscaped(file, view->statsText);
  Put(file, "\n\n");
  Put(file, "</TD>");
  Put(file, "</TR>");
  Put(file, "</TABLE>");
  Put(file, "<PRE><UL>");
  const std::size_t columns = static_cast<std::size_t>(std::max(view->alignedLength, 0));
  const std::string_view query = std::string_view(view->queryLine).substr(0, columns);
  const std::string_view subject = std::string_view(view->subjectLine).substr(0, columns);
  CreeSeqAliScale(file, query, view->queryResidueNumbers);
  Put(file, "Q: ");
  Put(file, Width(std::to_string(view->queryStart), 5));
  Put(file, "-");
  Put(file, Width(std::to_string(view->queryEnd), 5));
  Put(file, " ");
  CreeSeqAliColor(file, query, view->queryTextColours);
  Put(file, Width(" ", 15));
  PutEscaped(file, view->middleLine);
  Put(file, "\n");
  Put(file, "S: ");
  Put(file, Width(std::to_string(view->subjectStart), 5));
  Put(file, "-");
  Put(file, Width(std::to_string(view->subjectEnd), 5));
  Put(file, " ");
  CreeSeqAliColor(file, subject, view->subjectTextColours);
  CreeSeqAliScale(file, subject, view->subjectResidueNumbers);
  Put(file, "</PRE></UL>");
  if (alignmentsOfHit > 1 && alignmentNumber != alignmentsOfHit) {
    Put(file, "<HR WIDTH=\"50%\" ALIGN=\"CENTER\">");
  } else if (alignmentNumber == alignmentsOfHit) {
    Put(file, "<HR>");
  }
  return true;
}

bool CreeALImodUnList(DataProgram& dp, std::FILE* file, int selectionOnly, const HtmlAlignmentSource& source) {
  const std::size_t count = HitsOf(dp);
  for (std::size_t i = 0; i < count; ++i) {
    const HspData* hit = (*dp.hits)[i].get();
    if (hit == nullptr) continue;
    const std::size_t n = AlignmentsOf(*hit);
    bool firstOfHit = true;
    for (std::size_t j = 0; j < n; ++j) {
      if (selectionOnly != 0 && !hit->IsSelected(static_cast<int>(j))) continue;
      if (!CreeAliEntry(dp, file, static_cast<int>(i + 1), static_cast<int>(j + 1), static_cast<int>(n),
                        firstOfHit, source)) {
        return false;
      }
    }
  }
  return true;
}

bool CreeALImodUnfile(DataProgram& dp, std::FILE* file, int selectionOnly, const HtmlAlignmentSource& source) {
  CreeALImodUnheader(file);
  if (!CreeALImodUnList(dp, file, selectionOnly, source)) return false;
  CreeALImodUntail(file);
  return true;
}

bool PrepHTMLsave(DataProgram& dp, const std::string& chosenPath, int selectionOnly,
                  const HtmlAlignmentSource& source) {
  const HtmlReportNames names = MakeHtmlReportNames(chosenPath);
  if (names.base.empty()) return false;
  SafeFile main, head, list, ali;
  try {
    if (!main.Open(names.PathOf(names.Main())) ||
        !CreeMainFile(main.Stream(), names.Head(), names.List(), names.Ali(), names.base)) {
      return false;
    }
    if (!head.Open(names.PathOf(names.Head())) || !CreeMainHeader(head.Stream())) return false;
    if (!list.Open(names.PathOf(names.List())) || !CreeLRfile(dp, list.Stream(), selectionOnly, names.Ali())) {
      return false;
    }
    if (!ali.Open(names.PathOf(names.Ali())) || !CreeALImodUnfile(dp, ali.Stream(), selectionOnly, source)) {
      return false;
    }
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return false;  // the SafeFiles remove their temporary files
  }
  return CommitAll({&main, &head, &list, &ali});
}
