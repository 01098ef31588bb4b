#include "vistram/results/blast_parser.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vistram/hca/hca_score.h"
#include "vistram/results/alignment_pipeline.h"
#include "vistram/results/line_reader.h"
#include "vistram/results/memory.h"
#include "vistram/results/report_text.h"
#include "vistram/results/result_view.h"
#include "vistram/results/text_scan.h"

namespace {

using report_text::IsSpace;
using report_text::ReadReportNumber;
using report_text::TextOutsideTags;
using report_text::WordAfter;

constexpr int kLineSize = 500;                 // a line is cut to 499 characters
constexpr std::size_t kHeaderAnalysed = 1999;  // characters of a hit header that are analysed
constexpr std::uint64_t kProgressStep = 4u << 20;

// The work buffers of one read, allocated together through MyAlloc (the
// three residue lines are gathered in the alignment pipeline's ring).
struct WorkBuffers {
  char* block = nullptr;
  Accumulator header;
  ~WorkBuffers() { MyFree(block); }
  bool Allocate() {
    block = static_cast<char*>(MyAlloc(kAccSize));
    if (block == nullptr) return false;
    header.data = block;
    return true;
  }
};

// Coordinates computed from printed numbers stay within int.
int ClampToInt(long long v) { return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v)); }

// Reads a decimal integer as the standard formatted input does (optional
// sign, digits; the value clamped to int). False when no digit is there.
bool ReadInt(const char*& p, const char* end, int& value) {
  const char* q = p;
  bool negative = false;
  if (q < end && (*q == '+' || *q == '-')) negative = *q++ == '-';
  if (q >= end || *q < '0' || *q > '9') return false;
  long long v = 0;
  while (q < end && *q >= '0' && *q <= '9') {
    if (v < 10000000000LL) v = v * 10 + (*q - '0');
    ++q;
  }
  if (negative) v = -v;
  value = v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
  p = q;
  return true;
}

// A Query or Sbjct line: the first word, the start number, the residues and
// the end number printed after them.
struct BlockLine {
  int start = 0;
  const char* segment = nullptr;
  std::size_t segmentLength = 0;
  int printedEnd = 0;
  // WU-BLAST -noseqs prints only the range ("Query: 115 - 350"): no residues.
  bool rangeOnly = false;
};

BlockLine ParseBlockLine(const char* line, std::size_t len) {
  BlockLine b;
  const char* p = line;
  const char* end = line + len;
  while (p < end && IsSpace(*p)) ++p;
  while (p < end && !IsSpace(*p)) ++p;
  while (p < end && IsSpace(*p)) ++p;
  if (!ReadInt(p, end, b.start)) {
    b.start = 0;
    return b;
  }
  while (p < end && IsSpace(*p)) ++p;
  b.segment = p;
  p = FindWhiteSpace(p, end);
  b.segmentLength = static_cast<std::size_t>(p - b.segment);
  while (p < end && IsSpace(*p)) ++p;
  int number = 0;
  if (ReadInt(p, end, number)) b.printedEnd = number;
  while (p < end && IsSpace(*p)) ++p;
  if (b.segmentLength == 1 && *b.segment == '-' && b.printedEnd > 0 && p == end) {
    b.rangeOnly = true;
    b.segmentLength = 0;
  }
  return b;
}

