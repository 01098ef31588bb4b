// The request file: the one contract between the workbench and the web
// helper. The workbench writes it in its cache folder and starts the helper
// with its path; the helper reads which server to call, with which method and
// path, which post file to send and where to store the answer. The workbench
// reads the answer's path back once the helper has ended.
//
// This file depends on nothing else of the program, so the helper links it.
#pragma once
#include <string>
#include <string_view>

// The kinds of request, and the extension of their answer file.
inline constexpr std::string_view kActionOpenBlast = "ACT_OPENBLAST";  // a BLAST report, extension "vist"
inline constexpr std::string_view kActionOpenMsf = "ACT_OPENMSF";      // an MSF alignment, extension "msf"
inline constexpr std::string_view kExtensionBlast = "vist";
inline constexpr std::string_view kExtensionMsf = "msf";

// Keys of the request file.
inline constexpr std::string_view kKeyJobNumber = "JobNumber";
inline constexpr std::string_view kKeyServerName = "ServerName";
inline constexpr std::string_view kKeyAction = "Action";
inline constexpr std::string_view kKeyMethod = "Method";
inline constexpr std::string_view kKeyFilePostName = "FilePostName";
inline constexpr std::string_view kKeyFileNameResponse = "FileNameResponse";
inline constexpr std::string_view kKeyCallBack = "CallBack";

struct RequestFields {
  std::string jobNumber;     // base name of the response file (no folder, no extension)
  std::string serverName;    // scheme, "//", host (written in lower case)
  std::string action;        // kActionOpenBlast or kActionOpenMsf
  std::string method;        // "POST"
  std::string requestPath;   // path of the form handler on the server
  std::string postFile;      // full path of the post file
  std::string responseFile;  // full path of the response file
  std::string callBack;      // full path of the running workbench
};

// The text of the request file, byte for byte:
//   [REQUEST_INFO]
//   JobNumber=<job>
//   ServerName=<server in lower case>
//   Action=<action>
//   Method=<method> <request path>
//   FilePostName=<post file>
//   FileNameResponse=<response file>
//   CallBack=<workbench>
// followed by two empty lines. Empty when a value holds a line break (it
// would make a line of its own that a reader takes for a key).
std::string FormatRequestFile(const RequestFields& fields);

// The value of `key` in a request file's text: the first line that holds the
// key followed by '=' anywhere gives the text after the line's first '=',
// without its line end (LF or CR LF), cut to `maxLength` characters. False
// when no line holds the key.
bool FindRequestValue(std::string_view text, std::string_view key, std::string& value,
                      std::size_t maxLength = 259);

// What the workbench reads back from the request file once the helper has
// ended: the response file's path and the post file's path. False when the
// file cannot be read; a missing key leaves its value empty.
bool ReadRequestAnswer(const std::string& requestPath, std::string& responseFile, std::string& postFile);
