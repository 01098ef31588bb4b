// Editing the MSA: character and row operations, renaming, and the undo history.
#include <gtest/gtest.h>

#include <random>

#include "editor_test_support.h"
#include "vistram/editor/msa_edit.h"

namespace {

ColourConfiguration TestColours() {
  ColourConfiguration c;
  for (std::size_t i = 0; i < 26; ++i) c.text[i] = 2 + static_cast<int>(i) % 13, c.back[i] = 5;
  return c;
}

TEST(MsaEdits, CharactersKeepEveryRowAtTheColumnCountRowsMergeMoveRemoveRename) {
  // {'o' overwrite, 'i' insert or 'd' delete, column, row, character, in every row, rows after}
  const std::tuple<char, int, int, char, bool, std::vector<std::string>> cases[] = {
      {'o', 2, 1, 'W', false, {"AWDE", "FGHI"}}, {'o', 4, 2, 'W', false, {"ACDE", "FGHW"}}, {'i', 2, 1, 'W', false, {"AWCD", "FGHI"}},
      {'i', 4, 1, 'W', false, {"ACDW", "FGHI"}}, {'i', 1, 2, '.', true, {".ACD", ".FGH"}},  {'d', 1, 2, 0, false, {"ACDE", "GHI."}},
      {'d', 4, 1, 0, false, {"ACD.", "FGHI"}},   {'d', 2, 1, 0, true, {"ADE.", "FHI."}},   {'o', 5, 1, 'W', false, {"ACDE", "FGHI"}},
      {'d', 1, 3, 0, false, {"ACDE", "FGHI"}},   {'i', 0, 1, 'W', false, {"ACDE", "FGHI"}}};
  const ColourConfiguration colours = TestColours();
  for (const auto& [op, col, row, c, all, expected] : cases) {
    SCOPED_TRACE(std::string(1, op) + " at " + std::to_string(col) + "," + std::to_string(row));
    auto msa = MakeMsa({"ACDE", "FGHI"});
    ColourAllRows(*msa, colours);
    for (auto& r : msa->rows) r->matchLine = "mmmm";
    if (op == 'o') EcraseCaractere(*msa, colours, col, row, c, all);
    if (op == 'i') InsereCaractere(*msa, colours, col, row, c, all);
    if (op == 'd') EffaceCaractere(*msa, col, row, all);
    EXPECT_EQ(Residues(*msa), expected);
    for (const auto& r : msa->rows) {  // colours move with their residues
      std::vector<int> text, back;
      InitColorsString(r->residues, text, back, colours);
      EXPECT_TRUE(r->matchLine.size() == 4 && r->textColours == text && r->backColours == back) << r->residues;
    }
  }
  auto msa = MakeMsa({"ACDE"});  // the match line follows the residues: "1 23", " 23.", "  3."
  msa->rows[0]->matchLine = "1234";
  InsereCaractere(*msa, colours, 2, 1, 'W', false), EffaceCaractere(*msa, 1, 1, false), EcraseCaractere(*msa, colours, 2, 1, 'K', false);
  EXPECT_EQ(msa->rows[0]->matchLine, "  3.");
  // Rows: merge, move, remove and rename.
  msa = MakeMsa({"..GTA", "AC..G"});
  msa->rows[0]->name = "SP|P12345 (  12-  80) 1";
  ColourAllRows(*msa, TestColours());
  ASSERT_TRUE(MergeSequence(*msa, 1));  // gaps filled, clashes marked X, the name cut
  EXPECT_EQ(msa->rows[0]->residues + " " + msa->rows[0]->name, "ACGTX SP|P12345");
  EXPECT_TRUE(msa->rows[0]->textColours[4] == 0 && msa->rows[0]->backColours[4] == 1 && msa->rows[0]->textColours[0] == msa->rows[1]->textColours[0]);
  EXPECT_EQ(msa->SequenceCount(), 2);  // the merged row stays until removed
  EXPECT_FALSE(MergeSequence(*msa, 0) || MergeSequence(*msa, 2));
  msa->rows[0]->name = "(x)";
  EXPECT_TRUE(MergeSequence(*msa, 1) && msa->rows[0]->name.empty());
  auto three = MakeMsa({"A", "C", "D"});
  EXPECT_FALSE(MoveSequence(*three, 0, -1) || MoveSequence(*three, 2, +1) || MoveSequence(*three, 1, 2) || RemoveSequence(*three, 3) || RemoveSequence(*three, -1));
  ASSERT_TRUE(MoveSequence(*three, 0, +1) && RemoveSequence(*three, 0));
  EXPECT_EQ(Residues(*three), (std::vector<std::string>{"A", "D"}));
  const std::tuple<std::string, std::string, bool, std::string> renames[] = {  // {old, entered, first row, renamed}
      {"QUERY", "abc", true, "       abc"}, {"SP|P12345| (  12-  80) 1", "MYSEQ", false, "     MYSEQ (  12-  80) 1"},
      {"SP|P12345| (  12-  80) 1", "MYSEQ", true, "     MYSEQ"}, {"ABCDEFGHIJKL", "N", false, "         N"}, {"ABCDEFGHIJKLM", "N", false, "         N LM"},
      {"X", "TWELVECHARSX", false, "TWELVECHAR"}};
  for (const auto& [old, entered, first, renamed] : renames) EXPECT_EQ(RenamedRowName(old, entered, first), renamed) << old;
}

// Everything that makes two records equal for the user.
std::vector<std::string> State(const DarUvaData& msa) {
  std::vector<std::string> s = {msa.consensus, std::to_string(msa.consensusThreshold)};
  for (const auto& r : msa.rows) {
    s.push_back(r->name + "|" + r->residues + "|" + r->matchLine);
    for (const auto* colours : {&r->textColours, &r->backColours})
      for (int c : *colours) s.back() += " " + std::to_string(c);
  }
  return s;
}

TEST(MsaUndoHistory, RandomEditsUndoToTheStartAndRedoToTheEndCaretAndRefusals) {
  const ColourConfiguration colours = TestColours();
  std::mt19937 random(11);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 20; ++round) {
    auto msa = MakeMsa({"ACDEFGHIKL", "MNP..QRSTV", "..WYACDEFG", "HIKLMN....", "PQRSTVWYAC"});
    for (auto& r : msa->rows) r->matchLine = "abcdefghij";
    ColourAllRows(*msa, colours);
    MsaEditSession session(*msa, colours);
    const auto start = State(*msa);
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
    const auto end = State(*msa);
    int col = 0, row = 0, undone = 0;
    while (session.Undo(col, row)) ++undone;
    EXPECT_EQ(undone, applied);
    EXPECT_EQ(State(*msa), start);
    while (session.Redo(col, row)) continue;
    EXPECT_EQ(State(*msa), end);
  }
  // The caret after undo and redo, redo dropped by a new edit, refusals and the threshold.
  auto msa = MakeMsa({"ACDE", "FGHI", "KLMN"});
  MsaEditSession session(*msa, TestColours());
  EXPECT_FALSE(session.CanUndo());
  ASSERT_TRUE(session.Insert(3, 2, 'W', false));
  ASSERT_TRUE(session.Move(1, +1));
  int col = 0, row = 0;
  ASSERT_TRUE(session.Undo(col, row));
  EXPECT_EQ(row, 2);  // the moved row is back at row 2, then at 3 again
  ASSERT_TRUE(session.Redo(col, row) && row == 3);
  ASSERT_TRUE(session.Undo(col, row) && session.Undo(col, row));
  EXPECT_EQ(std::make_pair(col, row), std::make_pair(3, 2));
  ASSERT_TRUE(session.Delete(1, 1, false));  // a new edit drops what could be redone
  EXPECT_FALSE(session.CanRedo());
  EXPECT_EQ(Residues(*msa), (std::vector<std::string>{"CDE.", "FGHI", "KLMN"}));
  ASSERT_TRUE(session.Move(1, -1) && session.Undo(col, row) && row == 2);  // up, and back
  // Refused operations leave no history.
  EXPECT_FALSE(session.Merge(0) || session.SetConsensusThreshold(4) || session.SetConsensusThreshold(-1) ||
               session.Overwrite(5, 1, 'A', false));
  ASSERT_TRUE(session.Remove(0));
  EXPECT_EQ(msa->rows[0]->residues, "FGHI");
  ASSERT_TRUE(session.Undo(col, row) && session.Undo(col, row));
  EXPECT_FALSE(session.Undo(col, row));
  // A threshold change recomputes the consensus and is undone.
  auto three = MakeMsa({"AAG", "ACG", "ACT"});
  CreeConsensus(three->consensus, three->consensusThreshold = 1, 3, 3, three->rows);
  MsaEditSession other(*three, TestColours());
  ASSERT_TRUE(other.SetConsensusThreshold(3));
  EXPECT_EQ(three->consensus + std::to_string(three->consensusThreshold), "A..3");
  other.Undo(col, row);
  EXPECT_EQ(three->consensus + std::to_string(three->consensusThreshold), "ACG1");
}

}  // namespace
