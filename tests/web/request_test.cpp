// The web requests' model: the lists and builders of the BLAST-2 and
// ClustalW sheets, their post and request files, and the launch through a
// stand-in helper.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <mutex>
#include <regex>
#include <set>

#include "vistram/base/profile.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/web/blast2_request.h"
#include "vistram/web/clustal_request.h"
#include "vistram/web/form_encoding.h"
#include "vistram/web/request_config.h"
#include "vistram/web/request_file.h"
#include "vistram/web/request_launch.h"
#include "web_test_support.h"

using namespace webtest;

namespace {

const char kDone[] = "BLAST-2 done. Ready to \nopen the results file.";
const fs::perms kUserOnly = fs::perms::owner_read | fs::perms::owner_write;

class WebTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    platform_.SetProgramPath("/opt/v/vistram");
    SetWebAnswerHandler([this](const WebAnswer& a) { std::lock_guard lock(mutex_); answers_.push_back(a); });
  }
  void TearDown() override { WaitForWebRequests(), SetWebAnswerHandler(nullptr), SetCurrentPlatform(nullptr); }
  // Loads the BLAST-2 sheet's first and third pages as the sheet does.
  bool LoadBlast2() {
    ResetBlast2Values(blast_);
    blast_.blast2ConfigPath = inst_.Path("blast2.cfg"), blast_.configPath = inst_.Config();
    platform_.Clear();
    const bool loaded = GlobalInitPage1(nullptr, blast_) && GlobalInitPage3(nullptr, blast_);
    if (loaded) ApplyPageDefaults(blast_);
    return loaded;
  }
  bool LoadClustal() {
    ResetClustalValues(clustal_);
    clustal_.clustalConfigPath = inst_.Path("clustalw.cfg"), clustal_.configPath = inst_.Config();
    return GlobalInitCluPage2(nullptr, clustal_);
  }
  std::string Body(const std::string& sequence = "A") const { return BuildBlast2Body(blast_, sequence); }
  void Set(const std::string& key, const char* value) { inst_.SetKey("blast2.cfg", key, value); }
  Strings Texts() const {
    Strings out;
    for (const auto& m : platform_.Messages()) out.push_back(m.text);
    return out;
  }
  std::string NewPost(const std::string& body) { return WritePostFile(inst_.Cache(), body, post_) ? post_ : ""; }
  int Launch(const std::string& post) {
    return LanceRequete(nullptr, "HTTPS://Blast.NCBI.nlm.nih.gov", "/Blast.cgi", post, inst_.Cache(),
                        kExtensionBlast, kActionOpenBlast, "POST", inst_.Config(), "/opt/v/vistram");
  }

  Installation inst_;
  RecordingPlatform platform_;
  std::mutex mutex_;
  std::vector<WebAnswer> answers_;
  BLAST_DATA blast_;
  CLUSTAL_DATA clustal_;
  std::string server_, path_, post_, cache_;  // of a request made
};

