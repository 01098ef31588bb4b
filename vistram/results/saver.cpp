#include "vistram/results/saver.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "vistram/base/memory.h"
#include "vistram/base/safe_file.h"

namespace {

void Put(std::FILE* file, std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file);
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The first word (run of characters other than blanks) at or after `from`.
std::string FirstWordFrom(std::string_view text, std::size_t from) {
  while (from < text.size() && IsBlank(text[from])) ++from;
  std::size_t end = from;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != '\n') ++end;
  return std::string(text.substr(std::min(from, text.size()), end - std::min(from, text.size())));
}

std::string PaddedNumber(int value) {
  // "%-6u": the number, then blanks up to six characters.
  std::string number = std::to_string(value);
  if (number.size() < 6) number.append(6 - number.size(), ' ');
  return number;
}

// The positions printed at the ends of the blocks of one aligned line.
class PositionScale {
 public:
  PositionScale(std::string_view line, int start, int end) : first_(start), end_(end) {
    const long long residues =
        static_cast<long long>(line.size()) - static_cast<long long>(std::count(line.begin(), line.end(), '-'));
    // One position per residue, forwards, unless the stored end says otherwise.
    if (end > 0 && residues > 0 && end != static_cast<long long>(start) - 1 + residues) {
      const long long span = static_cast<long long>(end) - start;
      direction_ = span < 0 ? -1 : 1;
      step_ = std::max<long long>(1, ((span < 0 ? -span : span) + 1 + residues / 2) / residues);
    }
  }
  int First() const { return static_cast<int>(first_); }
  // The last position of a block holding `segment`; the next block starts after it.
  long long Advance(std::string_view segment, bool lastBlock) {
    const long long residues = static_cast<long long>(segment.size()) -
                               static_cast<long long>(std::count(segment.begin(), segment.end(), '-'));
    long long lastPosition = first_ + direction_ * (step_ * residues - 1);
    if (lastBlock && end_ > 0) lastPosition = end_;
    first_ += direction_ * step_ * residues;
    return lastPosition;
  }

 private:
  long long first_;
  long long end_;
  long long direction_ = 1;
  long long step_ = 1;
};

// The literature reference: four lines, the last followed by two more line feeds.
constexpr std::string_view kReference =
    "Reference: Halver, J. Vistram, a workbench for the results of sequence\n"
    "           database searches: hit lists, pairwise and multiple\n"
    "           alignments, hydrophobic cluster analysis plots and maps of\n"
    "           the similarities found.\n\n\n";

}  // namespace

std::string FormatPostedDate(std::time_t when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return "Thu Jan  1 00:00:00 1970";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s %s %2d %02d:%02d:%02d %4d", kDays[(local.tm_wday % 7 + 7) % 7],
                kMonths[(local.tm_mon % 12 + 12) % 12], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                local.tm_year + 1900);
  return buffer;
}

void WriteFileHeader(std::FILE* file, std::string_view queryName, std::string_view queryLengthText,
                     std::string_view databaseText) {
  Put(file, "Vistram - saved data\n\n");
  Put(file, kReference);
  // The reader takes the query length from a line ending in "letters)"; a
  // table without one (mixed results) is written as "(0 letters)".
  std::string lengthText(queryLengthText);
  if (Upper(lengthText).find("LETTERS)") == std::string::npos) lengthText = "(0 letters)";
  Put(file, "Query= ");
  Put(file, queryName);
  Put(file, "\n      ");
  Put(file, lengthText);
  Put(file, "\n\n");

  // databaseText holds the "Database:" line and the line after it, joined by
  // '|'; its first part is the text after "Database:" as the reader took it,
  // blank included, so it is written right after the colon.
  std::string_view first = databaseText;
  std::string_view second;
  auto bar = databaseText.find('|');
  if (bar != std::string_view::npos) {
    first = databaseText.substr(0, bar);
    second = databaseText.substr(bar + 1);
  }
  Put(file, "Database:");
  Put(file, first);
  Put(file, "\n         ");
  Put(file, second);
  Put(file, "\n\n");
}

