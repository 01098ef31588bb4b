#include "vistram/web/blast2_request.h"

#include <fstream>

#include "vistram/platform/messages.h"
#include "vistram/base/profile.h"
#include "vistram/web/form_encoding.h"
#include "vistram/web/request_config.h"
#include "vistram/web/request_file.h"
#include "vistram/web/request_launch.h"

namespace {
std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

void Info(WindowHandle owner, int textId) { MyInfoMsgBox(IDS_CAPTION, textId, owner); }
void Error(WindowHandle owner, int textId) { MyErrMsgBox(IDS_CAPTION, textId, owner); }

ProfileFile LoadBlast2Config(const BLAST_DATA& data) {
  ProfileFile file;
  file.Load(data.blast2ConfigPath);
  return file;
}

// A form field name (799 characters; "NOT_USE" when missing).
std::string Field(const ProfileFile& file, std::string_view key) {
  return file.GetString(kBlast2Section, key, "NOT_USE", 800);
}

// "label [key]" of the first line of a ReadDBlist text; false when that
// line has no '&' or '='.
bool FirstEntry(std::string_view list, std::string& entry) {
  const auto amp = list.find('&');
  if (amp == std::string_view::npos) return false;
  const std::string_view line = list.substr(0, amp);
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  entry = Cut(std::string(line.substr(eq + 1)) + " [" + std::string(line.substr(0, eq)) + "]", 100);
  return true;
}

// One parameter list of the third page with its default key and message.
struct ParameterList {
  const char* list;
  const char* def;
  int message;
  std::string BLAST_DATA::*value;
};
constexpr ParameterList kParameterLists[] = {
    {"EXPECT_LIST", "EXPECT_DEF", IDS_BLAST2_NO_DEFAULT_EXPECT, &BLAST_DATA::expect},
    {"FILTER_LIST", "FILTER_DEF", IDS_BLAST2_NO_DEFAULT_FILTER, &BLAST_DATA::filter},
    {"DESCRI_LIST", "DESCRI_DEF", IDS_BLAST2_NO_DEFAULT_DESCRI, &BLAST_DATA::descriptions},
    {"ALIGNS_LIST", "ALIGNS_DEF", IDS_BLAST2_NO_DEFAULT_ALIGNS, &BLAST_DATA::alignments},
    {"MATRIX_LIST", "MATRIX_DEF", IDS_BLAST2_NO_DEFAULT_MATRIX, &BLAST_DATA::matrix},
};

bool AcceptedServer(const BLAST_DATA& data, std::string_view server) {
  const std::string hosts =
      GetProfileString(data.configPath, kBlast2Section, "ACCEPTED_SERVERS", kDefaultAcceptedServers, 1000);
  // Host names may be longer than a list item: split without cutting.
  std::size_t begin = 0;
  while (begin < hosts.size()) {
    std::size_t end = hosts.find(',', begin);
    if (end == std::string::npos) end = hosts.size();
    std::string host = hosts.substr(begin, end - begin);
    while (!host.empty() && host.back() == ' ') host.pop_back();
    while (!host.empty() && host.front() == ' ') host.erase(0, 1);
    if (!host.empty() && server.find(host) != std::string_view::npos) return true;
    begin = end + 1;
  }
  return false;
}
}  // namespace

void ResetBlast2Values(BLAST_DATA& data) { data = BLAST_DATA{}; }

std::string ReadDBlist(const std::string& path, std::string_view section, std::size_t size) {
  std::string list;
  for (const std::string& line : GetProfileSection(path, section)) {
    list += line;
    list += '&';
  }
  if (list.empty()) return "NOT_USE";
  return Cut(list, size);
}

std::vector<std::string> DatabaseEntries(std::string_view list) {
  std::vector<std::string> entries;
  if (Holds(list, "NOT_USE")) return entries;
  std::size_t begin = 0;
  while (true) {
    const std::size_t amp = list.find('&', begin);
    if (amp == std::string_view::npos) break;  // the final '&' ends the list
    const std::string_view line = list.substr(begin, amp - begin);
    const auto eq = line.find('=');
    if (eq != std::string_view::npos)
      entries.push_back(Cut(std::string(line.substr(eq + 1)) + " [" + std::string(line.substr(0, eq)) + "]", 100));
    begin = amp + 1;
  }
  return entries;
}

