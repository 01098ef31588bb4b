#include "vistram/editor/msa.h"

#include <array>
#include <cstdio>

#include "vistram/results/records.h"

DarUvaData* PDARUVA = nullptr;

namespace {
constexpr int kTextBlack = 0;
constexpr int kBackWhite = 1;

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

std::unique_ptr<DarUvaSeq> NewDarUvaSeq(int columnCount) {
  auto row = std::make_unique<DarUvaSeq>();
  const std::size_t n = static_cast<std::size_t>(columnCount > 0 ? columnCount : 0);
  row->residues.assign(n, '.');
  row->matchLine.assign(n, '.');
  row->textColours.assign(n, kTextBlack);
  row->backColours.assign(n, kBackWhite);
  return row;
}

std::unique_ptr<DarUvaData> NewDarUvaData(int rowCount, int columnCount) {
  auto msa = std::make_unique<DarUvaData>();
  msa->columnCount = columnCount > 0 ? columnCount : 0;
  msa->rows.reserve(static_cast<std::size_t>(rowCount > 0 ? rowCount : 0));
  for (int r = 0; r < rowCount; ++r) msa->rows.push_back(NewDarUvaSeq(msa->columnCount));
  msa->consensus.assign(static_cast<std::size_t>(msa->columnCount), '.');
  return msa;
}

void VirePointDarUva(std::unique_ptr<DarUvaData>& msa) {
  if (msa && PDARUVA == msa.get()) PDARUVA = nullptr;
  msa.reset();
}

void CreeConsensus(std::string& target, int threshold, int columnCount, int sequenceCount,
                   const std::vector<std::unique_ptr<DarUvaSeq>>& rows) {
  const std::size_t columns = static_cast<std::size_t>(columnCount > 0 ? columnCount : 0);
  target.assign(columns, '.');
  const std::size_t count = std::min(rows.size(), static_cast<std::size_t>(sequenceCount > 0 ? sequenceCount : 0));
  // Counted a slice of columns at a time: the counts stay small for any width.
  constexpr std::size_t kSlice = 4096;
  std::vector<std::array<int, 26>> tally(std::min(columns, kSlice));
  for (std::size_t from = 0; from < columns; from += kSlice) {
    const std::size_t to = std::min(columns, from + kSlice);
    for (auto& t : tally) t.fill(0);
    for (std::size_t r = 0; r < count; ++r) {
      const std::string& residues = rows[r]->residues;
      const std::size_t n = std::min(to, residues.size());
      for (std::size_t c = from; c < n; ++c) {
        const char ch = residues[c];
        if (ch >= 'A' && ch <= 'Z') ++tally[c - from][static_cast<std::size_t>(ch - 'A')];
      }
    }
    for (std::size_t c = from; c < to; ++c) {
      int best = 0, bestLetter = -1;
      bool tie = false;
      for (int l = 0; l < 26; ++l) {
        const int n = tally[c - from][static_cast<std::size_t>(l)];
        if (n == 0 || n < threshold) continue;
        if (n > best) {
          best = n;
          bestLetter = l;
          tie = false;
        } else if (n == best) {
          tie = true;
        }
      }
      if (bestLetter >= 0 && !tie) target[c] = static_cast<char>('A' + bestLetter);
    }
  }
}

void AssignAAColor(const ColourConfiguration& colours, char c, int& text, int& back) {
  if (IsAsciiLetter(c)) {
    const std::size_t l = static_cast<std::size_t>((c & ~0x20) - 'A');
    text = colours.text[l];
    back = colours.back[l];
  } else {
    text = kTextBlack;
    back = kBackWhite;
  }
}

void InitColorsString(std::string_view residues, std::vector<int>& text, std::vector<int>& back,
                      const ColourConfiguration& colours) {
  text.resize(residues.size());
  back.resize(residues.size());
  for (std::size_t i = 0; i < residues.size(); ++i) AssignAAColor(colours, residues[i], text[i], back[i]);
}

void InitColorsString(std::string_view residues, std::vector<int>& text, std::vector<int>& back,
                      const std::string& configPath, bool useBackground) {
  InitColorsString(residues, text, back, ReadColourConfiguration(kColourHca, configPath, useBackground));
}

void ColourAllRows(DarUvaData& msa, const ColourConfiguration& colours) {
  for (auto& row : msa.rows) InitColorsString(row->residues, row->textColours, row->backColours, colours);
}

std::vector<SelectedPair> ListSelectedAlignments(const DataProgram& dp) {
  std::vector<SelectedPair> pairs;
  if (!dp.hits) return pairs;
  const std::size_t hits = std::min<std::size_t>(dp.hitCount, dp.hits->size());
  for (std::size_t h = 0; h < hits; ++h) {
    const HspData& hit = *(*dp.hits)[h];
    for (std::size_t a = 0; a < hit.selected.size() && a < hit.alignments.size(); ++a) {
      if (hit.selected[a] != 0) pairs.push_back({static_cast<int>(h + 1), static_cast<int>(a + 1)});
    }
  }
  return pairs;
}

namespace {

// Writes the residues of one alignment into row 0 (the query) and `row`.
void PlaceAlignment(const AliData& ali, DarUvaSeq& query, DarUvaSeq& row, int columnCount) {
  const std::string& ql = ali.queryLine;
  const std::string& sl = ali.subjectLine;
  const std::string& ml = ali.middleLine;
  const std::size_t length = std::min({ql.size(), sl.size(), ml.size()});
  long g = 0;
  for (std::size_t k = 0; k < length; ++k) {
    const char q = ql[k], s = sl[k], m = ml[k];
    const long p = static_cast<long>(ali.queryStart) - 1 + static_cast<long>(k) - g;
    const bool inside = p >= 0 && p < columnCount;
    const std::size_t at = static_cast<std::size_t>(inside ? p : 0);
    if (IsAsciiLetter(q) && IsAsciiLetter(s)) {
      if (!inside) continue;
      query.residues[at] = q;
      row.residues[at] = s;
      row.matchLine[at] = m;
    } else if (q == '-') {
      ++g;
    } else if (inside) {
      query.residues[at] = q;
      row.matchLine[at] = m;
    }
  }
}

std::string RowName(const HspData& hit, const AliData& ali, int alignmentNumber) {
  char buffer[96];
  const std::string id = hit.identifier.substr(0, 10);
  std::snprintf(buffer, sizeof buffer, "%s (%4u-%4u) %u", id.c_str(), static_cast<unsigned>(ali.subjectStart),
                static_cast<unsigned>(ali.subjectEnd), static_cast<unsigned>(alignmentNumber));
  return std::string(buffer).substr(0, kMsaNameWidth);
}

}  // namespace

std::unique_ptr<DarUvaData> BuildMsaFromAlignments(const DataProgram& dp, const std::vector<SelectedPair>& pairs,
                                                  MsaProgressFn progress, void* context) {
  const int total = static_cast<int>(pairs.size()) + 1;
  auto msa = NewDarUvaData(total, dp.header.queryLength);
  msa->colourCode = kColourHca;
  msa->useBackground = dp.useBackground != 0;
  DarUvaSeq& query = *msa->rows[0];
  query.name = dp.header.queryName.substr(0, 10);
  for (std::size_t j = 0; j < pairs.size(); ++j) {
    const HspData* hit = dp.Hit(pairs[j].hit);
    const int a = pairs[j].alignment - 1;
    if (!hit || a < 0 || static_cast<std::size_t>(a) >= hit->alignments.size() || !hit->alignments[a]) return nullptr;
    const AliData& ali = *hit->alignments[static_cast<std::size_t>(a)];
    DarUvaSeq& row = *msa->rows[j + 1];
    PlaceAlignment(ali, query, row, msa->columnCount);
    row.name = RowName(*hit, ali, pairs[j].alignment);
    if (progress) progress(context, static_cast<int>(j) + 2, total);
  }
  msa->consensusThreshold = msa->SequenceCount() / 2;
  CreeConsensus(msa->consensus, msa->consensusThreshold, msa->columnCount, msa->SequenceCount(), msa->rows);
  ColourAllRows(*msa, ReadColourConfiguration(kColourHca, dp.configPath, msa->useBackground));
  msa->title = dp.reportPath.substr(0, kMsaTitleWidth);
  return msa;
}
