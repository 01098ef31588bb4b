// What the end-to-end tests of the request path share: the real web helper
// built beside the program, the loopback servers of the helper's tests, and
// a start of the helper in which the test's NCBI host name reaches loopback.
#pragma once
#include <string>

#include "vistweb/vistweb_test_support.h"
#include "web/web_test_support.h"

namespace webtest {

inline const std::string kVistweb = VISTRAM_BINARY_DIR "/bin/vistweb";
// The NCBI host of the tests: a name holding "ncbi" makes the helper follow
// the BLAST server's search.
inline const std::string kNcbiHost = "blast.ncbi.test";

// True when a private mount namespace can be had (the host name of the test
// is resolved in one).
inline bool PrivateNamespaces() { return vwtest::RunProgram({"unshare", "-rm", "true"}) == 0; }

// Writes <root>/vistweb-ncbi: it starts the real helper in a private mount
// namespace whose /etc/hosts (a file of the installation) sends kNcbiHost to
// 127.0.0.1. The machine's own files are never touched. Returns its path.
inline std::string WriteNcbiHelper(const Installation& inst) {
  WriteAll(inst.Path("hosts"), "127.0.0.1 localhost\n127.0.0.1 " + kNcbiHost + "\n");
  const std::string wrapper = inst.Path("vistweb-ncbi");
  WriteAll(wrapper, "#!/bin/sh\nexec unshare -rm sh -c 'mount --bind \"$0\" /etc/hosts && exec \"$1\" \"$2\"' '" +
                        inst.Path("hosts") + "' '" + kVistweb + "' \"$1\"\n");
  chmod(wrapper.c_str(), 0700);
  return wrapper;
}

// Points the installation at the URL API server on `port`: the BLAST-2
// server, the accepted hosts, and the helper's settings in vistram.cfg (a
// one-second poll, a bounded run, the e-mail address sent to NCBI).
inline void UseUrlApiServer(Installation& inst, int port) {
  inst.SetKey("blast2.cfg", "SERVER_BLAST", "http://" + kNcbiHost + ":" + std::to_string(port));
  inst.SetKey("vistram.cfg", "ACCEPTED_SERVERS", kNcbiHost);
  inst.SetKey("vistram.cfg", "POLL_INTERVAL", "1");
  inst.SetKey("vistram.cfg", "TIME_LIMIT", "60");
  inst.SetKey("vistram.cfg", "EMAIL", "tester@example.org");
}

// The report the loopback URL API server gives for a finished search.
inline std::string UrlApiReport() { return VISTWEB_TEST_SOURCE_DIR "/../data/vistweb/url_api_report.txt"; }

}  // namespace webtest
