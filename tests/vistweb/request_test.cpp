// Reading the request file and the form body.
#include <gtest/gtest.h>

#include "vistweb/form_body.h"
#include "vistweb/request.h"
#include "vistweb/settings.h"
#include "vistweb_test_support.h"

using vwtest::TempFolder;
using vwtest::WriteFile;

TEST(RequestFile, LineRules) {
  struct Case {
    const char* name;
    std::string text;
    std::string host, method, post;
  } cases[] = {
      {"the first // of the line decides", "ServerName=http://a//b\n", "a//b", "", ""},
      {"the workbench's lines", "[REQUEST_INFO]\nJobNumber=res1\nServerName=https://h\nAction=ACT_OPENMSF\n"
       "Method=POST /p\nFilePostName=/c/post\nFileNameResponse=/c/res1.msf\nCallBack=/opt/v\n\n\n", "h", "POST /p",
       "/c/post"},
      {"a key anywhere in a line", "x ServerName=ftp://h\n  Method=GET /q\n", "h", "GET /q", ""},
      {"the last line wins", "FilePostName=/one\nFilePostName=/two\n", "", "", "/two"},
      {"value after the first =", "FilePostName=/a=b\n", "", "", "/a=b"},
      {"no // gives no host", "ServerName=localhost\n", "", "", ""},
      {"CRLF line ends dropped", "Method=POST /p\r\n", "", "POST /p", ""},
      // 254 characters per piece: the remainder is read as a line of its own,
      // so a key pushed past the cut is still found.
      {"long line split", std::string(254, 'x') + "FilePostName=/late\n", "", "", "/late"},
      {"key cut by the split is lost", std::string(248, 'x') + "FilePostName=/cut\n", "", "", ""},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    WriteFile(dir / "req", c.text);
    WebRequest r;
    ASSERT_TRUE(ReadRequestFile(dir / "req", r)) << c.name;
    EXPECT_EQ(r.host, c.host) << c.name;
    EXPECT_EQ(r.methodLine, c.method) << c.name;
    EXPECT_EQ(r.postPath, c.post) << c.name;
  }
}

TEST(Endpoint, SchemesPortsAndBadHosts) {
  struct Case {
    const char* scheme;
    const char* host;
    Endpoint::Kind kind;
    const char* name;
    int port;
    bool valid;
  } cases[] = {
      {"http:", "www.ncbi.nlm.nih.gov", Endpoint::Http, "www.ncbi.nlm.nih.gov", 80, true},
      {"http:", "host:8080", Endpoint::Http, "host", 8080, true},
      {"https:", "blast.ncbi.nlm.nih.gov/Blast.cgi", Endpoint::Https, "blast.ncbi.nlm.nih.gov", 443, true},
      {"HTTPS:", "h:4443/x", Endpoint::Https, "h", 4443, true},
      {"local:", "clustalw", Endpoint::Local, "clustalw", 0, true},
      {"", "h", Endpoint::Http, "h", 80, true},
      {"http:", "h:65535", Endpoint::Http, "h", 65535, true},
      {"http:", "h:0", Endpoint::Http, "", 80, false},
      {"http:", "h:65536", Endpoint::Http, "", 80, false},
      {"http:", "h:80x", Endpoint::Http, "", 80, false},
      {"http:", "h:", Endpoint::Http, "", 80, false},
      {"http:", "", Endpoint::Http, "", 80, false},
      {"local:", "clustalw:9", Endpoint::Local, "", 0, false},
  };
  for (const Case& c : cases) {
    Endpoint e = ParseEndpoint(c.scheme, c.host);
    EXPECT_EQ(e.valid, c.valid) << c.host;
    if (!c.valid) continue;
    EXPECT_EQ(e.kind, c.kind) << c.host;
    EXPECT_EQ(e.name, c.name) << c.host;
    EXPECT_EQ(e.port, c.port) << c.host;
  }
}

TEST(FormBody, NumbersOfDescriptionsAndAlignments) {
  struct Case {
    const char* body;
    int alignments, descriptions;
  } cases[] = {
      {"PROGRAM=blastp&ALIGNMENTS=50", 250, 100},             // no '&' after the value
      {"ALIGNMENTS=50&DESCRIPTIONS=20&X=1", 50, 20},
      {"QUERY=MKV&ALIGNMENTS=&DESCRIPTIONS=abc&", 0, 0},      // no digits: 0
      {"ALIGNMENTS=12x&DESCRIPTIONS=7", 12, 100},
      {"NUM_ALIGNMENTS=5&ALIGNMENTS=9&", 5, 100},             // the first occurrence counts
      {"ALIGNMENTS", 250, 100},
      {"ALIGNMENTS=99999999999&", 1000000000, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadAlignmentsNumber(c.body), c.alignments) << c.body;
    EXPECT_EQ(ReadDescriptionsNumber(c.body), c.descriptions) << c.body;
  }
}

TEST(FormBody, DecodesFieldsAndSkipsTheClustalwHeaderSegment) {
  FormFields f = DecodeForm(
      "POST /cgi/clustalw HTTP/1.0|User-Agent: Netscape/4.0|Content-length:40||"
      "OUTORDER=aligned&gap_open=10&SEQUENCE=%3Eone%0D%0AMKV+L%2d&&bad%zz");
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[0].first, "OUTORDER");
  EXPECT_EQ(FindField(f, {"GAPOPEN"}), "10");
  EXPECT_EQ(FindField(f, {"sequence"}), ">one\r\nMKV L-");
  EXPECT_EQ(f[3].first, "bad%zz");
  EXPECT_EQ(FindField(f, {"MATRIX"}), "");
  EXPECT_EQ(FindField(DecodeForm("A=%4F%4f%3A%3a%39%30%2b%G1"), {"a"}), "OO::90+%G1");
  EXPECT_EQ(PercentEncode("a.b@c d+"), "a.b%40c%20d%2B");
  EXPECT_TRUE(ContainsNoCase("x cmd=put", "CMD=Put"));
  EXPECT_FALSE(ContainsNoCase("CMD=Pu", "CMD=Put"));
}

TEST(HelperSettings, TheConfigurationNamedByTheWorkbenchWinsOverTheCallBack) {
  vwtest::TempFolder dir;
  vwtest::WriteFile(dir / "named.cfg", "[VISTWEB]\nEMAIL=named@example.org\nPOLL_INTERVAL=7\n");
  vwtest::WriteFile(dir / "vistram.cfg", "[VISTWEB]\nEMAIL=beside@example.org\n");
  const std::string callback = dir / "vistram";
  EXPECT_EQ(HelperConfigPath(callback), dir / "vistram.cfg");
  EXPECT_EQ(LoadHelperSettings(HelperConfigPath(callback)).email, "beside@example.org");
  setenv("VISTWEB_CONFIG", (dir / "named.cfg").c_str(), 1);
  const HelperSettings named = LoadHelperSettings(HelperConfigPath(callback));
  unsetenv("VISTWEB_CONFIG");
  EXPECT_EQ(named.email, "named@example.org");
  EXPECT_EQ(named.pollInterval, 7);
}
