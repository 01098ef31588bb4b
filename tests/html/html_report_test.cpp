#include "vistram/html/html_report.h"

#include <gtest/gtest.h>

#include <regex>

#include "html_test_support.h"

using namespace html_test;
namespace fs = std::filesystem;

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

}  // namespace

TEST(HtmlReportTest, WritesFourFilesNamedFromTheChosenPath) {
  TempDir dir;
  DataProgram dp;
  AddHit(dp, "SP|P1|A", "FIRST HIT", "http://www.expasy.org/cgi-bin/niceprot.pl?P1", {{"MKVL", 1}});
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "results.txt", 0, TestSource()));
  EXPECT_EQ(4u, dir.EntryCount());
  EXPECT_EQ(
      "<HTML>\n<HEAD>\n<TITLE>W-Vistram - results of results</TITLE></HEAD>\n"
      "<FRAMESET ROWS=\"10%,60%,30%\">\n"
      "<FRAME NORESIZE FRAMEBORDER=\"NO\" BORDERCOLOR=\"#FFFFFF\" SCROLLING=NO NAME=\"header\" "
      "SRC=\"results_head.html\">\n"
      "<FRAME SCROLLING=AUTO NAME=\"list\" SRC=\"results_lr.html\"\n>"
      "<FRAME SCROLLING=AUTO NAME=\"ali\" SRC=\"results_ali.html\">\n"
      "</FRAMESET>\n</HTML>\n\n",
      ReadAll(dir / "results_main.html"));
  const std::string head = ReadAll(dir / "results_head.html");
  EXPECT_EQ(0u, head.find("<HTML>\n<HEAD>\n<TITLE>Header</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n"));
  EXPECT_NE(std::string::npos, head.find("<TD WIDTH=5% BGCOLOR=#0099FF>\n<B>HSP(s)</B>\n"
                                         "</TD>\n</TR>\n</TABLE>\n</BODY>\n</HTML>\n"));
  EXPECT_EQ(6u, Count(head, "<TD "));
  EXPECT_EQ(6u, Count(head, "</TD>"));

  const std::string list = ReadAll(dir / "results_lr.html");
  EXPECT_NE(std::string::npos,
            list.find("<TD WIDTH=5% ALIGN=\"CENTER\" VALIGN=\"TOP\">\n<A HREF=\"results_ali.html#ALI1\" "
                      "TARGET=\"ali\" TITLE=\"Click to view sequence alignment\">1.</A>\n</TD>\n"));
  EXPECT_NE(std::string::npos,
            list.find("<A HREF=\"http://www.expasy.org/cgi-bin/niceprot.pl?P1\" TARGET=\"_blank\" "
                      "TITLE=\"Click to view database sequence\">SP|P1|A</A>\n"));
  EXPECT_NE(std::string::npos, list.find("FIRST HIT <FONT COLOR=\"#0000FF\">(120 aa)</FONT>\n"));
  EXPECT_NE(std::string::npos, list.find("VALIGN=\"TOP\">\n1</TD>\n</TR>\n</TABLE>\n<HR>\n</BODY>\n</HTML>\n"));
}

