#include "vistram/results/fasta_parser.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vistram/results/hca_score.h"
#include "vistram/base/line_reader.h"
#include "vistram/base/memory.h"
#include "vistram/results/report_kind.h"
#include "vistram/results/report_text.h"
#include "vistram/results/result_view.h"

namespace {

constexpr int kLineSize = 500;
constexpr std::size_t kAccumulatorSize = 10000;
constexpr std::uint64_t kProgressStep = std::uint64_t{4} << 20;
// The header is looked through for the layout up to this many bytes.
constexpr std::uint64_t kLayoutScanLimit = std::uint64_t{1} << 20;
// Width of the label column in front of the aligned residues.
constexpr std::size_t kLabelColumns = 7;
constexpr std::size_t kQueryLabelWidth = 6;
constexpr std::size_t kBlockColumns = 60;

using report_text::IsBlank;
using report_text::Lower;
using report_text::ReadReportNumber;
using report_text::Upper;
using report_text::UpperInto;

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// The first word at or after p (leading blanks skipped).
std::string_view FirstWord(const char* p) {
  p = SkipBlanks(p);
  const char* e = p;
  while (*e != '\0' && !IsBlank(*e)) ++e;
  return {p, static_cast<std::size_t>(e - p)};
}

// The integer at p as the standard conversion reads it (0 when none), kept
// within the range of int.
int ReadInt(const char* p) {
  long v = std::strtol(p, nullptr, 10);
  return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}

bool StartsWith(const char* p, const char* prefix) { return std::strncmp(p, prefix, std::strlen(prefix)) == 0; }

void StripTags(const char* src, char* dst) { report_text::StripTags(src, dst, kLineSize); }

// One of the three 10,000-byte accumulators of an alignment's lines. Text is
// written at a column offset; what stood after the written text is dropped
// (the text ends there), and a gap before the offset is filled with blanks.
class Accumulator {
 public:
  Accumulator() = default;
  ~Accumulator() { MyFree(buf_); }
  Accumulator(const Accumulator&) = delete;
  Accumulator& operator=(const Accumulator&) = delete;

  bool Allocate() {
    buf_ = static_cast<char*>(MyAlloc(kAccumulatorSize));
    return buf_ != nullptr;
  }
  void Clear() { len_ = 0; }
  // Writes `text` at `offset`, padded with blanks to `padTo` characters.
  void Put(std::size_t offset, std::string_view text, std::size_t padTo = 0) {
    const std::size_t cap = kAccumulatorSize - 1;
    if (offset > cap) offset = cap;
    if (offset > len_) std::memset(buf_ + len_, ' ', offset - len_);
    const std::size_t n = std::min(text.size(), cap - offset);
    if (n > 0) std::memcpy(buf_ + offset, text.data(), n);
    std::size_t end = offset + n;
    if (padTo > n) {
      const std::size_t want = std::min(offset + padTo, cap);
      if (want > end) {
        std::memset(buf_ + end, ' ', want - end);
        end = want;
      }
    }
    len_ = end;
  }
  std::string_view View() const { return {buf_, len_}; }

