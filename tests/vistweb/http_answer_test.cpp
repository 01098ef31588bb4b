// Telling when an answer is complete, and reading the pages of the NCBI server.
#include <gtest/gtest.h>

#include "vistweb/http_answer.h"
#include "vistweb/ncbi_polling.h"
#include "vistweb_test_support.h"

TEST(HttpAnswer, CompleteWhenItsLengthOrLastChunkArrived) {
  struct Case {
    const char* name;
    std::string bytes;
    bool complete;
    std::string page;
  } cases[] = {
      {"content length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", true, "hello"},
      {"short of its length", "HTTP/1.1 200 OK\r\nContent-length: 6\r\n\r\nhello", false, "hello"},
      {"bare line feeds", "HTTP/1.0 200 OK\nContent-Length: 2\n\nab", true, "ab"},
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2;x=y\r\nde\r\n0\r\n\r\n", true,
       "abcde"},
      {"chunked without its end", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n", false, "abc"},
      {"chunked with a trailer", "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n1\r\nz\r\n0\r\nX: 1\r\n\r\n", true,
       "z"},
      {"no body", "HTTP/1.1 204 No Content\r\nContent-Length: 9\r\n\r\n", true, ""},
      {"interim answer first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nq", true, "q"},
      {"until the close", "HTTP/1.0 200 OK\r\n\r\n<HTML>", false, "<HTML>"},
      {"not HTTP at all", "<HTML>page</HTML>", false, "<HTML>page</HTML>"},
  };
  for (const Case& c : cases) {
    // Fed one byte at a time, the way a slow server sends it.
    std::string page;
    HttpAnswer answer(&page);
    for (char byte : c.bytes) answer.Feed(std::string_view(&byte, 1));
    EXPECT_EQ(answer.Complete(), c.complete) << c.name;
    EXPECT_EQ(page, c.page) << c.name;
    // And all at once.
    std::string whole;
    HttpAnswer once(&whole);
    once.Feed(c.bytes);
    EXPECT_EQ(once.Complete(), c.complete) << c.name;
    EXPECT_EQ(whole, c.page) << c.name;
  }
  EXPECT_EQ(AnswerPage("text"), "text");  // shorter than a status line
}

TEST(NcbiPages, RidAndPleaseWaitTests) {
  struct Case {
    const char* name;
    std::string page;
    std::string rid;
    bool waiting;
  } cases[] = {
      {"the form line", "HTTP/1.0 200 OK\n\n<INPUT TYPE=\"hidden\" NAME=\"RID\" VALUE=\"abc-9\">\n"
                        "<META HTTP-EQUIV=\"Refresh\">\n", "abc-9", true},
      {"case matters", "<input name=\"rid\" value=\"x\">\n<meta http-equiv=refresh>\n", "", false},
      {"no closing quote: next line", "NAME=\"RID\" VALUE=\"open\nNAME=\"RID\" VALUE=\"2nd\"\n", "2nd", false},
      {"forty-nine characters at most", "NAME=\"RID\" VALUE=\"" + std::string(50, 'r') + "\"\n", std::string(49, 'r'),
       false},
      {"empty file", "", "", false},
  };
  for (const Case& c : cases) {
    vwtest::TempFolder dir;
    vwtest::WriteFile(dir / "res.vist", c.page);
    EXPECT_EQ(ExtractRid(dir / "res.vist"), c.rid) << c.name;
    EXPECT_EQ(StillWaiting(dir / "res.vist"), c.waiting) << c.name;
  }
  EXPECT_EQ(ExtractRid("/nonexistent/res.vist"), "");
  EXPECT_FALSE(StillWaiting("/nonexistent/res.vist"));
  EXPECT_EQ(PollQuery("abc-9", 100, 250),
            "RID=abc-9&DESCRIPTIONS=100&ALIGNMENTS=250&ALIGNMENT_VIEW=0&&HTML=on&OVERVIEW=on&REFRESH_DELAY=4");
}

TEST(NcbiPages, QBlastInfoBlocksAndToolFields) {
  QBlastInfo put = ReadQBlastInfo("<!--QBlastInfoBegin\n    RID = 7K3M2ZB9016\n    RTOE = 27\nQBlastInfoEnd\n-->");
  EXPECT_TRUE(put.present);
  EXPECT_EQ(put.rid, "7K3M2ZB9016");
  QBlastInfo status = ReadQBlastInfo("<p><!--\nQBlastInfoBegin\n\tStatus=WAITING\r\nQBlastInfoEnd\n--><p>\nRID = late");
  EXPECT_EQ(status.status, "WAITING");
  EXPECT_EQ(status.rid, "");  // only the block counts
  EXPECT_FALSE(ReadQBlastInfo("Status=READY").present);

  EXPECT_EQ(WithToolAndEmail("CMD=Put", "me@lab.org"), "CMD=Put&tool=vistweb&email=me%40lab.org");
  EXPECT_EQ(WithToolAndEmail("CMD=Put&TOOL=x&EMAIL=y", "me@lab.org"), "CMD=Put&TOOL=x&EMAIL=y");
  EXPECT_EQ(WithToolAndEmail("CMD=Put", ""), "CMD=Put&tool=vistweb");
}