std::string EntryKey(std::string_view entry) {
  const auto open = entry.find('[');
  const auto close = entry.find(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return {};
  return std::string(entry.substr(open + 1, close - open - 1));
}

bool ReadOrganisms(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(Cut(line, 99));
  }
  return true;
}

bool IsProteinProgram(std::string_view program) {
  const std::string p = Lower(program);
  return Holds(p, "blastp") || (Holds(p, "blastx") && !Holds(p, "tblastx"));
}

std::string Blast2DatabasesFile(const BLAST_DATA& data) {
  const std::string name = LoadBlast2Config(data).GetString(kBlast2Section, "DB_FILE", "NOT_FIND", 260);
  if (Holds(name, "NOT_FIND") || name.empty()) return {};
  return PathBeside(data.blast2ConfigPath, name);
}

std::string Blast2OrganismFile(const BLAST_DATA& data) {
  const std::string name = LoadBlast2Config(data).GetString(kBlast2Section, "ORG_FILE", "NOT_FIND", 260);
  if (Holds(name, "NOT_FIND") || name.empty()) return {};
  return PathBeside(data.blast2ConfigPath, name);
}

std::string Blast2Server(const BLAST_DATA& data) {
  const std::string server = LoadBlast2Config(data).GetString(kBlast2Section, "SERVER_BLAST", "NO_SERVER_NAME", 500);
  return Holds(server, "NO_SERVER_NAME") ? std::string() : server;
}

bool GlobalInitPage1(WindowHandle owner, BLAST_DATA& data) {
  const ProfileFile cfg = LoadBlast2Config(data);
  data.titleFlag = 1;
  const std::string programs = ReadListOfChoices(cfg, kBlast2Section, "PRG_LIST");
  if (Holds(programs, "NOT_USE")) {
    Info(owner, IDS_BLAST2_NO_PROGRAM_LIST);
    return false;
  }
  if (!ChoiceAt(programs, ReadDefChoice(cfg, kBlast2Section, "PRG_DEF"), data.program)) {
    Info(owner, IDS_BLAST2_NO_DEFAULT_PROGRAM);
    return false;
  }
  const std::string dbFile = Blast2DatabasesFile(data);
  if (!FileReadable(dbFile)) {
    Error(owner, IDS_BLAST2_NO_DB_FILE);
    return false;
  }
  const std::string list = ReadDBlist(dbFile, IsProteinProgram(data.program) ? "Prot-db" : "Nucl-db");
  if (Holds(list, "NOT_USE")) {
    Info(owner, IDS_BLAST2_NO_DB_LIST);
    return false;
  }
  if (!FirstEntry(list, data.database)) {
    Info(owner, IDS_BLAST2_NO_DEFAULT_DB);
    return false;
  }
  const bool organisms = ServerKindOf(Blast2Server(data)) == ServerKind::Ncbi && FileReadable(Blast2OrganismFile(data));
  data.organism = organisms ? std::string() : std::string("NOT_USE");
  return true;
}

bool GlobalInitPage3(WindowHandle owner, BLAST_DATA& data) {
  const ProfileFile cfg = LoadBlast2Config(data);
  const std::string dbFile = Blast2DatabasesFile(data);
  if (!FileReadable(dbFile)) {
    Error(owner, IDS_BLAST2_NO_DB_FILE);
    return false;
  }
  const std::string codes = ReadDBlist(dbFile, "GENETIC_CODE");
  if (!Holds(codes, "NOT_USE") && !FirstEntry(codes, data.geneticCode)) {
    Info(owner, IDS_BLAST2_NO_DEFAULT_GENCODE);
    return false;
  }
  for (const ParameterList& p : kParameterLists) {
    const std::string list = ReadListOfChoices(cfg, kBlast2Section, p.list);
    if (Holds(list, "NOT_USE")) continue;
    if (!ChoiceAt(list, ReadDefChoice(cfg, kBlast2Section, p.def), data.*p.value)) {
      Info(owner, p.message);
      return false;
    }
  }
  const std::string advanced = cfg.GetString(kBlast2Section, "ADVANC_OPT", "NOT_USE", 1000);
  if (!Holds(advanced, "NOT_USE")) data.advanced = Cut(advanced, 200);
  data.gappedFlag = cfg.GetInt(kBlast2Section, "GAPPED_CHK", 0);
  return true;
}