TEST(HtmlReportTest, SelectionOnlyKeepsTableNumbersAndAnchors) {
  TempDir dir;
  DataProgram dp;
  AddHit(dp, "H1", "ONE", "", {{"AAAA", 0}});
  AddHit(dp, "H2", "TWO", "", {{"AAAA", 0}});
  AddHit(dp, "H3", "THREE", "", {{"AAAA", 0}, {"CCCC", 1}, {"DDDD", 0}});
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "sel.html", 1, TestSource()));
  const std::string list = ReadAll(dir / "sel_lr.html");
  EXPECT_EQ(1u, Count(list, "<TABLE "));
  EXPECT_NE(std::string::npos, list.find("sel_ali.html#ALI3\""));
  EXPECT_NE(std::string::npos, list.find(">3.</A>"));
  // Without a link the identifier is plain text.
  EXPECT_NE(std::string::npos, list.find("<TD WIDTH=18% VALIGN=\"TOP\">\nH3\n</TD>\n"));

  const std::string ali = ReadAll(dir / "sel_ali.html");
  EXPECT_EQ(1u, Count(ali, "<A NAME="));
  EXPECT_NE(std::string::npos, ali.find("<A NAME=\"ALI3\"></A><TABLE BORDER=0 WIDTH=100%>\n<TR>\n"
                                        "<TD WIDTH=8% ALIGN=\"CENTER\" VALIGN=\"TOP\" BGCOLOR=\"#99FFFF\">\n"
                                        "Ali : 3.\n</TD>\n"
                                        "<TD WIDTH=8% ALIGN=\"CENTER\" VALIGN=\"TOP\" BGCOLOR=\"#FF99CC\">\n"
                                        "HSP : 2.\n</TD>\n"));
  EXPECT_NE(std::string::npos, ali.find("CCCC"));
  EXPECT_EQ(std::string::npos, ali.find("DDDD"));
  // Alignment 2 of 3: a half rule, no full one.
  EXPECT_NE(std::string::npos, ali.find("</PRE></UL><HR WIDTH=\"50%\" ALIGN=\"CENTER\"></BODY>"));
}

TEST(HtmlReportTest, AllAlignmentsOfAHitShareOneAnchorAndEndWithAFullRule) {
  DataProgram dp;
  AddHit(dp, "H1", "ONE", "", {{"AAAA", 0}, {"CCCC", 0}});
  const std::string ali =
      Capture([&](std::FILE* f) { ASSERT_TRUE(CreeALImodUnfile(dp, f, 0, TestSource())); });
  EXPECT_EQ(1u, Count(ali, "<A NAME=\"ALI1\">"));
  EXPECT_NE(std::string::npos, ali.find("BGCOLOR=\"#FFFFFF\">\n </TD>\n"));
  EXPECT_NE(std::string::npos, ali.find("HSP : 2.\n"));
  EXPECT_EQ(1u, Count(ali, "<HR WIDTH=\"50%\" ALIGN=\"CENTER\">"));
  EXPECT_NE(std::string::npos, ali.find("</PRE></UL><HR></BODY>\n</HTML>\n"));
}

TEST(HtmlReportTest, ColouredLinesOpenAFontOnlyWhereTheColourChanges) {
  EXPECT_EQ("<FONT COLOR=\"#000000\">AAAA</FONT>    \n",
            Capture([](std::FILE* f) { CreeSeqAliColor(f, "AAAA", {0, 0, 0, 0}); }));
  EXPECT_EQ(
      "<FONT COLOR=\"#000000\">A</FONT><FONT COLOR=\"#0000FF\">VI</FONT><FONT COLOR=\"#808080\">K</FONT>"
      "<FONT COLOR=\"#000000\">&lt;</FONT>    \n",
      Capture([](std::FILE* f) { CreeSeqAliColor(f, "AVIK<", {0, 4, 4, 15, 99}); }));
}

TEST(HtmlReportTest, ScaleMarksStandAboveTheirResidues) {
  // Residues 118..131 without gaps: marks 120. and 130.
  std::string residues(14, 'A');
  std::vector<int> positions;
  for (int p = 118; p <= 131; ++p) positions.push_back(p);
  std::string scale = Capture([&](std::FILE* f) { CreeSeqAliScale(f, residues, positions); });
  // The "Q: %5u-%5u " prefix is 15 characters; the scale's is 6 plus 9.
  EXPECT_EQ(std::string(6, ' ') + std::string(8, ' ') + "120." + std::string(6, ' ') + "130." +
                std::string(2, ' ') + "\n",
            scale);
  EXPECT_EQ(15u + 2u, scale.find("120.") + 3);  // the full stop of 120. above residue index 2
  EXPECT_EQ(15u + 12u, scale.find("130.") + 3);

  // 995..1004: one mark of five characters.
  positions.clear();
  for (int p = 995; p <= 1004; ++p) positions.push_back(p);
  scale = Capture([&](std::FILE* f) { CreeSeqAliScale(f, std::string(10, 'A'), positions); });
  EXPECT_EQ(15u + 5u, scale.find("1000.") + 4);
  EXPECT_EQ(1u, Count(scale, "."));

  // Gap columns never get a mark, even where a number would fall.
  scale = Capture([&](std::FILE* f) { CreeSeqAliScale(f, "A-A", {10, 0, 11}); });
  EXPECT_EQ(1u, Count(scale, "."));
  EXPECT_EQ(15u, scale.find("10.") + 2);
}