TEST(RequestParts, EncodingListsKindsAndRequestFileValues) {
  const std::pair<std::string, std::string> cases[] = {
      {"a b", "a+b"}, {"x(1)", "x%281%29"}, {"1e-5", "1e%2d5"}, {"A_B|C", "A%5FB%7CC"},
      {"a+b<c>", "a%2bb%3Cc%3E"}, {"k=v&w=%", "k=v&w=%"}, {",:/*.;\"'[]", ""}, {"\r\n", "%0D%0A"},
      // A line feed takes six characters of a room of three per input character.
      {"\n\n\n", "%0D%0A"}, {"\n\n\na", "%0D%0A%0D%0A"}, {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(ConvertToMimeName(in), out) << in;
  EXPECT_EQ(ConvertToSeqOnly("MKV 12\n*LL"), "MKVLL");
  EXPECT_EQ(ConvertToSeqOnly("ac-gt\r\n>x_Y"), "acgtxY");
  std::string v, w;
  EXPECT_TRUE(ChoiceAt("blastp,blastn,blastx", 2, v) && ChoiceAt("a,,b", 2, w));
  EXPECT_EQ(v + " " + w, "blastx b");
  for (int bad : {3, -1}) EXPECT_FALSE(ChoiceAt("blastp,blastn,blastx", bad, v)) << bad;
  EXPECT_FALSE(ChoiceAt("a,,b", 1, v) || ChoiceAt("NOT_USE", 0, v));
  EXPECT_EQ(SplitChoices("abcdefghijklmnopqrstuvwxyz,x"), (Strings{"abcdefghijklmnopqrs", "x"}));
  EXPECT_EQ(DatabaseEntries("swissprot=SwissProt&nr=Non redundant&junk&"),
            (Strings{"SwissProt [swissprot]", "Non redundant [nr]"}));
  EXPECT_TRUE(DatabaseEntries("NOT_USE").empty());
  EXPECT_EQ(EntryKey("A [b] [c]") + EntryKey("no key"), "b");
  for (const char* program : {"blastp", "BLASTX", "psi-blastp"}) EXPECT_TRUE(IsProteinProgram(program)) << program;
  for (const char* program : {"tblastx", "tblastn", "blastn"}) EXPECT_FALSE(IsProteinProgram(program)) << program;
  const struct { const char* server; ServerKind kind; int logo; } servers[] = {
      {"https://blast.ncbi.nlm.nih.gov", ServerKind::Ncbi, 1004}, {"http://www.expasy.ch", ServerKind::Expasy, 1005},
      {"http://www.infobiogen.fr", ServerKind::Other, 1007},      {"http://labb.example", ServerKind::Other, 1006},
      {"http://laba.example", ServerKind::Other, 1008},           {"http://infobiogen.ncbi.x", ServerKind::Ncbi, 1007},
      {"local://clustalw", ServerKind::Other, 0}};
  for (const auto& s : servers) EXPECT_TRUE(ServerKindOf(s.server) == s.kind && ServerLogo(s.server) == s.logo);
  const std::string text = "[REQUEST_INFO]\r\nJobNumber=j\r\nx FilePostName=/a=b c\r\nFileNameResponse=/r.vist";
  EXPECT_TRUE(FindRequestValue(text, "FilePostName", v) && FindRequestValue(text, "FileNameResponse", w));
  EXPECT_EQ(v + "|" + w, "/a=b c|/r.vist");
  EXPECT_FALSE(FindRequestValue(text, "CallBack", v));
  EXPECT_TRUE(FindRequestValue("K=" + std::string(300, 'a') + "\n", "K", v) && v.size() == 259u) << v.size();
  RequestFields bad;
  bad.serverName = "http://h", bad.postFile = "/c/p\nFileNameResponse=/etc/x";
  EXPECT_EQ(FormatRequestFile(bad), "");
}

TEST_F(WebTest, ProgramDatabasesAndListsReachTheirFields) {
  const struct { const char *def, *program, *database, *field; } cases[] = {
      {"2", "blastx", "Non-redundant protein sequences [nr]", "&PROTDB="},
      {"4", "tblastx", "Core nucleotide database [core_nt]", "&NUCLDB="},
      {"1", "blastn", "Core nucleotide database [core_nt]", "&NUCLDB="}};
  Set("DBAA_FIELD", "PROTDB"), Set("DBNA_FIELD", "NUCLDB");
  for (const auto& c : cases) {
    Set("PRG_DEF", c.def);
    ASSERT_TRUE(LoadBlast2()) << c.program;
    EXPECT_EQ(blast_.program + " " + blast_.database, std::string(c.program) + " " + c.database);
    EXPECT_TRUE(Has(Body(), c.field + EntryKey(c.database) + "&")) << c.program;
  }
  Set("PRG_DEF", "0");
  WriteAll(inst_.Path("blast2db.cfg"), "[Prot-db]\nswissprot=SwissProt\n[GENETIC_CODE]\nbad\n");
  EXPECT_TRUE(LoadBlast2());
  WriteAll(inst_.Path("blast2db.cfg"), "[Prot-db]\nswissprot=SwissProt\n");
  // Without a genetic code section, or an expect list, the value stays empty and is sent empty.
  Set("EXPECT_LIST", nullptr), Set("ADVANC_OPT", "WORD_SIZE 2");
  ASSERT_TRUE(LoadBlast2());
  EXPECT_EQ(blast_.database + "|" + blast_.geneticCode + "|" + blast_.expect, "SwissProt [swissprot]||");
  EXPECT_TRUE(Has(Body(), "&EXPECT=&") && Has(Body(), "&OTHER_ADVANCED=WORD_SIZE 2&")) << Body();
}

// A configuration that cannot be loaded (null value: key removed; null key:
// the databases file's text) or a request refused: its message, nothing written.
TEST_F(WebTest, Blast2LoadingAndSendingRefusals) {
  const std::string noList = "List of BLAST programs not found.", noDb = "Databases/Genetic codes file not found.",
                    noServer = "BLAST server name not found.",
                    unknown = "Please use either ExPASy or Infobiogen\nor NCBI WWW server.";
  const struct { const char *key, *value; std::string message; bool loads; } cases[] = {
      {"PRG_DEF", "5", "Default BLAST program name not found.", false}, {"PRG_LIST", nullptr, noList, false},
      {"PRG_LIST", "", noList, false}, {"DB_FILE", "missing.cfg", noDb, false}, {"DB_FILE", nullptr, noDb, false},
      {"EXPECT_DEF", "7", "Default expect value not found.", false},
      {"FILTER_DEF", "-1", "Default filter name not found.", false},
      {"DESCRI_DEF", "9", "Default descriptions number not found.", false},
      {"ALIGNS_DEF", "9", "Default alignments number not found.", false},
      {"MATRIX_DEF", "9", "Default matrix name not found.", false}, {"SERVER_BLAST", "", noServer, true},
      {"SERVER_BLAST", "NO_SERVER_NAME", noServer, true}, {"SERVER_BLAST", "https://blast.example.org", unknown, true},
      {"SERVER_BLAST", "https://BLAST.NCBI.NLM.NIH.GOV", unknown, true},
      {"ACCEPTED_SERVERS", "127.0.0.1:8080, localhost", unknown, true},  // in vistram.cfg
      {"REQUEST_BLAST", "", "BLAST method not found.", true},
      {nullptr, "[Nucl-db]\nnt=NT\n", "List of database names not found.", false},
      {nullptr, "[Prot-db]\n[GENETIC_CODE]\n1=Standard\n", "List of database names not found.", false}};
  ASSERT_TRUE(LoadBlast2());
  EXPECT_FALSE(CreateBlast2Request(nullptr, blast_, server_, path_, post_, cache_));
  EXPECT_EQ(Texts(), Strings{"No sequence entered."});
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key ? c.key : "") + "=" + (c.value ? c.value : "(none)"));
    const std::string file = !c.key ? "blast2db.cfg" : c.key == std::string("ACCEPTED_SERVERS") ? "vistram.cfg"
                                                                                                : "blast2.cfg";
    const std::string shipped = ReadAll(inst_.Path(file));
    c.key ? inst_.SetKey(file, c.key, c.value) : WriteAll(inst_.Path(file), c.value);
    ASSERT_EQ(LoadBlast2(), c.loads);
    blast_.sequence = "MKV";
    if (c.loads) EXPECT_FALSE(CreateBlast2Request(nullptr, blast_, server_, path_, post_, cache_));
    EXPECT_TRUE(server_.empty() && path_.empty() && post_.empty() && cache_.empty());
    EXPECT_EQ(Texts(), Strings{c.message});
    EXPECT_TRUE(FilesIn(inst_.Cache()).empty());
    WriteAll(inst_.Path(file), shipped);
  }
  // Servers named by ACCEPTED_SERVERS are taken; the post file is the user's alone.
  inst_.SetKey("vistram.cfg", "ACCEPTED_SERVERS", "127.0.0.1:8080, localhost");
  for (const char* address : {"http://127.0.0.1:8080", "http://localhost"}) {
    Set("SERVER_BLAST", address);
    ASSERT_TRUE(LoadBlast2());
    blast_.sequence = "MKV";
    ASSERT_TRUE(CreateBlast2Request(nullptr, blast_, server_, path_, post_, cache_)) << address;
    EXPECT_EQ(fs::status(post_).permissions(), kUserOnly);
  }
}

