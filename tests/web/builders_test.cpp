#include <gtest/gtest.h>
#include <sys/stat.h>

#include "vistram/platform/recording_platform.h"
#include "vistram/base/profile.h"
#include "vistram/web/blast2_request.h"
#include "vistram/web/clustal_request.h"
#include "vistram/web/form_encoding.h"
#include "vistram/web/request_config.h"
#include "web_test_support.h"

using webtest::Installation;
using webtest::ReadAll;

namespace {

TEST(RequestLists, ChoicesAndDatabaseEntries) {
  std::string v;
  EXPECT_TRUE(ChoiceAt("blastp,blastn,blastx", 2, v));
  EXPECT_EQ(v, "blastx");
  for (int bad : {3, -1}) EXPECT_FALSE(ChoiceAt("blastp,blastn,blastx", bad, v)) << bad;
  EXPECT_FALSE(ChoiceAt("a,,b", 1, v));
  EXPECT_FALSE(ChoiceAt("NOT_USE", 0, v));
  EXPECT_TRUE(ChoiceAt("a,,b", 2, v));
  EXPECT_EQ(v, "b");
  EXPECT_EQ(SplitChoices("abcdefghijklmnopqrstuvwxyz,x"), (std::vector<std::string>{"abcdefghijklmnopqrs", "x"}));

  EXPECT_EQ(DatabaseEntries("swissprot=SwissProt&nr=Non redundant&junk&"),
            (std::vector<std::string>{"SwissProt [swissprot]", "Non redundant [nr]"}));
  EXPECT_TRUE(DatabaseEntries("NOT_USE").empty());
  EXPECT_EQ(EntryKey("SwissProt [swissprot]"), "swissprot");
  EXPECT_EQ(EntryKey("A [b] [c]"), "b");
  EXPECT_EQ(EntryKey("no key"), "");
}

TEST(RequestLists, ProgramAndServerKinds) {
  const struct {
    const char* program;
    bool protein;
  } programs[] = {{"blastp", true}, {"BLASTX", true}, {"tblastx", false},
                  {"tblastn", false}, {"blastn", false}, {"psi-blastp", true}};
  for (const auto& p : programs) EXPECT_EQ(IsProteinProgram(p.program), p.protein) << p.program;

  const struct {
    const char* server;
    ServerKind kind;
    int logo;
  } servers[] = {
      {"https://blast.ncbi.nlm.nih.gov", ServerKind::Ncbi, 1004},
      {"http://www.expasy.ch", ServerKind::Expasy, 1005},
      {"http://www.infobiogen.fr", ServerKind::Other, 1007},
      {"http://labb.example", ServerKind::Other, 1006},
      {"http://laba.example", ServerKind::Other, 1008},
      {"http://infobiogen.ncbi.expasy", ServerKind::Ncbi, 1007},
      {"local://clustalw", ServerKind::Other, 0},
  };
  for (const auto& s : servers) {
    EXPECT_EQ(ServerKindOf(s.server), s.kind) << s.server;
    EXPECT_EQ(ServerLogo(s.server), s.logo) << s.server;
  }
}

class Blast2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    Reset();
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  void Reset() {
    ResetBlast2Values(data_);
    data_.blast2ConfigPath = inst_.Blast2Config();
    data_.configPath = inst_.Config();
    platform_.Clear();
  }
  // Loads the first and third pages' defaults as the sheet does.
  bool Load() {
    Reset();
    if (!GlobalInitPage1(nullptr, data_) || !GlobalInitPage3(nullptr, data_)) return false;
    ApplyPageDefaults(data_);
    return true;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : platform_.Messages()) out.push_back(m.text);
    return out;
  }
  void Set(const std::string& key, const std::string& value) { inst_.SetKey("blast2.cfg", key, value); }

  Installation inst_;
  RecordingPlatform platform_;
  BLAST_DATA data_;
};