 private:
  char* buf_ = nullptr;
  std::size_t len_ = 0;
};

// The part of a printed alignment line after its label columns.
std::string_view Segment(const char* line, std::size_t length) {
  if (length <= kLabelColumns) return {};
  return {line + kLabelColumns, length - kLabelColumns};
}

// A number of the statistics text: after `key` and `skip` further
// characters, up to `endKey` (null: to the end); -1.0 when the key or the
// delimiter is missing.
double NumberBetween(const std::string& up, const char* key, std::size_t skip, const char* endKey) {
  std::size_t p = up.find(key);
  if (p == std::string::npos) return -1.0;
  p += std::strlen(key) + skip;
  if (p > up.size()) return -1.0;
  std::size_t e = up.size();
  if (endKey != nullptr) {
    e = up.find(endKey, p);
    if (e == std::string::npos) return -1.0;
  }
  return ReadReportNumber(std::string_view(up).substr(p, e - p));
}

// The overlap length: the number in front of "AA OVERLAP" or "NT OVERLAP".
double OverlapLength(const std::string& up) {
  std::size_t p = up.find(" OVERLAP");
  if (p == std::string::npos) return -1.0;
  // Back over the unit word and the blanks to the end of the number.
  std::size_t i = p;
  while (i > 0 && std::isalpha(static_cast<unsigned char>(up[i - 1])) != 0) --i;
  while (i > 0 && IsBlank(up[i - 1])) --i;
  std::size_t end = i;
  while (i > 0 && (std::isdigit(static_cast<unsigned char>(up[i - 1])) != 0 || up[i - 1] == '.')) --i;
  if (i == end) return -1.0;
  return ReadReportNumber(std::string_view(up).substr(i, end - i));
}

// The "(a-b:c-d)" coordinates of an overlap line; false when absent.
bool OverlapCoordinates(const char* line, int out[4]) {
  const char* p = std::strstr(line, "overlap (");
  if (p == nullptr) p = std::strstr(line, "OVERLAP (");
  if (p == nullptr) return false;
  p += 9;
  const char seps[4] = {'-', ':', '-', ')'};
  for (int k = 0; k < 4; ++k) {
    char* end = nullptr;
    long v = std::strtol(p, &end, 10);
    if (end == p || *end != seps[k]) return false;
    out[k] = static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
    p = end + 1;
  }
  return true;
}

int CountLetters(std::string_view s) {
  int n = 0;
  for (char c : s) n += ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) ? 1 : 0;
  return n;
}

// The residue number at column 0 from the ruler number printed above column
// `column`: every non-gap column from there down to column 0 is one residue.
long long PositionAtColumnZero(std::string_view text, int position, int column) {
  long long p = position;
  for (int c = column; c >= 0; --c) {
    const bool gap = static_cast<std::size_t>(c) < text.size() && text[static_cast<std::size_t>(c)] == '-';
    if (!gap) --p;
  }
  return p + 1;
}

// Coordinates stay within the range of int, whatever the report prints.
int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); }

// The query's name and length from a "  1>>>NAME description - 141 aa"
// (or ">>>NAME, 141 aa") line; `arrows` points at the ">>>".
void ReadQueryLine(const char* line, const char* arrows, HeaderBlock& header) {
  const std::string_view word = FirstWord(arrows + 3);
  std::size_t n = word.size();
  if (n > 0 && word[n - 1] == ',') --n;
  SetText(header.queryName, word.substr(0, n), width::kQueryName);
  const char* dash = nullptr;
  for (const char* p = std::strstr(line, " - "); p != nullptr; p = std::strstr(p + 1, " - ")) dash = p;
  const char* comma = std::strchr(arrows, ',');
  if (dash != nullptr)
    header.queryLength = ReadInt(dash + 3);
  else if (comma != nullptr)
    header.queryLength = ReadInt(comma + 1);
}

// The query number of a "  2>>>NAME ..." line (0 when the ">>>" has none).
int QueryNumber(const char* line, const char* arrows) {
  const char* p = arrows;
  while (p > line && std::isdigit(static_cast<unsigned char>(p[-1])) != 0) --p;
  return p < arrows ? ReadInt(p) : 0;
}

// Sets what the load-done handler and the views read of a finished query.
void FinishSection(HitList& hits, HeaderBlock& header, unsigned& hitCount, int& viewHitCount, int& alignmentCount) {
  hitCount = static_cast<unsigned>(hits.size());
  viewHitCount = static_cast<int>(hits.size());
  int total = 0;
  for (const auto& h : hits) {
    total += static_cast<int>(h->alignments.size());
    h->selected.assign(h->alignments.size(), 0);
  }
  alignmentCount = total;
  header.resultType = kResultFasta;
  if (header.queryLength < 0) header.queryLength = 0;
  if (header.queryLength > 0) {
    char text[40];
    std::snprintf(text, sizeof text, "(%u letters)", static_cast<unsigned>(header.queryLength));
    SetText(header.queryLengthText, text, width::kQueryLengthText);
  }
}

class FastaReader {
 public:
  FastaReader(ResultView* progress, DataProgram& dp, int kind) : progress_(progress), dp_(dp), kind_(kind) {}