TEST_F(WebTest, ServerKindRulesForGappedFilterTitleAndOrganisms) {
  const struct { const char* server; int gapped; bool sent; } cases[] = {
      {"https://blast.ncbi.nlm.nih.gov", 1, false}, {"https://blast.ncbi.nlm.nih.gov", 0, true},
      {"http://www.infobiogen.fr", 1, true}, {"http://www.infobiogen.fr", 0, false}, {"http://expasy.org", 1, true}};
  for (const auto& c : cases) {
    Set("SERVER_BLAST", c.server);
    ASSERT_TRUE(LoadBlast2());
    blast_.gappedFlag = c.gapped;
    EXPECT_EQ(Has(Body(), "&UNGAPPED_ALIGNMENT=yes&"), c.sent) << c.server << " " << c.gapped;
  }
  // ExPASy: no title, no organisms, its own filter field.
  EXPECT_EQ(blast_.organism + std::to_string(blast_.titleFlag), "NOT_USE0");
  blast_.title = ">t";
  for (const auto& [filter, sent] : {std::pair{"yes", "&FILTER=T&"}, std::pair{"no", ""}, std::pair{"L", ""}}) {
    blast_.filter = filter;
    const std::string body = Body("MKV");
    EXPECT_TRUE(Has(body, "FILTER") == (*sent != '\0') && Has(body, sent) && Has(body, "&QUERY=MKV&") &&
                !Has(body, "ENTREZ_QUERY")) << body;
  }
  Set("SERVER_BLAST", "https://blast.ncbi.nlm.nih.gov"), Set("GAPPED_FIELD", "NOCOMMA"), Set("ORG_DEF", "1");
  ASSERT_TRUE(LoadBlast2());
  blast_.gappedFlag = 0;
  EXPECT_TRUE(!Has(Body(), "NOCOMMA") && blast_.organism == "Mus musculus" && Has(Body(), "ENTREZ_QUERY=Mus musculus&"))
      << Body();
  Set("ORG_FILE", "missing.txt");
  EXPECT_TRUE(LoadBlast2() && blast_.organism == "NOT_USE");
}