TEST_F(Blast2Test, ShippedConfigurationLoadsTheNcbiDefaults) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.organism, "");  // organisms offered, none chosen
  EXPECT_EQ(data_.gappedFlag, 1);
  EXPECT_EQ(data_.titleFlag, 1);
  EXPECT_TRUE(Texts().empty());
  data_.title = ">q";
  EXPECT_EQ(BuildBlast2Body(data_, "MKV"),
            "PROGRAM=blastp&DATABASE=nr&ENTREZ_QUERY=&QUERY=>q\nMKV&EXPECT=10&FILTER=L&DESCRIPTIONS=100"
            "&ALIGNMENTS=50&MATRIX=BLOSUM62&GENETIC_CODE=1&CMD=Put");
}

TEST_F(Blast2Test, ProgramChoosesTheDatabaseKindAndItsField) {
  const struct {
    int def;
    const char* program;
    const char* database;
    const char* field;
  } cases[] = {
      {2, "blastx", "Non-redundant protein sequences [nr]", "&PROTDB="},
      {4, "tblastx", "Core nucleotide database [core_nt]", "&NUCLDB="},
      {1, "blastn", "Core nucleotide database [core_nt]", "&NUCLDB="},
  };
  Set("DBAA_FIELD", "PROTDB");
  Set("DBNA_FIELD", "NUCLDB");
  for (const auto& c : cases) {
    Set("PRG_DEF", std::to_string(c.def));
    ASSERT_TRUE(Load()) << c.program;
    EXPECT_EQ(data_.program, c.program);
    EXPECT_EQ(data_.database, c.database);
    EXPECT_NE(BuildBlast2Body(data_, "A").find(std::string(c.field) + EntryKey(c.database) + "&"), std::string::npos)
        << c.program;
  }
}

TEST_F(Blast2Test, LoadingFailuresShowTheirMessage) {
  const struct {
    const char* key;
    const char* value;  // null: key removed
    const char* message;
  } cases[] = {
      {"PRG_DEF", "5", "Default BLAST program name not found."},
      {"PRG_LIST", nullptr, "List of BLAST programs not found."},
      {"PRG_LIST", "", "List of BLAST programs not found."},
      {"DB_FILE", "missing.cfg", "Databases/Genetic codes file not found."},
      {"DB_FILE", nullptr, "Databases/Genetic codes file not found."},
      {"EXPECT_DEF", "7", "Default expect value not found."},
      {"FILTER_DEF", "-1", "Default filter name not found."},
      {"DESCRI_DEF", "9", "Default descriptions number not found."},
      {"ALIGNS_DEF", "9", "Default alignments number not found."},
      {"MATRIX_DEF", "9", "Default matrix name not found."},
  };
  const std::string shipped = ReadAll(inst_.Blast2Config());
  for (const auto& c : cases) {
    webtest::WriteAll(inst_.Blast2Config(), shipped);
    if (c.value != nullptr)
      Set(c.key, c.value);
    else
      inst_.RemoveKey("blast2.cfg", c.key);
    EXPECT_FALSE(Load()) << c.key;
    EXPECT_EQ(Texts(), std::vector<std::string>{c.message}) << c.key;
  }
}

TEST_F(Blast2Test, DatabasesFileFailures) {
  const struct {
    const char* text;
    const char* message;  // null: loads
  } cases[] = {
      {"[Nucl-db]\nnt=NT\n", "List of database names not found."},
      {"[Prot-db]\n[GENETIC_CODE]\n1=Standard\n", "List of database names not found."},
      {"[Prot-db]\nswissprot=SwissProt\n[GENETIC_CODE]\nbad\n", nullptr},
      {"[Prot-db]\nswissprot=SwissProt\n", nullptr},
  };
  for (const auto& c : cases) {
    webtest::WriteAll(inst_.Path("blast2db.cfg"), c.text);
    EXPECT_EQ(Load(), c.message == nullptr) << c.text;
    if (c.message != nullptr) EXPECT_EQ(Texts(), std::vector<std::string>{c.message}) << c.text;
  }
  // Without a genetic code section the code stays empty and is sent empty.
  EXPECT_EQ(data_.database, "SwissProt [swissprot]");
  EXPECT_EQ(data_.geneticCode, "");
}

TEST_F(Blast2Test, MissingListsLeaveTheirValueEmptyAndSentEmpty) {
  inst_.RemoveKey("blast2.cfg", "EXPECT_LIST");
  Set("ADVANC_OPT", "WORD_SIZE 2");
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.expect, "");
  EXPECT_EQ(data_.advanced, "WORD_SIZE 2");
  const std::string body = BuildBlast2Body(data_, "A");
  EXPECT_NE(body.find("&EXPECT=&"), std::string::npos);
  EXPECT_NE(body.find("&OTHER_ADVANCED=WORD_SIZE 2&"), std::string::npos);
}

