#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>

#include <mutex>
#include <set>

#include "vistram/platform/recording_platform.h"
#include "vistram/web/form_encoding.h"
#include "vistram/web/request_config.h"
#include "vistram/web/request_file.h"
#include "vistram/web/request_launch.h"
#include "web_test_support.h"

using webtest::Installation;
using webtest::ReadAll;

namespace {

TEST(FormEncoding, ConvertToMimeNameFollowsTheEncodingTable) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a b", "a+b"},
      {"x(1)", "x%281%29"},
      {"1e-5", "1e%2d5"},
      {"A_B|C", "A%5FB%7CC"},
      {"a+b<c>", "a%2bb%3Cc%3E"},
      {"k=v&w=%", "k=v&w=%"},
      {",:/*.;\"'[]", ""},
      {"\r\n", "%0D%0A"},
      // Line feeds take six characters of a room of three per input character.
      {"\n\n\n", "%0D%0A"},
      {"\n\n\na", "%0D%0A%0D%0A"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertToMimeName(c.in), c.out) << c.in;
}

TEST(FormEncoding, ConvertToSeqOnlyKeepsLettersOnly) {
  EXPECT_EQ(ConvertToSeqOnly("MKV 12\n*LL"), "MKVLL");
  EXPECT_EQ(ConvertToSeqOnly("ac-gt\r\n>x_Y"), "acgtxY");
  EXPECT_EQ(ConvertToSeqOnly("12 *-"), "");
}

RequestFields SampleFields() {
  RequestFields f;
  f.jobNumber = "resAbC123";
  f.serverName = "HTTPS://Blast.NCBI.nlm.nih.gov";
  f.action = std::string(kActionOpenBlast);
  f.method = "POST";
  f.requestPath = "/Blast.cgi";
  f.postFile = "/c/post1.tmp";
  f.responseFile = "/c/resAbC123.vist";
  f.callBack = "/opt/v/vistram";
  return f;
}

TEST(RequestFile, IsWrittenByteForByteWithTheServerInLowerCase) {
  EXPECT_EQ(FormatRequestFile(SampleFields()),
            "[REQUEST_INFO]\nJobNumber=resAbC123\nServerName=https://blast.ncbi.nlm.nih.gov\n"
            "Action=ACT_OPENBLAST\nMethod=POST /Blast.cgi\nFilePostName=/c/post1.tmp\n"
            "FileNameResponse=/c/resAbC123.vist\nCallBack=/opt/v/vistram\n\n\n");
  RequestFields bad = SampleFields();
  bad.postFile = "/c/p\nFileNameResponse=/etc/x";
  EXPECT_EQ(FormatRequestFile(bad), "");
}

TEST(RequestFile, ValuesAreFoundAnywhereInALineAfterTheFirstEquals) {
  const std::string text = "[REQUEST_INFO]\r\nJobNumber=j\r\nx FilePostName=/a=b c\r\nFileNameResponse=/r.vist";
  std::string v;
  EXPECT_TRUE(FindRequestValue(text, "FilePostName", v));
  EXPECT_EQ(v, "/a=b c");
  EXPECT_TRUE(FindRequestValue(text, "FileNameResponse", v));
  EXPECT_EQ(v, "/r.vist");
  EXPECT_FALSE(FindRequestValue(text, "CallBack", v));
  EXPECT_TRUE(FindRequestValue("K=" + std::string(300, 'a') + "\n", "K", v));
  EXPECT_EQ(v.size(), 259u);
}

// The request path with a stand-in helper.
class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    SetWebAnswerHandler([this](const WebAnswer& a) {
      std::lock_guard lock(mutex_);
      answers_.push_back(a);
    });
  }
  void TearDown() override {
    WaitForWebRequests();
    SetWebAnswerHandler(nullptr);
    SetCurrentPlatform(nullptr);
  }
  std::string NewPost(const std::string& body) {
    std::string post;
    EXPECT_TRUE(CreateUniqueFile(inst_.Cache(), "post", "tmp", post));
    webtest::WriteAll(post, body);
    return post;
  }
  int Launch(const std::string& post, std::string_view ext = kExtensionBlast,
             std::string_view action = kActionOpenBlast) {
    return LanceRequete(nullptr, "HTTPS://Blast.NCBI.nlm.nih.gov", "/Blast.cgi", post, inst_.Cache(), ext, action,
                        "POST", inst_.Config(), "/opt/v/vistram");
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : platform_.Messages()) out.push_back(m.text);
    return out;
  }

  Installation inst_;
  RecordingPlatform platform_;
  std::mutex mutex_;
  std::vector<WebAnswer> answers_;
};

