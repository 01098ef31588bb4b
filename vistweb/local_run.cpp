#include "vistweb/local_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "vistram/base/temp_files.h"
#include "vistweb/files.h"

namespace {

const char* const kBlastPrograms[] = {"blastp", "blastn", "blastx", "tblastn", "tblastx"};

bool AllOf(const std::string& text, bool (*allowed)(char)) {
  if (text.empty()) return false;
  for (char c : text)
    if (!allowed(c)) return false;
  return true;
}

bool PlainNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; }
bool NumberChar(char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' || c == 'E' || c == '-'; }
bool DigitChar(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A plain name must not pass for an option of the program.
bool PlainName(const std::string& text) { return AllOf(text, PlainNameChar) && text[0] != '-' && text[0] != '.'; }
// Not negative: a leading '-' would read as an option.
bool Number(const std::string& text) { return AllOf(text, NumberChar) && text[0] != '-' && text.size() <= 20; }
bool Count(const std::string& text) { return AllOf(text, DigitChar) && text.size() <= 6; }

// Runs `arguments` (found on the PATH) with its output and errors in `log`,
// with `blastDb` as BLASTDB when not empty. The exit status, or -1 when it
// could not start or the run's time ran out (the program is then killed).
int RunProgram(const std::vector<std::string>& arguments, const std::string& log, const std::string& blastDb,
               Progress& progress, const RunClock& clock) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int in = open("/dev/null", O_RDONLY);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    if (in >= 0) dup2(in, 0);
    if (!blastDb.empty()) setenv("BLASTDB", blastDb.c_str(), 1);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  while (true) {
    int status = 0;
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    if (clock.Expired()) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    progress.Pump();
    usleep(50000);
  }
}

// The last lines of a program's log, for a note.
std::string Tail(const std::string& text) {
  std::string tail = text.size() > 400 ? text.substr(text.size() - 400) : text;
  for (char& c : tail)
    if (c == '\n' || c == '\r') c = ' ';
  return tail;
}

}  // namespace

bool IsLocalProgram(const std::string& name) {
  if (name == "clustalw") return true;
  for (const char* program : kBlastPrograms)
    if (name == program) return true;
  return false;
}

std::vector<std::string> ClustalwArguments(const FormFields& fields, const std::string& input,
                                           const std::string& output) {
  std::vector<std::string> args{"clustalw", "-infile=" + input, "-outfile=" + output, "-output=gcg"};
  std::string order = Lower(FindField(fields, {"OUTORDER", "OUTPUT_ORDER", "OUTO"}));
  if (order == "aligned" || order == "input") args.push_back("-outorder=" + order);
  std::string tree = Lower(FindField(fields, {"QT", "QUICKTREE", "GUIDE_TREE", "TREE"}));
  if (tree == "fast" || tree == "quick" || tree == "quicktree") args.push_back("-quicktree");
  std::string matrix = Lower(FindField(fields, {"MATRIX"}));
  for (const char* known : {"blosum", "pam", "gonnet", "id"})
    if (matrix == known) args.push_back("-matrix=" + matrix);
  std::string open = FindField(fields, {"GAPOPEN", "GAP_OPEN", "GOPEN"});
  if (Number(open)) args.push_back("-gapopen=" + open);
  std::string extend = FindField(fields, {"GAPEXT", "GAP_EXT", "GEXT", "GAPEXTEND"});
  if (Number(extend)) args.push_back("-gapext=" + extend);
  return args;
}

