// Reading the request file, the form body, the settings, the HTTP answer and
// the pages of the NCBI server.
#include <gtest/gtest.h>

#include "vistweb/form_body.h"
#include "vistweb/http_answer.h"
#include "vistweb/ncbi_polling.h"
#include "vistweb/request.h"
#include "vistweb/settings.h"
#include "vistweb_test_support.h"

using namespace vwtest;

TEST(RequestFile, LineRules) {
  const struct { const char* name; std::string text, host, method, post; } cases[] = {
      {"the first // of the line decides", "ServerName=http://a//b\n", "a//b", "", ""},
      {"the workbench's lines", "[REQUEST_INFO]\nJobNumber=res1\nServerName=https://h\nAction=ACT_OPENMSF\n"
       "Method=POST /p\nFilePostName=/c/p\nFileNameResponse=/c/res1.msf\nCallBack=/opt/v\n\n\n", "h", "POST /p", "/c/p"},
      {"a key anywhere in a line", "x ServerName=ftp://h\n  Method=GET /q\n", "h", "GET /q", ""},
      {"the last line wins", "FilePostName=/one\nFilePostName=/two\n", "", "", "/two"},
      {"value after the first =", "FilePostName=/a=b\n", "", "", "/a=b"}, {"no //", "ServerName=h\n", "", "", ""},
      {"CRLF line ends dropped", "Method=POST /p\r\n", "", "POST /p", ""},
      // 254 characters per piece: the remainder is read as a line of its own.
      {"long line split", std::string(254, 'x') + "FilePostName=/late\n", "", "", "/late"},
      {"key cut by the split is lost", std::string(248, 'x') + "FilePostName=/cut\n", "", "", ""}};
  TempFolder dir;
  for (const auto& c : cases) {
    dir.Write("req", c.text);
    WebRequest r;
    ASSERT_TRUE(ReadRequestFile(dir / "req", r)) << c.name;
    EXPECT_EQ(r.host + "|" + r.methodLine + "|" + r.postPath, c.host + "|" + c.method + "|" + c.post) << c.name;
  }
}

TEST(Endpoint, SchemesPortsAndBadHosts) {
  const Endpoint::Kind http = Endpoint::Http, https = Endpoint::Https, local = Endpoint::Local;
  const struct { const char *scheme, *host; Endpoint::Kind kind; const char* name; int port; } cases[] = {
      {"http:", "www.ncbi.nlm.nih.gov", http, "www.ncbi.nlm.nih.gov", 80}, {"http:", "host:8080", http, "host", 8080},
      {"https:", "blast.ncbi.nlm.nih.gov/Blast.cgi", https, "blast.ncbi.nlm.nih.gov", 443},
      {"HTTPS:", "h:4443/x", https, "h", 4443}, {"local:", "clustalw", local, "clustalw", 0}, {"", "h", http, "h", 80},
      {"http:", "h:65535", http, "h", 65535}, {"http:", "h:0", http, nullptr, 0}, {"http:", "h:65536", http, nullptr, 0},
      {"http:", "h:80x", http, nullptr, 0}, {"http:", "h:", http, nullptr, 0}, {"http:", "", http, nullptr, 0},
      {"local:", "clustalw:9", local, nullptr, 0}};  // name null: not valid
  for (const auto& c : cases) {
    const Endpoint e = ParseEndpoint(c.scheme, c.host);
    ASSERT_EQ(e.valid, c.name != nullptr) << c.host;
    EXPECT_TRUE(c.name == nullptr || (e.kind == c.kind && e.name == c.name && e.port == c.port)) << c.host;
  }
}

TEST(FormBody, FieldsNumbersEncodingsAndSettings) {
  const struct { const char* body; int alignments, descriptions; } numbers[] = {
      {"PROGRAM=blastp&ALIGNMENTS=50", 250, 100},        {"ALIGNMENTS=50&DESCRIPTIONS=20&X=1", 50, 20},
      {"QUERY=MKV&ALIGNMENTS=&DESCRIPTIONS=abc&", 0, 0}, {"ALIGNMENTS=12x&DESCRIPTIONS=7", 12, 100},
      {"NUM_ALIGNMENTS=5&ALIGNMENTS=9&", 5, 100},        {"ALIGNMENTS", 250, 100},
      {"ALIGNMENTS=99999999999&", 1000000000, 100}};
  for (const auto& c : numbers) {
    EXPECT_EQ(ReadAlignmentsNumber(c.body), c.alignments) << c.body;
    EXPECT_EQ(ReadDescriptionsNumber(c.body), c.descriptions) << c.body;
  }
  // The ClustalW post file's header segment is skipped.
  const FormFields f = DecodeForm("POST /cgi/clustalw HTTP/1.0|User-Agent: Netscape/4.0|Content-length:40||"
                                  "OUTORDER=aligned&gap_open=10&SEQUENCE=%3Eone%0D%0AMKV+L%2d&&bad%zz");
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[0].first + " " + f[3].first, "OUTORDER bad%zz");
  EXPECT_EQ(FindField(f, {"GAPOPEN"}) + "|" + FindField(f, {"sequence"}) + "|" + FindField(f, {"MATRIX"}),
            "10|>one\r\nMKV L-|");
  EXPECT_EQ(FindField(DecodeForm("A=%4F%4f%3A%3a%39%30%2b%G1"), {"a"}), "OO::90+%G1");
  EXPECT_EQ(PercentEncode("a.b@c d+"), "a.b%40c%20d%2B");
  EXPECT_TRUE(ContainsNoCase("x cmd=put", "CMD=Put") && !ContainsNoCase("CMD=Pu", "CMD=Put"));
  // The configuration named by the workbench wins over the one beside the call-back.
  TempFolder dir;
  dir.Write("named.cfg", "[VISTWEB]\nEMAIL=named@example.org\nPOLL_INTERVAL=7\n");
  dir.Write("vistram.cfg", "[VISTWEB]\nEMAIL=beside@example.org\n");
  EXPECT_EQ(LoadHelperSettings(HelperConfigPath(dir / "vistram")).email, "beside@example.org");
  setenv("VISTWEB_CONFIG", (dir / "named.cfg").c_str(), 1);
  const HelperSettings named = LoadHelperSettings(HelperConfigPath(dir / "vistram"));
  unsetenv("VISTWEB_CONFIG");
  EXPECT_EQ(named.email + " " + std::to_string(named.pollInterval), "named@example.org 7");
}