TEST_F(LaunchTest, AnswerIsHandedOverAndTheRequestFilesAreRemoved) {
  const std::string report = webtest::ShippedFile("sample.bla");
  inst_.WriteHelper(report);
  const std::string post = NewPost("PROGRAM=blastp");
  ASSERT_EQ(Launch(post), 1);
  WaitForWebRequests();

  ASSERT_EQ(answers_.size(), 1u);
  const std::string response = answers_[0].responseFile;
  EXPECT_EQ(answers_[0].action, "ACT_OPENBLAST");
  EXPECT_EQ(ReadAll(response), ReadAll(report));
  // The response file is res*.vist in the cache, its base name the job number.
  const std::string name = response.substr(response.rfind('/') + 1);
  EXPECT_EQ(response.substr(0, response.rfind('/')), inst_.Cache());
  EXPECT_EQ(name.rfind("res", 0), 0u);
  EXPECT_EQ(name.substr(name.size() - 5), ".vist");
  const std::string request = inst_.SeenRequest();
  EXPECT_EQ(request, "[REQUEST_INFO]\nJobNumber=" + name.substr(0, name.size() - 5) +
                         "\nServerName=https://blast.ncbi.nlm.nih.gov\nAction=ACT_OPENBLAST\nMethod=POST /Blast.cgi\n"
                         "FilePostName=" + post + "\nFileNameResponse=" + response +
                         "\nCallBack=/opt/v/vistram\n\n\n");
  EXPECT_EQ(inst_.SeenPost(), "PROGRAM=blastp");
  EXPECT_EQ(Texts(), std::vector<std::string>{"BLAST-2 done. Ready to \nopen the results file."});
  // Only the answer stays in the cache.
  EXPECT_EQ(webtest::FilesIn(inst_.Cache()), std::vector<std::string>{name});
  struct stat st {};
  ASSERT_EQ(stat(response.c_str(), &st), 0);
}

TEST_F(LaunchTest, AHelperThatWritesNothingLeavesNoResponseFile) {
  inst_.WriteHelper("");
  ASSERT_EQ(Launch(NewPost("x")), 1);
  WaitForWebRequests();
  // The box is shown; the answer is still handed over, so that the Open
  // command reports the file it cannot read.
  EXPECT_EQ(Texts(), std::vector<std::string>{"BLAST-2 done. Ready to \nopen the results file."});
  ASSERT_EQ(answers_.size(), 1u);
  EXPECT_FALSE(webtest::fs::exists(answers_[0].responseFile));
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
}

TEST_F(LaunchTest, TheHelpersNoteIsShownInsteadOfOpenedAndItLearnsTheConfiguration) {
  const std::string note = inst_.Path("note.txt");
  webtest::WriteAll(note, "VistWeb: the BLAST server h reports the search R1 as FAILED.\r\n");
  // The workbench's own VISTWEB_CONFIG gives way to the configuration in use.
  setenv("VISTWEB_CONFIG", "/elsewhere/vistram.cfg", 1);
  inst_.WriteHelper(note, "echo \"$VISTWEB_CONFIG\" > " + inst_.Path("seen-config") + "\n");
  ASSERT_EQ(Launch(NewPost("x")), 1);
  WaitForWebRequests();
  unsetenv("VISTWEB_CONFIG");
  EXPECT_EQ(ReadAll(inst_.Path("seen-config")), inst_.Config() + "\n");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"BLAST-2 done. Ready to \nopen the results file.",
                                               "VistWeb: the BLAST server h reports the search R1 as FAILED."}));
  EXPECT_EQ(platform_.Messages()[1].icon, MsgIcon::Error);
  EXPECT_TRUE(answers_.empty());
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
}

TEST(HelperNote, OnlyAFirstLineStartingVistWebIsANote) {
  Installation inst;
  const struct {
    const char* text;  // nullptr: no file
    bool note;
    const char* line;
  } cases[] = {
      {"VistWeb: clustalw failed: x\n", true, "VistWeb: clustalw failed: x"},
      {"VistWeb: no result\r\nmore\n", true, "VistWeb: no result"},
      {"VistWeb:", true, "VistWeb:"},
      {"BLASTP 2.12.0+\nVistWeb: in a report\n", false, ""},
      {" VistWeb: indented\n", false, ""},
      {"vistweb: lower case\n", false, ""},
      {"", false, ""},
      {nullptr, false, ""},
  };
  const std::string path = inst.Path("res.vist");
  for (const auto& c : cases) {
    webtest::fs::remove(path);
    if (c.text != nullptr) webtest::WriteAll(path, c.text);
    std::string line = "stale";
    EXPECT_EQ(ReadHelperNote(path, line), c.note) << (c.text ? c.text : "(none)");
    EXPECT_EQ(line, c.line) << (c.text ? c.text : "(none)");
  }
}

