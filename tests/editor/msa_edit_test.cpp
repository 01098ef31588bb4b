// Editing the MSA: character and row operations, renaming, and the undo
// history that must give back exactly the record it started from.
#include <gtest/gtest.h>

#include <random>

#include "editor_test_support.h"
#include "vistram/editor/msa_edit.h"

namespace {

ColourConfiguration TestColours() {
  ColourConfiguration c;
  for (int i = 0; i < 26; ++i) {
    c.text[static_cast<std::size_t>(i)] = 2 + i % 13;
    c.back[static_cast<std::size_t>(i)] = 5;
  }
  return c;
}

TEST(MsaCharacterEdits, KeepEveryRowAtTheColumnCount) {
  struct Case {
    const char* what;
    char op;  // 'o' overwrite, 'i' insert, 'd' delete
    int col, row;
    char c;
    bool all;
    std::vector<std::string> expected;
  };
  const std::vector<std::string> start = {"ACDE", "FGHI"};
  const Case cases[] = {
      {"overwrite", 'o', 2, 1, 'W', false, {"AWDE", "FGHI"}},
      {"overwrite last column", 'o', 4, 2, 'W', false, {"ACDE", "FGHW"}},
      {"insert loses the last residue", 'i', 2, 1, 'W', false, {"AWCD", "FGHI"}},
      {"insert at the last column", 'i', 4, 1, 'W', false, {"ACDW", "FGHI"}},
      {"insert a gap column in every row", 'i', 1, 2, '.', true, {".ACD", ".FGH"}},
      {"delete appends a gap", 'd', 1, 2, 0, false, {"ACDE", "GHI."}},
      {"delete the last column", 'd', 4, 1, 0, false, {"ACD.", "FGHI"}},
      {"delete in every row", 'd', 2, 1, 0, true, {"ADE.", "FHI."}},
      {"column out of range", 'o', 5, 1, 'W', false, {"ACDE", "FGHI"}},
      {"row out of range", 'd', 1, 3, 0, false, {"ACDE", "FGHI"}},
      {"column zero", 'i', 0, 1, 'W', false, {"ACDE", "FGHI"}},
  };
  const ColourConfiguration colours = TestColours();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto msa = MakeMsa(start);
    ColourAllRows(*msa, colours);
    for (auto& r : msa->rows) r->matchLine = "mmmm";
    if (c.op == 'o') EcraseCaractere(*msa, colours, c.col, c.row, c.c, c.all);
    if (c.op == 'i') InsereCaractere(*msa, colours, c.col, c.row, c.c, c.all);
    if (c.op == 'd') EffaceCaractere(*msa, c.col, c.row, c.all);
    EXPECT_EQ(Residues(*msa), c.expected);
    for (const auto& r : msa->rows) {
      ASSERT_EQ(r->matchLine.size(), 4u);
      ASSERT_EQ(r->textColours.size(), 4u);
      ASSERT_EQ(r->backColours.size(), 4u);
      // Every colour stays that of its residue (colours move with the residues).
      for (std::size_t i = 0; i < 4; ++i) {
        int t = 0, b = 0;
        AssignAAColor(colours, r->residues[i], t, b);
        EXPECT_EQ(r->textColours[i], t) << r->residues << " at " << i;
        EXPECT_EQ(r->backColours[i], b);
      }
    }
  }
}

TEST(MsaCharacterEdits, MatchLineFollowsTheResidues) {
  const ColourConfiguration colours = TestColours();
  auto msa = MakeMsa({"ACDE"});
  msa->rows[0]->matchLine = "1234";
  InsereCaractere(*msa, colours, 2, 1, 'W', false);
  EXPECT_EQ(msa->rows[0]->matchLine, "1 23");
  EffaceCaractere(*msa, 1, 1, false);
  EXPECT_EQ(msa->rows[0]->matchLine, " 23.");
  EcraseCaractere(*msa, colours, 2, 1, 'K', false);
  EXPECT_EQ(msa->rows[0]->matchLine, "  3.");
}