// The integer literal after the last '(' of a line: decimal, octal when it
// begins with 0, hexadecimal with 0x. Reports print long queries with
// thousands separators ("(11,337 letters)"): a comma between digits is
// skipped, so that the whole number is read rather than its first group.
int IntegerAfterLastParen(const char* line) {
  const char* paren = std::strrchr(line, '(');
  if (paren == nullptr) return 0;
  char digits[64];
  std::size_t n = 0;
  for (const char* p = paren + 1; *p != '\0' && n + 1 < sizeof digits; ++p) {
    if (*p == ',' && n > 0 && digits[n - 1] >= '0' && digits[n - 1] <= '9' && p[1] >= '0' && p[1] <= '9') continue;
    digits[n++] = *p;
  }
  digits[n] = '\0';
  errno = 0;
  const long v = std::strtol(digits, nullptr, 0);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// The query's length line: "(N letters)", or WU-BLAST's "(N letters;
// record M)".
bool IsLettersLine(const char* up, std::size_t len) {
  return Contains(up, len, "LETTERS)") || Contains(up, len, "LETTERS; RECORD");
}

// The line starts (after blanks) with "LENGTH=": the BLAST+ length line.
bool IsPlusLengthLine(const char* up, std::size_t len) {
  std::size_t i = 0;
  while (i < len && (up[i] == ' ' || up[i] == '\t')) ++i;
  return len - i >= 7 && std::memcmp(up + i, "LENGTH=", 7) == 0;
}

int PlusLength(const char* up, std::size_t len) {
  const char* eq = static_cast<const char*>(std::memchr(up, '=', len));
  if (eq == nullptr) return 0;
  const char* p = eq + 1;
  const char* end = up + len;
  while (p < end && *p == ' ') ++p;
  long long v = 0;
  while (p < end && *p >= '0' && *p <= '9') {
    if (v < 10000000000LL) v = v * 10 + (*p - '0');
    ++p;
  }
  return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// The query name of a "QUERY=" line (upper case): after the first '=' (in
// HTML with "</B>", after the '=' and the four characters of the tag), one
// character skipped, then blanks; up to the first control, blank or non-ASCII
// character.
std::string QueryName(std::string_view up, bool isHtml) {
  std::size_t p = up.find('=');
  if (p == std::string_view::npos) return {};
  ++p;
  if (isHtml && up.find("</B>") != std::string_view::npos) p += 4;
  p += 1;
  while (p < up.size() && up[p] == ' ') ++p;
  std::size_t q = p;
  while (q < up.size()) {
    const auto c = static_cast<unsigned char>(up[q]);
    if (c <= 32 || c >= 128) break;
    ++q;
  }
  if (p >= up.size()) return {};
  return std::string(up.substr(p, q - p));
}

// The database text: the "DATABASE:" line (upper case), "|", the next line
// without its leading blanks; the part after the first ':' (in HTML with
// "</B>", after the ':' and four more characters).
std::string DatabaseText(std::string_view upDatabaseLine, std::string_view nextLine, bool isHtml) {
  std::size_t i = 0;
  while (i < nextLine.size() && nextLine[i] == ' ') ++i;
  std::string joined;
  joined.reserve(upDatabaseLine.size() + 1 + nextLine.size());
  joined.append(upDatabaseLine);
  joined.push_back('|');
  joined.append(nextLine.substr(i));
  std::size_t p = joined.find(':');
  if (p == std::string::npos) return {};
  ++p;
  if (isHtml && joined.find("</B>") != std::string::npos) p += 4;
  if (p >= joined.size()) return {};
  std::string out;
  SetText(out, std::string_view(joined).substr(p), width::kDatabaseText);
  return out;
}

bool StartsWith(const char* up, std::size_t len, std::string_view word) {
  return len >= word.size() && std::memcmp(up, word.data(), word.size()) == 0;
}

// The web download's query line: "Query #1: title Query ID: id Length: n".
void ParseWebQuery(const char* up, std::size_t len, HeaderBlock& h) {
  const std::string_view line(up, len);
  const std::size_t id = line.find("QUERY ID:");
  if (id != std::string_view::npos) SetText(h.queryName, WordAfter(line, id + 9), width::kQueryName);
  const std::size_t length = line.rfind("LENGTH:");
  if (length != std::string_view::npos) {
    const std::string_view word = WordAfter(line, length + 7);
    h.queryLength = static_cast<int>(std::min<long>(std::strtol(std::string(word).c_str(), nullptr, 10), INT_MAX));
  }
  char text[64];
  std::snprintf(text, sizeof text, "(%u letters)", static_cast<unsigned>(h.queryLength));
  SetText(h.queryLengthText, text, width::kQueryLengthText);
}

// The web download writes "Score:161 bits(408), Expect:3e-48,": written
// here as the classic "SCORE = 161 BITS (408), EXPECT = 3E-48" so that the
// statistics read the same way.
std::string ClassicStats(const char* up, std::size_t len) {
  std::string out;
  std::size_t i = 0;
  while (i < len && up[i] == ' ') ++i;
  for (; i < len; ++i) {
    const char c = up[i];
    if (c == ':') {
      out += " = ";
    } else if (c == '(' && !out.empty() && out.back() != ' ') {
      out += " (";
    } else {
      out.push_back(c);
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == ',' || out.back() == '\t')) out.pop_back();
  return out;
}

// A query line that opens a new query section: "QUERY=" at the line's
// start, after blanks and HTML tags ("<b>Query=</b> name"). (A link in a
// page may carry "query=" anywhere else.)
bool IsQueryLine(const char* up, std::size_t len) {
  std::size_t i = 0;
  for (;;) {
    while (i < len && (up[i] == ' ' || up[i] == '\t')) ++i;
    if (i < len && up[i] == '<') {
      const void* close = std::memchr(up + i, '>', len - i);
      if (close == nullptr) return false;
      i = static_cast<std::size_t>(static_cast<const char*>(close) - up) + 1;
      continue;
    }
    break;
  }
  return len - i >= 6 && std::memcmp(up + i, "QUERY=", 6) == 0;
}

// True when a keyword ending with ':' ("PARAMETERS:", "POSTED DATE:", and
// for BLAST+ "GAP PENALTIES:") occurs in the line: each ':' of the line is
// tested once, so an alignment line ("QUERY: 1 ...") costs one scan.
bool HasColonMarker(const char* up, std::size_t len, bool plus) {
  auto endsWith = [up](std::size_t colon, std::string_view word) {
    return colon >= word.size() && std::memcmp(up + colon - word.size(), word.data(), word.size()) == 0;
  };
  const char* p = up;
  const char* end = up + len;
  while ((p = static_cast<const char*>(std::memchr(p, ':', static_cast<std::size_t>(end - p)))) != nullptr) {
    const auto colon = static_cast<std::size_t>(p - up);
    if (endsWith(colon, "PARAMETERS") || endsWith(colon, "POSTED DATE") || (plus && endsWith(colon, "GAP PENALTIES")))
      return true;
    ++p;
  }
  return false;
}

// Everything the reader keeps about one query section while reading it.
struct Section {
  std::shared_ptr<HitList> hits;
  HeaderBlock header;
  HspData* hit = nullptr;  // the current hit
  int hitsSoFar = 0;
  int hitsWithoutAlignment = 0;  // closed hits that had no alignment
  int alignmentsOfHit = 0;
  int totalAlignments = 0;
  int inHeader = 0;
  int blockIndex = 0;
  int queryStart = 0, subjectStart = 0;
  int queryPrintedEnd = 0, subjectPrintedEnd = 0;
  bool headerHasLength = false;    // extra sections: length line seen
  bool headerHasDatabase = false;  // extra sections: database line seen
  bool extra = false;              // a further query section (not the working set)
  bool seenOwnQuery = false;       // its own "QUERY=" line has been passed
  // Saved-results files (see docs/saved-results.md): the hit's texts and an
  // alignment's statistics as they were saved.
  bool hitTextsSaved = false;     // " Saved hit:" gave scoreText and expectText
  bool statsFromSavedText = false;  // statsText comes from " Saved text:" lines
  bool statsInSlot = false;         // the pipeline's statistics text is the alignment's
  bool alignmentOpen = false;     // the current alignment is not handed to the pipeline yet
  bool hasSavedNumbers = false;   // " Saved statistics:" gave the eleven numbers (and the gapped flag)
  double savedNumbers[11] = {};
  int savedGapped = -1;
};

class BlastReader {
 public:
  BlastReader(ResultView* view, DataProgram& dp, int kind) : view_(view), dp_(dp), isHtml_(kind == 4) {}
  int Run(const std::string& path);

 private:
  enum class Stop { EndMarker, NextQuery, EndOfFile, Failed };

  bool Next();  // reads the next line into raw_/up_; false at end of file
  bool NextRawOnly();
  // Reads the next line without copying it: data points into the line
  // reader's buffer until the next read; raw_ and up_ are left as they were.
  bool NextView(const char*& data);
  void Progress();
  int HeaderPass();
  int PlusHeaderPass();
  int WebHeaderPass();
  bool WebRule(Section& s, Stop& stop, int& code);
  // Reads one section with the line rules until its end; `code` gets the
  // failure code when Stop::Failed.
  Stop ReadSection(Section& s, bool endsAtQuery, int& code);
  bool FinishAlignment(Section& s);
  // Ends the current hit (its selection flags, one per alignment) and starts
  // the next one.
  void StartHit(Section& s);
  void CloseHit(Section& s);
  // Opens the hit's next alignment (its score line): an empty record and
  // empty residue texts.
  AliData& OpenAlignment(Section& s);
  // Counts the alignment whose statistics are read; its blocks follow.
  void CountAlignment(Section& s);
  void AnalyseHeader(HspData& hit, std::string_view header);
  // Waits for the section's records; false when one could not be built.
  bool FinishSection(Section& s);
  // ReadSection, waiting for the records handed over when it throws (the
  // section's records die with it).
  Stop ReadSectionSafely(Section& s, int& code);
  void StartExtraSection(Section& s);
  bool ReadSavedLine(Section& s);

  ResultView* view_;
  DataProgram& dp_;
  bool isHtml_;
  bool plus_ = false;  // the report has the BLAST+ layout
  bool web_ = false;   // the BLAST+ layout of the NCBI web site's text download
  bool saved_ = false;  // a saved-results file of this program
  LineReader in_;
  WorkBuffers work_;
  AlignmentPipeline pipeline_;
  char raw_[kLineSize];
  char up_[kLineSize];
  std::size_t len_ = 0;
  unsigned classes_ = 0;  // CharClass bits of the current line
  // The line read by Next() where it stands in the reader's buffer, valid
  // until the next read: the keyword tests made right after reading read it
  // there rather than the copies being written.
  const char* line_ = nullptr;
  std::uint64_t nextProgress_ = kProgressStep;
  std::string firstDatabase_;
  std::string headerUp_;  // scratch: the analysed header in upper case
};

bool BlastReader::NextView(const char*& data) {
  if (!in_.ReadLineView(kLineSize, data, len_)) return false;
  // A NUL byte ends the line as a C string would.
  if (in_.LineHasNul()) len_ = static_cast<std::size_t>(static_cast<const char*>(std::memchr(data, '\0', len_)) - data);
  return true;
}

bool BlastReader::NextRawOnly() {
  const char* data = nullptr;
  if (!NextView(data)) return false;
  std::memcpy(raw_, data, len_);
  raw_[len_] = '\0';
  return true;
}

bool BlastReader::Next() {
  const char* data = nullptr;
  if (!NextView(data)) return false;
  classes_ = CopyUpperClasses(raw_, up_, data, len_);
  line_ = data;
  raw_[len_] = '\0';
  up_[len_] = '\0';
  return true;
}

void BlastReader::Progress() {
  if (view_ == nullptr) return;
  const std::uint64_t pos = in_.Position();
  if (pos < nextProgress_) return;
  nextProgress_ = pos + kProgressStep;
  view_->SetProgress(pos, in_.FileSize());
}

int BlastReader::HeaderPass() {
  HeaderBlock& h = dp_.header;
  bool found = false;
  while (Next()) {
    if (len_ >= 20 && std::memcmp(raw_, "Vistram - saved data", 20) == 0) saved_ = true;
    if (Contains(up_, len_, "QUERY=")) {
      found = true;
      break;
    }
  }
  if (!found) return kBlastNoQuery;
  const std::string queryLine(up_, len_);
  SetText(h.queryName, QueryName(queryLine, isHtml_), width::kQueryName);

  found = false;
  while (Next()) {
    if (IsLettersLine(up_, len_)) {
      found = true;
      break;
    }
    if (IsPlusLengthLine(up_, len_)) {
      // The BLAST+ layout: "Length=N" stands for "(N letters)".
      plus_ = true;
      break;
    }
  }
  if (plus_) {
    // BLAST+ HTML pages without links are read as text; their query line
    // still carries its tags.
    SetText(h.queryName, QueryName(queryLine, isHtml_ || Contains(queryLine.data(), queryLine.size(), "</B>")),
            width::kQueryName);
    return PlusHeaderPass();
  }
  if (!found) return kBlastNoLetters;
  h.queryLength = IntegerAfterLastParen(up_);
  char text[64];
  std::snprintf(text, sizeof text, "(%u letters)", static_cast<unsigned>(h.queryLength));
  SetText(h.queryLengthText, text, width::kQueryLengthText);

  found = false;
  while (Next()) {
    if (Contains(up_, len_, "DATABASE:")) {
      found = true;
      break;
    }
  }
  if (!found) return kBlastNoDatabase;
  std::string dbLine(up_, len_);
  std::string next;
  if (NextRawOnly()) next.assign(raw_, len_);
  h.databaseText = DatabaseText(dbLine, next, isHtml_);
  // In a saved-results file an empty second database line stands for a
  // database text without one (BLAST+ reports have a single line).
  if (saved_ && !h.databaseText.empty() && h.databaseText.back() == '|') h.databaseText.pop_back();
  firstDatabase_ = h.databaseText;
  return in_.Rewind() ? kBlastOk : kBlastCannotOpen;
}

// The header of a BLAST+ report: the length from "Length=N" (the current
// line), the database from the report's first "DATABASE:" line (BLAST+ prints
// it once, before the first query).
int BlastReader::PlusHeaderPass() {
  HeaderBlock& h = dp_.header;
  h.queryLength = PlusLength(up_, len_);
  char text[64];
  std::snprintf(text, sizeof text, "(%u letters)", static_cast<unsigned>(h.queryLength));
  SetText(h.queryLengthText, text, width::kQueryLengthText);
  if (!in_.Rewind()) return kBlastCannotOpen;
  bool found = false;
  while (Next()) {
    if (Contains(up_, len_, "DATABASE:")) {
      found = true;
      break;
    }
  }
  if (found) {
    // (A comparison of two sequences names no database.)
    std::string dbLine(up_, len_);
    std::string next;
    if (NextRawOnly()) next.assign(raw_, len_);
    h.databaseText = DatabaseText(dbLine, next, isHtml_);
    firstDatabase_ = h.databaseText;
  }
  return in_.Rewind() ? kBlastOk : kBlastCannotOpen;
}

// The NCBI web site's text download: the database line, then one
// "Query #N:" line per query, hits headed by '>' and "Sequence ID:".
int BlastReader::WebHeaderPass() {
  if (!in_.Rewind()) return kBlastCannotOpen;
  HeaderBlock& h = dp_.header;
  bool found = false;
  while (Next()) {
    if (StartsWith(up_, len_, "DATABASE:") && h.databaseText.empty()) {
      SetText(h.databaseText, std::string_view(up_ + 9, len_ - 9), width::kDatabaseText);
      firstDatabase_ = h.databaseText;
    }
    if (StartsWith(up_, len_, "QUERY #")) {
      found = true;
      break;
    }
  }
  if (!found) return kBlastNoQuery;
  ParseWebQuery(up_, len_, h);
  return in_.Rewind() ? kBlastOk : kBlastCannotOpen;
}

// The lines that only the web download has; true when the line was taken.
bool BlastReader::WebRule(Section& s, Stop& stop, int& code) {
  if (StartsWith(up_, len_, "QUERY #")) {
    if (!s.seenOwnQuery) {
      s.seenOwnQuery = true;
      return true;
    }
    stop = FinishAlignment(s) ? Stop::NextQuery : Stop::Failed;
    code = kBlastFailed;
    return true;
  }
  if (len_ > 0 && up_[0] == '>') {
    if (s.inHeader) return true;  // a further title of the same sequence
    if (!FinishAlignment(s)) {
      stop = Stop::Failed;
      code = kBlastFailed;
      return true;
    }
    StartHit(s);
    if (!s.extra) dp_.viewHitCount = s.hitsSoFar;
    s.alignmentsOfHit = 0;
    std::size_t i = 1;
    while (i < len_ && up_[i] == ' ') ++i;
    SetText(s.hit->description, std::string_view(up_ + i, len_ - i), width::kDescription);
    s.inHeader = 1;
    return true;
  }
  if (StartsWith(up_, len_, "SEQUENCE ID:") && s.hit != nullptr) {
    if (s.hit->identifier.empty()) {
      const std::string_view line(up_, len_);
      SetText(s.hit->identifier, WordAfter(line, 12), width::kIdentifier);
      const std::size_t length = line.find("LENGTH:");
      if (length != std::string_view::npos)
        SetText(s.hit->lengthText, WordAfter(line, length + 7), width::kLengthText);
    }
    return true;
  }
  std::size_t i = 0;
  while (i < len_ && up_[i] == ' ') ++i;
  if (StartsWith(up_ + i, len_ - i, "SCORE:") && s.hit != nullptr) {
    s.inHeader = 0;
    if (!FinishAlignment(s)) {
      stop = Stop::Failed;
      code = kBlastFailed;
      return true;
    }
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
    if (!more) {
      stop = Stop::Failed;
      code = kBlastEndInAlignment;
      return true;
    }
    stats += ' ';
    stats += ClassicStats(up_, len_);
    SetText(ali.statsText, stats, width::kStatsText);
    CountAlignment(s);
    return true;
  }
  return false;
}

void BlastReader::CloseHit(Section& s) {
  if (s.hit == nullptr) return;
  s.hit->selected.assign(s.hit->alignments.size(), 0);
  if (s.hit->alignments.empty()) s.hitsWithoutAlignment += 1;
  s.hit = nullptr;
}

void BlastReader::StartHit(Section& s) {
  CloseHit(s);
  pipeline_.Query().Clear();
  pipeline_.Middle().Clear();
  pipeline_.Subject().Clear();
  s.hits->push_back(std::make_unique<HspData>());
  s.hit = s.hits->back().get();
  s.hitsSoFar += 1;
  s.hit->number = s.hitsSoFar;
}

AliData& BlastReader::OpenAlignment(Section& s) {
  pipeline_.Query().Clear();
  pipeline_.Middle().Clear();
  pipeline_.Subject().Clear();
  s.alignmentsOfHit += 1;
  s.hit->alignments.push_back(std::make_unique<AliData>());
  s.alignmentOpen = true;
  s.hit->alignmentCount = s.alignmentsOfHit;
  AliData& ali = *s.hit->alignments.back();
  ali.ClearStatistics();
  return ali;
}

void BlastReader::CountAlignment(Section& s) {
  s.totalAlignments += 1;
  s.blockIndex = 0;
  s.queryStart = s.subjectStart = 0;
  s.queryPrintedEnd = s.subjectPrintedEnd = 0;
}

bool BlastReader::FinishAlignment(Section& s) {
  if (s.alignmentsOfHit == 0 || s.hit == nullptr || !s.alignmentOpen) return true;
  s.alignmentOpen = false;
  AlignmentJob job;
  job.ali = s.hit->alignments.back().get();
  job.queryStart = s.queryStart;
  job.subjectStart = s.subjectStart;
  job.queryPrintedEnd = s.queryPrintedEnd;
  job.subjectPrintedEnd = s.subjectPrintedEnd;
  job.firstOfHit = s.hit->alignments.size() == 1;
  job.statsInSlot = s.statsInSlot;
  s.statsInSlot = false;
  if (s.hasSavedNumbers) {
    job.hasSavedNumbers = true;
    std::copy(std::begin(s.savedNumbers), std::end(s.savedNumbers), job.savedNumbers);
    job.savedGapped = s.savedGapped;
    s.hasSavedNumbers = false;
  }
  return pipeline_.Submit(job);
}

// The extension lines of saved-results files, each beginning with " Saved ":
// " Saved hit: SCORE|EXPECT|URL" after a hit's length line, and for an
// alignment whose statistics are not BLAST statistics (FASTA) its statistics
// lines as " Saved text: LINE" and its eleven numbers and gapped flag as
// " Saved statistics:".
bool BlastReader::ReadSavedLine(Section& s) {
  const std::string_view line(raw_, len_);
  auto after = [&](std::string_view key) -> std::string_view {
    return line.substr(0, key.size()) == key ? line.substr(key.size()) : std::string_view();
  };
  if (line.substr(0, 12) == " Saved hit: ") {
    const std::string_view rest = line.substr(12);
    const std::size_t bar1 = rest.find('|');
    const std::size_t bar2 = bar1 == std::string_view::npos ? bar1 : rest.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos) return false;
    SetText(s.hit->scoreText, rest.substr(0, bar1), width::kScoreText);
    SetText(s.hit->expectText, rest.substr(bar1 + 1, bar2 - bar1 - 1), width::kExpectText);
    SetText(s.hit->url, rest.substr(bar2 + 1), width::kUrl);
    s.hitTextsSaved = true;
    return true;
  }
  if (s.alignmentsOfHit == 0) return false;
  AliData& ali = *s.hit->alignments.back();
  if (line.substr(0, 13) == " Saved text: ") {
    std::string text = s.statsFromSavedText ? ali.statsText + "\n" : std::string();
    text.append(after(" Saved text: "));
    SetText(ali.statsText, text, width::kStatsText);
    s.statsFromSavedText = true;
    s.statsInSlot = false;
    return true;
  }
  if (line.substr(0, 19) == " Saved statistics: ") {
    std::string numbers(after(" Saved statistics: "));
    const char* p = numbers.c_str();
    for (int k = 0; k < 11; ++k) {
      char* end = nullptr;
      const double v = std::strtod(p, &end);
      if (end == p) return false;
      s.savedNumbers[k] = v;
      p = end;
    }
    char* end = nullptr;
    const long gapped = std::strtol(p, &end, 10);
    s.savedGapped = end != p && (gapped == 0 || gapped == 1) ? static_cast<int>(gapped) : -1;
    s.hasSavedNumbers = true;
    return true;
  }
  return false;
}

// Text-form header: identifier is the first word outside tags, description
// the rest; url from the first quoted text when the header has a link.
void AnalyseTextHeader(HspData& hit, std::string_view up, std::string_view rawHeader, bool plus) {
  std::size_t i = 0;
  bool inTag = false;
  if (plus) {
    // BLAST+ writes "> id description": the identifier follows the blank.
    if (i < up.size() && up[i] == '>') ++i;
    while (i < up.size() && up[i] == ' ') ++i;
  }
  // (Scratch texts reused from hit to hit: no allocation per header.)
  thread_local std::string id;
  id.clear();
  for (; i < up.size(); ++i) {
    const char c = up[i];
    if (c == '<') {
      inTag = true;
      continue;
    }
    if (c == '>') {
      inTag = false;
      continue;
    }
    if (inTag) continue;
    if (c == ' ' || c == '\t') {
      // BLAST+ HTML puts the anchor first: "><a name=Subject_1></a> id
      // description"; the identifier is the first word after it.
      if (plus && id.empty()) continue;
      break;
    }
    id.push_back(c);
  }
  SetText(hit.identifier, id, width::kIdentifier);
  if (i < up.size()) ++i;
  while (i < up.size() && up[i] == ' ') ++i;
  SetText(hit.description, TextOutsideTags(up, i), width::kDescription);
  if (up.find("<A HREF") != std::string_view::npos) {
    std::string quoted;
    const std::size_t q1 = rawHeader.find('"');
    if (q1 != std::string_view::npos) {
      const std::size_t q2 = rawHeader.find('"', q1 + 1);
      if (q2 != std::string_view::npos) quoted.assign(rawHeader.substr(q1 + 1, q2 - q1 - 1));
    }
    // A relative ExPASy entry link gets the server's address in front.
    const bool relativeSprot =
        up.find("HTTP:") == std::string_view::npos && up.find("GET-SPROT-ENTRY") != std::string_view::npos;
    SetText(hit.url, relativeSprot ? std::string(kExpasyBaseUrl) + quoted : quoted, width::kUrl);
  }
}

// Anchored header ("<A NAME" and "<A HREF"): the identifier is the link text
// after the first "</A>", the description what follows it outside tags.
void AnalyseAnchoredHeader(HspData& hit, std::string_view up, std::string_view rawHeader) {
  const std::size_t close = up.find("</A>");
  if (close != std::string_view::npos) {
    std::size_t i = close + 4;
    while (i < up.size() && up[i] != '>') ++i;
    if (i < up.size()) ++i;  // past the '>'
    thread_local std::string id;
    id.clear();
    bool inTag = false;
    for (; i < up.size(); ++i) {
      const char c = up[i];
      if (c == '<' && i + 1 < up.size() && up[i + 1] == '/') break;
      if (c == '<') {
        inTag = true;
        continue;
      }
      if (c == '>') {
        inTag = false;
        continue;
      }
      if (inTag) continue;
      id.push_back(c);
      if (i + 1 < up.size() && (up[i + 1] == ' ' || up[i + 1] == '\t')) {
        ++i;
        break;
      }
    }
    SetText(hit.identifier, id, width::kIdentifier);
    // The description: outside tags, after the next '>'.
    while (i < up.size() && up[i] != '>') ++i;
    if (i < up.size()) ++i;
    SetText(hit.description, TextOutsideTags(up, i), width::kDescription);
  }
  if (up.find("/ENTREZ/") != std::string_view::npos) {
    const std::size_t href = up.find("<A HREF");
    const std::size_t eq = href == std::string_view::npos ? href : up.find('=', href);
    const std::size_t gt = eq == std::string_view::npos ? eq : up.find('>', eq);
    if (gt != std::string_view::npos && eq + 2 <= gt - 1 && gt - 1 <= rawHeader.size()) {
      const std::string_view link = rawHeader.substr(eq + 2, gt - 1 - (eq + 2));
      if (up.find("HTTP:", eq) != std::string_view::npos)
        SetText(hit.url, link, width::kUrl);
      else
        SetText(hit.url, std::string(kNcbiBaseUrl) + std::string(link), width::kUrl);
    }
  }
}

void BlastReader::AnalyseHeader(HspData& hit, std::string_view header) {
  const std::string_view raw = header.substr(0, std::min(header.size(), kHeaderAnalysed));
  std::string& up = headerUp_;
  up.assign(raw);
  UpperCopy(up.data(), raw.data(), raw.size());
  const bool hasName = up.find("<A NAME") != std::string::npos;
  const bool hasHref = up.find("<A HREF") != std::string::npos;
  if (!up.empty() && up[0] == '>' && !hasName)
    AnalyseTextHeader(hit, up, raw, plus_);
  else if (hasName && hasHref)
    AnalyseAnchoredHeader(hit, up, raw);
  else if (plus_ && !up.empty() && up[0] == '>')
    AnalyseTextHeader(hit, up, raw, plus_);  // BLAST+ HTML: "><a name=Subject_1></a> id description"
}

BlastReader::Stop BlastReader::ReadSectionSafely(Section& s, int& code) {
  try {
    return ReadSection(s, true, code);
  } catch (...) {
    pipeline_.Drain();
    throw;
  }
}

bool BlastReader::FinishSection(Section& s) {
  const bool built = pipeline_.Drain();
  CloseHit(s);
  HitList& hits = *s.hits;
  if (plus_ && s.hitsWithoutAlignment > 0) {
    // A BLAST+ subject without any alignment ("No hits found") is no hit.
    std::erase_if(hits, [](const std::unique_ptr<HspData>& h) { return h->alignments.empty(); });
    for (std::size_t i = 0; i < hits.size(); ++i) hits[i]->number = static_cast<int>(i + 1);
    s.hitsSoFar = static_cast<int>(hits.size());
  }
  hits.shrink_to_fit();
  // Gapped BLAST when the first alignment of a hit has gaps.
  s.header.resultType = pipeline_.TakeFirstOfHitGapped() ? kResultBlast2 : kResultBlast;
  return built;
}

void BlastReader::StartExtraSection(Section& s) {
  s.hits = std::make_shared<HitList>();
  s.extra = true;
  s.seenOwnQuery = true;
  s.header.isHtml = isHtml_ ? 1 : 0;
  SetText(s.header.queryName, QueryName({up_, len_}, isHtml_ || (plus_ && Contains(up_, len_, "</B>"))),
          width::kQueryName);
  s.header.databaseText = firstDatabase_;
  if (web_) ParseWebQuery(up_, len_, s.header);
}

BlastReader::Stop BlastReader::ReadSection(Section& s, bool endsAtQuery, int& code) {
  Accumulator& qAcc = pipeline_.Query();
  Accumulator& mAcc = pipeline_.Middle();
  Accumulator& sAcc = pipeline_.Subject();
  Accumulator& hAcc = work_.header;
  const bool extra = s.extra;
  while (Next()) {
    Progress();
    const char* up = up_;
    const std::size_t len = len_;
    const std::size_t prefixLen = len < 9 ? len : 9;
    if (web_) {
      Stop stop = Stop::EndOfFile;
      if (WebRule(s, stop, code)) {
        if (stop != Stop::EndOfFile) return stop;
        continue;
      }
    }

    // (Each keyword test is made only when the line holds the keyword's
    // special characters.)
    const unsigned cls = classes_;
    const bool colon = (cls & kHasColon) != 0;
    const bool equal = (cls & kHasEqual) != 0;
    const bool less = (cls & kHasLess) != 0;
    // The report's end. A saved-results file ends only at its own tail line,
    // so that a description or database text holding one of the words does
    // not end it early.
    const bool endMarker =
        saved_ ? len >= 12 && std::memcmp(up, "POSTED DATE:", 12) == 0
               : (colon && HasColonMarker(up, len, plus_)) ||
                     ((cls & (kHasU | kHasBlank)) == (kHasU | kHasBlank) && ContainsUpper(line_, len, "CPU TIME")) ||
                     (less && ContainsUpper(line_, len, "</HTML>"));
    if (endMarker) {
      if (!FinishAlignment(s)) {
        code = kBlastFailed;
        return Stop::Failed;
      }
      return Stop::EndMarker;
    }
    if (equal && ContainsUpper(line_, len, "IMG SRC=")) continue;
    if (saved_ && !s.inHeader && s.hit != nullptr && len > 7 && std::memcmp(raw_, " Saved ", 7) == 0 &&
        ReadSavedLine(s)) {
      continue;
    }
    // The next query of a multi-query report.
    if (endsAtQuery && !saved_ && !s.inHeader && equal && IsQueryLine(up, len)) {
      if (!s.seenOwnQuery) {
        s.seenOwnQuery = true;
        continue;
      }
      // BLAST+ repeats the query line before every subject of a comparison
      // against single sequences: the same query goes on.
      const std::string& name = s.extra ? s.header.queryName : dp_.header.queryName;
      std::string again;
      SetText(again, QueryName({up, len}, isHtml_ || (plus_ && Contains(up, len, "</B>"))), width::kQueryName);
      if (again == name) continue;
      if (!FinishAlignment(s)) {
        code = kBlastFailed;
        return Stop::Failed;
      }
      return Stop::NextQuery;
    }
    // The header lines of a further query section, before its first hit.
    if (extra && s.hitsSoFar == 0) {
      if (!s.headerHasLength && (IsLettersLine(up, len) || IsPlusLengthLine(up, len))) {
        s.header.queryLength = IsLettersLine(up, len) ? IntegerAfterLastParen(up) : PlusLength(up, len);
        char text[64];
        std::snprintf(text, sizeof text, "(%u letters)", static_cast<unsigned>(s.header.queryLength));
        SetText(s.header.queryLengthText, text, width::kQueryLengthText);
        s.headerHasLength = true;
        continue;
      }
      // (BLAST+ prints the database once for all queries.)
      if (!plus_ && !s.headerHasDatabase && Contains(up, len, "DATABASE:")) {
        std::string dbLine(up, len);
        std::string next;
        if (NextRawOnly()) next.assign(raw_, len_);
        s.header.databaseText = DatabaseText(dbLine, next, isHtml_);
        s.headerHasDatabase = true;
        continue;
      }
    }

    // A hit starts. (BLAST+ comparisons of two sequences head each subject
    // with "Subject=" instead of '>'.)
    std::size_t subjectAt = 0;
    if (plus_ && len >= 8 && std::memcmp(up, "SUBJECT=", 8) == 0) subjectAt = 8;
    if (plus_ && len >= 15 && std::memcmp(up, "<B>SUBJECT=</B>", 15) == 0) subjectAt = 15;
    const bool subjectLine = subjectAt > 0;
    if (!s.inHeader && ((len > 0 && up[0] == '>') || subjectLine ||
                        (isHtml_ && less && Contains(up, len, "<A NAME") && Contains(up, len, "<A HREF")))) {
      if (!FinishAlignment(s)) {
        code = kBlastFailed;
        return Stop::Failed;
      }
      StartHit(s);
      if (!s.extra) dp_.viewHitCount = s.hitsSoFar;
      s.alignmentsOfHit = 0;
      s.hitTextsSaved = false;
      hAcc.Clear();
      if (subjectLine) {
        std::size_t i = subjectAt;
        while (i < len_ && raw_[i] == ' ') ++i;
        hAcc.Append(">", 1);
        hAcc.Append(raw_ + i, len_ - i);
      } else {
        hAcc.Append(raw_, len_);
      }
      s.inHeader = 1;
      continue;
    }

    const bool lengthLine =
        (equal && Contains(up, len, "LENGTH =")) || (s.inHeader && equal && IsPlusLengthLine(up, len));
    if (s.inHeader && !lengthLine) {
      // A continuation of the hit's header: one blank kept at the join.
      std::size_t i = 0;
      while (i < len && raw_[i] == ' ') ++i;
      if (i > 0) --i;
      // BLAST+ wraps "Subject=" descriptions without an indent: the words at
      // the join keep a blank between them.
      const bool glued = i == 0 && len > 0 && raw_[0] != ' ' && hAcc.len > 0 && hAcc.data[hAcc.len - 1] != ' ';
      if (hAcc.len + (len - i) + (glued ? 1 : 0) < kAccSize) {
        if (glued) hAcc.Append(" ", 1);
        hAcc.Append(raw_ + i, len - i);
      }
    } else if (lengthLine) {
      if (s.hitsSoFar == 0) continue;
      s.inHeader = 0;
      AnalyseHeader(*s.hit, hAcc.View());
      const char* eq = static_cast<const char*>(std::memchr(raw_, '=', len_));
      if (eq != nullptr) {
        std::size_t from = static_cast<std::size_t>(eq - raw_) + 1;
        if (plus_ && from < len_ && raw_[from] != ' ') --from;  // "Length=N": no blank after '='
        from += 1;
        if (from > len_) from = len_;
        SetText(s.hit->lengthText, std::string_view(raw_ + from, len_ - from), width::kLengthText);
      }
      continue;
    }

    // An alignment's score line.
    if (equal && Contains(up, prefixLen, "SCORE =")) {
      if (s.hitsSoFar == 0) continue;
      if (!FinishAlignment(s)) {
        code = kBlastFailed;
        return Stop::Failed;
      }
      const std::string_view line(up, len);
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
      // The statistics text: the score line without its leading blanks,
      // then the next line with one of its leading blanks; stored with the
      // alignment's record by the pipeline.
      Accumulator& stats = pipeline_.Stats();
      stats.Clear();
      std::size_t i = 0;
      while (i < len && up[i] == ' ') ++i;
      stats.Append(up + i, len - i);
      s.statsInSlot = false;
      if (!Next()) {
        code = kBlastEndInAlignment;
        return Stop::Failed;
      }
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
      continue;
    }

    // An alignment block: Query, middle and Sbjct lines.
    if (Contains(up, prefixLen, "QUERY ") || Contains(up, prefixLen, "QUERY:")) {
      // (Read where it stands in the reader's buffer, in its own case: the
      // residues are upper-cased when the alignment is stored.)
      const char* view = line_;
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
      // The middle and subject lines are read where they stand in the
      // reader's buffer.
      const char* line = nullptr;
      if (!NextView(line)) {
        code = kBlastEndInAlignment;
        return Stop::Failed;
      }
      if (!q.rangeOnly) {
        std::size_t n = q.segmentLength;
        if (n > kAccSize - 1) n = kAccSize - 1;
        const std::size_t have = column < len_ ? std::min(len_ - column, n) : 0;
        mAcc.Append(line + column, have);
        mAcc.AppendBlanks(n - have);
        // The subject line as read: its residues are upper-cased when the
        // alignment is stored.
        if (!NextView(line)) {
          code = kBlastEndInAlignment;
          return Stop::Failed;
        }
      }
      const BlockLine sb = ParseBlockLine(line, len_);
      sAcc.Append(sb.segment, sb.segmentLength);
      if (s.blockIndex == 0) s.subjectStart = sb.start;
      s.subjectPrintedEnd = sb.printedEnd;
      s.blockIndex += 1;
      continue;
    }
  }
  // The web download has no end marker: its end is the file's end.
  if (web_) {
    if (!FinishAlignment(s)) {
      code = kBlastFailed;
      return Stop::Failed;
    }
    return Stop::EndMarker;
  }
  return Stop::EndOfFile;
}

int BlastReader::Run(const std::string& path) {
  dp_.extraSections.clear();
  if (!in_.Open(path)) return kBlastCannotOpen;
  if (!work_.Allocate() || !pipeline_.Start()) return kBlastNoBuffers;
  dp_.header.isHtml = isHtml_ ? 1 : 0;
  int header = HeaderPass();
  if (header == kBlastNoQuery) {
    // No "Query=" line: perhaps the web site's text download.
    const int web = WebHeaderPass();
    if (web == kBlastOk) {
      web_ = plus_ = true;
      header = kBlastOk;
    }
  }
  if (header != kBlastOk) return header;

  Section first;
  first.hits = std::make_shared<HitList>();
  dp_.hits = first.hits;
  int code = kBlastOk;
  // A new query line ends the first query's section too: the hits of the
  // next query belong to the next table.
  Stop stop = ReadSectionSafely(first, code);
  // The first query's working set, as read so far.
  if (!FinishSection(first)) {
    stop = Stop::Failed;
    code = kBlastFailed;
  }
  dp_.hitCount = static_cast<unsigned>(first.hitsSoFar);
  dp_.viewHitCount = first.hitsSoFar;
  dp_.alignmentCount = first.totalAlignments;
  dp_.header.resultType = first.header.resultType;
  if (stop == Stop::Failed) return code;
  if (stop == Stop::EndOfFile) return kBlastFailed;

  // Further queries: each from its "QUERY=" line to its end, in its own
  // working set.
  int queryNumber = 1;
  for (;;) {
    if (stop == Stop::EndMarker) {
      bool found = false;
      while (Next()) {
        Progress();
        if (IsQueryLine(up_, len_)) {
          found = true;
          break;
        }
      }
      if (!found) break;
    }
    LoadedSection out;
    Section s;
    StartExtraSection(s);
    stop = ReadSectionSafely(s, code);
    if (!FinishSection(s)) {
      stop = Stop::Failed;
      code = kBlastFailed;
    }
    out.hitCount = static_cast<unsigned>(s.hitsSoFar);
    out.viewHitCount = s.hitsSoFar;
    out.alignmentCount = s.totalAlignments;
    out.header = s.header;
    out.hits = s.hits;
    out.queryNumber = ++queryNumber;
    dp_.extraSections.push_back(std::move(out));
    if (stop == Stop::Failed) return code;
    if (stop == Stop::EndOfFile) return kBlastFailed;
  }
  return kBlastOk;
}

}  // namespace

int LitBlastForListBox(ResultView* progress, WindowHandle mainWindow, DataProgram& dp, const std::string& path,
                       int kind) {
  (void)mainWindow;
  if (kind != 4 && kind != 5) return kBlastFailed;
  try {
    BlastReader reader(progress, dp, kind);
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
