#include "vistram/editor/msf.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "vistram/base/file_names.h"
#include "vistram/base/safe_file.h"

namespace {

// Files and alignments beyond this many cells are refused rather than
// allocated (a corrupt "Len:" must not make the reader take all memory).
constexpr long long kMaxCells = 2'000'000'000LL;

// The file name of `path` without its folder and extension.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

// The rows written: every row's residues, then the consensus when saved.
struct Written {
  std::string name;
  const std::string* residues;
};

std::vector<Written> WrittenRows(const std::string& path, const DarUvaData& msa, bool saveConsensus) {
  std::vector<Written> out;
  out.reserve(msa.rows.size() + 1);
  for (const auto& row : msa.rows) out.push_back({row->name, &row->residues});
  if (saveConsensus) out.push_back({BaseName(path), &msa.consensus});
  return out;
}

// Output buffered in memory and handed to the safe file in large pieces.
class Output {
 public:
  explicit Output(SafeFile& file) : file_(file) {}
  std::string& Text() { return text_; }
  void FlushIfLarge() {
    if (text_.size() >= (1u << 20)) Flush();
  }
  void Flush() {
    if (!text_.empty() && std::fwrite(text_.data(), 1, text_.size(), file_.Stream()) != text_.size()) {
      file_.MarkFailed();
    }
    text_.clear();
  }
  int Commit() {
    Flush();
    return file_.Commit() ? 1 : 0;
  }

 private:
  SafeFile& file_;
  std::string text_;
};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The names the MSF file gives its rows: the first ten characters of each,
// but a name whose ten characters an earlier row already took (two alignments
// of one hit, or the consensus named like a row) ends in "_2", "_3", ...
// instead; a reader gives every data line to the first row of its name, so
// repeated names (compared as readers compare them, without regard to case)
// would pour two rows into one.
// Each name remembers the number it gave last, so that many rows of one name
// (every hit of a database whose identifiers share ten characters) cost one
// try each, not one per earlier row.
std::vector<std::string> MsfNames(const std::vector<Written>& rows) {
  std::vector<std::string> names;
  names.reserve(rows.size());
  std::unordered_set<std::string> used;
  std::unordered_map<std::string, int> nextNumber;
  for (const Written& w : rows) {
    const std::string name = w.name.substr(0, 10);
    std::string unique = name;
    int& n = nextNumber.try_emplace(Upper(name), 2).first->second;
    while (!used.insert(Upper(unique)).second) {
      std::string tail = "_";
      tail += std::to_string(n++);  // (appended: GCC 12 at -O3 warns falsely on "_" + temporary)
      unique = name.substr(0, 10 - std::min<std::size_t>(10, tail.size()));
      unique += tail;
    }
    names.push_back(unique);
  }
  return names;
}

bool ValidRange(const DarUvaData& msa, int first, int last) {
  return first >= 0 && last >= first && last < msa.columnCount;
}

char At(const std::string& s, int i) { return static_cast<std::size_t>(i) < s.size() ? s[static_cast<std::size_t>(i)] : '.'; }

void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  out.append(text);
  if (text.size() < width) out.append(width - text.size(), ' ');
}

}  // namespace

int SEQGCGCHECKSUM(std::string_view sequence, int first, int last) {
  long long sum = 0;
  for (long long i = first < 0 ? 0 : first; i <= last && static_cast<std::size_t>(i) < sequence.size(); ++i) {
    sum += ((i - first) % 57 + 1) * static_cast<unsigned char>(sequence[static_cast<std::size_t>(i)]);
  }
  return static_cast<int>(sum % 10000);
}

