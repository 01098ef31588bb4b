#include "vistram/results/search.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "vistram/platform/messages.h"
#include "vistram/results/load_flow.h"
#include "vistram/base/memory.h"
#include "vistram/results/result_view.h"

const std::array<const char*, kFieldCount> SZFIELDS = {
    "score",
    "expect",
    "identity",
    "HCA score",
    "sequence alignment length",
    "positives  [BLAST only]",
    "P(N)       [BLAST-1 only]",
    "initn      [FASTA only]",
    "init1      [FASTA only]",
    "opt        [FASTA only]",
    "z-sc       [FASTA only]",
};

namespace {

constexpr std::size_t kMaxInput = 499;

// A (table, hit) pair found by a search; the Field Search adds the hit's
// per-alignment match flags.
struct Match {
  int table = 0;
  HspData* hit = nullptr;
  std::vector<int> flags;
};

HitList* TableHits(const DataProgram& dp, int index) {
  if (index < 0 || index >= static_cast<int>(dp.tables.size()) || !dp.tables[static_cast<std::size_t>(index)])
    return nullptr;
  return dp.tables[static_cast<std::size_t>(index)]->hits.get();
}

std::string UpperCopy(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

std::string Ratio(unsigned found, unsigned examined) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%u / %u", found, examined);
  return buf;
}

// The header of the new table: that of the source table when every match
// comes from one table, the unknown header otherwise.
HeaderBlock HeaderFor(const DataProgram& dp, const std::vector<Match>& matches) {
  for (const Match& m : matches)
    if (m.table != matches.front().table) return UnknownSearchHeader();
  return dp.tables[static_cast<std::size_t>(matches.front().table)]->header;
}

// Numbers the copied hits 1..n and makes them a table.
void MakeTable(std::vector<std::unique_ptr<HspData>>&& copies, HeaderBlock header, std::string_view name,
               SearchTable& out) {
  auto hits = std::make_shared<HitList>(std::move(copies));
  int total = 0;
  for (std::size_t i = 0; i < hits->size(); ++i) {
    HspData& h = *(*hits)[i];
    h.number = static_cast<int>(i) + 1;
    h.alignmentCount = static_cast<int>(h.alignments.size());
    h.selected.assign(h.alignments.size(), 0);
    total += h.alignmentCount;
  }
  out.hits = std::move(hits);
  out.alignmentCount = total;
  out.header = std::move(header);
  SetText(out.name, name, width::kPath);
}

void SelectAll(HspData& hit) {
  hit.selected.assign(hit.alignments.size(), 1);
}

// A range bound as the Field Search reads it; false when refused.
bool ReadBound(std::string_view text, double& value) {
  std::string t(text.substr(0, std::min(text.size(), kMaxInput)));
  if (t.empty()) return false;
  if (t[0] == 'e' || t[0] == 'E') t.insert(t.begin(), '1');
  errno = 0;
  char* end = nullptr;
  value = std::strtod(t.c_str(), &end);
  if (end == t.c_str()) return false;
  if (errno == ERANGE && std::isinf(value)) return false;
  return true;
}

}  // namespace

double AlignmentField(const AliData& ali, int field) {
  switch (field) {
    case 0: return ali.score;
    case 1: return ali.expect;
    case 2: return ali.identityPercent;
    case 3: return ali.hcaScore;
    case 4: return ali.alignmentLength;
    case 5: return ali.positivePercent;
    case 6: return ali.pValue;
    case 7: return ali.initn;
    case 8: return ali.init1;
    case 9: return ali.opt;
    case 10: return ali.zScore;
    default: return -1.0;
  }
}

HeaderBlock UnknownSearchHeader() {
  HeaderBlock h;
  h.queryName = "unknown";
  h.queryLengthText = "(0 letters)";
  h.databaseText = "unknown name|undefined size";
  h.queryLength = 0;
  h.resultType = kResultMixed;
  return h;
}

