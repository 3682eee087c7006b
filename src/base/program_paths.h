#pragma once
// Where the program lives and the folders it keeps beside itself.

#include <string>
#include <string_view>

namespace tavelo {

// The files and folders the program keeps in its own folder.
inline constexpr std::string_view kTemplateFile = "data/main.htm";
inline constexpr std::string_view kFavouritesFile = "data/myfavo.dat";
inline constexpr std::string_view kHistoryFile = "data/myvisited.dat";
inline constexpr std::string_view kDataFolder = "data/";
inline constexpr std::string_view kEpisodeCacheFolder = "tavelo/";
inline constexpr std::string_view kTempPagesFolder = "script/tmp/";
// The program's icon, which desktop entries name.
inline constexpr std::string_view kIconFile = "tavelo.png";

// The program folder every path of the program resolves against. Passing
// it around, rather than relying on the current directory, lets tests and
// tools point the program at any folder.
struct ProgramPaths {
  // Absolute, with a trailing "/"; "" resolves against the current directory.
  std::string folder;

  // The folder of the running program.
  static ProgramPaths OfRunningProgram();

  std::string In(std::string_view relative) const { return folder + std::string(relative); }
  std::string Template() const { return In(kTemplateFile); }
  std::string Favourites() const { return In(kFavouritesFile); }
  std::string History() const { return In(kHistoryFile); }
};

// The full path of the running program (/proc/self/exe); "" when it cannot be read.
std::string ModuleFilePath();
// The directory of the running program (/proc/self/exe) with a trailing "/";
// "" when it cannot be read.
std::string ModuleDirectory();

// Creates every directory along an absolute path up to its last "/"; a final
// component without a trailing "/" is not created. Repeated slashes count as
// one. Returns 1 for a path that does not start with "/" (nothing is made),
// else 0; single creations that fail are ignored.
int MakeDirectories(const std::string& path);

// Deletes the pages script/tmp/*.htm of the program folder.
void CleanTempPages(const ProgramPaths& paths);

}  // namespace tavelo
