// tavelo-make-manpage PROGRAM VERSION OUT: writes the manual page of one of
// the commands from its help table, at build time.

#include <iostream>
#include <string>
#include <string_view>

#include "base/atomic_write.h"
#include "catalogue_help.h"
#include "demo_options.h"
#include "portal_help.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: tavelo-make-manpage PROGRAM VERSION OUT\n";
    return 2;
  }
  const std::string_view program = argv[1];
  for (const tavelo::help::ProgramHelp* help :
       {&tavelo::help::PortalHelp(), &tavelo::CatalogueToolHelp(), &tavelo::demo::DemoServerHelp()}) {
    if (help->name != program) continue;
    if (tavelo::AtomicWriteFile(argv[3], tavelo::help::ManPage(*help, argv[2]))) return 0;
    std::cerr << "tavelo-make-manpage: cannot write " << argv[3] << "\n";
    return 1;
  }
  std::cerr << "tavelo-make-manpage: no help table for " << program << "\n";
  return 2;
}
