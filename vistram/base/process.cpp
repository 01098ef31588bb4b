#include "vistram/base/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

extern char** environ;

namespace {

std::vector<char*> ArgvOf(std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (auto& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

std::vector<std::string> BuildCommandArguments(const std::string& command, const std::string& argument) {
  std::vector<std::string> args;
  bool placed = false;
  std::size_t i = 0;
  const std::size_t n = command.size();
  while (i < n) {
    while (i < n && (command[i] == ' ' || command[i] == '\t')) ++i;
    if (i >= n) break;
    std::string word;
    bool hadText = false;  // the word holds something besides dropped field codes
    bool quoted = false;
    while (i < n && (quoted || (command[i] != ' ' && command[i] != '\t'))) {
      char c = command[i];
      if (c == '"') {
        quoted = !quoted;
        hadText = true;
        ++i;
      } else if (quoted && c == '\\' && i + 1 < n) {
        word += command[i + 1];
        hadText = true;
        i += 2;
      } else if (c == '%' && i + 1 < n) {
        char code = command[i + 1];
        if (code == '%') {
          word += '%';
          hadText = true;
        } else if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
          if (!placed) {
            word += argument;
            hadText = hadText || !argument.empty();
            placed = true;
          }
        }
        i += 2;
      } else {
        word += c;
        hadText = true;
        ++i;
      }
    }
    if (hadText) args.push_back(std::move(word));
  }
  if (!placed && !argument.empty() && !args.empty()) args.push_back(argument);
  return args;
}

bool StartDetached(const std::vector<std::string>& arguments) {
  if (arguments.empty() || arguments[0].empty()) return false;
  std::vector<std::string> copy = arguments;
  std::vector<char*> argv = ArgvOf(copy);

  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  if (posix_spawnattr_init(&attr) != 0) return false;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    posix_spawnattr_destroy(&attr);
    return false;
  }
  // Its own session, so that it outlives the workbench's terminal; no input.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  // Not watched, but reaped when it ends, so that it leaves no zombie.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

bool RunAndCapture(const std::vector<std::string>& arguments, std::string& output) {
  output.clear();
  if (arguments.empty() || arguments[0].empty()) return false;
  std::vector<std::string> copy = arguments;
  std::vector<char*> argv = ArgvOf(copy);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return false;
  }
  constexpr std::size_t kMaxOutput = 1 << 20;
  char buffer[4096];
  for (;;) {
    ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (output.size() < kMaxOutput) output.append(buffer, static_cast<std::size_t>(got));
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> CommandFor(const std::string& configured, const std::string& argument) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(configured, ec)) {
    std::vector<std::string> args{configured};
    if (!argument.empty()) args.push_back(argument);
    return args;
  }
  return BuildCommandArguments(configured, argument);
}
