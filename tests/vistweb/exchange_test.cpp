// The helper's exchanges against loopback servers: in-process, and through
// the vistweb program (HTTPS with certificate checks, a server whose name
// holds "ncbi", its window under Xvfb).
#include <gtest/gtest.h>

#include "vistram/results/report_kind.h"
#include "vistweb/ncbi_polling.h"
#include "vistweb/run.h"
#include "vistweb_test_support.h"

using namespace vwtest;

namespace {

const std::string kData = VISTWEB_TEST_DATA_DIR, kUrlApiReport = kData + "/url_api_report.txt";
// The finished page of the old NCBI server: a real legacy BLAST HTML report of the readers' test data.
const std::string kOldNcbiReport = kData + "/../blast/blast_html_legacy_www/biopython_bt019.html";
const std::string kAnswer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<HTML>the answer</HTML>\n";
const std::string kHead = "\nUser-Agent: VistWeb\nConnection: Keep-Alive\nContent-type: application/x-www-form-urlencoded";

// How an exchange ends: by the server closing after its answer, the answer's
// length, its last chunk, the run's time limit (a silent server), after one
// exchange with a host whose name lacks "ncbi" though it answers as NCBI
// does; or quietly before any (no window, no response file) for a broken
// request. The header block goes byte for byte, the answer is kept as received.
TEST(Exchange, WaysAnExchangeEnds) {
  enum Break { kNone, kNoRequestFile, kNoPostLine, kEmptyPost, kRefused };
  // start: how the response begins (null: no response file); wholePage: it ends with the whole page.
  const struct { std::vector<std::string> server; const char* settings; Break broken; const char* start; bool whole; }
  cases[] = {{{"once"}, "", kNone, kAnswer.c_str(), false},
             {{"keepalive", "--page", kOldNcbiReport}, "TIME_LIMIT=6\n", kNone, "HTTP/1.0 200 OK", true},
             {{"chunked", "--page", kOldNcbiReport}, "TIME_LIMIT=6\n", kNone, "HTTP/1.1 200 OK", false},
             {{"earlyclose"}, "TIME_LIMIT=6\n", kNone, "HTTP/1.0 200 OK\r\nContent-Le", false},
             {{"silent"}, "TIME_LIMIT=2\n", kNone, "", false},
             {{"oldncbi", "--waits", "0"}, "POLL_INTERVAL=1\n", kNone, "HTTP/1.0 200 OK", false},
             {{"once"}, "", kNoRequestFile, nullptr, false}, {{"once"}, "", kNoPostLine, nullptr, false},
             {{"once"}, "", kEmptyPost, nullptr, false},     {{"once"}, "", kRefused, nullptr, false}};
  const std::string page = ReadFile(kOldNcbiReport);
  auto descriptors = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.server[0] + " " + std::to_string(c.broken));
    LoopbackServer server(c.server);
    const std::string host = c.broken == kRefused ? "127.0.0.1:1" : server.Port("127.0.0.1");
    Request request("HTTP://" + host, "/cgi-bin/BLAST.cgi", c.broken == kEmptyPost ? "" : "PROGRAM=blastp&DATABASE=x",
                    c.settings);
    if (c.broken == kNoPostLine) request.dir.Write("web.tmp", "ServerName=http://" + host + "\nMethod=POST /x\n"
                                                              "FileNameResponse=" + request.response + "\n");
    if (c.broken == kNoRequestFile) std::filesystem::remove(request.path);
    RecordingProgress progress;
    const auto before = descriptors();
    RunVistWeb(request.path, progress);
    EXPECT_EQ(descriptors(), before);  // the connection and the files are closed
    EXPECT_EQ(server.RequestCount(), c.broken == kNone ? 1 : 0);
    EXPECT_EQ(progress.shown, c.broken == kNone || c.broken == kRefused);
    ASSERT_EQ(Exists(request.response), c.start != nullptr);
    if (c.start == nullptr) continue;
    const std::string response = ReadFile(request.response);
    EXPECT_TRUE(response.starts_with(c.start) && (*c.start != '\0' || response.empty())) << response.substr(0, 40);
    EXPECT_EQ(response.find("BABBLE"), std::string::npos) << "read past the answer";
    EXPECT_TRUE(!c.whole || response.ends_with(page));
    if (c.start != kAnswer.c_str()) continue;
    EXPECT_EQ(server.Request(1), "POST /cgi-bin/BLAST.cgi HTTP/1.0" + kHead + "\nContent-Length: 25\n\nPROGRAM=blastp&DATABASE=x");
    ASSERT_GE(progress.lines.size(), 4u);
    progress.lines.erase(progress.lines.begin() + 3, progress.lines.end() - 1);  // the first three, and the last
    EXPECT_EQ(progress.lines, (std::vector<std::string>{"Connecting Web server...", "Connecting server...",
                                                        "Sending request...", "Reading 68 bytes."}));
  }
}

