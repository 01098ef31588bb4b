// The program's entry and its progress window, on Vibrant.
//
// Vibrant's own main() gives up (and ends the process) when no X display can
// be opened. Ours does what it does, Vibrant's start-up, Main() and its
// clean-up, but only after a display has opened; without one the request is
// served all the same, with no window.
#include <signal.h>

#include <X11/Xlib.h>

#include <string>

#include "vistweb/run.h"

extern "C" {
#include <vibrant.h>
#include <vibmain.h>
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

void RunWithoutWindow(const char* requestPath) {
  Progress quiet;
  RunVistWeb(requestPath, quiet);
}

}  // namespace

// Motif, Xt and Vibrant keep some of their memory to the end of the process;
// the leak checker of the sanitizer builds is told so.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libXt.so\nleak:libX11.so\nleak:libXm.so\nleak:Nlm_\n";
}

extern "C" Nlm_Int2 Main(void) {
  Nlm_Int4 argc = GetArgc();
  char** argv = GetArgv();
  if (argc < 2 || argv[1] == nullptr) return 0;
  WindowProgress progress;
  RunVistWeb(argv[1], progress);
  return 0;
}

int main(int argc, char* argv[]) {
  // A server that closes early must not end the helper in the middle of a write.
  signal(SIGPIPE, SIG_IGN);
  // The probe connection stays open while Vibrant opens its own: an X server
  // whose last client leaves starts over, and refuses connections meanwhile.
  if (Display* probe = XOpenDisplay(nullptr)) {
    Nlm_VibMainPrelude(argc, argv);
    XCloseDisplay(probe);
    Main();
    Nlm_VibMainFinale(argc, argv);
    return 0;
  }
  if (argc >= 2) RunWithoutWindow(argv[1]);
  return 0;
}