void SaveAliHeader(std::FILE* file, std::string_view identifier, std::string_view description,
                   std::string_view lengthText, const HspData* hit) {
  Put(file, ">");
  Put(file, identifier);
  Put(file, " ");
  // Words wrap at 78 columns onto lines indented by twelve blanks. The
  // reader joins two lines with one blank, so a line breaks in a run of
  // blanks and keeps all of that run but one at its end: the description
  // reads back with the blanks it had (a line never ends in a blank where
  // the description had only one).
  std::size_t column = identifier.size() + 1;
  std::size_t i = 0;
  while (i < description.size() && IsBlank(description[i])) ++i;  // leading blanks cannot be kept
  if (i < description.size()) {
    std::size_t end = i;
    while (end < description.size() && !IsBlank(description[end])) ++end;
    if (column + (end - i) > 78) {
      Put(file, "\n            ");
      column = 12;
    }
  }
  while (i < description.size()) {
    std::size_t end = i;
    while (end < description.size() && !IsBlank(description[end])) ++end;
    std::string_view word = description.substr(i, end - i);
    std::size_t next = end;
    while (next < description.size() && IsBlank(description[next])) ++next;
    std::string_view blanksAfter = description.substr(end, next - end);
    Put(file, word);
    column += word.size() + 1;
    if (next >= description.size()) {
      Put(file, blanksAfter);  // trailing blanks, as they stand
      break;
    }
    // The next word: on this line, or on a new one.
    std::size_t nextEnd = next;
    while (nextEnd < description.size() && !IsBlank(description[nextEnd])) ++nextEnd;
    const std::size_t nextLength = nextEnd - next;
    const std::size_t extra = blanksAfter.size() - 1;
    if (column + extra + nextLength > 78) {
      Put(file, blanksAfter.substr(1));
      Put(file, "\n            ");
      column = 12;
    } else {
      Put(file, blanksAfter);
      column += extra;
    }
    i = next;
  }
  Put(file, "\n           Length = ");
  Put(file, lengthText);
  Put(file, "\n");
  if (hit != nullptr) {
    Put(file, kSavedHit);
    Put(file, hit->scoreText);
    Put(file, "|");
    Put(file, hit->expectText);
    Put(file, "|");
    Put(file, hit->url);
    Put(file, "\n");
  }
  Put(file, "\n");
}

namespace {

// The eleven statistics in full precision, and the gapped flag, as the
// reader takes them back.
std::string SavedNumbers(const AliData& ali) {
  std::string out;
  for (double v : {ali.score, ali.expect, ali.identityPercent, ali.hcaScore, ali.alignmentLength,
                   ali.positivePercent, ali.pValue, ali.initn, ali.init1, ali.opt, ali.zScore}) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s%.17g", out.empty() ? "" : " ", v);
    out += buffer;
  }
  out += ali.gapped != 0 ? " 1" : " 0";
  return out;
}

void SaveAliWith(std::FILE* file, std::string_view statsText, std::string_view queryLine,
                 std::string_view subjectLine, std::string_view middleLine, int queryStart, int subjectStart,
                 int queryEnd, int subjectEnd, const AliData* numbers);

}  // namespace

void SaveAli(std::FILE* file, std::string_view statsText, std::string_view queryLine, std::string_view subjectLine,
             std::string_view middleLine, int queryStart, int subjectStart, int queryEnd, int subjectEnd) {
  SaveAliWith(file, statsText, queryLine, subjectLine, middleLine, queryStart, subjectStart, queryEnd, subjectEnd,
              nullptr);
}

void SaveAli(std::FILE* file, const AliData& ali) {
  SaveAliWith(file, ali.statsText, ali.queryLine, ali.subjectLine, ali.middleLine, ali.queryStart,
              ali.subjectStart, ali.queryEnd, ali.subjectEnd, &ali);
}