void ApplyPageDefaults(BLAST_DATA& data) {
  if (!Holds(data.organism, "NOT_USE")) {
    std::vector<std::string> lines;
    const int index = LoadBlast2Config(data).GetInt(kBlast2Section, "ORG_DEF", 0);
    if (ReadOrganisms(Blast2OrganismFile(data), lines) && index >= 0 && static_cast<std::size_t>(index) < lines.size())
      data.organism = lines[static_cast<std::size_t>(index)];
  }
  if (ServerKindOf(Blast2Server(data)) == ServerKind::Expasy) data.titleFlag = 0;
}

// The body, field by field:
//  1. PRG_FIELD=program
//  2. &DBAA_FIELD (protein programs) or &DBNA_FIELD = the database key
//  3. &ORG_FIELD=organism, unless the organism is "NOT_USE"
//  4. the GAPPED_FIELD pair "name,value" as &name=value when the gapped flag
//     is set (inverted first for NCBI, whose field asks for ungapped runs)
//  5. &SEQ_FIELD= the title line and a line feed (title flag set), then the sequence
//  6. &EXPECT_FIELD=expect, unless "NOT_USE"
//  7. &FILTER_FIELD=filter (ExPASy: "T" for a value holding "yes", else none)
//  8. &DESCRI_FIELD=descriptions and 9. &ALIGNS_FIELD=alignments, unless "NOT_USE"
// 10. &MATRIX_FIELD=matrix and 11. &GENECODE_FIELD= the genetic code key,
//     when the field is configured and the value is not "NOT_USE"
// 12. &ADVANC_FIELD=advanced options, when configured and not empty
// 13. & and the SPECIAL_FIELD text, when configured
// An empty value (its list missing from the configuration) is sent empty.
std::string BuildBlast2Body(const BLAST_DATA& data, std::string_view sequence) {
  const ProfileFile cfg = LoadBlast2Config(data);
  const ServerKind kind = ServerKindOf(cfg.GetString(kBlast2Section, "SERVER_BLAST", "NO_SERVER_NAME", 500));
  std::string body;
  auto add = [&body](std::string_view name, std::string_view value) {
    body += '&';
    body += name;
    body += '=';
    body += value;
  };
  body = Field(cfg, "PRG_FIELD") + "=" + data.program;
  add(Field(cfg, IsProteinProgram(data.program) ? "DBAA_FIELD" : "DBNA_FIELD"), EntryKey(data.database));
  if (!Holds(data.organism, "NOT_USE")) add(Field(cfg, "ORG_FIELD"), data.organism);
  const bool gapped = kind == ServerKind::Ncbi ? data.gappedFlag == 0 : data.gappedFlag != 0;
  if (gapped) {
    const std::string pair = Field(cfg, "GAPPED_FIELD");
    const auto comma = pair.find(',');
    if (comma != std::string::npos) add(pair.substr(0, comma), pair.substr(comma + 1));
  }
  add(Field(cfg, "SEQ_FIELD"), data.titleFlag != 0 ? data.title + "\n" + std::string(sequence) : std::string(sequence));
  if (!Holds(data.expect, "NOT_USE")) add(Field(cfg, "EXPECT_FIELD"), data.expect);
  std::string filter = data.filter;
  if (kind == ServerKind::Expasy) filter = Holds(filter, "yes") ? "T" : "NOT_USE";
  const std::string filterField = Field(cfg, "FILTER_FIELD");
  if (!Holds(filter, "NOT_USE") && !Holds(filterField, "NOT_USE")) add(filterField, filter);
  if (!Holds(data.descriptions, "NOT_USE")) add(Field(cfg, "DESCRI_FIELD"), data.descriptions);
  if (!Holds(data.alignments, "NOT_USE")) add(Field(cfg, "ALIGNS_FIELD"), data.alignments);
  const std::string matrixField = Field(cfg, "MATRIX_FIELD");
  if (!Holds(data.matrix, "NOT_USE") && !Holds(matrixField, "NOT_USE")) add(matrixField, data.matrix);
  const std::string codeField = Field(cfg, "GENECODE_FIELD");
  if (!Holds(data.geneticCode, "NOT_USE") && !Holds(codeField, "NOT_USE")) add(codeField, EntryKey(data.geneticCode));
  const std::string advancedField = Field(cfg, "ADVANC_FIELD");
  if (!Holds(advancedField, "NOT_USE") && !data.advanced.empty()) add(advancedField, data.advanced);
  const std::string special = Field(cfg, "SPECIAL_FIELD");
  if (!Holds(special, "NOT_USE")) {
    body += '&';
    body += special;
  }
  return body;
}

