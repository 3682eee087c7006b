#pragma once
// The data folder of an installed program is each user's own: it is made on
// the user's first start, with the program's default data copied in.

#include "base/program_paths.h"

namespace tavelo {

// For an installed program, makes the user's data folder with data/,
// tavelo/ and script/tmp/, and copies into data/ each file of the program's
// own data/ (the template, the catalogue files) that the user's lacks. A
// file the user has stays as it is, also when another start copies at the
// same time. A portable program's data is its own: nothing happens. False
// when a folder or a file could not be made.
bool PrepareDataFolder(const ProgramPaths& paths);

}  // namespace tavelo