TEST_F(Blast2Test, GappedFieldFollowsTheServerKind) {
  const struct {
    const char* server;
    int gapped;
    bool sent;
  } cases[] = {
      {"https://blast.ncbi.nlm.nih.gov", 1, false}, {"https://blast.ncbi.nlm.nih.gov", 0, true},
      {"http://www.infobiogen.fr", 1, true},        {"http://www.infobiogen.fr", 0, false},
      {"http://web.expasy.org", 1, true},
  };
  for (const auto& c : cases) {
    Set("SERVER_BLAST", c.server);
    ASSERT_TRUE(Load());
    data_.gappedFlag = c.gapped;
    EXPECT_EQ(BuildBlast2Body(data_, "A").find("&UNGAPPED_ALIGNMENT=yes&") != std::string::npos, c.sent)
        << c.server << " " << c.gapped;
  }
  Set("GAPPED_FIELD", "NOCOMMA");
  ASSERT_TRUE(Load());
  data_.gappedFlag = 0;
  EXPECT_EQ(BuildBlast2Body(data_, "A").find("NOCOMMA"), std::string::npos);
}

TEST_F(Blast2Test, ExpasyRulesForFilterTitleAndOrganisms) {
  Set("SERVER_BLAST", "http://web.expasy.org");
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.titleFlag, 0);
  EXPECT_EQ(data_.organism, "NOT_USE");
  data_.title = ">t";
  for (const auto& [filter, sent] : std::vector<std::pair<std::string, std::string>>{
           {"yes", "&FILTER=T&"}, {"no", ""}, {"L", ""}}) {
    data_.filter = filter;
    const std::string body = BuildBlast2Body(data_, "MKV");
    if (sent.empty())
      EXPECT_EQ(body.find("FILTER"), std::string::npos) << filter;
    else
      EXPECT_NE(body.find(sent), std::string::npos) << filter;
    EXPECT_NE(body.find("&QUERY=MKV&"), std::string::npos);
    EXPECT_EQ(body.find("ENTREZ_QUERY"), std::string::npos);
  }
}

TEST_F(Blast2Test, OrganismLineIsTakenFromTheOrganismFile) {
  Set("ORG_DEF", "1");
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.organism, "Mus musculus");
  EXPECT_NE(BuildBlast2Body(data_, "A").find("&ENTREZ_QUERY=Mus musculus&"), std::string::npos);
  Set("ORG_FILE", "missing.txt");
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.organism, "NOT_USE");
}

