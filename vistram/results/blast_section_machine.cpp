// The line rules of one query section, as a state machine: each line is
// classified by the first rule that matches in the section's state
// (Classify), then the transition of its kind runs (the On... handlers).
//
//   kBeforeFirstHit --hit start--> kHitHeader --length line--> kInHit
//   kInHit --hit start--> kHitHeader
//   any state --end marker / next query--> the section ends
//
// In kHitHeader every line up to the length line belongs to the hit's
// header, and is still tested as a score or block line. Score and block
// lines are taken in any state once a hit exists; the alignment they open is
// finished at the next score line, hit start, query line or end marker.
#include <algorithm>
#include <cstring>

#include "vistram/results/blast_parser.h"
#include "vistram/results/blast_reader.h"
#include "vistram/results/report_text.h"
#include "vistram/base/text_scan.h"

namespace blast_reader {

using report_text::WordAfter;

LineKind BlastReader::Classify(const Section& s, bool endsAtQuery, bool savedRuleDone) {
  const char* up = up_;
  const std::size_t len = len_;
  const std::size_t prefixLen = len < 9 ? len : 9;
  // (Each keyword test is made only when the line holds the keyword's
  // special characters, and on the line where it stands in the read buffer.)
  const unsigned cls = classes_;
  const bool colon = (cls & kHasColon) != 0;
  const bool equal = (cls & kHasEqual) != 0;
  const bool less = (cls & kHasLess) != 0;
  const bool inHeader = s.state == ReadState::kHitHeader;
  // A saved-results file ends only at its own tail line, so that a
  // description or database text holding one of the words does not end it.
  const bool endMarker =
      saved_ ? len >= 12 && std::memcmp(up, "POSTED DATE:", 12) == 0
             : (colon && HasColonMarker(up, len, plus_)) ||
                   ((cls & (kHasU | kHasBlank)) == (kHasU | kHasBlank) && ContainsUpper(line_, len, "CPU TIME")) ||
                   (less && ContainsUpper(line_, len, "</HTML>"));
  if (endMarker) return LineKind::kEndMarker;
  if (equal && ContainsUpper(line_, len, "IMG SRC=")) return LineKind::kImage;
  if (!savedRuleDone && saved_ && !inHeader && s.hit != nullptr && len > 7 && std::memcmp(raw_, " Saved ", 7) == 0)
    return LineKind::kSavedLine;
  if (endsAtQuery && !saved_ && !inHeader && equal && IsQueryLine(up, len)) return LineKind::kQueryLine;
  if (s.extra && s.hitsSoFar == 0) {
    if (!s.headerHasLength && (IsLettersLine(up, len) || IsPlusLengthLine(up, len))) return LineKind::kSectionLength;
    // (BLAST+ prints the database once for all queries.)
    if (!plus_ && !s.headerHasDatabase && Contains(up, len, "DATABASE:")) return LineKind::kSectionDatabase;
  }
  // A hit starts. (BLAST+ comparisons of two sequences head each subject
  // with "Subject=" instead of '>'.)
  subjectAt_ = 0;
  if (plus_ && len >= 8 && std::memcmp(up, "SUBJECT=", 8) == 0) subjectAt_ = 8;
  if (plus_ && len >= 15 && std::memcmp(up, "<B>SUBJECT=</B>", 15) == 0) subjectAt_ = 15;
  if (!inHeader && ((len > 0 && up[0] == '>') || subjectAt_ > 0 ||
                    (isHtml_ && less && Contains(up, len, "<A NAME") && Contains(up, len, "<A HREF"))))
    return LineKind::kHitStart;
  if ((equal && Contains(up, len, "LENGTH =")) || (inHeader && equal && IsPlusLengthLine(up, len)))
    return LineKind::kLengthLine;
  if (equal && Contains(up, prefixLen, "SCORE =")) return LineKind::kScoreLine;
  if (Contains(up, prefixLen, "QUERY ") || Contains(up, prefixLen, "QUERY:")) return LineKind::kBlockLine;
  return LineKind::kOther;
}

BlastReader::Stop BlastReader::ReadSection(Section& s, bool endsAtQuery, int& code) {
  while (Next()) {
    Progress();
    if (web_) {
      bool taken = false;
      const Stop stop = WebRule(s, taken, code);
      if (stop != Stop::Continue) return stop;
      if (taken) continue;
    }
    LineKind kind = Classify(s, endsAtQuery);
    if (kind == LineKind::kSavedLine) {
      if (ReadSavedLine(s)) continue;
      kind = Classify(s, endsAtQuery, true);  // not ours after all: the other rules
    }
    Stop stop = Stop::Continue;
    switch (kind) {
      case LineKind::kEndMarker:
        return OnEndMarker(s, code);
      case LineKind::kImage:
      case LineKind::kSavedLine:
        break;
      case LineKind::kQueryLine:
        stop = OnQueryLine(s, code);
        break;
      case LineKind::kSectionLength:
        OnSectionLength(s);
        break;
      case LineKind::kSectionDatabase:
        OnSectionDatabase(s);
        break;
      case LineKind::kHitStart:
        stop = OnHitStart(s, code);
        break;
      case LineKind::kLengthLine:
        OnLengthLine(s);
        break;
      case LineKind::kScoreLine:
      case LineKind::kBlockLine:
      case LineKind::kOther:
        if (s.state == ReadState::kHitHeader) OnHeaderLine();
        if (kind == LineKind::kScoreLine) stop = OnScoreLine(s, code);
        if (kind == LineKind::kBlockLine) stop = OnBlockLine(s, code);
        break;
    }
    if (stop != Stop::Continue) return stop;
  }
  // The web download has no end marker: its end is the file's end.
  if (web_) return FinishAlignment(s) ? Stop::EndMarker : Fail(code, kBlastFailed);
  return Stop::EndOfFile;
}

BlastReader::Stop BlastReader::OnEndMarker(Section& s, int& code) {
  return FinishAlignment(s) ? Stop::EndMarker : Fail(code, kBlastFailed);
}

// The next query of a multi-query report, or this section's own query line.
BlastReader::Stop BlastReader::OnQueryLine(Section& s, int& code) {
  if (!s.seenOwnQuery) {
    s.seenOwnQuery = true;
    return Stop::Continue;
  }
  // BLAST+ repeats the query line before every subject of a comparison
  // against single sequences: the same query goes on.
  const std::string& name = s.extra ? s.header.queryName : dp_.header.queryName;
  std::string again;
  SetText(again, QueryName({up_, len_}, isHtml_ || (plus_ && Contains(up_, len_, "</B>"))), width::kQueryName);
  if (again == name) return Stop::Continue;
  return FinishAlignment(s) ? Stop::NextQuery : Fail(code, kBlastFailed);
}

void BlastReader::OnSectionLength(Section& s) {
  s.header.queryLength = IsLettersLine(up_, len_) ? IntegerAfterLastParen(up_) : PlusLength(up_, len_);
  char text[64];
  std::snprintf(text, sizeof text, "(%u letters)", static_cast<unsigned>(s.header.queryLength));
  SetText(s.header.queryLengthText, text, width::kQueryLengthText);
  s.headerHasLength = true;
}

void BlastReader::OnSectionDatabase(Section& s) {
  std::string dbLine(up_, len_);
  std::string next;
  if (NextRawOnly()) next.assign(raw_, len_);
  s.header.databaseText = DatabaseText(dbLine, next, isHtml_);
  s.headerHasDatabase = true;
}

BlastReader::Stop BlastReader::OnHitStart(Section& s, int& code) {
  if (!FinishAlignment(s)) return Fail(code, kBlastFailed);
  StartHit(s);
  if (!s.extra) dp_.viewHitCount = s.hitsSoFar;
  s.alignmentsOfHit = 0;
  s.hitTextsSaved = false;
  Accumulator& header = work_.header;
  header.Clear();
  if (subjectAt_ > 0) {
    std::size_t i = subjectAt_;
    while (i < len_ && raw_[i] == ' ') ++i;
    header.Append(">", 1);
    header.Append(raw_ + i, len_ - i);
  } else {
    header.Append(raw_, len_);
  }
  s.state = ReadState::kHitHeader;
  return Stop::Continue;
}

// A continuation of the hit's header: one blank kept at the join.
void BlastReader::OnHeaderLine() {
  Accumulator& header = work_.header;
  std::size_t i = 0;
  while (i < len_ && raw_[i] == ' ') ++i;
  if (i > 0) --i;
  // BLAST+ wraps "Subject=" descriptions without an indent: the words at the
  // join keep a blank between them.
  const bool glued = i == 0 && len_ > 0 && raw_[0] != ' ' && header.len > 0 && header.data[header.len - 1] != ' ';
  if (header.len + (len_ - i) + (glued ? 1 : 0) < kAccSize) {
    if (glued) header.Append(" ", 1);
    header.Append(raw_ + i, len_ - i);
  }
}

void BlastReader::OnLengthLine(Section& s) {
  if (s.hitsSoFar == 0) return;
  s.state = ReadState::kInHit;
  AnalyseHitHeader(*s.hit, work_.header.View(), plus_);
  const char* eq = static_cast<const char*>(std::memchr(raw_, '=', len_));
  if (eq == nullptr) return;
  std::size_t from = static_cast<std::size_t>(eq - raw_) + 1;
  if (plus_ && from < len_ && raw_[from] != ' ') --from;  // "Length=N": no blank after '='
  from += 1;
  if (from > len_) from = len_;
  SetText(s.hit->lengthText, std::string_view(raw_ + from, len_ - from), width::kLengthText);
}

// An alignment's score line: the previous alignment ends, the next one opens
// with its statistics (this line and the next).
BlastReader::Stop BlastReader::OnScoreLine(Section& s, int& code) {
  if (s.hitsSoFar == 0) return Stop::Continue;
  if (!FinishAlignment(s)) return Fail(code, kBlastFailed);
  const std::string_view line(up_, len_);
  s.statsFromSavedText = false;
  s.hasSavedNumbers = false;
  if (s.alignmentsOfHit == 0 && !s.hitTextsSaved) {
    const std::size_t e1 = line.find('=');
    SetText(s.hit->scoreText, WordAfter(line, e1 + 1), width::kScoreText);
    const std::size_t e2 = line.find('=', e1 + 1);
    if (e2 != std::string_view::npos) {
      std::size_t e = e2;
      const std::size_t e3 = line.find('=', e2 + 1);
      if (e3 != std::string_view::npos) e = e3;
      std::string_view word = WordAfter(line, e + 1);
      if (!word.empty() && word.back() == ',') word.remove_suffix(1);
      SetText(s.hit->expectText, word, width::kExpectText);
    }
  }
  AliData& ali = OpenAlignment(s);
  // The statistics text: the score line without its leading blanks, then
  // the next line with one of its leading blanks; stored with the
  // alignment's record by the pipeline.
  Accumulator& stats = pipeline_.Stats();
  stats.Clear();
  std::size_t i = 0;
  while (i < len_ && up_[i] == ' ') ++i;
  stats.Append(up_ + i, len_ - i);
  s.statsInSlot = false;
  if (!Next()) return Fail(code, kBlastEndInAlignment);
  if (saved_ && len_ >= 13 && std::memcmp(raw_, " Saved text: ", 13) == 0) {
    // Statistics kept as they stand (FASTA), not the score line.
    SetText(ali.statsText, std::string_view(raw_ + 13, len_ - 13), width::kStatsText);
    s.statsFromSavedText = true;
  } else {
    i = 0;
    while (i < len_ && up_[i] == ' ') ++i;
    if (i > 0) --i;
    stats.Append(up_ + i, len_ - i);
    s.statsInSlot = true;
  }
  CountAlignment(s);
  return Stop::Continue;
}

// An alignment block: Query, middle and Sbjct lines (or, without residues,
// the Query and Sbjct ranges).
BlastReader::Stop BlastReader::OnBlockLine(Section& s, int& code) {
  Accumulator& qAcc = pipeline_.Query();
  Accumulator& mAcc = pipeline_.Middle();
  Accumulator& sAcc = pipeline_.Subject();
  // (Read where it stands in the reader's buffer, in its own case: the
  // residues are upper-cased when the alignment is stored.)
  const char* view = line_;
  const std::size_t len = len_;
  const BlockLine q = ParseBlockLine(view, len);
  qAcc.Append(q.segment, q.segmentLength);
  if (s.blockIndex == 0) s.queryStart = q.start;
  if (q.printedEnd > 0) s.queryPrintedEnd = q.printedEnd;
  // The sequence column: five after the first 'Q' (or 'q'), then on to a
  // letter or '-'.
  std::size_t column = 0;
  while (column < len && view[column] != 'Q' && view[column] != 'q') ++column;
  column += 5;
  while (column < len && !IsAsciiLetter(view[column]) && view[column] != '-') ++column;
  // The middle and subject lines are read where they stand in the reader's
  // buffer.
  const char* line = nullptr;
  if (!NextView(line)) return Fail(code, kBlastEndInAlignment);
  if (!q.rangeOnly) {
    std::size_t n = q.segmentLength;
    if (n > kAccSize - 1) n = kAccSize - 1;
    const std::size_t have = column < len_ ? std::min(len_ - column, n) : 0;
    mAcc.Append(line + column, have);
    mAcc.AppendBlanks(n - have);
    // The subject line as read: its residues are upper-cased when the
    // alignment is stored.
    if (!NextView(line)) return Fail(code, kBlastEndInAlignment);
  }
  const BlockLine sb = ParseBlockLine(line, len_);
  sAcc.Append(sb.segment, sb.segmentLength);
  if (s.blockIndex == 0) s.subjectStart = sb.start;
  s.subjectPrintedEnd = sb.printedEnd;
  s.blockIndex += 1;
  return Stop::Continue;
}

// The lines that only the web download has.
BlastReader::Stop BlastReader::WebRule(Section& s, bool& taken, int& code) {
  taken = true;
  if (StartsWith(up_, len_, "QUERY #")) {
    if (!s.seenOwnQuery) {
      s.seenOwnQuery = true;
      return Stop::Continue;
    }
    return FinishAlignment(s) ? Stop::NextQuery : Fail(code, kBlastFailed);
  }
  if (len_ > 0 && up_[0] == '>') {
    if (s.state == ReadState::kHitHeader) return Stop::Continue;  // a further title of the same sequence
    if (!FinishAlignment(s)) return Fail(code, kBlastFailed);
    StartHit(s);
    if (!s.extra) dp_.viewHitCount = s.hitsSoFar;
    s.alignmentsOfHit = 0;
    std::size_t i = 1;
    while (i < len_ && up_[i] == ' ') ++i;
    SetText(s.hit->description, std::string_view(up_ + i, len_ - i), width::kDescription);
    s.state = ReadState::kHitHeader;
    return Stop::Continue;
  }
  if (StartsWith(up_, len_, "SEQUENCE ID:") && s.hit != nullptr) {
    if (s.hit->identifier.empty()) {
      const std::string_view line(up_, len_);
      SetText(s.hit->identifier, WordAfter(line, 12), width::kIdentifier);
      const std::size_t length = line.find("LENGTH:");
      if (length != std::string_view::npos)
        SetText(s.hit->lengthText, WordAfter(line, length + 7), width::kLengthText);
    }
    return Stop::Continue;
  }
  std::size_t i = 0;
  while (i < len_ && up_[i] == ' ') ++i;
  if (StartsWith(up_ + i, len_ - i, "SCORE:") && s.hit != nullptr) {
    s.state = ReadState::kInHit;
    if (!FinishAlignment(s)) return Fail(code, kBlastFailed);
    std::string stats = ClassicStats(up_, len_);
    if (s.alignmentsOfHit == 0) {
      const std::size_t e1 = stats.find('=');
      SetText(s.hit->scoreText, WordAfter(stats, e1 + 1), width::kScoreText);
      const std::size_t e2 = stats.find('=', e1 + 1);
      if (e2 != std::string::npos) {
        std::string_view word = WordAfter(stats, e2 + 1);
        if (!word.empty() && word.back() == ',') word.remove_suffix(1);
        SetText(s.hit->expectText, word, width::kExpectText);
      }
    }
    AliData& ali = OpenAlignment(s);
    // The identities line follows, after an optional "Method:" line.
    bool more = Next();
    if (more && StartsWith(up_, len_, "METHOD:")) more = Next();
    if (!more) return Fail(code, kBlastEndInAlignment);
    stats += ' ';
    stats += ClassicStats(up_, len_);
    SetText(ali.statsText, stats, width::kStatsText);
    CountAlignment(s);
    return Stop::Continue;
  }
  taken = false;
  return Stop::Continue;
}

}  // namespace blast_reader