HelperSettings Polls(const char* email = "") { HelperSettings s; s.pollInterval = 1, s.email = email; return s; }

TEST(NcbiSequence, OldPagesAndTheUrlApiAreFollowedToTheirReportOrANote) {
  LoopbackServer server({"oldncbi", "--waits", "1", "--page", kOldNcbiReport});
  TempFolder dir;
  RecordingProgress progress;
  RunNcbiSequence(progress, ParseEndpoint("http:", server.Port("127.0.0.1")), "POST /cgi-bin/BLAST/nph-blast",
                  "PROGRAM=blastp&QUERY=MKV", dir / "res.vist", Polls(), RunClock(20));
  ASSERT_EQ(server.RequestCount(), 3);
  EXPECT_EQ(server.Request(2), "POST /cgi-bin/BLAST/nph-blast HTTP/1.0" + kHead + "\nContent-Length: 95\n\n"
            "RID=abc-9&DESCRIPTIONS=100&ALIGNMENTS=250&ALIGNMENT_VIEW=0&&HTML=on&OVERVIEW=on&REFRESH_DELAY=4");
  EXPECT_EQ(server.Request(3), server.Request(2));
  const std::string response = ReadFile(dir / "res.vist");
  EXPECT_TRUE(response.starts_with("HTTP/1.0 200 OK") && response.find(ReadFile(kOldNcbiReport)) != std::string::npos);
  EXPECT_TRUE(Holds(progress.lines, "Requesting results..."));
  EXPECT_EQ(TestFichier(dir / "res.vist"), kReportBlastHtml);  // as the workbench will open it
  // Today's server: status requests, then the text report alone, as BLAST+ wrote it; or a note.
  LoopbackServer api({"urlapi", "--waits", "2", "--page", kUrlApiReport});
  Progress quiet;
  RunNcbiSequence(quiet, ParseEndpoint("http:", api.Port("127.0.0.1")), "POST /Blast.cgi",
                  "CMD=Put&PROGRAM=blastp&DATABASE=swissprot&QUERY=MKVLA&DESCRIPTIONS=20&ALIGNMENTS=10&",
                  dir / "res.vist", Polls("lab@example.org"), RunClock(30));
  ASSERT_EQ(api.RequestCount(), 5);
  const std::string tool = "&tool=vistweb&email=lab%40example.org";
  EXPECT_EQ(RequestBody(api.Request(1)),
            "CMD=Put&PROGRAM=blastp&DATABASE=swissprot&QUERY=MKVLA&DESCRIPTIONS=20&ALIGNMENTS=10&" + tool);
  for (int n : {2, 3, 4}) EXPECT_EQ(RequestBody(api.Request(n)), "CMD=Get&FORMAT_OBJECT=SearchInfo&RID=R42XYZ" + tool);
  EXPECT_EQ(RequestBody(api.Request(5)), "CMD=Get&FORMAT_TYPE=Text&RID=R42XYZ&DESCRIPTIONS=20&ALIGNMENTS=10" + tool);
  EXPECT_EQ(ReadFile(dir / "res.vist"), ReadFile(kUrlApiReport));
  EXPECT_EQ(TestFichier(dir / "res.vist"), kReportBlastText);
  const std::pair<const char*, std::string> failures[] = {
      {"FAILED", "the BLAST server 127.0.0.1 reports the search R42XYZ as FAILED."},
      {"UNKNOWN", "the BLAST server 127.0.0.1 reports the search R42XYZ as UNKNOWN (expired or never known)."},
      {"WAITING", "no result from 127.0.0.1 within 3 seconds (search R42XYZ)."},
      {"BROKEN", "the report of search R42XYZ could not be read from 127.0.0.1."}};
  for (const auto& [final, note] : failures) {
    LoopbackServer failing({"urlapi", "--waits", "0", "--final", final});
    RunNcbiSequence(quiet, ParseEndpoint("http:", failing.Port("127.0.0.1")), "POST /Blast.cgi", "CMD=Put&QUERY=MKV",
                    dir / "res.vist", Polls(), RunClock(std::string(final) == "WAITING" ? 3 : 20));
    EXPECT_EQ(ReadFile(dir / "res.vist"), "VistWeb: " + note + "\n") << final;
  }
}