  int Run(const std::string& path);

 private:
  bool Next();
  bool DecideLayout();
  int HeaderClassic();
  int HeaderCurrent();
  bool ResidueLine();
  int MainPass();
  bool StartHit(const char* text);
  void StartQuery(const char* line, const char* arrows, int number);
  bool FinishAlignment();
  void DropEmptyHit();
  int Statistics();  // 1, or a result code to stop with
  bool ReadRuler(int& position, int& column);
  void Finish();

  ResultView* progress_;
  DataProgram& dp_;
  int kind_;
  LineReader reader_;
  char line_[kLineSize] = {};
  char up_[kLineSize] = {};
  char work_[kLineSize] = {};
  std::size_t len_ = 0;
  std::uint64_t nextProgress_ = kProgressStep;

  Accumulator query_, middle_, subject_;
  bool current_ = false;  // the current layout
  char label_[kQueryLabelWidth + 1] = {};
  std::size_t labelLen_ = 0;
  std::size_t offset_ = 0;
  int queryPosition_ = 0, queryColumn_ = 0, subjectPosition_ = 0, subjectColumn_ = 0;
  int overlap_[4] = {};
  bool haveOverlap_ = false;
  bool bestScoresSeen_ = false;

  HitList* target_ = nullptr;  // the hits of the query being read
  HspData* hit_ = nullptr;     // the hit being read
  AliData* ali_ = nullptr;  // its alignment being read, not yet stored
  int totalAlignments_ = 0;
};

bool FastaReader::Next() {
  if (MYFGETS(reader_, kLineSize, line_) == nullptr) return false;
  len_ = UpperInto(line_, up_);
  if (progress_ != nullptr && reader_.Position() >= nextProgress_) {
    progress_->SetProgress(reader_.Position(), reader_.FileSize());
    nextProgress_ = reader_.Position() + kProgressStep;
  }
  return true;
}

// The current layout announces itself before "The best scores are:" with a
// "Query:" line or a "Scan time" line (which the classic reading would take
// for the end of the report).
bool FastaReader::DecideLayout() {
  bool current = false;
  while (Next()) {
    if (std::strstr(up_, "THE BEST SCORES") != nullptr || StartsWith(line_, ">>")) break;
    if (StartsWith(SkipBlanks(up_), "QUERY:")) current = true;
    if (std::strstr(up_, "SCAN") != nullptr && std::strstr(up_, "TIME:") != nullptr) current = true;
    if (reader_.Position() > kLayoutScanLimit) break;
  }
  reader_.Rewind();
  return current;
}

// "%s (%s residues in %s sequences)" from a "N residues in M sequences" line.
bool FastaReader::ResidueLine() {
  const char* in = std::strstr(up_, "RESIDUES IN");
  if (in == nullptr || std::strstr(up_, "SEQUENCES") == nullptr) return false;
  std::string_view residues;
  if (current_) {
    // The word in front of "residues" (a "Library:" line may carry it).
    const char* e = in;
    while (e > up_ && IsBlank(e[-1])) --e;
    const char* b = e;
    while (b > up_ && !IsBlank(b[-1])) --b;
    residues = {b, static_cast<std::size_t>(e - b)};
  } else {
    residues = FirstWord(up_);
  }
  const std::string_view sequences = FirstWord(current_ ? in + 11 : std::strstr(up_, "IN") + 2);
  std::string text = dp_.header.databaseText;
  text += " (";
  text += residues;
  text += " residues in ";
  text += sequences;
  text += " sequences)";
  SetText(dp_.header.databaseText, text, width::kDatabaseText);
  return true;
}

