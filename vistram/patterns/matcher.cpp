#include "vistram/patterns/matcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "vistram/base/installation.h"
#include "vistram/base/temp_files.h"

namespace {

// The decimal value of a mark's text as the C library's "%u" would read it
// from the start; a text that is not a number counts as 0.
unsigned MarkValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  unsigned long long v = 0;
  bool any = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i) {
    any = true;
    v = std::min<unsigned long long>(v * 10 + static_cast<unsigned>(text[i] - '0'), 0xffffffffULL);
  }
  return any ? static_cast<unsigned>(v) : 0;
}

// A part text as "%s" reads it from its SSMASK.TMP line: blanks skipped,
// then up to the next blank.
std::string_view FirstWord(std::string_view text) {
  std::size_t from = 0;
  while (from < text.size() && std::isspace(static_cast<unsigned char>(text[from])) != 0) ++from;
  std::size_t to = from;
  while (to < text.size() && std::isspace(static_cast<unsigned char>(text[to])) == 0) ++to;
  return text.substr(from, to - from);
}

MaskElement ElementOf(std::string_view allowed) {
  MaskElement e{};
  for (char c : allowed) {
    if (c == 'X') {
      e.fill(1);
      break;
    }
    e[static_cast<unsigned char>(c)] = 1;
  }
  e[static_cast<unsigned char>('-')] = 0;
  e[static_cast<unsigned char>('.')] = 0;
  e[static_cast<unsigned char>('X')] = 1;
  return e;
}

struct Combiner {
  const std::vector<MaskPart>& parts;
  const std::vector<std::vector<PatternHit>>& hits;
  std::vector<PatternMatch> out;
  PatternMatch chain;
  std::uint64_t steps = 0;
  bool cut = false;

  bool Full() {
    if (out.size() >= kMaxMatchesPerSearch || steps >= kMaxCombinationSteps) cut = true;
    return cut;
  }
  // Extends the chain that ends with hit `h` of part `i` (0-based).
  void Extend(std::size_t i, const PatternHit& h) {
    const std::vector<PatternHit>& next = hits[i + 1];
    const long long gap = parts[i + 1].gap;
    // Hits of a part follow each other: the ones that may follow h form one run.
    auto g = std::upper_bound(next.begin(), next.end(), h.end,
                              [](unsigned end, const PatternHit& x) { return x.start > end; });
    for (; g != next.end() && static_cast<long long>(g->start) - h.end <= gap; ++g) {
      ++steps;
      if (Full()) return;
      chain.push_back(*g);
      if (i + 2 == parts.size()) {
        out.push_back(chain);
      } else {
        Extend(i + 1, *g);
      }
      chain.pop_back();
      if (cut) return;
    }
  }
};

}  // namespace

std::string AcheveMasque(std::string_view pattern, std::size_t sequenceLength) {
  std::string s = std::string("{").append(std::to_string(sequenceLength)).append("}");
  s += pattern;
  s += "{0}";
  return s;
}

std::vector<MaskPart> DecorticMotif(std::string_view completed) {
  std::vector<MaskPart> parts;
  std::string current;
  bool pending = false;
  unsigned pendingGap = 0;
  unsigned marks = 0;
  std::size_t i = 0;
  while (i < completed.size()) {
    const char c = completed[i];
    if (c != '{') {
      current += c;
      ++i;
      continue;
    }
    if (pending) parts.push_back({marks, pendingGap, current});
    ++marks;
    const std::size_t close = completed.find('}', i + 1);
    const std::size_t stop = close == std::string_view::npos ? completed.size() : close;
    pendingGap = MarkValue(completed.substr(i + 1, stop - i - 1));
    pending = true;
    if (pendingGap == 0) break;
    current.clear();
    i = stop + 1;
  }
  return parts;
}

std::string SsmaskText(const std::vector<MaskPart>& parts) {
  std::string s;
  for (const MaskPart& p : parts) {
    s += std::to_string(p.number) + " " + std::to_string(p.gap) + " " + p.text + "\n";
  }
  return s;
}

CompiledPart CompilePart(std::string_view text) {
  const std::string_view word = FirstWord(text);
  CompiledPart part;
  std::vector<MaskElement>& elements = part.elements;
  std::size_t i = 0;
  while (i < word.size()) {
    if (word[i] == '(') {
      const std::size_t close = word.find(')', i + 1);
      const std::size_t stop = close == std::string_view::npos ? word.size() : close;
      elements.push_back(ElementOf(word.substr(i + 1, stop - i - 1)));
      i = stop + 1;
    } else {
      elements.push_back(ElementOf(word.substr(i, 1)));
      ++i;
    }
  }
  if (elements.size() <= 64) {
    for (std::size_t k = 0; k < elements.size(); ++k) {
      for (std::size_t c = 0; c < 256; ++c) {
        if (elements[k][c] != 0) part.accepts[c] |= std::uint64_t{1} << k;
      }
    }
  }
  return part;
}