TEST_F(WebTest, SavingDefaultsChangesOnlyTheirKeys) {
  ASSERT_TRUE(LoadBlast2());
  std::string expected = ReadAll(inst_.Path("blast2.cfg"));
  Blast2Defaults d{2, 0, 4, 3, 1, 0, "WORD_SIZE 2"};  // expect, filter, descriptions, alignments, matrix, gapped
  ASSERT_TRUE(SaveBlast2Defaults(blast_, d));
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"EXPECT_DEF=4", "EXPECT_DEF=2"}, {"FILTER_DEF=1", "FILTER_DEF=0"}, {"DESCRI_DEF=2", "DESCRI_DEF=4"},
           {"ALIGNS_DEF=1", "ALIGNS_DEF=3"}, {"MATRIX_DEF=0", "MATRIX_DEF=1"}, {"GAPPED_CHK=1", "GAPPED_CHK=0"},
           {"ADVANC_OPT=NOT_USE", "ADVANC_OPT=WORD_SIZE 2"}})
    Replace(expected, from, to);
  EXPECT_EQ(ReadAll(inst_.Path("blast2.cfg")), expected);
  // vistram.cfg keeps its relative name for the same file; another file is named in full.
  EXPECT_EQ(GetProfileString(inst_.Config(), kBlast2Section, "CONFIG_FILE", "", 260), "blast2.cfg");
  ASSERT_TRUE(LoadBlast2());
  EXPECT_EQ(blast_.expect + std::to_string(blast_.gappedFlag), "1e-30");
  fs::copy_file(inst_.Path("blast2.cfg"), inst_.Path("other.cfg"));
  blast_.blast2ConfigPath = inst_.Path("other.cfg");
  ASSERT_TRUE(SaveBlast2Defaults(blast_, d));
  EXPECT_EQ(GetProfileString(inst_.Config(), kBlast2Section, "CONFIG_FILE", "", 260), inst_.Path("other.cfg"));
  d.advanced = "two\nlines";
  EXPECT_FALSE(SaveBlast2Defaults(blast_, d));
  // The configuration files are named beside vistram.cfg, and must be readable.
  EXPECT_EQ(ReadConfigFileSetting(inst_.Config(), "CLUSTAL"), inst_.Path("clustalw.cfg"));
  for (const char* value : {"NOT_USE", "", "missing.cfg"}) {
    inst_.SetKey("vistram.cfg", "CONFIG_FILE", value);
    EXPECT_EQ(ReadConfigFileSetting(inst_.Config(), "BLAST2_SEARCH"), "") << value;
  }
}