int FastaReader::HeaderClassic() {
  if (kind_ == kReportFastaHtml || kind_ == kReportFastaText) {
    bool found = false;
    while (Next()) {
      const char* comma = std::strchr(up_, ',');
      if (comma != nullptr && std::strstr(up_, " AA") != nullptr) {
        dp_.header.queryLength = ReadInt(comma + 1);
        SetText(dp_.header.queryName, FirstWord(up_).substr(0, static_cast<std::size_t>(comma - SkipBlanks(up_))),
                width::kQueryName);
      }
      if (std::strstr(up_, " VS ") != nullptr && std::strstr(up_, "LIBRARY") != nullptr) {
        found = true;
        break;
      }
    }
    if (!found) return kFastaNoQuery;
    SetText(dp_.header.databaseText, FirstWord(std::strstr(up_, "VS") + 2), width::kDatabaseText);
    std::string_view name = dp_.header.queryName;
    labelLen_ = std::min(name.size(), kQueryLabelWidth);
    std::memcpy(label_, name.data(), labelLen_);
    label_[labelLen_] = '\0';
  } else {
    bool found = false;
    while (Next()) {
      if (std::strstr(up_, "PEARSON") != nullptr && std::strstr(up_, "LIPMAN") != nullptr) {
        found = true;
        break;
      }
    }
    if (!found || !Next() || !Next()) return kFastaNoQuery;
    const char* colon = std::strchr(up_, ':');
    dp_.header.queryLength = colon != nullptr ? ReadInt(colon + 1) : 0;
    SetText(dp_.header.queryName, "sequence", width::kQueryName);
    found = false;
    while (Next()) {
      if (std::strstr(up_, " VS ") != nullptr && std::strstr(up_, "LIBRARY") != nullptr) {
        found = true;
        break;
      }
    }
    if (!found) return kFastaNoQuery;
    SetText(dp_.header.databaseText, FirstWord(std::strstr(up_, "VS") + 2), width::kDatabaseText);
    std::strcpy(label_, "/DATA/");
    labelLen_ = 6;
  }
  while (Next())
    if (ResidueLine()) return kFastaOk;
  return kFastaNoResidues;
}

// The current layout's header: "Query:" and the "  1>>>name ... - N aa" line
// (or the classic "name, N aa" line), "Library:" (or "vs ... library") and the
// residues line, which may be the library line itself.
int FastaReader::HeaderCurrent() {
  bool haveQuery = false;
  bool haveLibrary = false;
  while (Next()) {
    const char* s = SkipBlanks(up_);
    const char* arrows = std::strstr(up_, ">>>");
    if (!haveQuery && arrows != nullptr) {
      ReadQueryLine(up_, arrows, dp_.header);
      haveQuery = true;
    } else if (!haveQuery && std::strchr(up_, ',') != nullptr && std::strstr(up_, " AA") != nullptr &&
               !StartsWith(s, "QUERY")) {
      const char* comma = std::strchr(up_, ',');
      dp_.header.queryLength = ReadInt(comma + 1);
      SetText(dp_.header.queryName, FirstWord(up_).substr(0, static_cast<std::size_t>(comma - s)),
              width::kQueryName);
      haveQuery = true;
    } else if (!haveQuery && !haveLibrary && dp_.header.queryName.empty() && *s == '>') {
      SetText(dp_.header.queryName, FirstWord(s + 1), width::kQueryName);
    } else if (dp_.header.queryLength == 0 && !haveLibrary && !StartsWith(s, "QUERY")) {
      // "file.fasta: 3002 nt"
      const char* colon = std::strrchr(up_, ':');
      if (colon != nullptr && len_ > 3 &&
          (std::strcmp(up_ + len_ - 3, " NT") == 0 || std::strcmp(up_ + len_ - 3, " AA") == 0))
        dp_.header.queryLength = ReadInt(colon + 1);
    }
    if (StartsWith(s, "LIBRARY:")) {
      SetText(dp_.header.databaseText, FirstWord(s + 8), width::kDatabaseText);
      haveLibrary = true;
    } else if (!haveLibrary && std::strstr(up_, " VS ") != nullptr && std::strstr(up_, "LIBRARY") != nullptr) {
      SetText(dp_.header.databaseText, FirstWord(std::strstr(up_, "VS") + 2), width::kDatabaseText);
      haveLibrary = true;
    }
    if (haveLibrary && ResidueLine()) break;
  }
  if (!haveLibrary) return kFastaNoQuery;
  if (dp_.header.databaseText.find(" residues in ") == std::string::npos &&
      dp_.header.databaseText.find(" RESIDUES IN ") == std::string::npos)
    return kFastaNoResidues;
  std::string_view name = dp_.header.queryName;
  labelLen_ = std::min(name.size(), kQueryLabelWidth);
  std::memcpy(label_, name.data(), labelLen_);
  label_[labelLen_] = '\0';
  return kFastaOk;
}