bool CompareMask(char residue, const MaskElement& element) { return element[static_cast<unsigned char>(residue)] != 0; }

namespace {

// The leftmost match by trying each start in turn (parts of more than 64 elements).
bool LeftmostByRestart(const std::vector<MaskElement>& elements, std::string_view sequence, std::size_t from,
                       PatternHit& hit) {
  const std::size_t m = elements.size();
  const std::size_t n = sequence.size();
  const MaskElement& first = elements[0];
  std::size_t q = from;
  while (q < n) {
    // Find the next position where the first element fits.
    while (q < n && first[static_cast<unsigned char>(sequence[q])] == 0) ++q;
    if (q >= n) return false;
    const std::size_t start = q;
    std::size_t k = 1;
    ++q;
    while (k < m && q < n && CompareMask(sequence[q], elements[k])) {
      ++k;
      ++q;
    }
    if (k == m) {
      hit.start = static_cast<unsigned>(start);
      hit.end = static_cast<unsigned>(q - 1);
      return true;
    }
    if (q >= n) return false;
    q = start + 1;  // the next try begins one position after the failed start
  }
  return false;
}

}  // namespace

bool RechercheMaskSimple(const CompiledPart& part, std::string_view sequence, std::size_t from, PatternHit& hit) {
  const std::size_t m = part.elements.size();
  if (m == 0) return false;
  if (m > 64) return LeftmostByRestart(part.elements, sequence, from, hit);
  // Every match has m positions, so the leftmost start is the leftmost end:
  // bit k of `state` says that elements 1..k+1 match the residues ending here.
  const std::uint64_t last = std::uint64_t{1} << (m - 1);
  std::uint64_t state = 0;
  for (std::size_t q = from; q < sequence.size(); ++q) {
    state = ((state << 1) | 1) & part.accepts[static_cast<unsigned char>(sequence[q])];
    if ((state & last) != 0) {
      hit.start = static_cast<unsigned>(q + 1 - m);
      hit.end = static_cast<unsigned>(q);
      return true;
    }
  }
  return false;
}

int RechercheMaskComplexe(const CompiledPart& part, std::string_view sequence, std::vector<PatternHit>& hits) {
  hits.clear();
  std::size_t start = 0;
  PatternHit hit;
  while (RechercheMaskSimple(part, sequence, start, hit)) {
    hits.push_back(hit);
    start = static_cast<std::size_t>(hit.end) + 1;
    if (static_cast<std::size_t>(hit.end) + 2 >= sequence.size()) break;
  }
  return hits.empty() ? kSearchNotFound : kSearchFound;
}

std::vector<PatternMatch> LanceExamenCombinaison(const std::vector<MaskPart>& parts,
                                                 const std::vector<std::vector<PatternHit>>& partHits, bool& cut) {
  Combiner c{parts, partHits, {}, {}, 0, false};
  if (!parts.empty() && partHits.size() >= parts.size()) {
    for (const PatternHit& h : partHits[0]) {
      if (c.Full()) break;
      c.chain.assign(1, h);
      if (parts.size() == 1) {
        c.out.push_back(c.chain);
      } else {
        c.Extend(0, h);
      }
      if (c.cut) break;
    }
  }
  cut = c.cut;
  return std::move(c.out);
}

PreparedPattern::PreparedPattern(std::string_view pattern, const ResidueClassTable& table)
    : empty_(pattern.empty()), body_(RemplaceMultiLettre(pattern, table)) {}

void PreparedPattern::Prepare(std::size_t length) {
  if (preparedFor_ == length) return;
  // The leading mark holds only digits and braces, which no table replaces.
  // A pattern too long once expanded is cut before its closing "{0}", so that
  // its last part is still searched.
  std::string completed = std::string("{").append(std::to_string(length)).append("}").append(body_);
  if (completed.size() + 3 > kCompletedPatternMax) completed.resize(kCompletedPatternMax - 3);
  completed += "{0}";
  parts_ = DecorticMotif(completed);
  elements_.clear();
  for (const MaskPart& p : parts_) elements_.push_back(CompilePart(p.text));
  preparedFor_ = length;
}

const std::vector<MaskPart>& PreparedPattern::Parts(std::size_t length) {
  Prepare(length);
  return parts_;
}

const std::vector<CompiledPart>& PreparedPattern::Elements(std::size_t length) {
  Prepare(length);
  return elements_;
}

