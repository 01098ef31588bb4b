// Starting other programs: always from an argument vector, never through a
// shell, so that no character of a file name or a configured value is
// interpreted.
#pragma once
#include <string>
#include <vector>

// Splits a command (desktop-entry quoting: blanks separate, double quotes
// group, backslash escapes inside quotes) into an argument vector and puts
// `argument` where a %u, %U, %f or %F field code stands, or at the end when
// there is none. Other field codes are dropped, "%%" is "%".
std::vector<std::string> BuildCommandArguments(const std::string& command, const std::string& argument);

// Starts `arguments[0]` (searched in PATH when it has no slash) with its
// arguments, in a new session, without waiting for it. False when the
// program cannot be started.
bool StartDetached(const std::vector<std::string>& arguments);
// Runs a program, waits for it and returns its standard output; false when
// it cannot be started or does not exit with status 0.
bool RunAndCapture(const std::vector<std::string>& arguments, std::string& output);

// The command that starts the configured program `configured` on `argument`:
// when the whole value names an existing file it is the program (a path with
// blanks), otherwise the value is split as BuildCommandArguments does.
std::vector<std::string> CommandFor(const std::string& configured, const std::string& argument);
