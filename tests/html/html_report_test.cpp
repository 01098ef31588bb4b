#include "vistram/html/html_report.h"

#include <gtest/gtest.h>

#include "html_test_support.h"

using namespace html_test;

namespace {

std::string Capture(const std::function<void(std::FILE*)>& write) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* mem = open_memstream(&buffer, &size);
  write(mem);
  std::fclose(mem);
  std::string text(buffer, size);
  free(buffer);
  return text;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

}  // namespace

TEST(HtmlReportTest, WritesFourFilesNamedFromTheChosenPath) {
  TempDir dir;
  DataProgram dp;
  AddHit(dp, "SP|P1|A", "FIRST HIT", "http://www.expasy.org/cgi-bin/niceprot.pl?P1", {{"MKVL", 1}});
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "results.txt", 0, TestSource()));
  EXPECT_EQ(4u, dir.EntryCount());
  EXPECT_EQ(ReadAll(std::string(VISTRAM_TEST_DATA_DIR) + "/html/results_main.html"), ReadAll(dir / "results_main.html"));
  const std::string head = ReadAll(dir / "results_head.html");
  EXPECT_EQ(0u, head.find("<HTML>\n<HEAD>\n<TITLE>Header</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n"));
  EXPECT_TRUE(Has(head, "<TD WIDTH=5% BGCOLOR=#0099FF>\n<B>HSP(s)</B>\n</TD>\n</TR>\n</TABLE>\n</BODY>\n</HTML>\n"));
  EXPECT_EQ(std::pair(Count(head, "<TD "), Count(head, "</TD>")), std::pair(std::size_t{6}, std::size_t{6}));
  const std::string list = ReadAll(dir / "results_lr.html");
  for (const char* part :
       {"<TD WIDTH=5% ALIGN=\"CENTER\" VALIGN=\"TOP\">\n<A HREF=\"results_ali.html#ALI1\" TARGET=\"ali\" "
        "TITLE=\"Click to view sequence alignment\">1.</A>\n</TD>\n",
        "<A HREF=\"http://www.expasy.org/cgi-bin/niceprot.pl?P1\" TARGET=\"_blank\" "
        "TITLE=\"Click to view database sequence\">SP|P1|A</A>\n",
        "FIRST HIT <FONT COLOR=\"#0000FF\">(120 aa)</FONT>\n",
        "VALIGN=\"TOP\">\n1</TD>\n</TR>\n</TABLE>\n<HR>\n</BODY>\n</HTML>\n"})
    EXPECT_TRUE(Has(list, part)) << part;
}

TEST(HtmlReportTest, SelectionKeepsNumbersAnchorsAndRules) {
  TempDir dir;
  DataProgram dp;
  AddHit(dp, "H1", "ONE", "", {{"AAAA", 0}});
  AddHit(dp, "H2", "TWO", "", {{"AAAA", 0}});
  AddHit(dp, "H3", "THREE", "", {{"AAAA", 0}, {"CCCC", 1}, {"DDDD", 0}});
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "sel.html", 1, TestSource()));
  const std::string list = ReadAll(dir / "sel_lr.html");
  EXPECT_EQ(1u, Count(list, "<TABLE "));
  EXPECT_TRUE(Has(list, "sel_ali.html#ALI3\"") && Has(list, ">3.</A>"));
  EXPECT_TRUE(Has(list, "<TD WIDTH=18% VALIGN=\"TOP\">\nH3\n</TD>\n"));  // no link: plain text
  const std::string ali = ReadAll(dir / "sel_ali.html");
  EXPECT_EQ(1u, Count(ali, "<A NAME="));
  EXPECT_TRUE(Has(ali, "<A NAME=\"ALI3\"></A><TABLE BORDER=0 WIDTH=100%>\n<TR>\n"
                       "<TD WIDTH=8% ALIGN=\"CENTER\" VALIGN=\"TOP\" BGCOLOR=\"#99FFFF\">\nAli : 3.\n</TD>\n"
                       "<TD WIDTH=8% ALIGN=\"CENTER\" VALIGN=\"TOP\" BGCOLOR=\"#FF99CC\">\nHSP : 2.\n</TD>\n"));
  EXPECT_TRUE(Has(ali, "CCCC") && !Has(ali, "DDDD"));
  EXPECT_TRUE(Has(ali, "</PRE></UL><HR WIDTH=\"50%\" ALIGN=\"CENTER\"></BODY>"));  // 2 of 3: a half rule
  // Every alignment of a hit: one anchor, a blank cell for the later ones, half rules between, a full one last.
  DataProgram all;
  AddHit(all, "H1", "ONE", "", {{"AAAA", 0}, {"CCCC", 0}});
  const std::string both = Capture([&](std::FILE* f) { ASSERT_TRUE(CreeALImodUnfile(all, f, 0, TestSource())); });
  EXPECT_EQ(1u, Count(both, "<A NAME=\"ALI1\">"));
  EXPECT_TRUE(Has(both, "BGCOLOR=\"#FFFFFF\">\n </TD>\n") && Has(both, "HSP : 2.\n"));
  EXPECT_EQ(1u, Count(both, "<HR WIDTH=\"50%\" ALIGN=\"CENTER\">"));
  EXPECT_TRUE(Has(both, "</PRE></UL><HR></BODY>\n</HTML>\n"));
}

