// What the web-request tests share: a private folder (mkdtemp) holding a
// copy of the shipped configuration files with the cache folder and the web
// helper pointed into it, and stand-in helpers written at test time.
#pragma once
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace webtest {

namespace fs = std::filesystem;

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
inline void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A file of the program's data folder (<source>/data).
inline std::string ShippedFile(const std::string& name) {
  std::string dir = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
  return dir.substr(0, dir.rfind("/tests/data")) + "/data/" + name;
}

// The files of `dir`, names only, sorted.
inline std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A private installation: <root>/vistram.cfg and the shipped request
// configuration files beside it, the cache in <root>/cache, the helper
// <root>/vistweb (written by WriteHelper), and the stand-in servers
// accepted.
class Installation {
 public:
  Installation() {
    char pattern[] = "/tmp/vistram_web_XXXXXX";
    const char* made = mkdtemp(pattern);
    root_ = made != nullptr ? made : "";
    fs::create_directories(Cache());
    for (const char* name : {"vistram.cfg", "blast2.cfg", "blast2db.cfg", "blast2org.txt", "clustalw.cfg"})
      fs::copy_file(ShippedFile(name), Path(name));
    std::string cfg = ReadAll(Config());
    Replace(cfg, "CACHE=NO_CACHE_NAME", "CACHE=" + Cache());
    WriteAll(Config(), cfg);
  }
  ~Installation() {
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  std::string Path(const std::string& name) const { return root_ + "/" + name; }
  std::string Config() const { return Path("vistram.cfg"); }
  std::string Blast2Config() const { return Path("blast2.cfg"); }
  std::string ClustalConfig() const { return Path("clustalw.cfg"); }
  std::string Cache() const { return Path("cache"); }
  std::string Helper() const { return Path("vistweb"); }

  // Replaces the line starting with "key=" in the file `name` (or adds it
  // after the first section header when missing).
  void SetKey(const std::string& name, const std::string& key, const std::string& value) {
    std::string text = ReadAll(Path(name));
    const std::string prefix = "\n" + key + "=";
    auto at = text.find(prefix);
    if (at != std::string::npos) {
      const auto end = text.find('\n', at + 1);
      text.replace(at + 1, end - at - 1, key + "=" + value);
    } else {
      const auto header = text.find("]\n", text.find("\n["));
      text.insert(header + 2, key + "=" + value + "\n");
    }
    WriteAll(Path(name), text);
  }
  void RemoveKey(const std::string& name, const std::string& key) {
    std::string text = ReadAll(Path(name));
    const auto at = text.find("\n" + key + "=");
    if (at != std::string::npos) text.erase(at + 1, text.find('\n', at + 1) - at);
    WriteAll(Path(name), text);
  }

  // Writes the stand-in helper: a shell script that keeps a copy of the
  // request file it was given as <root>/seen-request-<n>, and then, when
  // `answer` is not empty, copies that file to the request's response path.
  void WriteHelper(const std::string& answer, const std::string& extra = "") const {
    std::string script = "#!/bin/sh\n";
    script += "n=$(ls " + root_ + " | grep -c '^seen-request-')\n";
    script += "cp \"$1\" " + root_ + "/seen-request-$n\n";
    script += "cp \"$(sed -n 's/^FilePostName=//p' \"$1\")\" " + root_ + "/seen-post-$n\n";
    if (!answer.empty()) script += "cp '" + answer + "' \"$(sed -n 's/^FileNameResponse=//p' \"$1\")\"\n";
    script += extra;
    WriteAll(Helper(), script);
    chmod(Helper().c_str(), 0700);
  }
  std::string SeenRequest(int n = 0) const { return ReadAll(Path("seen-request-" + std::to_string(n))); }
  std::string SeenPost(int n = 0) const { return ReadAll(Path("seen-post-" + std::to_string(n))); }

  static void Replace(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
  }

 private:
  std::string root_;
};

}  // namespace webtest
