#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vistram/results/blast_parser.h"
#include "vistram/results/blast_reader.h"
#include "vistram/results/result_view.h"
#include "vistram/base/text_scan.h"

namespace blast_reader {

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

}  // namespace blast_reader
