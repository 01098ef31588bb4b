// Sending a request through the web helper: the unique files of a request in
// the cache folder, the request file, the helper started on a worker thread,
// and the hand-over of its answer to the main window.
//
// Files of one request, all made exclusively (O_EXCL, mode 0600) under fresh
// unique names in the cache folder: the post file "post*.tmp" (the form body,
// written by the request builder), the request file "web*.tmp" and the
// response file "res*.<ext>" (written by the helper). The worker deletes the
// post and request files once the helper has ended; the response file stays
// and becomes the opened report's file.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "vistram/platform/platform.h"

// Messages of the request path (string ids).
inline constexpr int IDS_WEB_CANNOT_CREATE_RESULT = 8100;  // "Unable to create BLAST result file."
inline constexpr int IDS_WEB_CANNOT_CREATE_WEB_FILE = 8101;  // "Unable to create/read Web file."
inline constexpr int IDS_WEB_CANNOT_CALL_HELPER = 8102;     // "Unable to call 'Vist Web'."
inline constexpr int IDS_WEB_DONE = 8103;                   // "BLAST-2 done. Ready to \nopen the results file."

// The cache folder: DIRECTORY/CACHE of the configuration file at
// `configPath`; when it holds "NO_CACHE_NAME" or is empty, the system's
// temporary folder ($TMPDIR, else /tmp).
std::string CacheDirectory(const std::string& configPath);

// Creates "<dir>/<prefix>XXXXXX.<extension>" with a fresh unique part,
// exclusively and readable only by the user. False (nothing made) on failure.
bool CreateUniqueFile(const std::string& dir, std::string_view prefix, std::string_view extension,
                      std::string& path);

// The helper program: INTERNET/VISTWEB of the configuration (default " ").
// A name without a folder, or a relative path, is taken in the folder of the
// configuration file, which is the program's own; empty when the key is
// missing or blank.
std::string HelperProgramPath(const std::string& configPath);

// The environment variable through which the helper learns the workbench's
// configuration file (its own settings are in section VISTWEB there).
inline constexpr const char* kHelperConfigVariable = "VISTWEB_CONFIG";

// Starts `program` with the single argument `argument` (no shell) and waits
// for it to end; when `configPath` is not empty it reaches the program as
// VISTWEB_CONFIG. False when it cannot be started; its exit status is not
// looked at.
bool RunHelperAndWait(const std::string& program, const std::string& argument,
                      const std::string& configPath = std::string());

// The helper answers with one line starting "VistWeb:" instead of a report
// when a search failed, expired or ran out of time, or a local program
// failed. True (and the line, without its line end) when the response file
// holds such a note.
bool ReadHelperNote(const std::string& responseFile, std::string& note);

// A request ready to be run: its request file written, its response file
// reserved.
struct PreparedRequest {
  std::string helper;        // the helper program (may be empty: it then cannot start)
  std::string requestFile;
  std::string responseFile;
  std::string postFile;
  std::string action;
  std::string config;        // the configuration file, handed to the helper
};

// Steps 1 to 6 of a launch: reserves the response file "res*.<extension>",
// writes the request file "web*.tmp" (server in lower case, "Method=" with
// `method`, a blank and `requestPath`) and finds the helper. 1 on success;
// 0 after the message: "Unable to create BLAST result file." when no
// response file can be made, "Unable to create/read Web file." when the
// request file cannot be written; the post file is then deleted.
int PrepareRequest(WindowHandle owner, const std::string& server, const std::string& requestPath,
                   const std::string& postFile, const std::string& cacheDir, std::string_view extension,
                   std::string_view action, std::string_view method, const std::string& configPath,
                   const std::string& callBack, PreparedRequest& out);

// What a finished request hands to the main window: the response file and
// the request's action. The handler runs on the worker thread and returns
// once the main window has taken the path (it opens it through the Open
// command); the path travels with the call, so requests that end together
// each open their own answer.
struct WebAnswer {
  std::string responseFile;
  std::string action;
};
using WebAnswerHandler = std::function<void(const WebAnswer&)>;
// Installs the handler (null: answers are not opened) and the window that
// owns the workers' message boxes from then on (a worker outliving its
// window shows them without an owner).
void SetWebAnswerHandler(WebAnswerHandler handler, WindowHandle owner = nullptr);

// Writes the request file and starts the worker thread that runs the helper
// (PrepareRequest, then _RunVistWeb on its own thread); returns at once.
// 1 when the worker was started, 0 after a message.
int LanceRequete(WindowHandle owner, const std::string& server, const std::string& requestPath,
                 const std::string& postFile, const std::string& cacheDir, std::string_view extension,
                 std::string_view action, std::string_view method, const std::string& configPath,
                 const std::string& callBack);

// The worker's body: starts the helper and waits for it ("Unable to call
// 'Vist Web'." when it cannot start: the request file is deleted, the post
// file stays), shows "BLAST-2 done. Ready to \nopen the results file.",
// reads the response path back from the request file (else "Unable to
// create/read Web file."), hands it to the answer handler and deletes the
// post and request files. A response file left empty by the helper is
// deleted first, so the Open command reports that it cannot be read; one
// holding the helper's note is shown as an error box (the note's text) and
// deleted, and nothing is opened.
void _RunVistWeb(PreparedRequest request);

// Runs a prepared request on the calling thread, without any box (batch
// mode): starts the helper and waits for it, reads the answer's path back
// and deletes the post and request files (and the response file when the
// helper left it empty). 1 with `responseFile` set (the file may be missing);
// 0 after "Unable to call 'Vist Web'.", "Unable to create/read Web file." or
// the helper's note (the response file is then deleted).
int RunRequestNow(const PreparedRequest& request, std::string& responseFile);

// Number of worker threads still running; waits until none runs (tests and
// batch mode).
int RunningWebRequests();
void WaitForWebRequests();