bool FastaReader::StartHit(const char* text) {
  // text: the hit's header after the ">>".
  auto hit = std::make_unique<HspData>();
  const char* p = text;
  const char* e = p;
  while (*e != '\0' && *e != ' ') ++e;
  SetText(hit->identifier, std::string_view(p, static_cast<std::size_t>(e - p)), width::kIdentifier);
  SetText(hit->description, e, width::kDescription);
  target_->push_back(std::move(hit));
  hit_ = target_->back().get();
  hit_->number = static_cast<int>(target_->size());
  if (target_ == dp_.hits.get()) dp_.viewHitCount = hit_->number;
  ali_ = nullptr;
  return true;
}

// Stores the alignment being read, if any.
bool FastaReader::FinishAlignment() {
  if (ali_ == nullptr) return true;
  AliData* ali = ali_;
  ali_ = nullptr;
  if (TransfereDataFasta(*ali, query_.View(), middle_.View(), subject_.View(), queryPosition_, subjectPosition_,
                         queryColumn_, subjectColumn_, current_) == 0)
    return false;
  if (current_ && haveOverlap_) {
    ali->queryStart = overlap_[0];
    ali->queryEnd = overlap_[1];
    ali->subjectStart = overlap_[2];
    ali->subjectEnd = overlap_[3];
  }
  return true;
}

// A hit that got no alignment (a header without statistics) is not kept.
void FastaReader::DropEmptyHit() {
  if (hit_ != nullptr && hit_->alignments.empty()) {
    target_->pop_back();
    if (target_ == dp_.hits.get()) dp_.viewHitCount = static_cast<int>(target_->size());
  }
  hit_ = nullptr;
}

bool FastaReader::ReadRuler(int& position, int& column) {
  if (!Next()) return false;
  const char* p = SkipBlanks(line_);
  const std::string_view word = FirstWord(p);
  if (word.empty()) {
    position = 0;
    column = -1;
    return true;
  }
  position = ReadInt(p);
  column = static_cast<int>(p - line_) + static_cast<int>(word.size()) - 1 - static_cast<int>(kLabelColumns);
  return true;
}

int FastaReader::Statistics() {
  if (hit_ == nullptr) return 1;  // statistics before any hit: nothing to attach them to
  const char* statsLine = line_;
  if (current_ && std::strchr(line_, '<') != nullptr) {
    StripTags(line_, work_);
    statsLine = work_;
  }
  char statsUp[kLineSize];
  UpperInto(statsLine, statsUp);

  const bool first = hit_->alignments.empty();
  if (!current_ || first) {
    const char* opt = std::strstr(statsUp, "OPT:");
    SetText(hit_->scoreText, opt != nullptr ? FirstWord(opt + 4) : std::string_view(), width::kScoreText);
    const char* expect = std::strstr(statsUp, "EXPECT");
    const char* expectE = std::strstr(statsUp, "E(");
    if (expect != nullptr) {
      const std::size_t rest = std::strlen(expect + 6);
      SetText(hit_->expectText, FirstWord(expect + 6 + std::min<std::size_t>(2, rest)), width::kExpectText);
    } else if (expectE != nullptr && std::strstr(expectE, "):") != nullptr) {
      SetText(hit_->expectText, FirstWord(std::strstr(expectE, "):") + 2), width::kExpectText);
    } else {
      SetText(hit_->expectText, "?", width::kExpectText);
    }
  }

  if (current_) {
    if (!FinishAlignment()) return kFastaFailed;
  } else if (!first) {
    // A second statistics line replaces the hit's alignment.
    hit_->alignments.clear();
    ali_ = nullptr;
    --totalAlignments_;
  }
  offset_ = 0;
  query_.Clear();
  middle_.Clear();
  subject_.Clear();
  hit_->alignments.push_back(std::make_unique<AliData>());
  ali_ = hit_->alignments.back().get();
  ali_->ClearStatistics();
  hit_->alignmentCount = static_cast<int>(hit_->alignments.size());
  ++totalAlignments_;

  std::string stats = statsLine;
  if (!Next()) return kFastaFailed;
  haveOverlap_ = current_ && OverlapCoordinates(line_, overlap_);
  stats += '\n';
  stats += up_;
  for (char& c : stats) c = Lower(c);
  SetText(ali_->statsText, stats, width::kStatsText);

  if (!Next()) return kFastaFailed;  // the line skipped
  if (!ReadRuler(queryPosition_, queryColumn_)) return kFastaFailed;
  if (!Next()) return kFastaFailed;
  const std::string_view label = FirstWord(up_).substr(0, kQueryLabelWidth);
  labelLen_ = label.size();
  std::memcpy(label_, label.data(), labelLen_);
  label_[labelLen_] = '\0';
  const std::string_view querySegment = Segment(line_, len_);
  query_.Put(offset_, querySegment);
  if (!Next()) return kFastaFailed;
  middle_.Put(offset_, Segment(line_, len_).substr(0, querySegment.size()), querySegment.size());
  if (!Next()) return kFastaFailed;
  subject_.Put(offset_, Segment(line_, len_));
  if (!ReadRuler(subjectPosition_, subjectColumn_)) return kFastaFailed;
  offset_ += kBlockColumns;
  return 1;
}

