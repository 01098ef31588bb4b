// The BLAST-2 request builder's model: the request record, the BLAST-2
// configuration file with its databases and organism files, the loading of
// the defaults of the sheet's pages, the form body and the post file, and
// the hand-over to the web helper. The sheet (gui/blast2_sheet.h) fills the
// record; everything it sends is decided here.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "vistram/platform/platform.h"

// Messages (string ids).
inline constexpr int IDS_BLAST2_CONFIG_NOT_FOUND = 227;      // "BLAST configuration file not found."
inline constexpr int IDS_BLAST2_NO_PROGRAM_LIST = 8110;      // "List of BLAST programs not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_PROGRAM = 8111;   // "Default BLAST program name not found."
inline constexpr int IDS_BLAST2_NO_DB_FILE = 8112;           // "Databases/Genetic codes file not found."
inline constexpr int IDS_BLAST2_NO_SERVER = 8113;            // "BLAST server name not found."
inline constexpr int IDS_BLAST2_NO_METHOD = 8114;            // "BLAST method not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_EXPECT = 8115;    // "Default expect value not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_FILTER = 8116;    // "Default filter name not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_DESCRI = 8117;    // "Default descriptions number not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_ALIGNS = 8118;    // "Default alignments number not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_MATRIX = 8119;    // "Default matrix name not found."
inline constexpr int IDS_BLAST2_NO_DB_LIST = 8120;           // "List of database names not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_DB = 8121;        // "Default database name not found."
inline constexpr int IDS_BLAST2_NO_DEFAULT_GENCODE = 8122;   // "Default genetic code not found."
inline constexpr int IDS_BLAST2_NO_SEQUENCE = 8123;          // "No sequence entered."
inline constexpr int IDS_BLAST2_UNKNOWN_SERVER = 8124;       // "Please use either ExPASy or Infobiogen\nor NCBI WWW server."
inline constexpr int IDS_BLAST2_CANNOT_CREATE_REQUEST = 8125;  // "Unable to create BLAST request."

inline constexpr const char* kBlast2Section = "BLAST2_SEARCH";

// The servers a BLAST-2 request may go to: the address must hold one of
// these host names (exact case). Setting ACCEPTED_SERVERS of section
// BLAST2_SEARCH in vistram.cfg (a comma list) replaces them.
inline constexpr const char* kDefaultAcceptedServers = "blast.ncbi.nlm.nih.gov,web.expasy.org,www.infobiogen.fr";

// The request record. Every text keeps the width of its buffer (the value
// in brackets, terminator included).
struct BLAST_DATA {
  std::string blast2ConfigPath;  // [260] the BLAST-2 configuration file
  std::string configPath;        // [260] vistram.cfg
  std::string program;           // [20]
  std::string database;          // [100] "label [key]"
  std::string organism;          // [100] an organism line, or "NOT_USE"
  std::string title;             // [60] ">" and the sequence name
  std::string sequence;          // the text of the sequence field; empty: none
  int titleFlag = 0;             // 1: the title line goes before the sequence
  std::string expect;            // [20]
  std::string filter;            // [20]
  std::string descriptions;      // [20]
  std::string alignments;        // [20]
  std::string matrix;            // [20]
  int gappedFlag = 0;
  std::string advanced;          // [200]
  std::string geneticCode;       // [100] "label [key]"
};

// Empties the record (both flags 0).
void ResetBlast2Values(BLAST_DATA& data);

// Databases file helpers.
// All lines of `section` of the databases file at `path`, each followed by
// '&', cut to size - 1 characters; "NOT_USE" when the section has none.
std::string ReadDBlist(const std::string& path, std::string_view section, std::size_t size = 5000);
// The entries of a ReadDBlist text as shown, "label [key]" for each line
// holding '=' (none when the text holds "NOT_USE").
std::vector<std::string> DatabaseEntries(std::string_view list);
// The key of a displayed entry: the text between its first '[' and first ']'.
std::string EntryKey(std::string_view entry);
// The lines of the organism file (each cut to 98 characters); false when it
// cannot be read.
bool ReadOrganisms(const std::string& path, std::vector<std::string>& lines);

// True for a program that searches protein databases: its lower-case name
// holds "blastp", or "blastx" but not "tblastx".
bool IsProteinProgram(std::string_view program);

// The configuration's databases file, organism file (ORG_FILE; empty when
// missing) and server address (empty when missing).
std::string Blast2DatabasesFile(const BLAST_DATA& data);
std::string Blast2OrganismFile(const BLAST_DATA& data);
std::string Blast2Server(const BLAST_DATA& data);

// Loading the defaults of the first ("Prgms / Databases") and third
// ("Parameters") pages; false after the message.
bool GlobalInitPage1(WindowHandle owner, BLAST_DATA& data);
bool GlobalInitPage3(WindowHandle owner, BLAST_DATA& data);
// What the opening of the first and second pages does to the record: the
// organism line ORG_DEF (when organisms apply), and for an ExPASy server
// the title flag cleared.
void ApplyPageDefaults(BLAST_DATA& data);

// The body before encoding, in the order the server forms expect (see the
// implementation), for the letters-only sequence `sequence`.
std::string BuildBlast2Body(const BLAST_DATA& data, std::string_view sequence);

// Checks the record and writes the post file. False after the message; the
// four outputs are then empty.
bool CreateBlast2Request(WindowHandle owner, BLAST_DATA& data, std::string& server, std::string& requestPath,
                         std::string& postFile, std::string& cacheDir);
// Encodes the body and writes it into a new post file in `cacheDir`. False
// after "Unable to create BLAST request." (no file left).
bool WriteRequestFile(WindowHandle owner, const BLAST_DATA& data, const std::string& cacheDir,
                      std::string_view sequence, std::string& postFile);

// The OK action: CreateBlast2Request, then the hand-over to the helper
// (answer extension "vist", action "ACT_OPENBLAST", method "POST", the
// running program as callback); the record is reset in every case.
// 1 when the request was handed over.
int Apply_Request(WindowHandle owner, BLAST_DATA& data);

// "&Save" of "BLAST2 default values": the five default indexes, the gapped
// flag and the advanced text into the BLAST-2 configuration file, then its
// path as CONFIG_FILE into vistram.cfg. False when a file cannot be written.
struct Blast2Defaults {
  int expect = 0, filter = 0, descriptions = 0, alignments = 0, matrix = 0;
  int gapped = 0;
  std::string advanced;
};
bool SaveBlast2Defaults(const BLAST_DATA& data, const Blast2Defaults& defaults);