int SauveMSF(int W, const std::string& path, const DarUvaData& msa, int first, int scaleBegin, int last,
             bool saveConsensus) {
  if (W < 1 || !ValidRange(msa, first, last)) return 0;
  const std::vector<Written> rows = WrittenRows(path, msa, saveConsensus);
  const std::vector<std::string> names = MsfNames(rows);
  std::vector<int> checks;
  int total = 0;
  for (const Written& w : rows) {
    checks.push_back(SEQGCGCHECKSUM(*w.residues, first, last));
    total = (total + checks.back()) % 10000;
  }
  SafeFile file;
  if (!file.Open(path)) return 0;
  Output out(file);
  const unsigned len = static_cast<unsigned>(last - first + 1);
  char line[400];
  std::snprintf(line, sizeof line, "  MSF: %4u  Type: P  PileUp-like from Vistram Check: %u  ..\n\n", len,
                static_cast<unsigned>(total));
  out.Text() += " " + path + line;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::snprintf(line, sizeof line, " Name: %-10s       Len:%6u  Check:%6u  Weight:  1.00\n",
                  names[i].c_str(), len, static_cast<unsigned>(checks[i]));
    out.Text() += line;
  }
  out.Text() += "\n//\n\n";
  const std::size_t field = static_cast<std::size_t>(W + W / 10 + 1);
  for (long long c = first, r = scaleBegin; c <= last; c += W, r += W) {
    std::string ruler(field, ' ');
    const std::string left = std::to_string(r), right = std::to_string(r + W - 1);
    ruler.replace(0, std::min(left.size(), field), left.substr(0, field));
    const long long end = static_cast<long long>(W + W / 10 - 2);
    const long long start = end + 1 - static_cast<long long>(right.size());
    if (start >= 0) ruler.replace(static_cast<std::size_t>(start), right.size(), right);
    out.Text().append(12, ' ');
    out.Text() += ruler;
    out.Text() += '\n';
    const long long stop = std::min<long long>(c + W - 1, last);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Written& w = rows[i];
      std::string& t = out.Text();
      AppendPadded(t, names[i], 10);
      t += "  ";
      for (long long k = c; k <= stop; ++k) {
        t += At(*w.residues, static_cast<int>(k));
        if ((k - c + 1) % 10 == 0) t += ' ';
      }
      t += '\n';
      out.FlushIfLarge();
    }
    out.Text() += '\n';
  }
  return out.Commit();
}

int SaveAlignedFasta(const std::string& path, const DarUvaData& msa, int first, int last, bool saveConsensus) {
  if (!ValidRange(msa, first, last)) return 0;
  SafeFile file;
  if (!file.Open(path)) return 0;
  Output out(file);
  for (const Written& w : WrittenRows(path, msa, saveConsensus)) {
    std::string& t = out.Text();
    t += '>';
    t += w.name;
    t += '\n';
    for (int k = first; k <= last; ++k) {
      const char ch = At(*w.residues, k);
      t += ch == '.' ? '-' : ch;
      if ((k - first + 1) % 60 == 0 || k == last) t += '\n';
    }
    out.FlushIfLarge();
  }
  return out.Commit();
}

namespace {
// Clustal names: no blanks, unique (a repeated name gets "_2", "_3", ...).
std::vector<std::string> ClustalNames(const std::vector<Written>& rows) {
  std::vector<std::string> names;
  std::unordered_set<std::string> used;
  for (const Written& w : rows) {
    std::string name;
    for (char ch : w.name) {
      if (ch != ' ' && ch != '\t') name += ch;
    }
    if (name.empty()) name = "row";
    std::string unique = name;
    for (int n = 2; !used.insert(unique).second; ++n) unique = name + "_" + std::to_string(n);
    names.push_back(unique);
  }
  return names;
}
}  // namespace

int SaveClustal(const std::string& path, const DarUvaData& msa, int first, int last, bool saveConsensus) {
  if (!ValidRange(msa, first, last)) return 0;
  const std::vector<Written> rows = WrittenRows(path, msa, saveConsensus);
  const std::vector<std::string> names = ClustalNames(rows);
  std::size_t width = 10;
  for (const std::string& n : names) width = std::max(width, n.size());
  width += 6;
  SafeFile file;
  if (!file.Open(path)) return 0;
  Output out(file);
  out.Text() += "CLUSTAL W (1.83) multiple sequence alignment\n\n\n";
  constexpr int kLine = 60;
  for (int c = first; c <= last; c += kLine) {
    const int stop = std::min(c + kLine - 1, last);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::string& t = out.Text();
      AppendPadded(t, names[i], width);
      for (int k = c; k <= stop; ++k) {
        const char ch = At(*rows[i].residues, k);
        t += ch == '.' ? '-' : ch;
      }
      t += '\n';
      out.FlushIfLarge();
    }
    // The conservation line: '*' where every row holds the same residue.
    std::string& t = out.Text();
    t.append(width, ' ');
    for (int k = c; k <= stop; ++k) {
      bool same = !rows.empty() && At(*rows[0].residues, k) != '.';
      for (std::size_t i = 1; same && i < rows.size(); ++i) same = At(*rows[i].residues, k) == At(*rows[0].residues, k);
      t += same ? '*' : ' ';
    }
    t += "\n\n";
  }
  return out.Commit();
}