TEST(MsaRowEdits, MergeFillsGapsMarksClashesAndCutsTheName) {
  auto msa = MakeMsa({"..GTA", "AC..G"});
  msa->rows[0]->name = "SP|P12345 (  12-  80) 1";
  ColourAllRows(*msa, TestColours());
  ASSERT_TRUE(MergeSequence(*msa, 1));
  EXPECT_EQ(msa->rows[0]->residues, "ACGTX");
  EXPECT_EQ(msa->rows[0]->name, "SP|P12345");
  EXPECT_EQ(msa->rows[0]->textColours[4], 0);
  EXPECT_EQ(msa->rows[0]->backColours[4], 1);
  EXPECT_EQ(msa->rows[0]->textColours[0], msa->rows[1]->textColours[0]);
  EXPECT_EQ(msa->SequenceCount(), 2);  // the merged row stays until removed
  EXPECT_FALSE(MergeSequence(*msa, 0));
  EXPECT_FALSE(MergeSequence(*msa, 2));
  auto paren = MakeMsa({"A", "C"});
  paren->rows[0]->name = "(x)";
  MergeSequence(*paren, 1);
  EXPECT_EQ(paren->rows[0]->name, "");
}

TEST(MsaRowEdits, RemoveAndMoveAtTheEnds) {
  auto msa = MakeMsa({"A", "C", "D"});
  EXPECT_FALSE(MoveSequence(*msa, 0, -1));
  EXPECT_FALSE(MoveSequence(*msa, 2, +1));
  EXPECT_FALSE(MoveSequence(*msa, 1, 2));
  ASSERT_TRUE(MoveSequence(*msa, 0, +1));
  EXPECT_EQ(Residues(*msa), (std::vector<std::string>{"C", "A", "D"}));
  EXPECT_FALSE(RemoveSequence(*msa, 3));
  EXPECT_FALSE(RemoveSequence(*msa, -1));
  ASSERT_TRUE(RemoveSequence(*msa, 0));
  EXPECT_EQ(Residues(*msa), (std::vector<std::string>{"A", "D"}));
}

TEST(MsaRowEdits, RenamedNames) {
  struct Case {
    std::string old, entered;
    bool first;
    std::string expected;
  };
  const Case cases[] = {
      {"QUERY", "abc", true, "       abc"},
      {"SP|P12345| (  12-  80) 1", "MYSEQ", false, "     MYSEQ (  12-  80) 1"},
      {"SP|P12345| (  12-  80) 1", "MYSEQ", true, "     MYSEQ"},
      {"ABCDEFGHIJKL", "N", false, "         N"},  // one character from 11 on: no tail
      {"ABCDEFGHIJKLM", "N", false, "         N LM"},
      {"X", "TWELVECHARSX", false, "TWELVECHAR"},
  };
  for (const Case& c : cases) EXPECT_EQ(RenamedRowName(c.old, c.entered, c.first), c.expected) << c.old;
}

// Everything that makes two records equal for the user.
void ExpectSameMsa(const DarUvaData& a, const DarUvaData& b) {
  ASSERT_EQ(a.SequenceCount(), b.SequenceCount());
  for (int r = 0; r < a.SequenceCount(); ++r) {
    const DarUvaSeq& x = *a.rows[static_cast<std::size_t>(r)];
    const DarUvaSeq& y = *b.rows[static_cast<std::size_t>(r)];
    EXPECT_EQ(x.name, y.name);
    EXPECT_EQ(x.residues, y.residues);
    EXPECT_EQ(x.matchLine, y.matchLine);
    EXPECT_EQ(x.textColours, y.textColours);
    EXPECT_EQ(x.backColours, y.backColours);
  }
  EXPECT_EQ(a.consensus, b.consensus);
  EXPECT_EQ(a.consensusThreshold, b.consensusThreshold);
}

std::unique_ptr<DarUvaData> Copy(const DarUvaData& msa) {
  auto copy = std::make_unique<DarUvaData>();
  copy->columnCount = msa.columnCount;
  copy->consensus = msa.consensus;
  copy->consensusThreshold = msa.consensusThreshold;
  for (const auto& r : msa.rows) copy->rows.push_back(std::make_unique<DarUvaSeq>(*r));
  return copy;
}