TEST(HttpAnswer, CompleteWhenItsLengthOrLastChunkArrived) {
  const std::string ok = "HTTP/1.1 200 OK\r\n", chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
  const struct { const char* name; std::string bytes; bool complete; std::string page; } cases[] = {
      {"content length", ok + "Content-Length: 5\r\n\r\nhello", true, "hello"},
      {"short of its length", ok + "Content-length: 6\r\n\r\nhello", false, "hello"},
      {"bare line feeds", "HTTP/1.0 200 OK\nContent-Length: 2\n\nab", true, "ab"},
      {"chunked", chunked + "3\r\nabc\r\n2;x=y\r\nde\r\n0\r\n\r\n", true, "abcde"},
      {"chunked without its end", chunked + "3\r\nabc\r\n", false, "abc"},
      {"chunked with a trailer", ok + "Transfer-Encoding: Chunked\r\n\r\n1\r\nz\r\n0\r\nX: 1\r\n\r\n", true, "z"},
      {"no body", "HTTP/1.1 204 No Content\r\nContent-Length: 9\r\n\r\n", true, ""},
      {"interim answer first", "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 1\r\n\r\nq", true, "q"},
      {"until the close", "HTTP/1.0 200 OK\r\n\r\n<HTML>", false, "<HTML>"},
      {"not HTTP at all", "<HTML>page</HTML>", false, "<HTML>page</HTML>"}};
  for (const auto& c : cases) {
    for (std::size_t piece : {std::size_t(1), c.bytes.size()}) {  // a byte at a time as a slow server sends, and whole
      std::string page;
      HttpAnswer answer(&page);
      for (std::size_t at = 0; at < c.bytes.size(); at += piece) answer.Feed(c.bytes.substr(at, piece));
      EXPECT_EQ(page + (answer.Complete() ? "|complete" : ""), c.page + (c.complete ? "|complete" : "")) << c.name << piece;
    }
  }
  EXPECT_EQ(AnswerPage("text"), "text");  // shorter than a status line
}

TEST(NcbiPages, RidPleaseWaitQBlastInfoAndToolFields) {
  const std::string rid = "NAME=\"RID\" VALUE=\"";
  const struct { const char* name; std::string page, rid; bool waiting; } cases[] = {
      {"the form line", "HTTP/1.0 200 OK\n\n<INPUT TYPE=hidden " + rid + "abc-9\">\n<META HTTP-EQUIV=\"Refresh\">\n",
       "abc-9", true},
      {"case matters", "<input name=\"rid\" value=\"x\">\n<meta http-equiv=refresh>\n", "", false},
      {"no closing quote: next line", rid + "open\n" + rid + "2nd\"\n", "2nd", false},
      {"forty-nine characters at most", rid + std::string(50, 'r') + "\"\n", std::string(49, 'r'), false},
      {"empty file", "", "", false}};
  TempFolder dir;
  for (const auto& c : cases) {
    dir.Write("res.vist", c.page);
    EXPECT_EQ(ExtractRid(dir / "res.vist"), c.rid) << c.name;
    EXPECT_EQ(StillWaiting(dir / "res.vist"), c.waiting) << c.name;
  }
  EXPECT_TRUE(ExtractRid(dir / "none.vist").empty() && !StillWaiting(dir / "none.vist"));
  const QBlastInfo put = ReadQBlastInfo("<!--QBlastInfoBegin\n    RID = 7K3M2ZB9\n    RTOE = 27\nQBlastInfoEnd\n-->");
  EXPECT_TRUE(put.present && put.rid == "7K3M2ZB9");
  const QBlastInfo status = ReadQBlastInfo("<p><!--\nQBlastInfoBegin\n\tStatus=WAITING\r\nQBlastInfoEnd\n-->\nRID = x");
  EXPECT_EQ(status.status + "|" + status.rid, "WAITING|");  // only the block counts
  EXPECT_FALSE(ReadQBlastInfo("Status=READY").present);
  EXPECT_EQ(WithToolAndEmail("CMD=Put", "me@lab.org"), "CMD=Put&tool=vistweb&email=me%40lab.org");
  EXPECT_EQ(WithToolAndEmail("CMD=Put&TOOL=x&EMAIL=y", "me@lab.org"), "CMD=Put&TOOL=x&EMAIL=y");
  EXPECT_EQ(WithToolAndEmail("CMD=Put", ""), "CMD=Put&tool=vistweb");
}
