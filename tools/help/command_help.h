#pragma once
// A program's command-line help as one table of text. Its --help output, the
// help of each command and its manual page are all made from the table, so
// none of them can drift from the others.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo::help {

// One way of calling a command or option.
struct Usage {
  // Argument names in capitals, literal words as typed; a word or group in
  // [brackets] may be left out.
  std::string_view arguments;
  // What it does, on one line.
  std::string_view summary;
};

// A command (the first word after the program) or an option.
struct Entry {
  std::string_view name;
  std::vector<Usage> usages;
  // Sentences for the command's own help and the manual page; "" when the
  // summaries say all there is.
  std::string_view details;
};

// Whether a program's first word names a command or its arguments are options.
enum class EntryKind { kCommands, kOptions };

struct ProgramHelp {
  std::string_view name;
  // What follows the name on a usage line, e.g. "COMMAND ARGS".
  std::string_view synopsis;
  // A short phrase for the manual page's NAME line.
  std::string_view purpose;
  // Paragraphs separated by blank lines.
  std::string_view description;
  EntryKind kind = EntryKind::kCommands;
  std::vector<Entry> entries;
  // Paragraphs separated by blank lines.
  std::string_view exitStatus;
  // Other manual pages worth reading, e.g. "tavelo-demo-server(1)".
  std::vector<std::string_view> seeAlso;
};

// "--help" and "-h" ask for help wherever they stand alone.
bool AsksForHelp(std::string_view argument);

const Entry* FindEntry(const ProgramHelp& program, std::string_view name);

// The fewest and most arguments that the entry's usages take after its name.
struct ArgumentCount {
  size_t least = 0;
  size_t most = 0;
};
ArgumentCount CountArguments(const Entry& entry);

// What "PROGRAM --help" prints: the usage line, the description and every
// entry with its summary.
std::string ProgramUsage(const ProgramHelp& program);
// What "PROGRAM COMMAND --help" prints: the command's usage lines, each
// usage's summary and its details.
std::string EntryUsage(const ProgramHelp& program, const Entry& entry);
// The usage lines alone, for a command called with the wrong arguments.
std::string EntryUsageLines(const ProgramHelp& program, const Entry& entry);

// The manual page in section 1, as man(7) source.
std::string ManPage(const ProgramHelp& program, std::string_view version);

}  // namespace tavelo::help