bool WriteRequestFile(WindowHandle owner, const BLAST_DATA& data, const std::string& cacheDir,
                      std::string_view sequence, std::string& postFile) {
  if (!WritePostFile(cacheDir, ConvertToMimeName(BuildBlast2Body(data, sequence)), postFile)) {
    Error(owner, IDS_BLAST2_CANNOT_CREATE_REQUEST);
    return false;
  }
  return true;
}

bool CreateBlast2Request(WindowHandle owner, BLAST_DATA& data, std::string& server, std::string& requestPath,
                         std::string& postFile, std::string& cacheDir) {
  server.clear();
  requestPath.clear();
  postFile.clear();
  cacheDir.clear();
  if (data.sequence.empty()) {
    Error(owner, IDS_BLAST2_NO_SEQUENCE);
    return false;
  }
  if (data.title.size() < 2) data.title = ">my_sequence";
  const ProfileFile cfg = LoadBlast2Config(data);
  const std::string s = cfg.GetString(kBlast2Section, "SERVER_BLAST", "NO_SERVER_NAME", 500);
  if (Holds(s, "NO_SERVER_NAME") || s.empty()) {
    Info(owner, IDS_BLAST2_NO_SERVER);
    return false;
  }
  if (!AcceptedServer(data, s)) {
    Info(owner, IDS_BLAST2_UNKNOWN_SERVER);
    return false;
  }
  const std::string r = cfg.GetString(kBlast2Section, "REQUEST_BLAST", "NO_REQUEST_NAME", 500);
  if (Holds(r, "NO_REQUEST_NAME") || r.empty()) {
    Info(owner, IDS_BLAST2_NO_METHOD);
    return false;
  }
  const std::string letters = ConvertToSeqOnly(data.sequence);
  const std::string dir = CacheDirectory(data.configPath);
  if (!WriteRequestFile(owner, data, dir, letters, postFile)) return false;
  server = s;
  requestPath = r;
  cacheDir = dir;
  return true;
}

int Apply_Request(WindowHandle owner, BLAST_DATA& data) {
  const std::string callBack = CurrentPlatform().ProgramPath();
  std::string server, requestPath, postFile, cacheDir;
  int sent = 0;
  if (CreateBlast2Request(owner, data, server, requestPath, postFile, cacheDir))
    sent = LanceRequete(owner, server, requestPath, postFile, cacheDir, kExtensionBlast, kActionOpenBlast, "POST",
                        data.configPath, callBack);
  ResetBlast2Values(data);
  return sent;
}

bool SaveBlast2Defaults(const BLAST_DATA& data, const Blast2Defaults& d) {
  ProfileFile cfg;
  cfg.Load(data.blast2ConfigPath);
  const std::pair<const char*, int> numbers[] = {
      {"EXPECT_DEF", d.expect},     {"FILTER_DEF", d.filter}, {"DESCRI_DEF", d.descriptions},
      {"ALIGNS_DEF", d.alignments}, {"MATRIX_DEF", d.matrix}, {"GAPPED_CHK", d.gapped},
  };
  for (const auto& [key, value] : numbers)
    if (!cfg.Set(kBlast2Section, key, std::to_string(value))) return false;
  if (!cfg.Set(kBlast2Section, "ADVANC_OPT", d.advanced) || !cfg.Save(data.blast2ConfigPath)) return false;
  // The main configuration keeps its own (relative) name when it still names this file.
  const std::string current = GetProfileString(data.configPath, kBlast2Section, "CONFIG_FILE", "NOT_USE", 259);
  const std::string value = PathBeside(data.configPath, current) == data.blast2ConfigPath ? current : data.blast2ConfigPath;
  return WriteProfileString(data.configPath, kBlast2Section, "CONFIG_FILE", value);
}