TEST_F(WebTest, ClustalDefaultsFollowTheirIndexesAndNothingIsSentWithoutSequencesServerOrPath) {
  inst_.SetKey("clustalw.cfg", "OUTO_LIST", "aligned,input"), inst_.SetKey("clustalw.cfg", "OUTO_DEF", "1");
  ASSERT_TRUE(LoadClustal());
  EXPECT_EQ(clustal_.outputOrder, "input");
  for (const char* key : {"OUTO_DEF", "QT_DEF", "MATRIX_DEF"}) {
    inst_.SetKey("clustalw.cfg", key, "9");
    EXPECT_FALSE(LoadClustal()) << key;
    inst_.SetKey("clustalw.cfg", key, "0");
  }
  inst_.SetKey("clustalw.cfg", "QT_LIST", nullptr), inst_.SetKey("clustalw.cfg", "GEXT_VAL", nullptr);
  ASSERT_TRUE(LoadClustal());
  EXPECT_EQ(clustal_.guideTree + clustal_.gapExtension, "");
  EXPECT_FALSE(CreateClustalRequest(nullptr, clustal_, server_, path_, post_, cache_));  // no sequences
  const std::string shipped = ReadAll(inst_.Path("clustalw.cfg"));
  for (const char* key : {"SERVER_CLU", "REQUEST_CLU", ""}) {
    if (*key != '\0') inst_.SetKey("clustalw.cfg", key, nullptr);
    else inst_.SetKey("vistram.cfg", "CACHE", inst_.Path("missing").c_str());  // no room for the post file
    ASSERT_TRUE(LoadClustal());
    clustal_.sequences = ">a\nMKV\n";
    EXPECT_FALSE(CreateClustalRequest(nullptr, clustal_, server_, path_, post_, cache_)) << key;
    EXPECT_TRUE(server_.empty() && path_.empty() && post_.empty() && cache_.empty());
    WriteAll(inst_.Path("clustalw.cfg"), shipped);
  }
  EXPECT_TRUE(platform_.Messages().empty() && FilesIn(inst_.Cache()).empty());
}

// Every request file and post file the sheets write, byte for byte (the
// unique parts of the names as patterns), and the answer handed over.
TEST_F(WebTest, RequestAndPostFilesOfEachSheet) {
  const std::string report = ShippedFile("sample.bla"), cache = inst_.Cache();
  const std::string clustalBody = "outorder=aligned&guidetree=slow&matrix=gonnet&gapopen=15&NOT_USE=0.2&sequence="
                                  "%3Eseq1+first%0D%0AMKV%2dLL%0D%0A%3Eseq2%0D%0AMKALL%0D%0A";
  const std::string ncbi = R"(ServerName=https://blast\.ncbi\.nlm\.nih\.gov
Action=ACT_OPENBLAST
Method=POST /Blast\.cgi
)";
  // request: a pattern of the lines between the job number and the post file.
  const struct { const char* name; std::function<int()> send; std::string request, post; const char* ext; } cases[] = {
      {"BLAST-2", [&] { return LoadBlast2() ? blast_.sequence = "mkv 12\n*l", Apply_Request(nullptr, blast_) : 0; },
       ncbi, "PROGRAM=blastp&DATABASE=nr&ENTREZ%5FQUERY=&QUERY=%3Emy%5Fsequence%0D%0Amkvl&EXPECT=10&FILTER=L"
             "&DESCRIPTIONS=100&ALIGNMENTS=50&MATRIX=BLOSUM62&GENETIC%5FCODE=1&CMD=Put", ".vist"},
      {"ClustalW", [&] {  // without GEXT_FIELD
         return LoadClustal() ? clustal_.gapOpen = "15", clustal_.sequences = ">seq.1 first\nMKV-LL\n>seq2\nMKALL\n",
                                Apply_Clu_Method(nullptr, clustal_) : 0; },
       "ServerName=local://clustalw\nAction=ACT_OPENMSF\nMethod=POST /clustalw\n",
       "POST /clustalw HTTP/1.0|User-Agent: Netscape/4.0|Content-type: application/x-www-form-urlencoded|"
       "Content-length:" + std::to_string(clustalBody.size()) + "||" + clustalBody, ".msf"},
      {"server in capitals", [&] { return Launch(NewPost("PROGRAM=blastp")); }, ncbi, "PROGRAM=blastp", ".vist"}};
  inst_.WriteHelper(report);
  inst_.SetKey("clustalw.cfg", "GEXT_FIELD", nullptr);
  for (int n = 0; n < 3; ++n) {
    const auto& c = cases[n];
    SCOPED_TRACE(c.name);
    platform_.Clear();
    ASSERT_EQ(c.send(), 1);
    WaitForWebRequests();
    const std::string request = inst_.Seen("request", n);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(request, m, std::regex("\\[REQUEST_INFO\\]\nJobNumber=(res\\w{6})\n" + c.request +
                                                        "FilePostName=" + cache + "/post\\w{6}\\.tmp\n" +
                                                        "FileNameResponse=" +
                                                        cache + "/\\1\\" + c.ext + "\nCallBack=/opt/v/vistram\n\n\n")))
        << request;
    EXPECT_EQ(inst_.Seen("post", n), c.post);
    EXPECT_EQ(inst_.Seen("config", n), inst_.Config() + "\n");
    ASSERT_EQ(answers_.size(), n + 1u);
    EXPECT_EQ(answers_[n].responseFile + " " + answers_[n].action,
              cache + "/" + m[1].str() + c.ext + (n == 1 ? " ACT_OPENMSF" : " ACT_OPENBLAST"));
    EXPECT_EQ(ReadAll(answers_[n].responseFile), ReadAll(report));
    EXPECT_EQ(Texts(), Strings{kDone});
    EXPECT_EQ(FilesIn(cache), Strings{m[1].str() + c.ext});  // only the answer stays
    fs::remove(answers_[n].responseFile);
  }
}