MsaFileFormat MsaFormatFromPath(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == "msf") return MsaFileFormat::kMsf;
  if (ext == "fasta" || ext == "fa" || ext == "fas" || ext == "mfa") return MsaFileFormat::kFasta;
  if (ext == "aln" || ext == "clustal") return MsaFileFormat::kClustal;
  return MsaFileFormat::kUnknown;
}

int SaveMsaAs(MsaFileFormat format, int W, const std::string& path, const DarUvaData& msa, int first, int scaleBegin,
              int last, bool saveConsensus) {
  switch (format) {
    case MsaFileFormat::kMsf:
      return SauveMSF(W, path, msa, first, scaleBegin, last, saveConsensus);
    case MsaFileFormat::kFasta:
      return SaveAlignedFasta(path, msa, first, last, saveConsensus);
    case MsaFileFormat::kClustal:
      return SaveClustal(path, msa, first, last, saveConsensus);
    case MsaFileFormat::kUnknown:
      break;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Reading

namespace {

// Reads a file line by line, each line upper-cased, carriage returns blanked.
class UpperLines {
 public:
  explicit UpperLines(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}
  ~UpperLines() {
    if (file_) std::fclose(file_);
    std::free(buffer_);
  }
  UpperLines(const UpperLines&) = delete;
  UpperLines& operator=(const UpperLines&) = delete;
  bool IsOpen() const { return file_ != nullptr; }
  bool Next(std::string_view& line) {
    const ssize_t n = getline(&buffer_, &capacity_, file_);
    if (n < 0) return false;
    std::size_t len = static_cast<std::size_t>(n);
    if (len > 0 && buffer_[len - 1] == '\n') --len;
    for (std::size_t i = 0; i < len; ++i) {
      char& ch = buffer_[i];
      if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
      else if (ch == '\r' || ch == '\0') ch = ' ';
    }
    line = std::string_view(buffer_, len);
    return true;
  }

 private:
  std::FILE* file_;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The blank-delimited word of `line` starting at or after `from`; `end`
// receives the position after it.
std::string_view WordFrom(std::string_view line, std::size_t from, std::size_t& end) {
  std::size_t b = from;
  while (b < line.size() && IsBlank(line[b])) ++b;
  std::size_t e = b;
  while (e < line.size() && !IsBlank(line[e])) ++e;
  end = e;
  return line.substr(b, e - b);
}

bool IsNameLine(std::string_view line) {
  return line.find("NAME:") != std::string_view::npos && line.find("LEN:") != std::string_view::npos &&
         line.find("CHECK:") != std::string_view::npos && line.find("WEIGHT:") != std::string_view::npos;
}

// The unsigned decimal after "LEN:" (blanks skipped), capped at INT_MAX.
int LenValue(std::string_view line) {
  std::size_t i = line.find("LEN:") + 4;
  while (i < line.size() && IsBlank(line[i])) ++i;
  long long value = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (line[i] - '0'), INT_MAX);
  }
  return static_cast<int>(value);
}

}  // namespace

bool AnalyseMSFHeader(const std::string& path, int& rowCount, int& columnCount) {
  rowCount = 0;
  columnCount = 0;
  UpperLines lines(path);
  if (!lines.IsOpen()) return false;
  std::string_view line;
  while (lines.Next(line)) {
    if (!IsNameLine(line)) continue;
    if (rowCount < INT_MAX) ++rowCount;
    columnCount = std::max(columnCount, LenValue(line));
  }
  return rowCount > 0;
}

namespace {

// The names of the name lines before the first "//" (second word, at most
// 49 characters), in order.
std::vector<std::string> HeaderNames(UpperLines& lines) {
  std::vector<std::string> names;
  std::string_view line;
  while (lines.Next(line)) {
    if (line.find("//") != std::string_view::npos) break;
    if (!IsNameLine(line)) continue;
    std::size_t end = 0;
    WordFrom(line, 0, end);
    names.emplace_back(WordFrom(line, end, end).substr(0, kMsaNameWidth));
  }
  return names;
}

// The data line's row (first word, at most 49 characters), or -1; `wordEnd`
// receives the position after the first word.
// Row numbers by name, looked up with the line's word in place.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};
using NameIndex = std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>>;

long RowOfLine(std::string_view line, const NameIndex& byName, std::size_t& wordEnd) {
  if (line.size() < 5) return -1;
  const std::string_view word = WordFrom(line, 0, wordEnd).substr(0, kMsaNameWidth);
  if (word.empty()) return -1;
  const auto found = byName.find(word);
  return found == byName.end() ? -1 : static_cast<long>(found->second);
}

}  // namespace

std::unique_ptr<DarUvaData> ReadMSFforSeq(const std::string& path, int rowCount, int columnCount,
                                          const std::string& configPath) {
  // No row can hold more residues than the file has bytes: a "Len:" beyond
  // that is a damaged header, not a reason to take the memory it asks for.
  std::error_code sizeError;
  const auto fileSize = std::filesystem::file_size(path, sizeError);
  if (!sizeError && fileSize < static_cast<std::uintmax_t>(columnCount)) columnCount = static_cast<int>(fileSize);
  if (rowCount < 0 || columnCount < 0 ||
      static_cast<long long>(rowCount) * (static_cast<long long>(columnCount) + 1) > kMaxCells / 10) {
    return nullptr;
  }
  // First reading: the names, and the column where the residues of the
  // data lines start. Our own files and most tools start them at 12, behind
  // a name field of 10; files written by older GCG releases start them two
  // blanks after the longest name, which can be before position 11.
  NameIndex byName;
  std::vector<std::string> names;
  std::size_t residueColumn = 0;
  {
    UpperLines lines(path);
    if (!lines.IsOpen()) return nullptr;
    names = HeaderNames(lines);
    if (names.size() > static_cast<std::size_t>(rowCount)) return nullptr;
    for (std::size_t i = 0; i < names.size(); ++i) byName.emplace(names[i], i);
    std::string_view line;
    while (lines.Next(line)) {
      std::size_t end = 0;
      if (RowOfLine(line, byName, end) < 0) continue;
      std::size_t first = end;
      while (first < line.size() && IsBlank(line[first])) ++first;
      if (first < line.size()) residueColumn = std::max(residueColumn, first);
    }
  }
  const std::size_t start = std::min<std::size_t>(residueColumn, 11);
  UpperLines lines(path);
  if (!lines.IsOpen()) return nullptr;
  auto msa = NewDarUvaData(rowCount, columnCount);
  msa->useBackground = true;
  for (std::size_t i = 0; i < names.size(); ++i) msa->rows[i]->name = names[i];
  std::vector<std::size_t> filled(msa->rows.size(), 0);
  HeaderNames(lines);
  std::string_view line;
  while (lines.Next(line)) {
    std::size_t end = 0;
    const long r = RowOfLine(line, byName, end);
    if (r < 0) continue;
    DarUvaSeq& row = *msa->rows[static_cast<std::size_t>(r)];
    std::size_t& at = filled[static_cast<std::size_t>(r)];
    // The residues start at that column, or after the name when it reaches past it.
    for (std::size_t i = std::max(start, end); i < line.size() && at < row.residues.size(); ++i) {
      const char ch = line[i];
      if ((ch >= 'A' && ch <= 'Z') || ch == '.') {
        row.residues[at++] = ch;
      } else if (ch == '-' || ch == '~') {
        row.residues[at++] = '.';
      }
    }
  }
  ColourAllRows(*msa, ReadColourConfiguration(kColourHca, configPath, true));
  msa->consensusThreshold = msa->SequenceCount() / 2;
  CreeConsensus(msa->consensus, msa->consensusThreshold, msa->columnCount, msa->SequenceCount(), msa->rows);
  return msa;
}
