// The BLAST report reader's parts, shared by its files (blast_reader.cpp:
// lines, header passes and sections; blast_section_machine.cpp: the line
// rules of a section as a state machine; blast_line_rules.cpp: the text of
// single lines; blast_hit_header.cpp: hit headers). Not for other users:
// LitBlastForListBox (blast_parser.h) is the reader's interface.
#pragma once
#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vistram/results/report_kind.h"
#include "vistram/results/alignment_pipeline.h"
#include "vistram/base/line_reader.h"
#include "vistram/base/memory.h"
#include "vistram/results/records.h"

class ResultView;

namespace blast_reader {

inline constexpr int kLineSize = 500;                 // a line is cut to 499 characters
inline constexpr std::size_t kHeaderAnalysed = 1999;  // characters of a hit header that are analysed
inline constexpr std::uint64_t kProgressStep = 4u << 20;

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

// ---- Line rules (blast_line_rules.cpp): the text of single report lines.

// Coordinates computed from printed numbers stay within int.
inline int ClampToInt(long long v) { return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v)); }

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
BlockLine ParseBlockLine(const char* line, std::size_t len);

// The integer literal after the last '(' of a line: decimal, octal when it
// begins with 0, hexadecimal with 0x; a comma between digits is skipped
// ("(11,337 letters)").
int IntegerAfterLastParen(const char* line);
// The query's length line: "(N letters)", or WU-BLAST's "(N letters;
// record M)".
bool IsLettersLine(const char* up, std::size_t len);
// The line starts (after blanks) with "LENGTH=": the BLAST+ length line.
bool IsPlusLengthLine(const char* up, std::size_t len);
// The N of "Length=N".
int PlusLength(const char* up, std::size_t len);
// The query name of a "QUERY=" line (upper case).
std::string QueryName(std::string_view up, bool isHtml);
// The database text from the "DATABASE:" line (upper case) and the next line.
std::string DatabaseText(std::string_view upDatabaseLine, std::string_view nextLine, bool isHtml);
bool StartsWith(const char* up, std::size_t len, std::string_view word);
// The web download's query line: "Query #1: title Query ID: id Length: n".
void ParseWebQuery(const char* up, std::size_t len, HeaderBlock& h);
// The web download's "Score:161 bits(408), Expect:3e-48," in the classic form.
std::string ClassicStats(const char* up, std::size_t len);
// A query line that opens a new query section: "QUERY=" at the line's start,
// after blanks and HTML tags.
bool IsQueryLine(const char* up, std::size_t len);
// True when "PARAMETERS:", "POSTED DATE:" (and for BLAST+ "GAP PENALTIES:")
// occurs in the line.
bool HasColonMarker(const char* up, std::size_t len, bool plus);

// ---- Hit headers (blast_hit_header.cpp).

// Fills identifier, description and url of `hit` from its collected header
// lines (the first 1,999 characters): the text form ("> id description"), the
// anchored form (<a name> and <a href>), and BLAST+'s HTML form ("><a
// name=Subject_1></a> id description").
void AnalyseHitHeader(HspData& hit, std::string_view header, bool plus);

// ---- The reader.

// Where the reading of a section stands.
enum class ReadState {
  kBeforeFirstHit,  // the section's own header lines, before any hit
  kHitHeader,       // a hit's header lines, up to its length line
  kInHit,           // a hit's alignments: score lines and blocks
};

// What a line is to the section's rules, in the order they are tried.
enum class LineKind {
  kEndMarker,      // the report's end (or a saved-results file's tail line)
  kImage,          // "IMG SRC=": ignored
  kSavedLine,      // a saved-results file's " Saved ..." extension line
  kQueryLine,      // "Query=": the next query, or this section's own
  kSectionLength,  // a further section's query length line, before its hits
  kSectionDatabase,  // a further section's database line, before its hits
  kHitStart,       // '>' (or "Subject=", or an HTML anchor) outside a header
  kLengthLine,     // "Length =" (or BLAST+ "Length=" in a header)
  kScoreLine,      // "Score =" within the line's first nine characters
  kBlockLine,      // "Query " or "Query:" within the first nine: a block
  kOther,
};

// Everything the reader keeps about one query section while reading it.
struct Section {
  std::shared_ptr<HitList> hits;
  HeaderBlock header;
  HspData* hit = nullptr;  // the current hit
  int hitsSoFar = 0;
  int hitsWithoutAlignment = 0;  // closed hits that had no alignment
  int alignmentsOfHit = 0;
  int totalAlignments = 0;
  ReadState state = ReadState::kBeforeFirstHit;
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
  BlastReader(ResultView* view, DataProgram& dp, int kind) : view_(view), dp_(dp), isHtml_(kind == kReportBlastHtml) {}
  int Run(const std::string& path);

 private:
  // How a section's reading goes on after a line.
  enum class Stop { Continue, EndMarker, NextQuery, EndOfFile, Failed };
  static Stop Fail(int& code, int value) {
    code = value;
    return Stop::Failed;
  }

  bool Next();  // reads the next line into raw_/up_; false at end of file
  bool NextRawOnly();
  // Reads the next line without copying it: data points into the line
  // reader's buffer until the next read; raw_ and up_ are left as they were.
  bool NextView(const char*& data);
  void Progress();
  int HeaderPass();
  int PlusHeaderPass();
  int WebHeaderPass();
  // Reads one section with the line rules until its end; `code` gets the
  // failure code when Stop::Failed (blast_section_machine.cpp).
  Stop ReadSection(Section& s, bool endsAtQuery, int& code);
  // The kind of the current line in the section's state: the first rule
  // that matches.
  // (`savedRuleDone`: the line was offered to ReadSavedLine, which did not
  // take it; the rules after that one are tried.)
  LineKind Classify(const Section& s, bool endsAtQuery, bool savedRuleDone = false);
  // The transitions, one per kind of line.
  Stop OnEndMarker(Section& s, int& code);
  Stop OnQueryLine(Section& s, int& code);
  void OnSectionLength(Section& s);
  void OnSectionDatabase(Section& s);
  Stop OnHitStart(Section& s, int& code);
  void OnHeaderLine();
  void OnLengthLine(Section& s);
  Stop OnScoreLine(Section& s, int& code);
  Stop OnBlockLine(Section& s, int& code);
  // The web download's own rules; Stop::Continue with `taken` false when
  // the line is left to the common rules.
  Stop WebRule(Section& s, bool& taken, int& code);
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
  std::size_t subjectAt_ = 0;  // a hit start: where a BLAST+ "Subject=" line's text begins (0: a '>' line)
};


}  // namespace blast_reader