TEST_F(Blast2Test, CreateRequestChecksInOrderAndWritesTheEncodedBody) {
  ASSERT_TRUE(Load());
  std::string server, path, post, cache;
  EXPECT_FALSE(CreateBlast2Request(nullptr, data_, server, path, post, cache));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No sequence entered."});

  const struct {
    const char* key;
    const char* value;
    const char* message;
  } refusals[] = {
      {"SERVER_BLAST", "", "BLAST server name not found."},
      {"SERVER_BLAST", "NO_SERVER_NAME", "BLAST server name not found."},
      {"SERVER_BLAST", "https://blast.example.org", "Please use either ExPASy or Infobiogen\nor NCBI WWW server."},
      {"SERVER_BLAST", "https://BLAST.NCBI.NLM.NIH.GOV", "Please use either ExPASy or Infobiogen\nor NCBI WWW server."},
      {"REQUEST_BLAST", "", "BLAST method not found."},
  };
  const std::string shipped = ReadAll(inst_.Blast2Config());
  for (const auto& r : refusals) {
    webtest::WriteAll(inst_.Blast2Config(), shipped);
    Set(r.key, r.value);
    ASSERT_TRUE(Load());
    data_.sequence = "MKV";
    EXPECT_FALSE(CreateBlast2Request(nullptr, data_, server, path, post, cache)) << r.value;
    EXPECT_EQ(Texts(), std::vector<std::string>{r.message}) << r.value;
    EXPECT_TRUE(server.empty() && path.empty() && post.empty() && cache.empty());
    EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty()) << r.value;
  }
  webtest::WriteAll(inst_.Blast2Config(), shipped);
  ASSERT_TRUE(Load());
  data_.sequence = "mkv 12\n*ll-";
  ASSERT_TRUE(CreateBlast2Request(nullptr, data_, server, path, post, cache));
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(server, "https://blast.ncbi.nlm.nih.gov");
  EXPECT_EQ(path, "/Blast.cgi");
  EXPECT_EQ(cache, inst_.Cache());
  EXPECT_EQ(ReadAll(post),
            "PROGRAM=blastp&DATABASE=nr&ENTREZ%5FQUERY=&QUERY=%3Emy%5Fsequence%0D%0Amkvll&EXPECT=10&FILTER=L"
            "&DESCRIPTIONS=100&ALIGNMENTS=50&MATRIX=BLOSUM62&GENETIC%5FCODE=1&CMD=Put");
  struct stat st {};
  ASSERT_EQ(stat(post.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(Blast2Test, AcceptedServersAreASetting) {
  inst_.SetKey("vistram.cfg", "ACCEPTED_SERVERS", "127.0.0.1:8080, localhost");
  std::string server, path, post, cache;
  for (const auto& [address, accepted] : std::vector<std::pair<std::string, bool>>{
           {"http://127.0.0.1:8080", true}, {"http://localhost", true}, {"https://blast.ncbi.nlm.nih.gov", false}}) {
    Set("SERVER_BLAST", address);
    ASSERT_TRUE(Load());
    data_.sequence = "MKV";
    EXPECT_EQ(CreateBlast2Request(nullptr, data_, server, path, post, cache), accepted) << address;
  }
}

TEST_F(Blast2Test, SavingDefaultsChangesOnlyTheirKeys) {
  ASSERT_TRUE(Load());
  const std::string before = ReadAll(inst_.Blast2Config());
  Blast2Defaults d;
  d.expect = 2;
  d.filter = 0;
  d.descriptions = 4;
  d.alignments = 3;
  d.matrix = 1;
  d.gapped = 0;
  d.advanced = "WORD_SIZE 2";
  ASSERT_TRUE(SaveBlast2Defaults(data_, d));
  // Only the chosen keys change, in place.
  std::string expectedText = before;
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"EXPECT_DEF=4", "EXPECT_DEF=2"}, {"FILTER_DEF=1", "FILTER_DEF=0"}, {"DESCRI_DEF=2", "DESCRI_DEF=4"},
           {"ALIGNS_DEF=1", "ALIGNS_DEF=3"}, {"MATRIX_DEF=0", "MATRIX_DEF=1"}, {"GAPPED_CHK=1", "GAPPED_CHK=0"},
           {"ADVANC_OPT=NOT_USE", "ADVANC_OPT=WORD_SIZE 2"}})
    Installation::Replace(expectedText, from, to);
  EXPECT_EQ(ReadAll(inst_.Blast2Config()), expectedText);
  // vistram.cfg keeps its relative name for the same file; another file is named in full.
  EXPECT_EQ(GetProfileString(inst_.Config(), kBlast2Section, "CONFIG_FILE", "", 260), "blast2.cfg");
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.expect, "1e-3");
  EXPECT_EQ(data_.gappedFlag, 0);
  webtest::fs::copy_file(inst_.Blast2Config(), inst_.Path("other.cfg"));
  data_.blast2ConfigPath = inst_.Path("other.cfg");
  ASSERT_TRUE(SaveBlast2Defaults(data_, d));
  EXPECT_EQ(GetProfileString(inst_.Config(), kBlast2Section, "CONFIG_FILE", "", 260), inst_.Path("other.cfg"));
  d.advanced = "two\nlines";
  EXPECT_FALSE(SaveBlast2Defaults(data_, d));
}

TEST(ConfigSetting, NamesAReadableFileBesideTheConfiguration) {
  Installation inst;
  EXPECT_EQ(ReadConfigFileSetting(inst.Config(), "BLAST2_SEARCH"), inst.Blast2Config());
  EXPECT_EQ(ReadConfigFileSetting(inst.Config(), "CLUSTAL"), inst.ClustalConfig());
  for (const char* value : {"NOT_USE", "", "missing.cfg"}) {
    inst.SetKey("vistram.cfg", "CONFIG_FILE", value);
    EXPECT_EQ(ReadConfigFileSetting(inst.Config(), "BLAST2_SEARCH"), "") << value;
  }
}

class ClustalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    data_.clustalConfigPath = inst_.ClustalConfig();
    data_.configPath = inst_.Config();
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  bool Load() {
    const CLUSTAL_DATA keep = data_;
    ResetClustalValues(data_);
    data_.clustalConfigPath = keep.clustalConfigPath;
    data_.configPath = keep.configPath;
    return GlobalInitCluPage2(nullptr, data_);
  }
  void Set(const std::string& key, const std::string& value) { inst_.SetKey("clustalw.cfg", key, value); }

  Installation inst_;
  RecordingPlatform platform_;
  CLUSTAL_DATA data_;
};

TEST_F(ClustalTest, DefaultsFollowTheirIndexes) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.gapExtension, "0.2");
  Set("OUTO_LIST", "aligned,input");
  Set("OUTO_DEF", "1");
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.outputOrder, "input");
  for (const char* key : {"OUTO_DEF", "QT_DEF", "MATRIX_DEF"}) {
    Set(key, "9");
    EXPECT_FALSE(Load()) << key;
    Set(key, "0");
  }
  inst_.RemoveKey("clustalw.cfg", "QT_LIST");
  inst_.RemoveKey("clustalw.cfg", "GEXT_VAL");
  ASSERT_TRUE(Load());
  EXPECT_EQ(data_.guideTree, "");
  EXPECT_EQ(data_.gapExtension, "");
  EXPECT_TRUE(platform_.Messages().empty());
}

TEST_F(ClustalTest, PostFileHasTheHeaderSegmentAndEveryField) {
  inst_.RemoveKey("clustalw.cfg", "GEXT_FIELD");
  ASSERT_TRUE(Load());
  data_.gapOpen = "15";
  data_.sequences = ">seq.1 first\nMKV-LL\n>seq2\nMKALL\n";
  std::string server, path, post, cache;
  ASSERT_TRUE(CreateClustalRequest(nullptr, data_, server, path, post, cache));
  EXPECT_EQ(server, "local://clustalw");
  EXPECT_EQ(path, "/clustalw");
  const std::string body =
      "outorder=aligned&guidetree=slow&matrix=gonnet&gapopen=15&NOT_USE=0.2&sequence="
      "%3Eseq1+first%0D%0AMKV%2dLL%0D%0A%3Eseq2%0D%0AMKALL%0D%0A";
  EXPECT_EQ(ReadAll(post), "POST /clustalw HTTP/1.0|User-Agent: Netscape/4.0|Content-type: "
                           "application/x-www-form-urlencoded|Content-length:" +
                               std::to_string(body.size()) + "||" + body);
}

TEST_F(ClustalTest, NothingIsSentWithoutSequencesServerOrPath) {
  std::string server, path, post, cache;
  ASSERT_TRUE(Load());
  EXPECT_FALSE(CreateClustalRequest(nullptr, data_, server, path, post, cache));
  for (const char* key : {"SERVER_CLU", "REQUEST_CLU"}) {
    const std::string shipped = ReadAll(inst_.ClustalConfig());
    inst_.RemoveKey("clustalw.cfg", key);
    ASSERT_TRUE(Load());
    data_.sequences = ">a\nMKV\n";
    EXPECT_FALSE(CreateClustalRequest(nullptr, data_, server, path, post, cache)) << key;
    webtest::WriteAll(inst_.ClustalConfig(), shipped);
  }
  // A cache folder that cannot take the post file.
  inst_.SetKey("vistram.cfg", "CACHE", inst_.Path("missing"));
  ASSERT_TRUE(Load());
  data_.sequences = ">a\nMKV\n";
  EXPECT_FALSE(CreateClustalRequest(nullptr, data_, server, path, post, cache));
  EXPECT_TRUE(server.empty() && path.empty() && post.empty() && cache.empty());
  EXPECT_TRUE(platform_.Messages().empty());
  EXPECT_TRUE(webtest::FilesIn(inst_.Cache()).empty());
}

}  // namespace