int FastaReader::MainPass() {
  bool haveLine = Next();
  while (haveLine) {
    // Machine-readable output ("; fa_initn: ...") is not a printed report.
    if (line_[0] == ';' && line_[1] == ' ' && std::isalpha(static_cast<unsigned char>(line_[2])) != 0 &&
        std::isalpha(static_cast<unsigned char>(line_[3])) != 0 && line_[4] == '_')
      return kFastaFailed;
    if (!bestScoresSeen_ && std::strstr(up_, "THE BEST SCORES") != nullptr) bestScoresSeen_ = true;

    // End marker.
    if (std::strstr(up_, "SCAN") != nullptr && std::strstr(up_, "TIME:") != nullptr &&
        (!current_ || bestScoresSeen_ || hit_ != nullptr || std::strstr(up_, "TOTAL") != nullptr)) {
      if (!FinishAlignment()) return kFastaFailed;
      DropEmptyHit();
      return kFastaOk;
    }

    if (std::strstr(up_, ">>") != nullptr) {
      const char* text = nullptr;
      if (current_) {
        StripTags(up_, work_);
        const char* arrows = std::strstr(work_, ">>");
        if (arrows != nullptr && arrows[2] == '>') {
          // "  2>>>NAME ... - N aa": the next query of the report. Other
          // ">>>" lines (">>>NAME, N aa vs LIB library", ">>><<<") belong
          // to the query being read.
          const int number = QueryNumber(work_, arrows);
          if (number >= 2) {
            if (!FinishAlignment()) return kFastaFailed;
            DropEmptyHit();
            StartQuery(work_, arrows, number);
          }
          haveLine = Next();
          continue;
        }
        if (arrows != nullptr) text = arrows + 2;
      } else {
        text = len_ > 2 ? up_ + 2 : up_ + len_;
      }
      if (text != nullptr) {
        offset_ = 0;
        if (!FinishAlignment()) return kFastaFailed;
        DropEmptyHit();
        StartHit(text);
      }
      haveLine = Next();
      continue;
    }

    if (current_ && StartsWith(line_, ">--")) {
      // A further alignment of the same hit.
      if (!FinishAlignment()) return kFastaFailed;
      offset_ = 0;
      haveLine = Next();
      continue;
    }

    // A further block of the alignment being read.
    if (ali_ != nullptr && labelLen_ > 0 && len_ > labelLen_ && std::strstr(up_, label_) != nullptr) {
      const std::string_view querySegment = Segment(up_, len_);
      query_.Put(offset_, querySegment);
      if (!Next()) return kFastaFailed;
      // A short middle line ends the alignment (as does, in the current
      // layout's HTML, the "<!-- ALIGN_STOP -->" line).
      if (len_ > 6 && !(current_ && line_[0] == '<')) {
        middle_.Put(offset_, Segment(line_, len_).substr(0, querySegment.size()), querySegment.size());
        if (!Next()) return kFastaFailed;
        subject_.Put(offset_, Segment(line_, len_));
        offset_ += kBlockColumns;
      }
    }

    const bool statistics =
        (std::strstr(up_, "INITN:") != nullptr && std::strstr(up_, "INIT1:") != nullptr &&
         std::strstr(up_, "OPT:") != nullptr) ||
        (current_ && std::strstr(up_, "OPT:") != nullptr && std::strstr(up_, "Z-SCORE:") != nullptr);
    if (statistics) {
      const int r = Statistics();
      if (r != 1) return r;
    }
    haveLine = Next();
  }
  return kFastaFailed;  // no end marker
}

