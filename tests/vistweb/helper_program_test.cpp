// The vistweb program itself: HTTPS with certificate checks, a server whose
// name holds "ncbi" (resolved to loopback in a private mount namespace), and
// a run with its window under Xvfb.
#include <gtest/gtest.h>

#include "vistweb_test_support.h"

using vwtest::LoopbackServer;
using vwtest::ReadFile;
using vwtest::RunProgram;
using vwtest::TempFolder;
using vwtest::WriteFile;

namespace {

const std::string kData = VISTWEB_TEST_DATA_DIR;
// The finished page of the old NCBI server: a real legacy BLAST HTML report
// kept with the readers' test data.
const std::string kOldNcbiReport = kData + "/../blast/blast_html_legacy_www/biopython_bt019.html";

// A certificate authority of the test, a server certificate it signed for
// localhost and blast.ncbi.test, and a self-signed one for the same names.
class TestCertificates {
 public:
  TestCertificates() {
    const char* script =
        "cd \"$0\" && openssl ecparam -name prime256v1 -out curve.pem && "
        "openssl req -x509 -newkey ec:curve.pem -nodes -keyout ca.key -out ca.pem -days 2 -subj '/CN=VistWeb test CA' && "
        "openssl req -newkey ec:curve.pem -nodes -keyout server.key -out server.csr -subj /CN=localhost && "
        "echo subjectAltName=DNS:localhost,DNS:blast.ncbi.test > names.cnf && "
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 "
        "-extfile names.cnf && "
        "openssl req -x509 -newkey ec:curve.pem -nodes -keyout rogue.key -out rogue.pem -days 2 -subj /CN=localhost "
        "-addext subjectAltName=DNS:localhost,DNS:blast.ncbi.test";
    ok_ = RunProgram({"sh", "-c", script, dir_.Path()}) == 0;
  }
  bool Ok() const { return ok_; }
  std::string Ca() const { return dir_ / "ca.pem"; }
  std::string Cert() const { return dir_ / "server.pem"; }
  std::string Key() const { return dir_ / "server.key"; }
  std::string Rogue() const { return dir_ / "rogue.pem"; }
  std::string RogueKey() const { return dir_ / "rogue.key"; }

 private:
  TempFolder dir_;
  bool ok_ = false;
};

struct ProgramRun {
  TempFolder dir;
  std::string request = dir / "web1.tmp";
  std::string response = dir / "res1.vist";
  ProgramRun(const std::string& serverName, const std::string& method, const std::string& body) {
    WriteFile(dir / "post1.tmp", body);
    vwtest::WriteRequest(request, serverName, method, dir / "post1.tmp", response, dir / "vistram");
  }
};

// Runs `command` with /etc/hosts replaced, for it alone, by one that sends
// blast.ncbi.test to 127.0.0.1. False when no private mount namespace can be had.
bool RunWithNcbiName(const TempFolder& dir, const std::vector<std::string>& command, const std::vector<std::string>& env) {
  WriteFile(dir / "hosts", "127.0.0.1 localhost\n127.0.0.1 blast.ncbi.test\n");
  std::string line = "mount --bind '" + (dir / "hosts") + "' /etc/hosts && exec";
  for (const std::string& word : command) line += " '" + word + "'";
  if (RunProgram({"unshare", "-rm", "true"}) == 0) return RunProgram({"unshare", "-rm", "sh", "-c", line}, env) == 0;
  if (getuid() == 0 && RunProgram({"unshare", "-m", "true"}) == 0)
    return RunProgram({"unshare", "-m", "sh", "-c", line}, env) == 0;
  return false;
}

}  // namespace

