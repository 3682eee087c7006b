#include "portal_help.h"

namespace tavelo::help {

const ProgramHelp& PortalHelp() {
  static const ProgramHelp kHelp{
      .name = "tavelo",
      .synopsis = "",
      .purpose = "desktop video portal and player",
      .description =
          "tavelo starts the Tavelo video portal. Its main window shows a video catalogue server's pages by "
          "category, with search, live TV, live shows, favourites and a watch history; a chosen video opens "
          "a play window that lists the video's episodes and plays them. The user interface is Chinese.\n\n"
          "Each user has a data folder of their own, $XDG_DATA_HOME/tavelo/ (by default "
          "~/.local/share/tavelo/). The first start makes it and copies in the default data; files the user "
          "already has are never replaced. The favourites and the watch history are data/myfavo.dat and "
          "data/myvisited.dat in it.\n\n"
          "The default data points at the demo catalogue: start tavelo-demo-server in a terminal first to "
          "try the portal without a network.",
      .kind = EntryKind::kOptions,
      .entries = {},
      .exitStatus = "0 when the portal's window has closed; 1 when the portal could not be started.",
      .seeAlso = {"tavelo-catalogue(1)", "tavelo-demo-server(1)"},
  };
  return kHelp;
}

}  // namespace tavelo::help