int StringFinderSearch(DataProgram& dp, WindowHandle owner, const std::vector<int>& tables, std::string_view keyword,
                       bool copy, SearchTable* out) {
  if (tables.empty()) {
    MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_NO_TABLE, owner);
    return kSearchRefused;
  }
  keyword = keyword.substr(0, std::min(keyword.size(), kMaxInput));
  if (keyword.empty()) {
    MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_NO_KEYWORD, owner);
    return kSearchRefused;
  }
  const std::string key = UpperCopy(keyword);
  const bool negated = key[0] == '!';
  const std::string_view word = negated ? std::string_view(key).substr(1) : std::string_view(key);

  std::vector<Match> matches;
  unsigned examined = 0;
  try {
    for (int t : tables) {
      HitList* hits = TableHits(dp, t);
      if (hits == nullptr) continue;
      for (const auto& hit : *hits) {
        if (!hit) continue;
        ++examined;
        const bool contains = hit->identifier.find(word) != std::string::npos ||
                              hit->description.find(word) != std::string::npos;
        if (contains != negated) matches.push_back(Match{t, hit.get(), {}});
      }
    }
  } catch (const std::bad_alloc&) {
    MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_FATAL, owner);
    return kSearchFailed;
  }
  if (matches.empty()) {
    MyInfoMsgBox(IDS_CAPTION, IDS_SEARCH_KEYWORD_NOT_FOUND, owner);
    return kSearchNothing;
  }

  SearchTable table;
  if (copy) {
    // Copied before anything is shown, so that a failure changes nothing.
    try {
      std::vector<std::unique_ptr<HspData>> copies;
      copies.reserve(matches.size());
      for (const Match& m : matches) {
        auto c = CopieDataHsp(*m.hit);
        if (!c) throw std::bad_alloc();
        copies.push_back(std::move(c));
      }
      MakeTable(std::move(copies), HeaderFor(dp, matches), "Search for : " + key, table);
    } catch (const std::bad_alloc&) {
      MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_FATAL, owner);
      return kSearchFailed;
    }
  }
  MyTxtInfoMsgBox(IDS_CAPTION, IDS_SEARCH_FOUND_IN, owner,
                  Ratio(static_cast<unsigned>(matches.size()), examined));
  if (!copy) {
    for (const Match& m : matches) SelectAll(*m.hit);
    return kSearchSelected;
  }
  if (out != nullptr) *out = std::move(table);
  return kSearchCopied;
}

int IdAnalyse(DataProgram& dp, WindowHandle owner, const std::vector<int>& tables, SearchTable* out) {
  (void)owner;
  if (tables.empty()) return kSearchNothing;
  std::vector<std::unique_ptr<HspData>> groups;
  try {
    for (int t : tables) {
      HitList* hits = TableHits(dp, t);
      if (hits == nullptr) continue;
      for (const auto& hit : *hits) {
        if (!hit) continue;
        const std::string& id = hit->identifier;
        const std::string key = id.substr(0, std::min({id.find(' '), id.size(), width::kIdentifier - 1}));
        HspData* group = nullptr;
        for (auto& g : groups)
          if (g->identifier.find(key) != std::string::npos) {
            group = g.get();
            break;
          }
        if (group != nullptr) {
          for (const auto& ali : hit->alignments) {
            if (!ali) continue;
            auto c = CopieDataAlignement(*ali);
            if (!c) throw std::bad_alloc();
            group->alignments.push_back(std::move(c));
          }
          group->alignmentCount = static_cast<int>(group->alignments.size());
        } else {
          auto c = CopieDataHsp(*hit);
          if (!c) throw std::bad_alloc();
          c->identifier = key;
          // (assign, not "=": GCC 12 at -O3 warns wrongly on a one-letter literal)
          c->scoreText.assign(1, '-');
          c->expectText.assign(1, '-');
          groups.push_back(std::move(c));
        }
      }
    }
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return kSearchFailed;
  }
  if (groups.empty()) return kSearchNothing;
  // Largest groups first: at each position the first of the largest that follow.
  for (std::size_t i = 0; i < groups.size(); ++i) {
    std::size_t best = i;
    for (std::size_t j = i + 1; j < groups.size(); ++j)
      if (groups[j]->alignments.size() > groups[best]->alignments.size()) best = j;
    if (best != i) std::swap(groups[i], groups[best]);
  }
  SearchTable table;
  try {
    MakeTable(std::move(groups), UnknownSearchHeader(), "ID-analysis", table);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return kSearchFailed;
  }
  if (out != nullptr) *out = std::move(table);
  return kSearchCopied;
}

