#include "seqfetch/seqfetch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/eutils_test_server.h"

namespace {

const char* const kHemoglobin =
    ">sp|P69905.2|HBA_HUMAN RecName: Full=Hemoglobin subunit alpha\n"
    "MVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHFDLSHGSAQVKGHGKKVADALTNAVAHV\n"
    "DDMPNALSALSDLHAHKLRVDPVNFKLLSHCLLVTLAAHLPAEFTPAVHASLDKFLASVSTVLTSKYR\n\n";
const char* const kHemoglobinResidues =
    "MVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHFDLSHGSAQVKGHGKKVADALTNAVAHV"
    "DDMPNALSALSDLHAHKLRVDPVNFKLLSHCLLVTLAAHLPAEFTPAVHASLDKFLASVSTVLTSKYR";

class SeqFetch : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Running());
    setenv("VISTRAM_EUTILS_BASE", server_.BaseUrl().c_str(), 1);
    setenv("VISTRAM_EUTILS_TIMEOUT", "2", 1);
  }
  void TearDown() override { unsetenv("VISTRAM_EUTILS_BASE"), unsetenv("VISTRAM_EUTILS_TIMEOUT"); }

  // The residues fetched, or "status N".
  static std::string Fetch(const char* id, int database) {
    int status = -1;
    char* text = NCBI_RetrieveBioSeq(id, database, &status, nullptr, nullptr);
    if (text == nullptr) return "status " + std::to_string(status);
    std::string residues = text;
    NCBI_DeleteBioSeq(&text);
    EXPECT_EQ(text, nullptr);
    return residues;
  }

  EutilsTestServer server_;
};

TEST_F(SeqFetch, FetchesAProteinFromEveryProteinDatabase) {
  server_.AddEntry("protein", "P69905", kHemoglobin);
  for (int db = 1; db <= 10; ++db) EXPECT_EQ(Fetch("P69905", db), kHemoglobinResidues) << db;
  for (const auto& r : server_.Requests()) {
    EXPECT_EQ(r.db, "protein");
    EXPECT_EQ(r.target.rfind("/entrez/eutils/efetch.fcgi?", 0), 0u) << r.target;
    EXPECT_NE(r.target.find("rettype=fasta"), std::string::npos);
  }
  // Lower case is raised; only the first entry of an answer is taken; blanks around the identifier go.
  server_.AddEntry("protein", "TWO", "\n>one\nmkvla agivg\nLL*\n>two\nWWWWWWWWWW\n");
  EXPECT_EQ(Fetch("  TWO ", 8), "MKVLAAGIVGLL*");
}

TEST_F(SeqFetch, NucleotideEntriesHoldNoProtein) {
  server_.AddEntry("nuccore", "AB000001", ">AB000001.1 some mRNA\nACGTACGTTTGACCA\n");
  server_.AddEntry("protein", "BAA00001", ">BAA00001.1 a protein\nMKVLAAGIVG\n");
  EXPECT_EQ(Fetch("AB000001", 1), "status 3");  // DDBJ: looked up as protein, then as nucleotide
  ASSERT_EQ(server_.Requests().size(), 2u);
  EXPECT_EQ(server_.Requests()[0].db + " " + server_.Requests()[1].db, "protein nuccore");
  EXPECT_EQ(Fetch("BAA00001", 1), "MKVLAAGIVG");
  // A protein-only database never looks in the nucleotide one.
  EXPECT_EQ(Fetch("AB000001", 8), "status 4");
  EXPECT_EQ(server_.Requests().back().db, "protein");
}

TEST_F(SeqFetch, RefusedIdentifiersAndDatabases) {
  EXPECT_EQ(Fetch("NOSUCHID", 4), "status 4");  // NCBI's "Error: F a i l e d ..." answer
  EXPECT_EQ(Fetch("NOSUCHID", 2), "status 4");  // unknown as protein and as nucleotide
  const std::size_t asked = server_.Requests().size();
  // Refused before any request.
  EXPECT_EQ(Fetch("", 4), "status 4");
  EXPECT_EQ(Fetch("   ", 4), "status 4");
  EXPECT_EQ(Fetch(nullptr, 4), "status 4");
  EXPECT_EQ(Fetch("P69\n905", 4), "status 4");
  EXPECT_EQ(Fetch("P69\xC3\xA9", 4), "status 4");
  EXPECT_EQ(Fetch(std::string(65, 'A').c_str(), 4), "status 4");
  EXPECT_EQ(Fetch("P69905", 0), "status 5");
  EXPECT_EQ(Fetch("P69905", 11), "status 5");
  EXPECT_EQ(server_.Requests().size(), asked);
  // A null status is allowed.
  EXPECT_EQ(NCBI_RetrieveBioSeq("", 4, nullptr, nullptr, nullptr), nullptr);
  NCBI_DeleteBioSeq(nullptr);
}

TEST_F(SeqFetch, IdentifiersAreUrlEncoded) {
  server_.AddEntry("protein", "sp|P69905|HBA_HUMAN", kHemoglobin);
  EXPECT_EQ(Fetch("sp|P69905|HBA_HUMAN", 8), kHemoglobinResidues);
  EXPECT_NE(server_.Requests().back().target.find("id=sp%7CP69905%7CHBA_HUMAN&"), std::string::npos);
  // An identifier cannot add parameters of its own.
  EXPECT_EQ(Fetch("X&db=nuccore#y z", 8), "status 4");
  const auto r = server_.Requests().back();
  EXPECT_EQ(r.id, "X&db=nuccore#y z");
  EXPECT_EQ(r.db, "protein");
}

TEST_F(SeqFetch, ServerFailuresAndBadAnswers) {
  EXPECT_EQ(Fetch("BROKEN", 4), "status 1");    // 503 error page
  EXPECT_EQ(Fetch("HTMLPAGE", 4), "status 2");  // not FASTA
  EXPECT_EQ(Fetch("HUGE", 4), "status 2");      // never read past the size limit
  EXPECT_EQ(Fetch("BIGHEADER", 4), "status 2");  // a 10 MB header is a bad answer, not a lack of memory
  server_.AddEntry("protein", "GAPPED", ">g\nMKV-LAAG\n");
  EXPECT_EQ(Fetch("GAPPED", 4), "status 2");
  server_.AddEntry("protein", "EMPTY", ">e\n");
  EXPECT_EQ(Fetch("EMPTY", 4), "status 2");
}

TEST_F(SeqFetch, UnreachableOrSilentServerGivesStatus1) {
  EXPECT_EQ(Fetch("SLOW", 4), "status 1");  // the time-out (2 s here) ends the wait
  setenv("VISTRAM_EUTILS_BASE", "http://127.0.0.1:1/entrez/eutils/", 1);  // a port where nothing listens
  EXPECT_EQ(Fetch("P69905", 4), "status 1");
}

}  // namespace
