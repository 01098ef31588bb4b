// The end-to-end tests of the request path: the real web helper, the loopback
// servers of its tests, and the helper started where the test's NCBI host
// name reaches loopback.
#pragma once
#include <string>

#include "vistweb/vistweb_test_support.h"
#include "web/web_test_support.h"

namespace webtest {

inline const std::string kVistweb = VISTRAM_BINARY_DIR "/bin/vistweb";
inline const std::string kNcbiHost = "blast.ncbi.test";  // "ncbi" in a name: the helper follows the search
inline const std::string kUrlApiReport = VISTWEB_TEST_SOURCE_DIR "/../data/vistweb/url_api_report.txt";

inline bool PrivateNamespaces() { return vwtest::RunProgram({"unshare", "-rm", "true"}) == 0; }

// Points the installation at the URL API server on `port` through
// <root>/vistweb-ncbi: the real helper in a private mount namespace whose
// /etc/hosts (a file of the installation) sends kNcbiHost to 127.0.0.1; a
// one-second poll, a bounded run and the e-mail address sent to NCBI.
inline void UseUrlApiServer(Installation& inst, int port) {
  WriteAll(inst.Path("hosts"), "127.0.0.1 localhost\n127.0.0.1 " + kNcbiHost + "\n");
  const std::string wrapper = inst.Path("vistweb-ncbi");
  WriteAll(wrapper, "#!/bin/sh\nexec unshare -rm sh -c 'mount --bind \"$0\" /etc/hosts && exec \"$1\" \"$2\"' '" +
                        inst.Path("hosts") + "' '" + kVistweb + "' \"$1\"\n");
  chmod(wrapper.c_str(), 0700);
  inst.SetKey("vistram.cfg", "VISTWEB", wrapper);
  inst.SetKey("blast2.cfg", "SERVER_BLAST", "http://" + kNcbiHost + ":" + std::to_string(port));
  inst.SetKey("vistram.cfg", "ACCEPTED_SERVERS", kNcbiHost);
  inst.SetKey("vistram.cfg", "POLL_INTERVAL", "1");
  inst.SetKey("vistram.cfg", "TIME_LIMIT", "60");
  inst.SetKey("vistram.cfg", "EMAIL", "tester@example.org");
}

}  // namespace webtest
