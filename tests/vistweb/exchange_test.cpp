// The helper's main sequence and its exchanges against loopback servers.
#include <gtest/gtest.h>

#include "vistram/results/report_kind.h"
#include "vistweb/ncbi_polling.h"
#include "vistweb/run.h"
#include "vistweb_test_support.h"

using vwtest::LoopbackServer;
using vwtest::ReadFile;
using vwtest::RecordingProgress;
using vwtest::TempFolder;

namespace {

const std::string kData = VISTWEB_TEST_DATA_DIR;
// The finished page of the old NCBI server: a real legacy BLAST HTML report
// kept with the readers' test data.
const std::string kOldNcbiReport = kData + "/../blast/blast_html_legacy_www/biopython_bt019.html";

// A request to `serverName` with `body` as the post file, a vistram.cfg
// beside a pretend workbench program (its [VISTWEB] settings as given).
struct Request {
  TempFolder dir;
  std::string path = dir / "web1.tmp";
  std::string response = dir / "res1.vist";
  Request(const std::string& serverName, const std::string& body, const std::string& settings = "TIME_LIMIT=20\n") {
    vwtest::WriteFile(dir / "post1.tmp", body);
    vwtest::WriteFile(dir / "vistram.cfg", "[VISTWEB]\n" + settings);
    vwtest::WriteRequest(path, serverName, "/cgi-bin/BLAST.cgi", dir / "post1.tmp", response, dir / "vistram");
  }
};

}  // namespace

TEST(Exchange, HeaderBlockByteForByteAndTheAnswerAsReceived) {
  LoopbackServer server({"once"});
  Request request("HTTP://" + server.Port("127.0.0.1"), "PROGRAM=blastp&DATABASE=swissprot");
  RecordingProgress progress;
  auto descriptors = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
  const auto before = descriptors();
  RunVistWeb(request.path, progress);
  EXPECT_EQ(descriptors(), before);  // the connection and the files are closed
  ASSERT_EQ(server.RequestCount(), 1);
  EXPECT_EQ(server.Request(1),
            "POST /cgi-bin/BLAST.cgi HTTP/1.0\n"
            "User-Agent: VistWeb\n"
            "Connection: Keep-Alive\n"
            "Content-type: application/x-www-form-urlencoded\n"
            "Content-Length: 33\n\n"
            "PROGRAM=blastp&DATABASE=swissprot");
  EXPECT_EQ(ReadFile(request.response),
            "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<HTML>the answer</HTML>\n");
  EXPECT_TRUE(progress.shown);
  std::vector<std::string> expected{"Connecting Web server...", "Connecting server...", "Sending request..."};
  ASSERT_GE(progress.lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(progress.lines.begin(), progress.lines.begin() + 3), expected);
  EXPECT_EQ(progress.lines.back(), "Reading 68 bytes.");
}

// How an exchange ends: by the answer's length, its last chunk, the server
// closing, the run's time limit (a silent server), or after exactly one
// exchange with a host whose name lacks "ncbi" even though it answers as the
// NCBI server does.
TEST(Exchange, EndsWhenTheAnswerIsCompleteOrTheServerStops) {
  const std::string page = ReadFile(kOldNcbiReport);
  struct Case {
    std::vector<std::string> server;
    const char* settings;
    std::string start;  // how the response begins
    bool wholePage;     // the page stands complete at the end of the response
  } cases[] = {
      {{"keepalive", "--page", kOldNcbiReport}, "TIME_LIMIT=6\n", "HTTP/1.0 200 OK", true},
      {{"chunked", "--page", kOldNcbiReport}, "TIME_LIMIT=6\n", "HTTP/1.1 200 OK", false},
      {{"earlyclose", "--page", kOldNcbiReport}, "TIME_LIMIT=6\n", "HTTP/1.0 200 OK\r\nContent-Le", false},
      {{"silent"}, "TIME_LIMIT=2\n", "", false},
      {{"oldncbi", "--waits", "0"}, "POLL_INTERVAL=1\n", "HTTP/1.0 200 OK", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.server[0]);
    // The kept-alive servers send more bytes three seconds after their
    // answer: a helper that stops at the answer's end never sees them.
    LoopbackServer server(c.server);
    Request request("http://" + server.Port("127.0.0.1"), "Q=1", c.settings);
    RecordingProgress progress;
    RunVistWeb(request.path, progress);
    EXPECT_EQ(server.RequestCount(), 1);
    const std::string response = ReadFile(request.response);
    EXPECT_EQ(response.substr(0, c.start.size()), c.start);
    if (c.start.empty()) {
      EXPECT_EQ(response, "");
    }
    EXPECT_TRUE(response.find("BABBLE") == std::string::npos) << "read past the answer";
    if (c.wholePage) {
      EXPECT_EQ(response.substr(response.size() - page.size()), page);
    }
  }
}

TEST(Exchange, QuietFailuresLeaveNoResponseAndMakeNoConnection) {
  LoopbackServer server({"once"});
  const std::string target = "http://" + server.Port("127.0.0.1");
  struct Case {
    const char* name;
    std::string body;     // the post file's content
    bool keepPostLine;    // the request names the post file
    bool removeRequest;
  } cases[] = {
      {"request file missing", "Q=1", true, true},
      {"no FilePostName line", "Q=1", false, false},
      {"empty post file", "", true, false},
  };
  for (const Case& c : cases) {
    Request request(target, c.body);
    if (!c.keepPostLine) {
      std::string text = ReadFile(request.path);
      text.erase(text.find("FilePostName="), text.find("FileNameResponse=") - text.find("FilePostName="));
      vwtest::WriteFile(request.path, text);
    }
    if (c.removeRequest) std::filesystem::remove(request.path);
    RecordingProgress progress;
    RunVistWeb(request.path, progress);
    EXPECT_FALSE(vwtest::Exists(request.response)) << c.name;
    EXPECT_FALSE(progress.shown) << c.name;  // no window either
  }
  EXPECT_EQ(server.RequestCount(), 0);

  // A host that refuses the connection: no response file either.
  Request refused("http://127.0.0.1:" + std::to_string(vwtest::UnusedPort()), "Q=1");
  RecordingProgress progress;
  RunVistWeb(refused.path, progress);
  EXPECT_TRUE(progress.shown);
  EXPECT_FALSE(vwtest::Exists(refused.response));
}

