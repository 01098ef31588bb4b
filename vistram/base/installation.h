// Where the program finds its files. A program with a writable vistram.cfg
// beside it (the build folder, a portable copy) keeps everything there. An
// installed program (PREFIX/bin/vistram) reads its shipped files from
// PREFIX/share/vistram and keeps the user's settings in
// $XDG_CONFIG_HOME/vistram (default ~/.config/vistram), copied from the
// shipped files at the first start.
#pragma once
#include <string>
#include <vector>

// The folder of the program file at `programPath` (no trailing slash; "."
// for a bare name).
std::string ProgramFolderOf(const std::string& programPath);
// PREFIX/share/vistram for the program PREFIX/bin/vistram.
std::string SharedDataFolder(const std::string& programPath);
// The user's settings folder: $XDG_CONFIG_HOME/vistram when that variable
// holds an absolute path, else $HOME/.config/vistram; empty without either.
std::string UserConfigFolder();

// The files copied into the user's folder at the first start: the
// configuration and the request configurations it names (the dialogs of the
// requests write their defaults into them).
const std::vector<std::string>& UserConfigFiles();

// The folder that holds the data file `name`: the program's folder when the
// file is there, else the shared data folder when it is there, else the
// program's folder (whose missing file the reader then reports).
std::string DataFolderFor(const std::string& programPath, const std::string& name);

// The configuration file the program reads and writes:
//  1. vistram.cfg beside the program when it exists and both it and its
//     folder are writable;
//  2. else the user's copy, for a program that ships a configuration (in
//     the shared data folder, or a read-only one beside the program): it
//     is made from that one at the first start;
//  3. else the path beside the program (whose absence start-up refuses: a
//     program without any configuration of its own does not borrow the
//     user's).
std::string BuildConfigPath(const std::string& programPath);

// Makes the user's copy when BuildConfigPath chose it and it does not exist
// yet: the folder, then every file of UserConfigFiles() that is shipped,
// each written through the safe writer. An existing user file is never
// replaced. False, with `error` set, when a file could not be written (the
// program then refuses to start, as without any configuration).
bool PrepareUserConfig(const std::string& programPath, std::string& error);
