#include "catalogue_help.h"

namespace tavelo {

const help::ProgramHelp& CatalogueToolHelp() {
  static const help::ProgramHelp kHelp{
      .name = "tavelo-catalogue",
      .synopsis = "[--raw] COMMAND ARGS",
      .purpose = "the catalogue operator's tool of the Tavelo video portal",
      .description =
          "tavelo-catalogue makes and checks the files a Tavelo catalogue server hands out, and runs the "
          "portal's own downloads, data updates, companion installs, resource pages and episode lists on a "
          "folder of the portal, printing what the portal would show. It also shows, edits, exports and "
          "imports the portal's favourites and watch history.\n\n"
          "DIR is the portal's data folder, which holds data/main.htm, the catalogue files and lists, and "
          "the episode caches in tavelo/: ~/.local/share/tavelo/ for an installed portal, the program's own "
          "folder for a portable one.\n\n"
          "Texts taken from the portal's files are stored in GBK. When standard output is a terminal they "
          "are printed in the encoding of the locale (LC_ALL, LC_CTYPE, LANG), characters it cannot hold as "
          "\"?\"; when it is a file or a pipe they are printed as stored. --raw, before the command, prints "
          "them as stored at a terminal too.",
      .kind = help::EntryKind::kCommands,
      .entries =
          {
              {"scramble",
               {{"IN OUT", "scramble IN with the catalogue key into OUT (or unscramble it)"}},
               "Scrambling twice gives the original back. OUT is replaced whole or not at all."},
              {"check",
               {{"DIR", "load DIR's catalogue and count its records"}},
               "Prints one line per category of DIR's template, the record count, a TAB and the category's "
               "descriptor, then \"total\" and the count of all records."},
              {"digest", {{"FILE", "print the MD5 digest of FILE"}}, ""},
              {"template",
               {{"FILE KEY", "print the value of KEY in template FILE"},
                {"FILE --list KEY END", "print the lines of list KEY up to the line END"}},
               "KEY and END are written as in the file, brackets included, for example [S_URL]; letter case "
               "does not matter."},
              {"pack",
               {{"IN OUT [--zip]", "make an update package of catalogue data IN"}},
               "The package holds the records of IN between the list markers, scrambled with the catalogue "
               "key. With --zip it is the one member of a zip archive, named after OUT with \".dat\" in "
               "place of \".zip\"."},
              {"unzip", {{"ARCHIVE", "extract the first member of ARCHIVE beside it and print its path"}}, ""},
              {"update",
               {{"DIR", "run one data update for DIR"}},
               "Fetches the new-video and new-P2P packages that DIR's template names, as the portal does "
               "after it starts, and prints \"videonew\" and \"p2pnew\" with the count of each list."},
              {"fetch",
               {{"URL OUT", "download URL into OUT and print the result code"}},
               "A failed transfer or an HTTP status of 400 or more exits 1 and leaves OUT as it was."},
              {"resource",
               {{"DIR FILE ADDRESS", "print the resource page made from page FILE fetched from ADDRESS"}},
               "The resource sites are those of DIR's template. The page is titled with the last part of "
               "ADDRESS."},
              {"install",
               {{"DIR NAME KEY PROGRAM", "start companion KEY for DIR, installing it when missing"}},
               "Starts the companion program as the portal would, downloading and installing it from the "
               "setup server first when it is not installed. Status texts and byte counts go to standard "
               "output and messages to standard error, one line each, in UTF-8. Exits 0 when the companion "
               "was started."},
              {"scrape",
               {{"DIR FILE ADDRESS", "list the episodes of show page FILE fetched from ADDRESS"}},
               "Lists the episodes as DIR's play window would, using and updating its episode caches in "
               "DIR/tavelo/. Prints one line per row, the label, a TAB and the address, then \"last\" "
               "and the label of the episode last played. A FILE over 64 MB is a failed fetch, as the play "
               "window's download of such a page is: the cached list is used. Exits 1 when there is no row."},
              {"lists",
               {{"DIR show LIST", "print LIST newest first, one record a line: category, TAB, info"},
                {"DIR add LIST CATEGORY INFO", "add a video to LIST"},
                {"DIR delete LIST CATEGORY INFO", "take the video with INFO out of LIST"},
                {"DIR export FILE", "write both lists to FILE as one JSON document"},
                {"DIR import FILE", "add the videos of an exported FILE that the lists lack"}},
               "LIST is favourites or history. Texts are given as the lists store them (GBK, escaped) and "
               "printed with their escapes, in the encoding DESCRIPTION explains. Edits take the lists' "
               "lock, as the portal's windows do.\n\n"
               "The export is UTF-8 JSON whose texts hold real TABs and line breaks, to carry the lists to "
               "another machine. A broken or foreign file, or a text GBK cannot hold, is refused in one line "
               "(exit 1) and the lists stay as they were."},
              {"progress",
               {{"DIR show", "print where each episode stopped, newest first"},
                {"DIR clear", "forget every episode's position"}},
               "The play windows keep the position of each episode in DIR/data/progress.dat. show prints one "
               "line per episode: its label and position (or that it was watched), a TAB, the episode's address, a TAB and "
               "the video's show page; UTF-8 on a terminal, GBK as stored otherwise. A store that cannot be "
               "read is left as it is (exit 1)."},
          },
      .exitStatus =
          "0 when the command did its work; 1 when a file could not be read or written, or a download, "
          "update or install failed; 2 when the command or its arguments are wrong.",
      .seeAlso = {"tavelo-demo-server(1)"},
  };
  return kHelp;
}

}  // namespace tavelo
