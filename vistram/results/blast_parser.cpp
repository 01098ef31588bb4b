#include "vistram/results/blast_parser.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "vistram/results/hca_score.h"
#include "vistram/results/blast_reader.h"
#include "vistram/base/memory.h"
#include "vistram/results/report_text.h"
#include "vistram/base/text_scan.h"

using blast_reader::ClampToInt;
using report_text::ReadReportNumber;

int LitBlastForListBox(ResultView* progress, WindowHandle mainWindow, DataProgram& dp, const std::string& path,
                       int kind) {
  (void)mainWindow;
  if (kind != kReportBlastHtml && kind != kReportBlastText) return kBlastFailed;
  try {
    blast_reader::BlastReader reader(progress, dp, kind);
    return reader.Run(path);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return kBlastFailed;
  }
}

int TransfertData(AliData& ali, std::string_view queryText, std::string_view middleText,
                  std::string_view subjectText, int queryStart, int subjectStart, int queryPrintedEnd,
                  int subjectPrintedEnd) {
  const std::size_t n = queryText.size();
  // One pass per line: upper case, letters counted, gaps noticed.
  bool gap = false;
  int queryLetters = 0;
  int subjectLetters = 0;
  try {
    std::string q(queryText);
    std::string s(subjectText.substr(0, std::min(n, subjectText.size())));
    queryLetters = UpperCountLetters(q.data(), q.size(), gap);
    subjectLetters = UpperCountLetters(s.data(), s.size(), gap);
    std::string m(middleText.substr(0, std::min(n, middleText.size())));
    ali.queryLine = std::move(q);
    ali.subjectLine = std::move(s);
    ali.middleLine = std::move(m);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return 0;
  }
  ali.queryStart = queryStart;
  ali.subjectStart = subjectStart;
  ali.queryEnd = ClampToInt(static_cast<long long>(queryStart) - 1 + queryLetters);
  ali.subjectEnd = ClampToInt(static_cast<long long>(subjectStart) - 1 + subjectLetters);
  if (queryPrintedEnd > 0 && queryPrintedEnd != ali.queryEnd) ali.queryEnd = queryPrintedEnd;
  if (subjectPrintedEnd > 0 && subjectPrintedEnd != ali.subjectEnd) ali.subjectEnd = subjectPrintedEnd;
  ali.gapped = gap ? 1 : 0;
  TransBlaStatData(ali);
  return 1;
}

void TransBlaStatData(AliData& ali) {
  ali.ClearStatistics();
  const std::string_view t = ali.statsText;
  auto between = [&](std::size_t from, char open, char close) -> double {
    const std::size_t a = t.find(open, from);
    if (a == std::string_view::npos) return -1.0;
    const std::size_t b = t.find(close, a + 1);
    if (b == std::string_view::npos) return -1.0;
    return ReadReportNumber(t.substr(a + 1, b - a - 1));
  };
  if (std::size_t k = t.find("SCORE ="); k != std::string_view::npos) {
    const std::size_t end = t.find('(', k + 7);
    if (end != std::string_view::npos) ali.score = ReadReportNumber(t.substr(k + 7, end - k - 7));
  }
  // The expect value is read where it stands: BLASTN 2.0 prints no comma
  // after it when neither Positives nor Gaps follow.
  if (std::size_t k = t.find("EXPECT ="); k != std::string_view::npos) ali.expect = ReadReportNumber(t.substr(k + 8));
  if (std::size_t k = t.find("IDENTITIES ="); k != std::string_view::npos) {
    ali.identityPercent = between(k, '(', '%');
    ali.alignmentLength = between(k, '/', '(');
  }
  if (std::size_t k = t.find("POSITIVES ="); k != std::string_view::npos) ali.positivePercent = between(k, '(', '%');
  if (std::size_t k = t.find("P ="); k != std::string_view::npos) {
    ali.pValue = ReadReportNumber(t.substr(k + 3));
  } else if (std::size_t k2 = t.find("P("); k2 != std::string_view::npos) {
    const std::size_t eq = t.find('=', k2);
    if (eq != std::string_view::npos) ali.pValue = ReadReportNumber(t.substr(eq + 1));
  }
  ali.hcaScore = AlignmentHcaScore(ali.queryLine, ali.subjectLine);
}

std::unique_ptr<VisualHaspData> LitUnAlignHsp(WindowHandle mainWindow, int hitNumber, int alignmentNumber,
                                              const DataProgram& dp) {
  (void)mainWindow;
  const HspData* hit = dp.Hit(hitNumber);
  if (hit == nullptr || alignmentNumber < 1 || static_cast<std::size_t>(alignmentNumber) > hit->alignments.size())
    return nullptr;
  const AliData* ali = hit->alignments[static_cast<std::size_t>(alignmentNumber - 1)].get();
  if (ali == nullptr) return nullptr;
  try {
    auto v = std::make_unique<VisualHaspData>();
    v->hitNumber = hitNumber;
    v->alignmentNumber = alignmentNumber;
    v->queryLine = ali->queryLine;
    v->subjectLine = ali->subjectLine;
    v->middleLine = ali->middleLine;
    v->queryStart = ali->queryStart;
    v->queryEnd = ali->queryEnd;
    v->subjectStart = ali->subjectStart;
    v->subjectEnd = ali->subjectEnd;
    const std::size_t n = ali->queryLine.size();
    v->alignedLength = static_cast<int>(n);
    for (auto* colours : {&v->queryTextColours, &v->queryBackColours, &v->middleTextColours, &v->middleBackColours,
                          &v->subjectTextColours, &v->subjectBackColours, &v->queryResidueNumbers,
                          &v->subjectResidueNumbers})
      colours->assign(n, 0);
    int count = 0;
    for (std::size_t i = 0; i < n; ++i)
      if (ali->queryLine[i] != '-')
        v->queryResidueNumbers[i] = ClampToInt(static_cast<long long>(ali->queryStart) + count++);
    count = 0;
    for (std::size_t i = 0; i < n && i < ali->subjectLine.size(); ++i)
      if (ali->subjectLine[i] != '-')
        v->subjectResidueNumbers[i] = ClampToInt(static_cast<long long>(ali->subjectStart) + count++);
    std::string stats = ali->statsText;
    const std::size_t k = stats.find("IDENTITIES");
    if (k != std::string::npos && k > 0) stats[k - 1] = '\n';
    char hca[64];
    std::snprintf(hca, sizeof hca, ", HCA = %5.1f%%.", ali->hcaScore);
    stats += hca;
    SetText(v->statsText, stats, width::kViewerStatsText);
    v->sourceTableIndex = ali->sourceTableIndex;
    v->sourceHitNumber = ali->sourceHitNumber;
    return v;
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return nullptr;
  }
}
