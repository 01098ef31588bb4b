// A search of several patterns over several rows, as the "Find pattern(s)"
// window and batch mode run it, and the texts of its result tree.
#pragma once
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <string_view>
#include <vector>

#include "vistram/patterns/matcher.h"
#include "vistram/patterns/pattern_row.h"

inline constexpr std::size_t kPatternTextMax = 99;  // characters of a pattern used in a search
inline constexpr std::size_t kItemResiduesMax = 49;   // residues shown for one match part
inline constexpr std::size_t kItemTextMax = 499;      // characters of a tree item
inline constexpr std::size_t kRowNameMax = 49;        // characters of a row name kept by the search

// The text of match `number` (from 1) of a row, as its tree item shows it:
// '   1 : -- 12<KDEL>15 --', one "-- start<residues>end --" per part
// (positions from 1). A part of more than 49 residues shows its first 23 and
// last 23 residues around "..."; the whole text is cut at 499 characters.
std::string MatchItemText(unsigned number, const PatternMatch& match, std::string_view residues);

// Batch search: for each row in order, for each pattern in order, one line
// per complete match: the row name (cut to 49 characters), a tab, the pattern, a tab and the match's
// item text. A pattern that fails (empty) is reported once on `errors` and
// skipped. Returns false when any pattern failed or the output failed.
bool WriteFindPatternLines(const std::vector<PatternRow>& rows, const std::vector<std::string>& patterns,
                           const ResidueClassTable& table, std::FILE* out, std::FILE* errors);

// One (row, pattern) search that found something or failed (the pairs that
// found nothing are only counted).
struct PairOutcome {
  std::size_t row = 0;
  std::size_t pattern = 0;
  SearchOutcome outcome;
};

// The searches of every (row, pattern) pair, rows in order and patterns in
// order within a row, run on a thread of its own so that a window stays
// responsive; the window takes the outcomes as they come.
class BackgroundSearch {
 public:
  // `table` null: the table could not be loaded (every pair then fails).
  BackgroundSearch(std::vector<PatternRow> rows, std::vector<std::string> patterns,
                   std::unique_ptr<ResidueClassTable> table);
  ~BackgroundSearch();  // cancels and waits for the thread
  BackgroundSearch(const BackgroundSearch&) = delete;
  BackgroundSearch& operator=(const BackgroundSearch&) = delete;

  void Start();
  void Cancel() { cancel_ = true; }
  // Appends the outcomes ready so far, in pair order. False once the search
  // has ended (finished, cancelled, or never started) and every outcome has
  // been taken.
  bool Take(std::vector<PairOutcome>& out);
  std::size_t Done() const { return done_; }
  std::size_t Total() const { return rows_.size() * patterns_.size(); }
  const std::vector<PatternRow>& Rows() const { return rows_; }
  const std::vector<std::string>& Patterns() const { return patterns_; }

 private:
  void Run();
  std::vector<PatternRow> rows_;
  std::vector<std::string> patterns_;
  std::unique_ptr<ResidueClassTable> table_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> finished_{false};
  std::atomic<std::size_t> done_{0};
  std::mutex mutex_;
  std::vector<PairOutcome> ready_;
  std::thread thread_;
};