// What the helper leaves (or cannot do) decides the boxes, the answer and
// the files that stay in the cache: a first line starting "VistWeb:" is the
// helper's note, shown instead of opened.
TEST_F(WebTest, HelperOutcomes) {
  const std::string report = ReadAll(ShippedFile("sample.bla")), failed = "VistWeb: the search R1 FAILED.";
  const std::string cantCall = "Unable to call 'Vist Web'.";
  // answer: what the stand-in writes (null: nothing); extra: more lines of it; helper: VISTWEB of the
  // configuration (null: no such key); left: the starts of the names of the files left in the cache.
  const struct { const char* name; const char* answer; std::string extra; const char* helper; Strings texts;
                 bool answered; std::string left; } cases[] = {
      {"writes nothing", nullptr, "", "vistweb", {kDone}, true, ""},
      {"an empty answer", "", "", "vistweb", {kDone}, true, ""},
      {"a note", "VistWeb: the search R1 FAILED.\r\nmore\n", "", "vistweb", {kDone, failed}, false, ""},
      {"a bare note", "VistWeb:", "", "vistweb", {kDone, "VistWeb:"}, false, ""},
      {"a later line", "BLASTP 2.12.0+\nVistWeb: in a report\n", "", "vistweb", {kDone}, true, "res "},
      {"indented", " VistWeb: x\n", "", "vistweb", {kDone}, true, "res "},
      {"lower case", "vistweb: x\n", "", "vistweb", {kDone}, true, "res "},
      {"request file removed", report.c_str(), "rm -f \"$1\"\n", "vistweb", {kDone, "Unable to create/read Web file."},
       false, "res "},
      {"empty helper", report.c_str(), "", "", {cantCall}, false, "pos "},
      {"blank helper", report.c_str(), "", " ", {cantCall}, false, "pos "},
      {"relative helper", report.c_str(), "", "no-such-helper", {cantCall}, false, "pos "},
      {"absolute helper", report.c_str(), "", "/nonexistent/vistweb", {cantCall}, false, "pos "},
      {"no helper key", report.c_str(), "", nullptr, {cantCall}, false, "pos "}};
  setenv("VISTWEB_CONFIG", "/elsewhere/vistram.cfg", 1);  // gives way to the configuration in use
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform_.Clear(), answers_.clear();
    for (const auto& f : FilesIn(inst_.Cache())) fs::remove(inst_.Cache() + "/" + f);
    if (c.answer != nullptr) WriteAll(inst_.Path("answer"), c.answer);
    inst_.WriteHelper(c.answer != nullptr ? inst_.Path("answer") : "", c.extra);
    inst_.SetKey("vistram.cfg", "VISTWEB", c.helper);
    ASSERT_EQ(Launch(NewPost("x")), 1);
    WaitForWebRequests();
    EXPECT_EQ(Texts(), c.texts);
    if (c.texts.size() > 1 && c.texts[1][0] == 'V') EXPECT_EQ(platform_.Messages()[1].icon, MsgIcon::Error);  // a note
    ASSERT_EQ(answers_.size(), c.answered ? 1u : 0u);
    const std::string& response = c.answered ? answers_[0].responseFile : "";  // an empty one is removed
    EXPECT_EQ(fs::exists(response) ? ReadAll(response) : "-", c.answered && c.answer && *c.answer ? c.answer : "-");
    std::string left;
    for (const std::string& f : FilesIn(inst_.Cache())) left += f.substr(0, 3) + " ";
    EXPECT_EQ(left, c.left);
  }
  unsetenv("VISTWEB_CONFIG");
  EXPECT_EQ(inst_.Seen("config", 2), inst_.Config() + "\n");
}