TEST_F(LaunchTest, AMissingHelperIsReportedAndItsRequestFileRemoved) {
  for (const char* value : {"", " ", "no-such-helper", "/nonexistent/vistweb"}) {
    platform_.Clear();
    inst_.SetKey("vistram.cfg", "VISTWEB", value);
    const std::string post = NewPost("x");
    ASSERT_EQ(Launch(post), 1) << value;
    WaitForWebRequests();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Unable to call 'Vist Web'."}) << value;
    // The post file stays; the request and response files are gone.
    EXPECT_EQ(webtest::FilesIn(inst_.Cache()), std::vector<std::string>{post.substr(post.rfind('/') + 1)}) << value;
    webtest::fs::remove(post);
  }
  inst_.RemoveKey("vistram.cfg", "VISTWEB");
  ASSERT_EQ(Launch(NewPost("x")), 1);
  WaitForWebRequests();
  EXPECT_EQ(Texts().back(), "Unable to call 'Vist Web'.");
  EXPECT_TRUE(answers_.empty());
}

TEST_F(LaunchTest, AnUnwritableCacheFailsBeforeAnyHelperRuns) {
  inst_.WriteHelper(webtest::ShippedFile("sample.bla"));
  const std::string post = NewPost("x");
  EXPECT_EQ(LanceRequete(nullptr, "http://h", "/p", post, inst_.Path("missing-folder"), kExtensionBlast,
                         kActionOpenBlast, "POST", inst_.Config(), "/v"),
            0);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Unable to create BLAST result file."});
  EXPECT_FALSE(webtest::fs::exists(post));
  EXPECT_FALSE(webtest::fs::exists(inst_.Path("seen-request-0")));
}

TEST_F(LaunchTest, ARequestFileRemovedUnderTheHelperIsReported) {
  inst_.WriteHelper(webtest::ShippedFile("sample.bla"), "rm -f \"$1\"\n");
  const std::string post = NewPost("x");
  ASSERT_EQ(Launch(post), 1);
  WaitForWebRequests();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"BLAST-2 done. Ready to \nopen the results file.",
                                               "Unable to create/read Web file."}));
  EXPECT_TRUE(answers_.empty());
  EXPECT_FALSE(webtest::fs::exists(post));
  // The answer the helper wrote stays; nothing else of the request.
  ASSERT_EQ(webtest::FilesIn(inst_.Cache()).size(), 1u);
  EXPECT_EQ(webtest::FilesIn(inst_.Cache())[0].rfind("res", 0), 0u);
}

TEST_F(LaunchTest, RequestsFinishingTogetherEachOpenTheirOwnAnswer) {
  // Each helper waits until both have started, so that they end together.
  inst_.WriteHelper(webtest::ShippedFile("sample.bla"),
                    "touch \"$1.started\"\nwhile [ $(ls " + inst_.Cache() +
                        " | grep -c started) -lt 2 ]; do sleep 0.05; done\n");
  ASSERT_EQ(Launch(NewPost("a")), 1);
  ASSERT_EQ(Launch(NewPost("b")), 1);
  WaitForWebRequests();
  ASSERT_EQ(answers_.size(), 2u);
  EXPECT_NE(answers_[0].responseFile, answers_[1].responseFile);
  for (const auto& a : answers_) EXPECT_EQ(ReadAll(a.responseFile), ReadAll(webtest::ShippedFile("sample.bla")));
}

// A post file that cannot be written whole (a file size limit, as a full
// disk) is refused and removed.
TEST(PostFile, AShortWriteIsRefused) {
  Installation inst;
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    std::string post;
    const bool refused = setrlimit(RLIMIT_FSIZE, &limit) == 0 && !WritePostFile(inst.Cache(), std::string(100000, 'x'), post);
    _exit(refused && post.empty() ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(webtest::FilesIn(inst.Cache()).empty());
}

TEST(UniqueFile, IsMadeExclusivelyForTheUserAlone) {
  Installation inst;
  std::set<std::string> names;
  for (int i = 0; i < 5; ++i) {
    std::string path;
    ASSERT_TRUE(CreateUniqueFile(inst.Cache(), "post", "tmp", path));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_size, 0);
    names.insert(path);
  }
  EXPECT_EQ(names.size(), 5u);
  std::string path;
  EXPECT_FALSE(CreateUniqueFile(inst.Path("missing"), "post", "tmp", path));
  EXPECT_TRUE(path.empty());
}

TEST(CacheFolder, FallsBackToTheTemporaryFolder) {
  Installation inst;
  EXPECT_EQ(CacheDirectory(inst.Config()), inst.Cache());
  for (const char* value : {"NO_CACHE_NAME", "", "x/NO_CACHE_NAME"}) {
    inst.SetKey("vistram.cfg", "CACHE", value);
    const char* tmp = std::getenv("TMPDIR");
    EXPECT_EQ(CacheDirectory(inst.Config()), tmp != nullptr && *tmp ? tmp : "/tmp") << value;
  }
  EXPECT_EQ(HelperProgramPath(inst.Config()), inst.Helper());
  inst.SetKey("vistram.cfg", "VISTWEB", "/usr/lib/x/vistweb");
  EXPECT_EQ(HelperProgramPath(inst.Config()), "/usr/lib/x/vistweb");
}

}  // namespace