TEST(HtmlReportTest, ColouredLinesAndScaleMarks) {
  // A font opens only where the colour changes.
  EXPECT_EQ("<FONT COLOR=\"#000000\">AAAA</FONT>    \n",
            Capture([](std::FILE* f) { CreeSeqAliColor(f, "AAAA", {0, 0, 0, 0}); }));
  EXPECT_EQ(
      "<FONT COLOR=\"#000000\">A</FONT><FONT COLOR=\"#0000FF\">VI</FONT><FONT COLOR=\"#808080\">K</FONT>"
      "<FONT COLOR=\"#000000\">&lt;</FONT>    \n",
      Capture([](std::FILE* f) { CreeSeqAliColor(f, "AVIK<", {0, 4, 4, 15, 99}); }));
  // Marks stand above their residues, after the 15 characters of the "Q: %5u-%5u " prefix.
  auto scale = [](const std::string& residues, std::vector<int> positions) {
    if (positions.size() == 1)
      for (int p = positions[0] + 1; positions.size() < residues.size(); ++p) positions.push_back(p);
    return Capture([&](std::FILE* f) { CreeSeqAliScale(f, residues, positions); });
  };
  const std::string s = scale(std::string(14, 'A'), {118});
  EXPECT_EQ(std::string(14, ' ') + "120." + std::string(6, ' ') + "130.  \n", s);
  EXPECT_EQ(15u + 2u, s.find("120.") + 3);  // the full stop of 120. above residue index 2
  const std::string wide = scale(std::string(10, 'A'), {995});
  EXPECT_EQ(15u + 5u, wide.find("1000.") + 4);
  EXPECT_EQ(1u, Count(wide, "."));
  const std::string gap = scale("A-A", {10, 0, 11});  // gap columns never get a mark
  EXPECT_EQ(1u, Count(gap, "."));
  EXPECT_EQ(15u, gap.find("10.") + 2);
}

TEST(HtmlReportTest, AnUnreadableAlignmentLeavesNoFileAndKeepsOldOnes) {
  TempDir dir;
  DataProgram dp;
  AddHit(dp, "H1", "ONE", "", {{"AAAA", 1}});
  AddHit(dp, "H2", "TWO", "", {{"CCCC", 1}});
  HtmlAlignmentSource failsOnSecond = [](DataProgram& d, int k, int h) {
    return k == 2 ? nullptr : ViewOf(d, k, h);
  };
  ASSERT_FALSE(PrepHTMLsave(dp, dir / "fail.html", 0, failsOnSecond));
  EXPECT_EQ(0u, dir.EntryCount());
  dir.Write("old_main.html", "earlier export");
  ASSERT_FALSE(PrepHTMLsave(dp, dir / "old.html", 0, failsOnSecond));
  EXPECT_EQ(1u, dir.EntryCount());
  EXPECT_EQ("earlier export", ReadAll(dir / "old_main.html"));
  EXPECT_FALSE(PrepHTMLsave(dp, dir / "missing/x.html", 0, TestSource()));
}

TEST(HtmlReportTest, ReportTextsCannotInjectMarkupAndOnlyWebAddressesBecomeLinks) {
  TempDir dir;
  DataProgram dp;
  AddHit(dp, "ID<script>alert(1)</script>", "DESC \"QUOTED\" <IMG SRC=X ONERROR=ALERT(1)> & 'SINGLE'",
         "javascript:alert(1)", {{"MK<B>", 0}});
  AddHit(dp, "ID2", "LINK WITH QUOTE", "http://example.org/\"onmouseover=\"alert(1)", {{"MKVL", 0}});
  (*dp.hits)[0]->lengthText = "1<i>";
  (*dp.hits)[0]->scoreText = "<b>";
  (*dp.hits)[0]->expectText = "\"x\"";
  (*dp.hits)[0]->alignments[0]->statsText = "</TD><script>alert(2)</script>";
  (*dp.hits)[0]->alignments[0]->middleLine = "</PRE>";
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "a<b>\"c.vist", 0, TestSource()));
  const std::string main = ReadAll(dir / "a<b>\"c_main.html");
  EXPECT_TRUE(Has(main, "<TITLE>W-Vistram - results of a&lt;b&gt;&quot;c</TITLE>"));
  EXPECT_TRUE(Has(main, "SRC=\"a%3Cb%3E%22c_head.html\""));
  const std::string list = ReadAll(dir / "a<b>\"c_lr.html"), ali = ReadAll(dir / "a<b>\"c_ali.html");
  for (const std::string& page : {list, ali}) {
    std::string lower = page;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* bad : {"<script", "<img", "href=\"javascript", "<i>", "\"onmouseover"})
      EXPECT_FALSE(Has(lower, bad)) << bad << page;
  }
  EXPECT_TRUE(Has(list, "ID&lt;script&gt;alert(1)&lt;/script&gt;\n</TD>"));  // plain text, no link
  EXPECT_TRUE(Has(list, "DESC &quot;QUOTED&quot; &lt;IMG SRC=X ONERROR=ALERT(1)&gt; &amp; "
                        "&#39;SINGLE&#39; <FONT COLOR=\"#0000FF\">(1&lt;i&gt; aa)</FONT>"));
  EXPECT_TRUE(Has(list, "http://example.org/&quot;onmouseover=&quot;alert(1)\""));
  EXPECT_TRUE(Has(ali, "&lt;/TD&gt;&lt;script&gt;alert(2)&lt;/script&gt;\n\n</TD>"));
  EXPECT_TRUE(Has(ali, "&lt;/PRE&gt;\n"));
  for (const char* link : {"http://www.ncbi.nlm.nih.gov/entrez/query.fcgi?db=protein&id=1", "HTTPS://example.org",
                           "ftp://ftp.example.org/x"})
    EXPECT_TRUE(IsSafeLink(link)) << link;
  for (const char* link : {"javascript:alert(1)", " http://example.org", "data:text/html,<script>",
                           "http://exa mple.org", "/entrez/query.fcgi"})
    EXPECT_FALSE(IsSafeLink(link)) << link;
}
