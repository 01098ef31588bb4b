// The program's entry and its progress window, on Vibrant.
//
// Vibrant brings its own main(), which refuses to run without an X display.
// Ours stands in front of it: with a display it hands over to Vibrant's, which
// sets up the toolkit and calls Main(); without one the request is served all
// the same, with no window.
#include <dlfcn.h>
#include <signal.h>

#include <X11/Xlib.h>

#include <string>

#include "vistweb/run.h"

extern "C" {
#include <vibrant.h>
}

namespace {

// The "VistWeb" window: one left-aligned line of text toward the lower right
// of the screen, no buttons and no close action.
class WindowProgress : public Progress {
 public:
  WindowProgress() {
    window_ = FixedWindow(-90, -90, -10, -10, const_cast<char*>("VistWeb"), nullptr);
    prompt_ = StaticPrompt(window_, const_cast<char*>(""), 260, 0, programFont, 'l');
  }
  ~WindowProgress() override { Remove(window_); }
  void ShowFirst(const std::string& text) override {
    SetLine(text);
    ::Show(window_);
    Pump();
  }
  void SetLine(const std::string& text) override {
    SetTitle(prompt_, const_cast<char*>(text.c_str()));
    Pump();
  }
  void Pump() override {
    Update();
    while (EventAvail()) ProcessAnEvent();
  }

 private:
  WindoW window_;
  PrompT prompt_;
};

// Set once Vibrant has called Main(): its main() can still give up on a
// display that opened a moment before (it says so on stderr and returns).
bool g_mainReached = false;

void RunWithoutWindow(const char* requestPath) {
  Progress quiet;
  RunVistWeb(requestPath, quiet);
}

bool DisplayOpens() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace

extern "C" Nlm_Int2 Main(void) {
  Nlm_Int4 argc = GetArgc();
  char** argv = GetArgv();
  g_mainReached = true;
  if (argc < 2 || argv[1] == nullptr) return 0;
  WindowProgress progress;
  RunVistWeb(argv[1], progress);
  return 0;
}

int main(int argc, char* argv[]) {
  // A server that closes early must not end the helper in the middle of a write.
  signal(SIGPIPE, SIG_IGN);
  if (DisplayOpens()) {
    using EntryPoint = int (*)(int, char**);
    auto toolkitMain = reinterpret_cast<EntryPoint>(dlsym(RTLD_NEXT, "main"));
    if (toolkitMain != nullptr) {
      toolkitMain(argc, argv);
      if (g_mainReached) return 0;
    }
  }
  if (argc >= 2) RunWithoutWindow(argv[1]);
  return 0;
}