TEST(HelperProgram, HttpsVerifiesTheServerAgainstTheTrustedAuthorities) {
  TestCertificates certs;
  ASSERT_TRUE(certs.Ok());
  struct Case {
    const char* name;
    std::string cert, key;
    bool trusted;
  } cases[] = {
      {"signed by the test CA", certs.Cert(), certs.Key(), true},
      {"self-signed", certs.Rogue(), certs.RogueKey(), false},
  };
  for (const Case& c : cases) {
    LoopbackServer server({"once", "--cert", c.cert, "--key", c.key});
    ProgramRun run("https://" + server.Port("localhost"), "/search", "Q=1");
    EXPECT_EQ(RunProgram({VISTWEB_PROGRAM, run.request}, {"VISTWEB_CA_FILE=" + certs.Ca(), "VISTWEB_TIME_LIMIT=20"}), 0);
    if (c.trusted) {
      EXPECT_EQ(server.Request(1),
                "POST /search HTTP/1.0\nHost: " + server.Port("localhost") + "\nUser-Agent: VistWeb\nConnection: Keep-Alive\n"
                "Content-type: application/x-www-form-urlencoded\nContent-Length: 3\n\nQ=1");
      EXPECT_EQ(ReadFile(run.response), "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<HTML>the answer</HTML>\n");
    } else {
      EXPECT_EQ(server.RequestCount(), 0) << c.name;
      EXPECT_FALSE(vwtest::Exists(run.response)) << c.name;
    }
  }
  // Without the test CA among the trusted ones, its server is refused too.
  LoopbackServer server({"once", "--cert", certs.Cert(), "--key", certs.Key()});
  ProgramRun run("https://" + server.Port("localhost"), "/search", "Q=1");
  RunProgram({VISTWEB_PROGRAM, run.request}, {"VISTWEB_TIME_LIMIT=20"});
  EXPECT_FALSE(vwtest::Exists(run.response));
}

TEST(HelperProgram, AnNcbiHostIsPolledOldAndNew) {
  TestCertificates certs;
  ASSERT_TRUE(certs.Ok());
  {
    LoopbackServer server({"oldncbi", "--waits", "1", "--page", kOldNcbiReport});
    ProgramRun run("http://" + server.Port("blast.ncbi.test"), "/cgi-bin/BLAST/nph-blast", "PROGRAM=blastp&QUERY=MKV");
    if (!RunWithNcbiName(run.dir, {VISTWEB_PROGRAM, run.request}, {"VISTWEB_POLL_INTERVAL=1", "VISTWEB_TIME_LIMIT=20"}))
      GTEST_SKIP() << "no private mount namespace for a host name of the test";
    EXPECT_EQ(server.RequestCount(), 3);
    EXPECT_NE(ReadFile(run.response).find(ReadFile(kOldNcbiReport)), std::string::npos);
  }
  // Today's server: HTTPS and the URL API.
  LoopbackServer server({"urlapi", "--waits", "1", "--page", kData + "/url_api_report.txt", "--cert", certs.Cert(),
                         "--key", certs.Key()});
  ProgramRun run("https://" + server.Port("blast.ncbi.test"), "/Blast.cgi", "CMD=Put&PROGRAM=blastp&QUERY=MKV");
  ASSERT_TRUE(RunWithNcbiName(run.dir, {VISTWEB_PROGRAM, run.request},
                              {"VISTWEB_POLL_INTERVAL=1", "VISTWEB_TIME_LIMIT=30", "VISTWEB_CA_FILE=" + certs.Ca()}));
  EXPECT_EQ(server.RequestCount(), 4);
  EXPECT_EQ(ReadFile(run.response), ReadFile(kData + "/url_api_report.txt"));
}

TEST(HelperProgram, ShowsItsWindowUnderXvfb) {
  if (RunProgram({"sh", "-c", "command -v xvfb-run && command -v xdotool"}) != 0)
    GTEST_SKIP() << "xvfb-run or xdotool is not installed";
  // A server that never answers keeps the window up until the run's end.
  LoopbackServer server({"silent"});
  ProgramRun run("http://" + server.Port("127.0.0.1"), "/cgi-bin/x", "Q=1");
  const std::string script =
      "\"$0\" \"$1\" & helper=$!; i=0; while [ $i -lt 50 ]; do "
      "if xdotool search --name '^VistWeb$' >/dev/null; then echo seen > \"$2\"; break; fi; "
      "sleep 0.1; i=$((i+1)); done; wait $helper";
  // Display numbers are searched from one of our own, away from other tests.
  const std::string display = std::to_string(200 + getpid() % 700);
  EXPECT_EQ(RunProgram({"xvfb-run", "-a", "-n", display, "sh", "-c", script, VISTWEB_PROGRAM, run.request,
                        run.dir / "seen"},
                       {"VISTWEB_TIME_LIMIT=4"}, 60),
            0);
  EXPECT_EQ(ReadFile(run.dir / "seen"), "seen\n");
  EXPECT_EQ(server.RequestCount(), 1);
  EXPECT_TRUE(vwtest::Exists(run.response));
}
