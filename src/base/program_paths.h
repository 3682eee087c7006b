#pragma once
// Where the program lives and where it keeps its data. A portable program
// (the build's app/ folder, or a copy of it anywhere) keeps its data beside
// itself. An installed one, marked by kInstalledMarker beside the programs,
// has a read-only folder and keeps each user's data in UserDataFolder().

#include <string>
#include <string_view>

namespace tavelo {

// The files and folders the program keeps in its own folder.
inline constexpr std::string_view kTemplateFile = "data/main.htm";
inline constexpr std::string_view kFavouritesFile = "data/myfavo.dat";
inline constexpr std::string_view kHistoryFile = "data/myvisited.dat";
inline constexpr std::string_view kProgressFile = "data/progress.dat";
inline constexpr std::string_view kDataFolder = "data/";
inline constexpr std::string_view kEpisodeCacheFolder = "tavelo/";
inline constexpr std::string_view kTempPagesFolder = "script/tmp/";
// The program's icon, which desktop entries name.
inline constexpr std::string_view kIconFile = "tavelo.png";
// Beside the programs of an installed program (the package and make install
// put it there); its absence makes the folder a portable program.
inline constexpr std::string_view kInstalledMarker = "installed";

// The folders every path of the program resolves against. Passing them
// around, rather than relying on the current directory, lets tests and tools
// point the program at any folder.
struct ProgramPaths {
  // Where the program reads and writes its data: data/, tavelo/,
  // script/tmp/ and the companions installed "in the program folder".
  // Absolute, with a trailing "/"; "" resolves against the current directory.
  std::string folder;
  // Where the programs are, with what ships beside them (the launcher, the
  // uninstaller, the icon, the demo content and the default data/); never
  // written to. "" when it is `folder`, as in a portable program.
  std::string programFolder{};

  // The paths of the running program.
  static ProgramPaths OfRunningProgram();
  // The paths of the program whose programs are in `programFolder` (absolute,
  // with a trailing "/"): by kInstalledMarker, portable or installed.
  static ProgramPaths OfProgramFolder(const std::string& programFolder);

  // Installed: the data lives apart from the programs.
  bool Installed() const { return !programFolder.empty() && programFolder != folder; }
  const std::string& ProgramFolder() const { return programFolder.empty() ? folder : programFolder; }
  // A file shipped with the program.
  std::string Shipped(std::string_view relative) const { return ProgramFolder() + std::string(relative); }

  // A file of the program's data.
  std::string In(std::string_view relative) const { return folder + std::string(relative); }
  std::string Template() const { return In(kTemplateFile); }
  std::string Favourites() const { return In(kFavouritesFile); }
  std::string History() const { return In(kHistoryFile); }
  std::string Progress() const { return In(kProgressFile); }
};

// The full path of the running program (/proc/self/exe); "" when it cannot be read.
std::string ModuleFilePath();
// The directory of the running program (/proc/self/exe) with a trailing "/";
// "" when it cannot be read.
std::string ModuleDirectory();

// The user's home folder: $HOME, else the password database's; never "".
std::string HomeDirectory();
// The user's data folder of an installed program, with a trailing "/":
// $XDG_DATA_HOME/tavelo/ when that is an absolute path, else
// ~/.local/share/tavelo/.
std::string UserDataFolder();
// The same for cached files: $XDG_CACHE_HOME/tavelo/, else ~/.cache/tavelo/.
std::string UserCacheFolder();
// Where the embedded browser keeps its own data (cookies, local storage) and
// its cache, for every copy of the program: webkit/ in the two folders above,
// without a trailing "/".
std::string BrowserDataFolder();
std::string BrowserCacheFolder();

// Creates every directory along an absolute path up to its last "/"; a final
// component without a trailing "/" is not created. Repeated slashes count as
// one. True when every one of them is a directory afterwards; false for a
// path that does not start with "/" (nothing is made) or one that could not
// be made (errno says why).
bool MakeDirectories(const std::string& path);

// Deletes the pages script/tmp/*.htm of the program folder.
void CleanTempPages(const ProgramPaths& paths);

}  // namespace tavelo