std::vector<std::string> BlastArguments(const std::string& program, const FormFields& fields,
                                        const std::string& query, const std::string& output) {
  std::string database = FindField(fields, {"DATABASE", "DB", "DATALIB"});
  if (!PlainName(database)) return {};
  std::vector<std::string> args{program, "-query", query, "-db", database, "-out", output, "-num_threads", "1"};
  std::string expect = FindField(fields, {"EXPECT", "EVALUE"});
  if (Number(expect)) args.insert(args.end(), {"-evalue", expect});
  std::string matrix = FindField(fields, {"MATRIX_NAME", "MATRIX"});
  if (program != "blastn" && PlainName(matrix) && matrix.size() <= 12) args.insert(args.end(), {"-matrix", matrix});
  std::string descriptions = FindField(fields, {"DESCRIPTIONS"});
  if (Count(descriptions)) args.insert(args.end(), {"-num_descriptions", descriptions});
  std::string alignments = FindField(fields, {"ALIGNMENTS"});
  if (Count(alignments)) args.insert(args.end(), {"-num_alignments", alignments});
  std::string code = FindField(fields, {"QUERY_GENETIC_CODE", "GENETIC_CODE", "GENCODE"});
  if ((program == "blastx" || program == "tblastx") && Count(code)) args.insert(args.end(), {"-query_gencode", code});
  std::string filter = Lower(FindField(fields, {"FILTER"}));
  if (!filter.empty()) {
    bool on = filter != "f" && filter != "no" && filter != "false" && filter != "none";
    const char* option = program == "blastn" ? "-dust" : "-seg";
    args.insert(args.end(), {option, on ? "yes" : "no"});
  }
  return args;
}

std::string FormSequences(const FormFields& fields) {
  std::string text = FindField(fields, {"SEQUENCE", "SEQUENCES", "SEQ", "QUERY", "SEQS"});
  if (text.empty())
    for (const auto& field : fields)
      if (field.second.find('>') != std::string::npos) text = field.second;
  std::string clean;
  for (char c : text)
    if (c != '\r') clean += c;
  std::size_t first = clean.find_first_not_of(" \n\t");
  if (first == std::string::npos) return {};
  clean.erase(0, first);
  if (clean[0] != '>') clean = ">query\n" + clean;
  if (clean.back() != '\n') clean += '\n';
  return clean;
}

void RunLocalRequest(Progress& progress, const std::string& server, std::string_view body,
                     const std::string& responsePath, const HelperSettings& settings, const RunClock& clock) {
  FormFields fields = DecodeForm(body);
  // "local://blast" runs the BLAST+ program the form names.
  const std::string program = server == "blast" ? Lower(FindField(fields, {"PROGRAM"})) : server;
  if (program == "clustalw" ? server != "clustalw" : !IsLocalProgram(program)) {
    ReplaceFile(responsePath, "VistWeb: \"" + program + "\" is not a program this helper runs.\n");
    return;
  }
  std::string sequences = FormSequences(fields);
  PrivateFolder folder("vistweb-");  // removed with everything in it
  const std::string input = folder.Path() + "/input.fasta";
  const std::string output = folder.Path() + "/answer";
  const std::string log = folder.Path() + "/log.txt";
  if (sequences.empty()) {
    ReplaceFile(responsePath, "VistWeb: the request holds no sequence for " + program + ".\n");
    return;
  }
  if (folder.Path().empty() || !WritePrivateFile(input, sequences)) {
    ReplaceFile(responsePath, "VistWeb: no private folder could be made for " + program + ".\n");
    return;
  }
  std::vector<std::string> args = program == "clustalw" ? ClustalwArguments(fields, input, output)
                                                        : BlastArguments(program, fields, input, output);
  if (args.empty()) {
    ReplaceFile(responsePath, "VistWeb: the request names no usable database for " + program + ".\n");
    return;
  }
  progress.SetLine("Running " + program + "...");
  int status = RunProgram(args, log, settings.blastDb, progress, clock);
  std::string answer = ReadWholeFile(output);
  if (status != 0 || answer.empty()) {
    std::string why = status == -1 && clock.Expired() ? "did not finish within " + std::to_string(clock.LimitSeconds()) + " seconds"
                      : status == 127                 ? "could not be started"
                                                      : "failed: " + Tail(ReadWholeFile(log));
    ReplaceFile(responsePath, "VistWeb: " + program + " " + why + "\n");
    return;
  }
  ReplaceFile(responsePath, answer);
}