TEST(MsaUndoHistory, RandomEditsUndoToTheStartAndRedoToTheEnd) {
  const ColourConfiguration colours = TestColours();
  std::mt19937 random(11);
  for (int round = 0; round < 20; ++round) {
    auto msa = MakeMsa({"ACDEFGHIKL", "MNP..QRSTV", "..WYACDEFG", "HIKLMN....", "PQRSTVWYAC"});
    for (auto& r : msa->rows) r->matchLine = "abcdefghij";
    ColourAllRows(*msa, colours);
    MsaEditSession session(*msa, colours);
    const auto start = Copy(*msa);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    int applied = 0;
    for (int step = 0; step < 40; ++step) {
      const int rows = msa->SequenceCount();
      const int col = 1 + pick(10), row = 1 + pick(rows);
      const bool all = pick(3) == 0;
      bool ok = false;
      switch (pick(9)) {
        case 0: ok = session.Overwrite(col, row, static_cast<char>('A' + pick(26)), all); break;
        case 1: ok = session.Insert(col, row, pick(4) == 0 ? '.' : 'W', all); break;
        case 2: ok = session.Delete(col, row, all); break;
        case 3: ok = rows > 1 && session.Remove(row - 1); break;
        case 4: ok = session.Merge(row - 1); break;
        case 5: ok = session.Move(row - 1, pick(2) == 0 ? -1 : 1); break;
        case 6: ok = session.Rename(row - 1, "NAME" + std::to_string(step)); break;
        case 7: ok = session.SetConsensusThreshold(pick(rows + 1)); break;
        default: ok = session.Insert(col, row, 'Y', true); break;
      }
      applied += ok ? 1 : 0;
    }
    const auto end = Copy(*msa);
    int col = 0, row = 0, undone = 0;
    while (session.Undo(col, row)) ++undone;
    EXPECT_EQ(undone, applied);
    ExpectSameMsa(*msa, *start);
    while (session.Redo(col, row)) {
    }
    ExpectSameMsa(*msa, *end);
  }
}

TEST(MsaUndoHistory, ANewEditDropsTheRedoneChangesAndUndoReportsTheCaret) {
  const ColourConfiguration colours = TestColours();
  auto msa = MakeMsa({"ACDE", "FGHI", "KLMN"});
  MsaEditSession session(*msa, colours);
  EXPECT_FALSE(session.CanUndo());
  ASSERT_TRUE(session.Insert(3, 2, 'W', false));
  ASSERT_TRUE(session.Move(1, +1));
  int col = 0, row = 0;
  ASSERT_TRUE(session.Undo(col, row));
  EXPECT_EQ(row, 2);  // the moved row is back at row 2
  ASSERT_TRUE(session.Redo(col, row));
  EXPECT_EQ(row, 3);
  ASSERT_TRUE(session.Undo(col, row));
  ASSERT_TRUE(session.Undo(col, row));
  EXPECT_EQ(col, 3);
  EXPECT_EQ(row, 2);
  EXPECT_TRUE(session.CanRedo());
  ASSERT_TRUE(session.Delete(1, 1, false));
  EXPECT_FALSE(session.CanRedo());
  EXPECT_EQ(Residues(*msa), (std::vector<std::string>{"CDE.", "FGHI", "KLMN"}));
  // The first row can be renamed and moved; moving up is undone to its place.
  ASSERT_TRUE(session.Rename(0, "FIRST"));
  EXPECT_EQ(msa->rows[0]->name, "FIRST");
  ASSERT_TRUE(session.Move(1, -1));
  EXPECT_EQ(msa->rows[0]->residues, "FGHI");
  ASSERT_TRUE(session.Undo(col, row));
  EXPECT_EQ(row, 2);
  EXPECT_EQ(msa->rows[1]->residues, "FGHI");
  ASSERT_TRUE(session.Undo(col, row));
  ASSERT_TRUE(session.Remove(0));
  EXPECT_EQ(msa->rows[0]->residues, "FGHI");
  ASSERT_TRUE(session.Undo(col, row));
  // Refused operations leave no history.
  EXPECT_FALSE(session.Merge(0));
  EXPECT_FALSE(session.SetConsensusThreshold(4));
  EXPECT_FALSE(session.SetConsensusThreshold(-1));
  EXPECT_FALSE(session.Overwrite(5, 1, 'A', false));
  ASSERT_TRUE(session.Undo(col, row));
  EXPECT_FALSE(session.Undo(col, row));
}

TEST(MsaUndoHistory, ConsensusThresholdChangeIsRecomputedAndUndone) {
  auto msa = MakeMsa({"AAG", "ACG", "ACT"});
  msa->consensusThreshold = 1;
  CreeConsensus(msa->consensus, 1, 3, 3, msa->rows);
  EXPECT_EQ(msa->consensus, "ACG");
  MsaEditSession session(*msa, TestColours());
  ASSERT_TRUE(session.SetConsensusThreshold(3));
  EXPECT_EQ(msa->consensus, "A..");
  EXPECT_EQ(msa->consensusThreshold, 3);
  int col = 0, row = 0;
  session.Undo(col, row);
  EXPECT_EQ(msa->consensus, "ACG");
  EXPECT_EQ(msa->consensusThreshold, 1);
}

}  // namespace