// A cache that cannot take the response fails before any helper runs;
// requests that end together each open their own answer.
TEST_F(WebTest, AnUnwritableCacheAndRequestsFinishingTogether) {
  inst_.WriteHelper(ShippedFile("sample.bla"), "touch \"$1.started\"\nwhile [ $(ls " + inst_.Cache() +
                                                   " | grep -c started) -lt 2 ]; do sleep 0.05; done\n");
  const std::string post = NewPost("x");
  EXPECT_EQ(LanceRequete(nullptr, "http://h", "/p", post, inst_.Path("missing"), kExtensionBlast, kActionOpenBlast,
                         "POST", inst_.Config(), "/v"), 0);
  EXPECT_EQ(Texts(), Strings{"Unable to create BLAST result file."});
  EXPECT_FALSE(fs::exists(post) || fs::exists(inst_.Path("seen-request0")));
  ASSERT_TRUE(Launch(NewPost("a")) == 1 && Launch(NewPost("b")) == 1);  // each waits until both have started
  WaitForWebRequests();
  ASSERT_EQ(answers_.size(), 2u);
  EXPECT_NE(answers_[0].responseFile, answers_[1].responseFile);
  for (const auto& a : answers_) EXPECT_EQ(ReadAll(a.responseFile), ReadAll(ShippedFile("sample.bla")));
}

TEST(RequestFiles, UniqueFilesPostFilesAndTheCacheFolder) {
  Installation inst;
  std::set<std::string> names;
  for (std::string path; names.size() < 5 && CreateUniqueFile(inst.Cache(), "post", "tmp", path); names.insert(path))
    EXPECT_TRUE(fs::status(path).permissions() == kUserOnly && fs::file_size(path) == 0 && !names.count(path)) << path;
  EXPECT_EQ(FilesIn(inst.Cache()).size(), 5u);
  for (const std::string& name : names) fs::remove(name);
  std::string path;
  EXPECT_FALSE(CreateUniqueFile(inst.Path("missing"), "post", "tmp", path) || !path.empty());
  // A post file that cannot be written whole (a file size limit, as a full disk) is refused and removed.
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    _exit(setrlimit(RLIMIT_FSIZE, &limit) == 0 && !WritePostFile(inst.Cache(), std::string(100000, 'x'), path) &&
                  path.empty() ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(FilesIn(inst.Cache()).empty());

  EXPECT_EQ(CacheDirectory(inst.Config()), inst.Cache());
  const char* tmp = std::getenv("TMPDIR");
  for (const char* value : {"NO_CACHE_NAME", "", "x/NO_CACHE_NAME"}) {
    inst.SetKey("vistram.cfg", "CACHE", value);
    EXPECT_EQ(CacheDirectory(inst.Config()), tmp != nullptr && *tmp ? tmp : "/tmp") << value;
  }
  const std::string helper = HelperProgramPath(inst.Config());
  inst.SetKey("vistram.cfg", "VISTWEB", "/usr/lib/x/vistweb");
  EXPECT_EQ(helper + " " + HelperProgramPath(inst.Config()), inst.Path("vistweb") + " /usr/lib/x/vistweb");
}

}  // namespace