// A further query of a multi-query report: its hits go to a section of
// their own (dp.extraSections), with the first query's library.
void FastaReader::StartQuery(const char* line, const char* arrows, int number) {
  LoadedSection section;
  section.header = dp_.header;
  section.header.queryName.clear();
  section.header.queryLength = 0;
  ReadQueryLine(line, arrows, section.header);
  section.queryNumber = number;
  section.hits = std::make_shared<HitList>();
  target_ = section.hits.get();
  dp_.extraSections.push_back(std::move(section));
  hit_ = nullptr;
  ali_ = nullptr;
  offset_ = 0;
  bestScoresSeen_ = false;  // the next query's header has its own "Scan time"
  const std::string& name = dp_.extraSections.back().header.queryName;
  labelLen_ = std::min(name.size(), kQueryLabelWidth);
  std::memcpy(label_, name.data(), labelLen_);
  label_[labelLen_] = '\0';
}

void FastaReader::Finish() {
  if (hit_ != nullptr && hit_->alignments.empty()) DropEmptyHit();
  FinishSection(*dp_.hits, dp_.header, dp_.hitCount, dp_.viewHitCount, dp_.alignmentCount);
  for (LoadedSection& s : dp_.extraSections)
    FinishSection(*s.hits, s.header, s.hitCount, s.viewHitCount, s.alignmentCount);
}

int FastaReader::Run(const std::string& path) {
  if (kind_ < 6 || kind_ > 9) return kFastaFailed;
  dp_.header.isHtml = (kind_ == kReportFastaHtml || kind_ == kReportEbiFastaHtml) ? 1 : 0;
  if (!reader_.Open(path)) return kFastaCannotOpen;
  if (!query_.Allocate() || !middle_.Allocate() || !subject_.Allocate()) return kFastaNoBuffers;
  dp_.hits = std::make_shared<HitList>();
  target_ = dp_.hits.get();
  dp_.extraSections.clear();
  dp_.hitCount = 0;
  dp_.viewHitCount = 0;
  dp_.alignmentCount = 0;
  current_ = DecideLayout();
  int r = current_ ? HeaderCurrent() : HeaderClassic();
  if (r != kFastaOk) return r;
  r = MainPass();
  Finish();
  return r;
}

}  // namespace

int LitFastaForListBox(ResultView* progress, WindowHandle mainWindow, DataProgram& dp, const std::string& path,
                       int kind) {
  (void)mainWindow;
  try {
    FastaReader reader(progress, dp, kind);
    return reader.Run(path);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return kFastaFailed;
  }
}

