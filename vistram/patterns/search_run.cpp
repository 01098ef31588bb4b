#include "vistram/patterns/search_run.h"

#include <memory>

std::string MatchItemText(unsigned number, const PatternMatch& match, std::string_view residues) {
  char head[32];
  std::snprintf(head, sizeof head, "%4u : ", number);
  std::string text = head;
  for (const PatternHit& h : match) {
    std::string_view part;
    if (h.start <= h.end && h.start < residues.size()) {
      part = residues.substr(h.start, static_cast<std::size_t>(h.end) - h.start + 1);
    }
    text += "-- " + std::to_string(static_cast<unsigned long long>(h.start) + 1) + "<";
    if (part.size() > kItemResiduesMax) {
      const std::size_t side = (kItemResiduesMax - 3) / 2;
      text += part.substr(0, side);
      text += "...";
      text += part.substr(part.size() - side);
    } else {
      text += part;
    }
    text.append(">").append(std::to_string(static_cast<unsigned long long>(h.end) + 1)).append(" --");
  }
  if (text.size() > kItemTextMax) text.resize(kItemTextMax);
  return text;
}

bool WriteFindPatternLines(const std::vector<PatternRow>& rows, const std::vector<std::string>& patterns,
                           const ResidueClassTable& table, std::FILE* out, std::FILE* errors) {
  std::vector<std::unique_ptr<PreparedPattern>> prepared;
  std::vector<bool> reported(patterns.size(), false);
  for (const std::string& p : patterns) prepared.push_back(std::make_unique<PreparedPattern>(p, table));
  bool ok = true;
  for (const PatternRow& row : rows) {
    for (std::size_t i = 0; i < patterns.size(); ++i) {
      const SearchOutcome outcome = SearchRow(*prepared[i], row.residues);
      if (outcome.code == kSearchError) {
        if (!reported[i]) std::fprintf(errors, "pattern %zu: %s\n", i + 1, outcome.message.c_str());
        reported[i] = true;
        ok = false;
        continue;
      }
      unsigned number = 1;
      const std::string name = row.name.substr(0, kRowNameMax);
      for (const PatternMatch& m : outcome.matches) {
        const std::string item = MatchItemText(number++, m, row.residues);
        if (std::fprintf(out, "%s\t%s\t%s\n", name.c_str(), patterns[i].c_str(), item.c_str()) < 0) return false;
      }
    }
  }
  return std::fflush(out) == 0 && ok;
}

BackgroundSearch::BackgroundSearch(std::vector<PatternRow> rows, std::vector<std::string> patterns,
                                   std::unique_ptr<ResidueClassTable> table)
    : rows_(std::move(rows)), patterns_(std::move(patterns)), table_(std::move(table)) {}

BackgroundSearch::~BackgroundSearch() {
  cancel_ = true;
  if (thread_.joinable()) thread_.join();
}

void BackgroundSearch::Start() {
  if (!thread_.joinable() && !finished_) thread_ = std::thread([this] { Run(); });
}

void BackgroundSearch::Run() {
  static const ResidueClassTable kNone;
  std::vector<std::unique_ptr<PreparedPattern>> prepared;
  for (const std::string& p : patterns_) prepared.push_back(std::make_unique<PreparedPattern>(p, table_ ? *table_ : kNone));
  for (std::size_t r = 0; r < rows_.size() && !cancel_; ++r) {
    for (std::size_t p = 0; p < patterns_.size() && !cancel_; ++p) {
      PairOutcome pair{r, p, {}};
      if (table_ || patterns_[p].empty()) {
        pair.outcome = SearchRow(*prepared[p], rows_[r].residues);
      } else {
        pair.outcome.code = kSearchError;
        pair.outcome.message = kMsgNoTable;
      }
      if (pair.outcome.code != kSearchNotFound) {
        std::lock_guard lock(mutex_);
        ready_.push_back(std::move(pair));
      }
      ++done_;
    }
  }
  finished_ = true;
}

bool BackgroundSearch::Take(std::vector<PairOutcome>& out) {
  const bool ended = finished_ || !thread_.joinable();  // done, or never started
  std::lock_guard lock(mutex_);
  const bool hadAny = !ready_.empty();
  for (PairOutcome& p : ready_) out.push_back(std::move(p));
  ready_.clear();
  return hadAny || !ended;
}