TEST(HtmlReportTest, AnUnreadableAlignmentLeavesNoFileAndKeepsOldOnes) {
  TempDir dir;
  DataProgram dp;
  AddHit(dp, "H1", "ONE", "", {{"AAAA", 1}});
  AddHit(dp, "H2", "TWO", "", {{"CCCC", 1}});
  HtmlAlignmentSource failsOnSecond = [](DataProgram& d, int k, int h) -> std::unique_ptr<VisualHaspData> {
    if (k == 2) return nullptr;
    return ViewOf(d, k, h);
  };
  ASSERT_FALSE(PrepHTMLsave(dp, dir / "fail.html", 0, failsOnSecond));
  EXPECT_EQ(0u, dir.EntryCount());

  { std::ofstream(dir / "old_main.html") << "earlier export"; }
  ASSERT_FALSE(PrepHTMLsave(dp, dir / "old.html", 0, failsOnSecond));
  EXPECT_EQ(1u, dir.EntryCount());
  EXPECT_EQ("earlier export", ReadAll(dir / "old_main.html"));

  // A folder that does not exist.
  EXPECT_FALSE(PrepHTMLsave(dp, dir / "missing/x.html", 0, TestSource()));
}

TEST(HtmlReportTest, ReportTextsCannotInjectMarkup) {
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
  EXPECT_NE(std::string::npos, main.find("<TITLE>W-Vistram - results of a&lt;b&gt;&quot;c</TITLE>"));
  EXPECT_NE(std::string::npos, main.find("SRC=\"a%3Cb%3E%22c_head.html\""));

  const std::string list = ReadAll(dir / "a<b>\"c_lr.html");
  const std::string ali = ReadAll(dir / "a<b>\"c_ali.html");
  for (const std::string& page : {list, ali}) {
    std::string lower = page;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(std::string::npos, lower.find("<script")) << page;
    EXPECT_EQ(std::string::npos, lower.find("<img")) << page;
    EXPECT_EQ(std::string::npos, lower.find("href=\"javascript")) << page;
    EXPECT_EQ(std::string::npos, lower.find("<i>")) << page;
    EXPECT_EQ(std::string::npos, lower.find("\"onmouseover")) << page;
  }
  EXPECT_NE(std::string::npos, list.find("ID&lt;script&gt;alert(1)&lt;/script&gt;\n</TD>"));  // plain text, no link
  EXPECT_NE(std::string::npos, list.find("DESC &quot;QUOTED&quot; &lt;IMG SRC=X ONERROR=ALERT(1)&gt; &amp; "
                                         "&#39;SINGLE&#39; <FONT COLOR=\"#0000FF\">(1&lt;i&gt; aa)</FONT>"));
  EXPECT_NE(std::string::npos, list.find("http://example.org/&quot;onmouseover=&quot;alert(1)\""));
  EXPECT_NE(std::string::npos, ali.find("&lt;/TD&gt;&lt;script&gt;alert(2)&lt;/script&gt;\n\n</TD>"));
  EXPECT_NE(std::string::npos, ali.find("&lt;/PRE&gt;\n"));
}

TEST(HtmlReportTest, OnlyWebAddressesBecomeLinks) {
  EXPECT_TRUE(IsSafeLink("http://www.ncbi.nlm.nih.gov/entrez/query.fcgi?db=protein&id=1"));
  EXPECT_TRUE(IsSafeLink("HTTPS://example.org"));
  EXPECT_TRUE(IsSafeLink("ftp://ftp.example.org/x"));
  EXPECT_FALSE(IsSafeLink("javascript:alert(1)"));
  EXPECT_FALSE(IsSafeLink(" http://example.org"));
  EXPECT_FALSE(IsSafeLink("data:text/html,<script>"));
  EXPECT_FALSE(IsSafeLink("http://exa mple.org"));
  EXPECT_FALSE(IsSafeLink("/entrez/query.fcgi"));
}
