// What the two request builders share: the configuration files named by
// vistram.cfg, the comma lists with their default indexes, the server kinds
// and logos, and the reserved post file.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ProfileFile;

// The file named by CONFIG_FILE in `section` of the configuration file at
// `configPath` (at most 258 characters, default "NOT_USE"); a relative name
// is taken in the configuration file's folder. Empty when the key is
// missing, holds "NOT_USE", or the file cannot be opened for reading.
std::string ReadConfigFileSetting(const std::string& configPath, std::string_view section);

// `name` as a path: unchanged when absolute, else in the folder of `besideFile`.
std::string PathBeside(const std::string& besideFile, const std::string& name);
// True when the file at `path` can be opened for reading.
bool FileReadable(const std::string& path);

// A comma list of the configuration (ReadListOfChoices): the value of
// section/key cut to size - 1 characters, "NOT_USE" when missing or empty.
std::string ReadListOfChoices(const ProfileFile& file, std::string_view section, std::string_view key,
                              std::size_t size = 1000);
// A default index (ReadDefChoice): the leading number of section/key, 0 when missing.
int ReadDefChoice(const ProfileFile& file, std::string_view section, std::string_view key);
// The items of a comma list, each cut to 19 characters; none when the list
// holds "NOT_USE" (its box is then disabled).
std::vector<std::string> SplitChoices(std::string_view list);
// Item `index` (0-based) of the list into `value`: false when the list has
// no such item or the item is empty.
bool ChoiceAt(std::string_view list, int index, std::string& value);

// True when `value` holds `marker` (the configuration's "missing" values
// "NOT_USE", "NOT_FIND", "NO_SERVER_NAME", "NO_REQUEST_NAME").
bool Holds(std::string_view value, std::string_view marker);
// `text` cut to width - 1 characters (a buffer of `width` bytes).
std::string Cut(std::string_view text, std::size_t width);

// The kind of a server, from the upper-case form of its address.
enum class ServerKind { Ncbi, Expasy, Other };
ServerKind ServerKindOf(std::string_view server);
// The logo image of a server, first match in the upper-case address:
// "INFOBIOGEN" 1007, "LABB" 1006, "EXPASY" 1005, "NCBI" 1004, "LABA" 1008; else 0.
int ServerLogo(std::string_view server);

// Writes `body` (already encoded) into a new post file "post*.tmp" made
// exclusively in `cacheDir`, through a temporary file renamed over it.
// False (and no file left) on failure.
bool WritePostFile(const std::string& cacheDir, std::string_view body, std::string& postFile);