namespace {

void SaveAliWith(std::FILE* file, std::string_view statsText, std::string_view queryLine,
                 std::string_view subjectLine, std::string_view middleLine, int queryStart, int subjectStart,
                 int queryEnd, int subjectEnd, const AliData* numbers) {
  const std::string upper = Upper(statsText);
  if (upper.rfind("SCORE =", 0) == 0) {
    // BLAST statistics: split before "IDENTITIES" (the character in front of
    // the keyword, the joining blank, ends the first line).
    auto pos = upper.find("IDENTITIES");
    if (pos == std::string::npos) pos = upper.find("SMITH-WATERMAN SCORE");
    if (pos != std::string::npos && pos > 0) {
      Put(file, " ");
      Put(file, statsText.substr(0, pos - 1));
      Put(file, "\n ");
      Put(file, statsText.substr(pos));
      Put(file, "\n");
    } else {
      Put(file, " ");
      Put(file, statsText);
      Put(file, "\n");
    }
  } else {
    // Other statistics (FASTA): a score line that the reader recognises, with
    // the opt score and the expect value as the FASTA reader takes them; then
    // the statistics lines as they stand and the eleven numbers, on lines
    // that the reader of saved-results files takes back.
    std::string score = "?";
    auto opt = upper.find("OPT:");
    if (opt != std::string::npos) score = FirstWordFrom(upper, opt + 4);
    std::string expect = "?";
    auto exp = upper.find("EXPECT");
    if (exp != std::string::npos) expect = FirstWordFrom(upper, exp + 8);
    // (assign, not "=": GCC 12 at -O3 warns wrongly on a one-letter literal)
    if (score.empty()) score.assign(1, '?');
    if (expect.empty()) expect.assign(1, '?');
    Put(file, " Score = ");
    Put(file, score);
    Put(file, " Expect = ");
    Put(file, expect);
    Put(file, "\n");
    std::size_t from = 0;
    while (from <= statsText.size()) {
      auto nl = statsText.find('\n', from);
      std::string_view line =
          statsText.substr(from, nl == std::string_view::npos ? std::string_view::npos : nl - from);
      Put(file, kSavedText);
      Put(file, line);
      Put(file, "\n");
      if (nl == std::string_view::npos) break;
      from = nl + 1;
    }
    if (numbers != nullptr) {
      Put(file, kSavedStatistics);
      Put(file, SavedNumbers(*numbers));
      Put(file, "\n");
    }
  }
  Put(file, "\n");

  // Blocks of at most 60 columns; the positions of a line skip its gaps.
  const std::size_t columns = queryLine.size();
  if (columns == 0) {
    // An alignment read without residues (a report written without
    // sequences) keeps its ranges in the same form.
    Put(file, "Query: " + std::to_string(queryStart) + " - " + std::to_string(queryEnd) + "\n");
    Put(file, "Sbjct: " + std::to_string(subjectStart) + " - " + std::to_string(subjectEnd) + "\n\n");
    return;
  }
  PositionScale query(queryLine.substr(0, columns), queryStart, queryEnd);
  PositionScale subject(subjectLine.substr(0, std::min(columns, subjectLine.size())), subjectStart, subjectEnd);
  // The reader finds the sequence column at the query segment's first letter
  // or '-': a block does not begin with another character (a '*' of a
  // translated sequence) when the block before it can end earlier.
  auto startsWell = [&](std::size_t at) {
    const char c = queryLine[at];
    return c == '-' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  };
  std::size_t width = 0;
  for (std::size_t b = 0; b < columns; b += width) {
    width = std::min<std::size_t>(60, columns - b);
    while (b + width < columns && width > 1 && !startsWell(b + width)) --width;
    if (b + width < columns && !startsWell(b + width)) width = std::min<std::size_t>(60, columns - b);
    const bool last = b + width >= columns;
    std::string_view q = queryLine.substr(b, width);
    std::string_view s = b < subjectLine.size() ? subjectLine.substr(b, width) : std::string_view();
    std::string_view m = b < middleLine.size() ? middleLine.substr(b, width) : std::string_view();

    const std::string queryNumber = PaddedNumber(query.First());
    Put(file, "Query: ");
    Put(file, queryNumber);
    Put(file, " ");
    Put(file, q);
    Put(file, " ");
    Put(file, std::to_string(query.Advance(q, last)));
    Put(file, "\n");
    // The middle line starts in the sequence column (column 15 unless the
    // position needs more than six digits), or where the reader will look
    // for it when the segment cannot begin with a letter or '-'.
    std::size_t skipped = 0;
    while (skipped < q.size() && !startsWell(b + skipped)) ++skipped;
    if (skipped == q.size()) skipped = 0;
    Put(file, std::string(7 + queryNumber.size() + 1 + skipped, ' '));
    Put(file, m);
    Put(file, "\n");
    Put(file, "Sbjct: ");
    Put(file, PaddedNumber(subject.First()));
    Put(file, " ");
    Put(file, s);
    Put(file, " ");
    Put(file, std::to_string(subject.Advance(s, last)));
    Put(file, "\n\n");
  }
}

}  // namespace

void SaveAserieOfHsp(std::FILE* file, unsigned hitCount, const HitList& hits, int selectionOnly) {
  const std::size_t count = std::min<std::size_t>(hitCount, hits.size());
  for (std::size_t i = 0; i < count; ++i) {
    const HspData* hit = hits[i].get();
    if (hit == nullptr) continue;
    const std::size_t alignments =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(hit->alignmentCount, 0)), hit->alignments.size());
    bool headerWritten = false;
    for (std::size_t j = 0; j < alignments; ++j) {
      const AliData* ali = hit->alignments[j].get();
      if (ali == nullptr) continue;
      if (selectionOnly != 0 && !hit->IsSelected(static_cast<int>(j))) continue;
      if (!headerWritten) {
        SaveAliHeader(file, hit->identifier, hit->description, hit->lengthText, hit);
        headerWritten = true;
      }
      SaveAli(file, *ali);
    }
  }
}

void WriteFileTail(std::FILE* file) {
  Put(file, "\n\nPOSTED DATE: ");
  Put(file, FormatPostedDate(std::time(nullptr)));
  Put(file, "\n\n\n");
}

int PrepareSaveHSPs(const std::string& path, unsigned hitCount, const HitList& hits, std::string_view queryName,
                    std::string_view queryLengthText, std::string_view databaseText, int selectionOnly) {
  SafeFile out;
  if (!out.Open(path)) return kSaveCannotCreate;
  try {
    WriteFileHeader(out.Stream(), queryName, queryLengthText, databaseText);
    SaveAserieOfHsp(out.Stream(), hitCount, hits, selectionOnly);
    WriteFileTail(out.Stream());
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    out.Abort();
    return kSaveWriteFailed;
  }
  return out.Commit() ? kSaveOk : kSaveWriteFailed;
}