// The program over HTTPS: a server certificate signed by the test's own
// authority is taken only with that authority trusted, a self-signed one
// never; a host named blast.ncbi.test (sent to 127.0.0.1 by an /etc/hosts of
// the program's own private mount namespace) is followed through the URL API.
TEST(HelperProgram, HttpsVerifiesTheServerAndAnNcbiHostIsFollowed) {
  TempFolder certs;
  ASSERT_EQ(RunProgram({"sh", "-c", "cd \"$0\" && openssl ecparam -name prime256v1 -out c.pem && "
                        "N=DNS:localhost,DNS:blast.ncbi.test && R='req -newkey ec:c.pem -nodes' && "
                        "openssl $R -x509 -keyout ca.key -out ca.pem -subj /CN=CA && "
                        "openssl $R -keyout server.key -out s.csr -subj /CN=localhost && echo subjectAltName=$N > n && "
                        "openssl x509 -req -in s.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem "
                        "-extfile n && openssl $R -x509 -keyout rogue.key -out rogue.pem -subj /CN=localhost "
                        "-addext subjectAltName=$N",
                        certs.path()}),
            0);
  const struct { const char* name; bool caTrusted, accepted; } cases[] = {
      {"server", true, true}, {"rogue", true, false}, {"server", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.caTrusted ? " with" : " without") + " the test CA");
    LoopbackServer server({"once", "--cert", certs / c.name + ".pem", "--key", certs / c.name + ".key"});
    Request run("https://" + server.Port("localhost"), "/search", "Q=1");
    EXPECT_EQ(RunProgram({VISTWEB_PROGRAM, run.path}, {"VISTWEB_CA_FILE=" + (c.caTrusted ? certs / "ca.pem" : "")}), 0);
    EXPECT_EQ(Exists(run.response) ? ReadFile(run.response) : "none", c.accepted ? kAnswer : "none");
    EXPECT_EQ(server.Request(1), c.accepted ? "POST /search HTTP/1.0\nHost: " + server.Port("localhost") + kHead +
                                                  "\nContent-Length: 3\n\nQ=1"
                                            : "");
  }
  LoopbackServer server({"urlapi", "--page", kUrlApiReport,
                         "--cert", certs / "server.pem", "--key", certs / "server.key"});
  Request run("https://" + server.Port("blast.ncbi.test"), "/Blast.cgi", "CMD=Put&PROGRAM=blastp&QUERY=MKV");
  const std::string line = "mount --bind '" + run.dir.Write("hosts", "127.0.0.1 blast.ncbi.test\n") +
                           "' /etc/hosts && exec '" VISTWEB_PROGRAM "' '" + run.path + "'";
  const std::vector<std::string> env{"VISTWEB_POLL_INTERVAL=1", "VISTWEB_CA_FILE=" + certs / "ca.pem"};
  if (RunProgram({"unshare", "-rm", "sh", "-c", line}, env) && RunProgram({"unshare", "-m", "sh", "-c", line}, env))
    GTEST_SKIP() << "no private mount namespace";
  EXPECT_EQ(server.RequestCount(), 4);
  EXPECT_EQ(ReadFile(run.response), ReadFile(kUrlApiReport));
}

TEST(HelperProgram, ShowsItsWindowUnderXvfb) {
  if (RunProgram({"sh", "-c", "command -v xvfb-run && command -v xdotool"})) GTEST_SKIP() << "no xvfb-run or xdotool";
  LoopbackServer server({"silent"});  // the window stays up until the run's end
  Request run("http://" + server.Port("127.0.0.1"), "/cgi-bin/x", "Q=1");
  const std::string script = "\"$0\" \"$1\" & timeout 5 xdotool search --sync --name '^VistWeb$' >/dev/null && "
                             "echo seen > \"$2\"; wait";
  // Display numbers are searched from one of our own, away from other tests.
  EXPECT_EQ(RunProgram({"xvfb-run", "-a", "-n", std::to_string(200 + getpid() % 700), "sh", "-c", script,
                        VISTWEB_PROGRAM, run.path, run.dir / "seen"}, {"VISTWEB_TIME_LIMIT=4"}),
            0);
  EXPECT_EQ(ReadFile(run.dir / "seen"), "seen\n");
  EXPECT_EQ(server.RequestCount(), 1);
  EXPECT_TRUE(Exists(run.response));
}

}  // namespace
