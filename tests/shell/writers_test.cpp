// Every writer of the program, tried on the targets that lost data before
// they all went through SafeFile: a write-protected file, a file with its own
// mode, a symbolic link and a FIFO.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "vistram/platform/recording_platform.h"
#include "vistram/shell/batch.h"
#include "vistram/base/profile.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int Batch(std::vector<std::string> args) {
  args.insert(args.begin(), "vistram");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int code = -1;
  RunBatchIfRequested(static_cast<int>(args.size()), argv.data(), code);
  return code;
}

struct Writer {
  const char* name;
  const char* file;  // the target's name
  std::function<bool(const fs::path& input, const fs::path& target)> write;
};

const Writer kWriters[] = {
    {"tsv", "out.tsv", [](const fs::path& in, const fs::path& t) { return Batch({"--export-tsv", in, "-o", t}) == 0; }},
    {"saved results", "out.vist",
     [](const fs::path& in, const fs::path& t) { return Batch({"--save", in, "-o", t}) == 0; }},
    {"html", "out_main.html",  // the first of the four files
     [](const fs::path& in, const fs::path& t) {
       return Batch({"--export-html", in, "-o", t.parent_path() / "out.html"}) == 0;
     }},
    {"hca plot", "out.hca",
     [](const fs::path& in, const fs::path& t) { return Batch({"--hca", in.parent_path() / "seq.fasta", "-o", t}) == 0; }},
    {"profile", "vistram.cfg",
     [](const fs::path&, const fs::path& t) {
       ProfileFile p;
       return p.Set("gui_pref", "LBLINES", "3") && p.Save(t);
     }},
};

class WritersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "writers.XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    report_ = dir_ / "report.txt";
    fs::copy_file(fs::path(VISTRAM_TEST_DATA_DIR) / "blast" / "blast_legacy_text_ncbi" /
                      "biopython_text_2011L_blastp_003.txt",
                  report_);
    std::ofstream(dir_ / "seq.fasta") << ">s\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHF\n";
    platform_.SetProgramPath((dir_ / "vistram").string());
    SetCurrentPlatform(&platform_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
  fs::path report_;
  RecordingPlatform platform_;
};

// Each writer: a write-protected target refused (as an ordinary user: root
// may write anything), a file's own mode kept, a link written through, a FIFO
// written in place.
TEST_F(WritersTest, ProtectedFilesModesLinksAndFifos) {
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    const fs::path target = dir_ / w.file;
    std::ofstream(target) << "protected";
    ::chmod(target.c_str(), 0444);
    const pid_t child = ::fork();
    if (child == 0) {
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
      ::_exit(w.write(report_, target) ? 1 : 0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Slurp(target), "protected");

    ::chmod(target.c_str(), 0604);
    ASSERT_TRUE(w.write(report_, target));
    const std::string written = Slurp(target);
    EXPECT_NE(written, "protected");
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0604u);

    fs::rename(target, dir_ / "real");
    fs::create_symlink("real", target);
    ASSERT_TRUE(w.write(report_, target));
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(Slurp(dir_ / "real"), written);
    fs::remove(target);
    fs::remove(dir_ / "real");

    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    std::string piped;
    std::thread reader([&] { piped = Slurp(target); });
    EXPECT_TRUE(w.write(report_, target));
    reader.join();
    EXPECT_EQ(piped, written);
    EXPECT_TRUE(fs::is_fifo(target));
    fs::remove(target);
  }
}

}  // namespace
