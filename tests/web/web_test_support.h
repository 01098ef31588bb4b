// A private installation (mkdtemp) for the web-request tests: the shipped
// configuration files, the cache in <root>/cache, a stand-in helper; and the
// real web helper against the loopback servers of its tests.
#pragma once
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "support/temp_folder.h"
#include "vistweb/vistweb_test_support.h"

namespace webtest {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
inline std::string ReadAll(const std::string& path) { return test_support::ReadWholeFile(path); }
inline void WriteAll(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
inline void Replace(std::string& text, const std::string& from, const std::string& to) {
  if (const auto at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
}
// A file of the program's data folder (<source>/data).
inline std::string ShippedFile(const std::string& name) {
  const std::string dir = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
  return dir.substr(0, dir.rfind("/tests/data")) + "/data/" + name;
}
inline std::string TestData(const std::string& name) { return std::string(VISTRAM_TEST_DATA_DIR) + "/" + name; }
// The names of the files of `dir`, sorted.
inline std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Installation {
 public:
  Installation() {
    fs::create_directories(Cache());
    for (const char* name : {"vistram.cfg", "blast2.cfg", "blast2db.cfg", "blast2org.txt", "clustalw.cfg"})
      fs::copy_file(ShippedFile(name), Path(name));
    SetKey("vistram.cfg", "CACHE", Cache().c_str());
  }
  std::string Path(const std::string& name) const { return root_ + "/" + name; }
  std::string Config() const { return Path("vistram.cfg"); }
  std::string Cache() const { return Path("cache"); }

  // Sets "key=value" in the file `name` (after its first section header when missing); null removes the key.
  void SetKey(const std::string& name, const std::string& key, const char* value) {
    std::string text = ReadAll(Path(name));
    const auto at = text.find("\n" + key + "=");
    const std::string line = value != nullptr ? key + "=" + value + "\n" : "";
    if (at != std::string::npos)
      text.replace(at + 1, text.find('\n', at + 1) - at, line);
    else
      text.insert(text.find("]\n", text.find("\n[")) + 2, line);
    WriteAll(Path(name), text);
  }

  // The stand-in helper: keeps its request file, its post file and VISTWEB_CONFIG as <root>/seen-{request,post,
  // config}<n>, then copies `answer` (when not empty) to the request's response path.
  void WriteHelper(const std::string& answer, const std::string& extra = "") const {
    std::string script = "#!/bin/sh\nn=$(ls " + root_ + " | grep -c '^seen-request')\ncp \"$1\" " + root_ +
                         "/seen-request$n\ncp \"$(sed -n 's/^FilePostName=//p' \"$1\")\" " + root_ +
                         "/seen-post$n\necho \"$VISTWEB_CONFIG\" > " + root_ + "/seen-config$n\n";
    if (!answer.empty()) script += "cp '" + answer + "' \"$(sed -n 's/^FileNameResponse=//p' \"$1\")\"\n";
    WriteAll(Path("vistweb"), script + extra);
    chmod(Path("vistweb").c_str(), 0700);
  }
  std::string Seen(std::string what, int n = 0) const { return ReadAll(Path("seen-" + what + std::to_string(n))); }

 private:
  test_support::TempFolder dir_;
  const std::string root_ = dir_.path();
};

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
  inst.SetKey("vistram.cfg", "VISTWEB", wrapper.c_str());
  inst.SetKey("blast2.cfg", "SERVER_BLAST", ("http://" + kNcbiHost + ":" + std::to_string(port)).c_str());
  inst.SetKey("vistram.cfg", "ACCEPTED_SERVERS", kNcbiHost.c_str());
  inst.SetKey("vistram.cfg", "POLL_INTERVAL", "1");
  inst.SetKey("vistram.cfg", "TIME_LIMIT", "60");
  inst.SetKey("vistram.cfg", "EMAIL", "tester@example.org");
}

}  // namespace webtest