SearchOutcome SearchRow(PreparedPattern& pattern, std::string_view residues) {
  SearchOutcome out;
  if (pattern.Empty()) {
    out.code = kSearchError;
    out.message = kMsgInvalidPattern;
    return out;
  }
  // An empty row holds nothing to find (its completed pattern would end at once).
  if (residues.empty()) return out;
  const std::vector<MaskPart>& parts = pattern.Parts(residues.size());
  const std::vector<CompiledPart>& elements = pattern.Elements(residues.size());
  if (parts.empty()) return out;
  std::vector<std::vector<PatternHit>> hits(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (RechercheMaskComplexe(elements[i], residues, hits[i]) != kSearchFound) return out;
  }
  out.code = kSearchFound;
  out.matches = LanceExamenCombinaison(parts, hits, out.cut);
  return out;
}

SearchOutcome SearchPattern(std::string_view pattern, const ResidueClassTable* table, std::string_view residues) {
  SearchOutcome out;
  if (pattern.empty()) {
    out.code = kSearchError;
    out.message = kMsgInvalidPattern;
    return out;
  }
  if (table == nullptr) {
    out.code = kSearchError;
    out.message = kMsgNoTable;
    return out;
  }
  PreparedPattern prepared(pattern, *table);
  return SearchRow(prepared, residues);
}

std::string ResultsFilePath(const std::string& workFolder) { return workFolder + "/RESULTS.TMP"; }

std::string ResultsText(const std::vector<PatternMatch>& matches) {
  std::string text;
  for (const PatternMatch& m : matches) {
    for (const PatternHit& h : m) text += std::to_string(h.start) + " " + std::to_string(h.end) + "\n";
    text += "-\n";
  }
  return text;
}

std::vector<PatternMatch> ParseResultsText(std::string_view text) {
  std::vector<PatternMatch> matches;
  PatternMatch current;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t to = text.find('\n', from);
    if (to == std::string_view::npos) to = text.size();
    const std::string line(text.substr(from, to - from));
    from = to + 1;
    if (line.find('-') != std::string::npos) {
      matches.push_back(std::move(current));
      current.clear();
      continue;
    }
    PatternHit h;
    if (std::sscanf(line.c_str(), "%u %u", &h.start, &h.end) == 2) current.push_back(h);
  }
  return matches;
}

namespace {

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, std::string& text) {
  text.clear();
  char buffer[65536];
  for (off_t at = 0;;) {
    const ssize_t n = pread(fd, buffer, sizeof buffer, at);
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
}

}  // namespace

bool WriteResultsFile(const std::string& path, const std::vector<PatternMatch>& matches) {
  return WritePrivateFile(path, ResultsText(matches), /*replace=*/true);
}

bool ReadResultsFile(const std::string& path, std::vector<PatternMatch>& matches) {
  matches.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string text;
  const bool ok = ReadAll(fd, text);
  close(fd);
  if (ok) matches = ParseResultsText(text);
  return ok;
}

ResultsFile::~ResultsFile() {
  if (fd_ >= 0) close(fd_);
}

bool ResultsFile::Create(const std::string& workFolder) {
  if (fd_ >= 0) return true;
  path_ = ResultsFilePath(workFolder);
  fd_ = CreatePrivateFile(path_);
  return fd_ >= 0;
}

bool ResultsFile::Write(const std::vector<PatternMatch>& matches) {
  if (fd_ < 0) return false;
  const std::string text = ResultsText(matches);
  return ftruncate(fd_, 0) == 0 && WriteAll(fd_, text);
}

bool ResultsFile::Read(std::vector<PatternMatch>& matches) {
  matches.clear();
  std::string text;
  if (fd_ < 0 || !ReadAll(fd_, text)) return false;
  matches = ParseResultsText(text);
  return true;
}

bool ResultsFile::Empty() { return fd_ >= 0 && ftruncate(fd_, 0) == 0; }

std::string TableFolder(const std::string& tableName) {
  return DataFolderFor(CurrentPlatform().ProgramPath(), tableName + ".TBL");
}

int LanceRecherche(WindowHandle owner, const std::string& workFolder, const std::string& rowName,
                   std::string_view residues, const std::string& tableName, std::string_view pattern) {
  (void)rowName;  // kept with the search for the caller's messages
  auto inform = [owner](const char* text) {
    CurrentPlatform().MessageBox(owner, kFindPatternsCaption, text, MsgIcon::Information, MsgButtons::Ok);
  };
  if (pattern.empty()) {
    inform(kMsgInvalidPattern);
    return kSearchError;
  }
  ResidueClassTable table;
  if (!CreeTableDNA(TableFolder(tableName), tableName, table)) {
    inform(kMsgNoTable);
    return kSearchError;
  }
  SearchOutcome outcome = SearchPattern(pattern, &table, residues);
  if (outcome.code != kSearchFound) return outcome.code;
  if (!WriteResultsFile(ResultsFilePath(workFolder), outcome.matches)) {
    inform(kMsgCannotCreateResults);
    return kSearchError;
  }
  return kSearchFound;
}
