#pragma once
// What the manual page of the command `tavelo` (the launcher) says. The
// launcher takes no options of its own, so only its manual page is made
// from this table.

#include "command_help.h"

namespace tavelo::help {

const ProgramHelp& PortalHelp();

}  // namespace tavelo::help
