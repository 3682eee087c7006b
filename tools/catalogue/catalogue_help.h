#pragma once
// The commands of tavelo-catalogue and their arguments: what --help prints,
// what the manual page says, and which argument counts each command takes.

#include "command_help.h"

namespace tavelo {

const help::ProgramHelp& CatalogueToolHelp();

}  // namespace tavelo