TEST(NcbiSequence, OldFormPagesArePolledWithTheRidUntilFinal) {
  LoopbackServer server({"oldncbi", "--waits", "1", "--page", kOldNcbiReport});
  TempFolder dir;
  HelperSettings settings;
  settings.pollInterval = 1;
  RecordingProgress progress;
  Endpoint endpoint = ParseEndpoint("http:", server.Port("127.0.0.1"));
  RunNcbiSequence(progress, endpoint, "POST /cgi-bin/BLAST/nph-blast", "PROGRAM=blastp&QUERY=MKV", dir / "res.vist",
                  settings, RunClock(20));
  ASSERT_EQ(server.RequestCount(), 3);
  const std::string poll =
      "RID=abc-9&DESCRIPTIONS=100&ALIGNMENTS=250&ALIGNMENT_VIEW=0&&HTML=on&OVERVIEW=on&REFRESH_DELAY=4";
  EXPECT_EQ(vwtest::RequestBody(server.Request(2)), poll);
  EXPECT_EQ(server.Request(3), server.Request(2));
  EXPECT_EQ(server.Request(2).substr(0, 40), "POST /cgi-bin/BLAST/nph-blast HTTP/1.0\nU");
  std::string response = ReadFile(dir / "res.vist");
  EXPECT_EQ(response.substr(0, 15), "HTTP/1.0 200 OK");
  EXPECT_NE(response.find(ReadFile(kOldNcbiReport)), std::string::npos);
  EXPECT_TRUE(progress.Saw("Requesting results..."));
  EXPECT_EQ(TestFichier(dir / "res.vist"), kReportBlastHtml);  // as the workbench will open it
}

TEST(NcbiSequence, UrlApiIsAskedForStatusThenTheTextReport) {
  LoopbackServer server({"urlapi", "--waits", "2", "--page", kData + "/url_api_report.txt"});
  TempFolder dir;
  HelperSettings settings;
  settings.pollInterval = 1;
  settings.email = "lab@example.org";
  RecordingProgress progress;
  Endpoint endpoint = ParseEndpoint("http:", server.Port("127.0.0.1"));
  RunNcbiSequence(progress, endpoint, "POST /Blast.cgi",
                  "CMD=Put&PROGRAM=blastp&DATABASE=swissprot&QUERY=MKVLA&DESCRIPTIONS=20&ALIGNMENTS=10&",
                  dir / "res.vist", settings, RunClock(30));
  ASSERT_EQ(server.RequestCount(), 5);
  EXPECT_EQ(vwtest::RequestBody(server.Request(1)),
            "CMD=Put&PROGRAM=blastp&DATABASE=swissprot&QUERY=MKVLA&DESCRIPTIONS=20&ALIGNMENTS=10&"
            "&tool=vistweb&email=lab%40example.org");
  for (int n = 2; n <= 4; ++n)
    EXPECT_EQ(vwtest::RequestBody(server.Request(n)),
              "CMD=Get&FORMAT_OBJECT=SearchInfo&RID=R42XYZ&tool=vistweb&email=lab%40example.org");
  EXPECT_EQ(vwtest::RequestBody(server.Request(5)),
            "CMD=Get&FORMAT_TYPE=Text&RID=R42XYZ&DESCRIPTIONS=20&ALIGNMENTS=10&tool=vistweb&email=lab%40example.org");
  // The report alone, as BLAST+ wrote it.
  EXPECT_EQ(ReadFile(dir / "res.vist"), ReadFile(kData + "/url_api_report.txt"));
  EXPECT_EQ(TestFichier(dir / "res.vist"), kReportBlastText);
}

TEST(NcbiSequence, UrlApiFailuresLeaveANoteForTheWorkbench) {
  struct Case {
    const char* final;
    int limit;
    std::string note;
  } cases[] = {
      {"FAILED", 20, "VistWeb: the BLAST server 127.0.0.1 reports the search R42XYZ as FAILED.\n"},
      {"UNKNOWN", 20, "VistWeb: the BLAST server 127.0.0.1 reports the search R42XYZ as UNKNOWN (expired or never known).\n"},
      {"WAITING", 3, "VistWeb: no result from 127.0.0.1 within 3 seconds (search R42XYZ).\n"},
      {"BROKEN", 20, "VistWeb: the report of search R42XYZ could not be read from 127.0.0.1.\n"},
  };
  for (const Case& c : cases) {
    LoopbackServer server({"urlapi", "--waits", "0", "--final", c.final});
    TempFolder dir;
    HelperSettings settings;
    settings.pollInterval = 1;
    Progress quiet;
    RunNcbiSequence(quiet, ParseEndpoint("http:", server.Port("127.0.0.1")), "POST /Blast.cgi", "CMD=Put&QUERY=MKV",
                    dir / "res.vist", settings, RunClock(c.limit));
    EXPECT_EQ(ReadFile(dir / "res.vist"), c.note) << c.final;
  }
}