int TransfereDataFasta(AliData& ali, std::string_view queryText, std::string_view middleText,
                       std::string_view subjectText, int queryPosition, int subjectPosition, int queryColumn,
                       int subjectColumn, bool currentLayout) {
  const long long query0 = PositionAtColumnZero(queryText, queryPosition, queryColumn);
  const long long subject0 = PositionAtColumnZero(subjectText, subjectPosition, subjectColumn);

  // Columns beyond the query or subject text count as blank.
  const std::size_t columns = std::min({middleText.size(), queryText.size(), subjectText.size()});
  const char* mq = queryText.data();
  const char* mm = middleText.data();
  const char* ms = subjectText.data();
  auto filled = [](char c) { return c != ' ' && c != '\0'; };
  std::size_t first = std::string_view::npos;
  std::size_t last = 0;
  for (std::size_t c = 0; c < columns; ++c) {
    if (filled(mm[c]) && filled(mq[c]) && filled(ms[c])) {
      first = c;
      break;
    }
  }
  if (first != std::string_view::npos) {
    for (std::size_t c = columns; c-- > first;) {
      if (filled(mm[c]) && filled(mq[c]) && filled(ms[c])) {
        last = c;
        break;
      }
    }
  }
  try {
    std::string q, m, s;
    if (first != std::string_view::npos) {
      const std::size_t n = last - first + 1;
      q.assign(queryText.substr(first, n));
      m.assign(middleText.substr(first, n));
      s.assign(subjectText.substr(first, n));
      for (char& c : m) {
        if (c == 'X' || c == ':')
          c = '|';
        else if (c == '.')
          c = ':';
      }
    }
    ali.queryLine = std::move(q);
    ali.middleLine = std::move(m);
    ali.subjectLine = std::move(s);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    ali.queryLine.clear();
    ali.middleLine.clear();
    ali.subjectLine.clear();
    return 0;
  }
  const long long offset = first == std::string_view::npos ? 0 : static_cast<long long>(first);
  ali.queryStart = ClampInt(query0 + offset);
  ali.subjectStart = ClampInt(subject0 + offset);
  ali.queryEnd = ali.queryStart - 1 + CountLetters(ali.queryLine);
  ali.subjectEnd = ali.subjectStart - 1 + CountLetters(ali.subjectLine);
  ali.gapped = 1;
  TransFasdata(ali, currentLayout);
  return 1;
}

void TransFasdata(AliData& ali, bool currentLayout) {
  ali.ClearStatistics();
  std::string up = ali.statsText;
  for (char& c : up) c = Upper(c);
  ali.initn = NumberBetween(up, "INITN:", 0, "INIT1:");
  ali.init1 = NumberBetween(up, "INIT1:", 0, "OPT:");
  ali.opt = NumberBetween(up, "OPT:", 0, "Z-SCORE");
  ali.zScore = NumberBetween(up, "Z-SCORE:", 0, "EXPECT");
  ali.expect = NumberBetween(up, "EXPECT", 2, "\n");
  ali.score = NumberBetween(up, "WATERMAN", 7, ";");
  ali.identityPercent = NumberBetween(up, ";", 0, "%");
  ali.alignmentLength = OverlapLength(up);
  if (currentLayout) {
    if (ali.identityPercent < 0) {
      // "57.303% identity (...) in 267 nt overlap": no Smith-Waterman score before it.
      const std::size_t id = up.find("% IDENTITY");
      if (id != std::string::npos) {
        std::size_t b = id;
        while (b > 0 && (std::isdigit(static_cast<unsigned char>(up[b - 1])) != 0 || up[b - 1] == '.')) --b;
        if (b < id) ali.identityPercent = ReadReportNumber(std::string_view(up).substr(b));
      }
    }
    if (ali.zScore < 0) ali.zScore = NumberBetween(up, "Z-SCORE:", 0, nullptr);
  }
  if (ali.expect < 0) {
    // "E(): 0.017" (classic) or "E(31): 6e-84": the number where it stands.
    const std::size_t lineEnd = up.find('\n');
    const std::size_t e = up.find("E(");
    if (e != std::string::npos && e < lineEnd) {
      const std::size_t colon = up.find("):", e);
      if (colon != std::string::npos && colon < lineEnd)
        ali.expect = ReadReportNumber(std::string_view(up).substr(colon + 2, lineEnd - colon - 2));
    }
  }
  ali.hcaScore = AlignmentHcaScore(ali.queryLine, ali.subjectLine);
}

bool LooksLikeCurrentFastaReport(std::string_view upperHead) {
  auto has = [&](std::string_view s) { return upperHead.find(s) != std::string_view::npos; };
  return has("\nQUERY:") && has("\nLIBRARY:") && has(">>>") && (has("THE BEST SCORES") || has("!! NO SEQUENCES"));
}