int FieldSearch(DataProgram& dp, WindowHandle owner, const std::vector<int>& tables, int field,
                std::string_view fromText, std::string_view toText, bool copy, SearchTable* out) {
  if (tables.empty()) {
    MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_NO_TABLE, owner);
    return kSearchRefused;
  }
  double from = 0;
  double to = 0;
  if (!ReadBound(fromText, from) || !ReadBound(toText, to)) {
    MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_INVALID_RANGE, owner);
    return kSearchRefused;
  }
  if (field < 0 || field >= kFieldCount) field = 0;

  std::vector<Match> matches;
  unsigned examined = 0;
  unsigned found = 0;
  bool invalidField = false;
  try {
    for (int t : tables) {
      HitList* hits = TableHits(dp, t);
      if (hits == nullptr) continue;
      for (const auto& hit : *hits) {
        if (!hit) continue;
        Match m{t, hit.get(), std::vector<int>(hit->alignments.size(), 0)};
        bool any = false;
        for (std::size_t k = 0; k < hit->alignments.size() && !invalidField; ++k) {
          if (!hit->alignments[k]) continue;
          const double value = AlignmentField(*hit->alignments[k], field);
          if (value == -1.0) {
            invalidField = true;
            break;
          }
          ++examined;
          if (from <= value && value <= to) {
            m.flags[k] = 1;
            any = true;
            ++found;
          }
        }
        if (invalidField) break;
        if (any) matches.push_back(std::move(m));
      }
      if (invalidField) break;
    }
  } catch (const std::bad_alloc&) {
    MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_FATAL, owner);
    return kSearchFailed;
  }
  if (invalidField) {
    MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_INVALID_FIELD, owner);
    MyInfoMsgBox(IDS_CAPTION, IDS_SEARCH_NO_ENTRIES, owner);
    return kSearchNothing;
  }
  if (matches.empty()) {
    MyInfoMsgBox(IDS_CAPTION, IDS_SEARCH_NO_ENTRIES, owner);
    return kSearchNothing;
  }

  SearchTable table;
  if (copy) {
    try {
      std::vector<std::unique_ptr<HspData>> copies;
      copies.reserve(matches.size());
      for (const Match& m : matches) {
        auto c = CopieDataHsp2(*m.hit, m.flags.data(), static_cast<int>(m.flags.size()));
        if (!c) throw std::bad_alloc();
        copies.push_back(std::move(c));
      }
      std::string fieldName = SZFIELDS[static_cast<std::size_t>(field)];
      fieldName = fieldName.substr(0, fieldName.find('['));
      MakeTable(std::move(copies), HeaderFor(dp, matches), "FD-S on: " + fieldName, table);
    } catch (const std::bad_alloc&) {
      MyErrMsgBox(IDS_CAPTION, IDS_SEARCH_FATAL, owner);
      return kSearchFailed;
    }
  }
  MyTxtInfoMsgBox(IDS_CAPTION, IDS_SEARCH_FOUND_IN, owner, Ratio(found, examined));
  if (!copy) {
    for (const Match& m : matches) m.hit->selected = m.flags;
    return kSearchSelected;
  }
  if (out != nullptr) *out = std::move(table);
  return kSearchCopied;
}

bool ShowSearchTable(DataProgram& dp, ResultView& view, SearchTable&& table) {
  if (LoadIsRunning()) {
    MyErrMsgBox(IDS_CAPTION, IDS_LOAD_ALREADY_RUNNING, view.MainWindow());
    return false;
  }
  view.EmptyComboTable();
  FermeUnFichier(dp, view, 0);
  dp.hits = std::move(table.hits);
  dp.hitCount = dp.hits ? static_cast<unsigned>(dp.hits->size()) : 0;
  dp.viewHitCount = static_cast<int>(dp.hitCount);
  dp.alignmentCount = table.alignmentCount;
  dp.header = std::move(table.header);
  SetText(dp.tableName, table.name, width::kPath);
  dp.reportPath.clear();
  dp.extraSections.clear();
  OnLoadDone(dp, view, 1, 1);
  return true;
}

void ShowSearchSelection(DataProgram& dp, ResultView& view) {
  if (!dp.hits || dp.viewHitCount == 0) return;
  const int hit = dp.viewer ? dp.viewer->hitNumber : 1;
  const int alignment = dp.viewer ? dp.viewer->alignmentNumber : 1;
  PrepareAffichageResult(dp, view, hit > 0 ? hit : 1, alignment > 0 ? alignment : 1);
}
