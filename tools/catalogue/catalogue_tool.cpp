#include "catalogue_tool.h"
#include "catalogue_help.h"
#include "lists_command.h"
#include "progress_command.h"
#include "tool_common.h"

#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <ostream>
#include <string_view>

#include "base/atomic_write.h"
#include "base/file_digest.h"
#include "base/mapped_file.h"
#include "base/program_paths.h"
#include "catalogue/catalogue_store.h"
#include "catalogue/site_config.h"
#include "net/zip_reader.h"
#include "net/zip_writer.h"
#include "content/episode_fetch.h"
#include "text/encoding.h"
#include "text/page_normalizer.h"
#include "text/template_file.h"
#include "text/text_buffer.h"
#include "text/url_text.h"
#include "content/resource_page.h"

namespace tavelo {

namespace {

constexpr int kDone = kToolDone;
constexpr int kFileError = kToolFileError;
constexpr int kUsageError = kToolUsageError;

using Arguments = std::vector<std::string>;

constexpr std::string_view kRawSwitch = "--raw";

// The stream's flag, set by PrintStoredTextForReader.
int ReaderFlag() {
  static const int index = std::ios_base::xalloc();
  return index;
}

int Scramble(const Arguments& args, std::ostream&, std::ostream& err) {
  std::string bytes;
  if (!ReadWholeFile(args[0], bytes)) return FileError(err, "read", args[0]);
  KeyedXor(bytes, kCatalogueKey);
  // All or nothing, so a killed run never leaves OUT cut short.
  if (!AtomicWriteFile(args[1], bytes)) return FileError(err, "write", args[1]);
  return kDone;
}

int Check(const Arguments& args, std::ostream& out, std::ostream& err) {
  std::string directory = FolderArgument(args[0]);
  CatalogueStore store;
  // A folder or template that cannot be read is no empty catalogue.
  if (!store.Load(directory)) return FileError(err, "read", ProgramPaths{directory}.Template());
  for (int i = 0; i < store.CategoryCount(); ++i) {
    const CatalogueCategory& category = store.Category(i);
    out << category.Records().Count() << '\t' << StoredText{category.Descriptor()} << '\n';
  }
  out << "total " << store.TotalRecordCount() << '\n';
  return kDone;
}

int Digest(const Arguments& args, std::ostream& out, std::ostream& err) {
  std::string hex;
  if (DigestFileHex(args[0], hex) != 0) return FileError(err, "read", args[0]);
  out << hex << '\n';
  return kDone;
}

int Template(const Arguments& args, std::ostream& out, std::ostream& err) {
  bool list = args[1] == "--list";
  if (args.size() != (list ? 4u : 2u)) return kUsageError;
  TemplateFile file;
  if (file.Load(args[0]) != 0) return FileError(err, "read", args[0]);
  if (!list) {
    out << StoredText{file.GetValue(args[1])} << '\n';
    return kDone;
  }
  for (const std::string& line : file.GetLines(args[2], args[3])) out << StoredText{line} << '\n';
  return kDone;
}

int Pack(const Arguments& args, std::ostream&, std::ostream& err) {
  bool zip = args.size() == 3;
  if (zip && args[2] != "--zip") return kUsageError;
  std::string data;
  if (!ReadWholeFile(args[0], data)) return FileError(err, "read", args[0]);
  // No line end after "[LIST_BEGIN]": the package holds exactly the
  // records of the data text.
  std::string package = "[LIST_BEGIN]" + data + "[LIST_END]\r\nDB_DATA_END\r\n";
  KeyedXor(package, kCatalogueKey);
  if (zip) {
    std::string name = args[1].substr(args[1].rfind('/') + 1);
    if (name.ends_with(".zip")) name.resize(name.size() - 4);
    name += ".dat";
    package = BuildSingleMemberZip(name, package, ZipMethod::kDeflated, DosDateTimeNow());
  }
  if (!AtomicWriteFile(args[1], package)) return FileError(err, "write", args[1]);
  return kDone;
}

int Unzip(const Arguments& args, std::ostream& out, std::ostream& err) {
  std::string extracted;
  std::string reason;
  if (ExtractFirstEntry(args[0], extracted, {}, &reason) != 0) {
    err << "tavelo-catalogue: cannot extract " << args[0] << ": " << reason << "\n";
    return kFileError;
  }
  out << extracted << '\n';
  return kDone;
}

// The title a resource window would take from its record is not known
// here: the last part of the address stands in for it.
int Resource(const Arguments& args, std::ostream& out, std::ostream& err) {
  std::string page;
  if (!ReadWholeFile(args[1], page)) {
    err << "tavelo-catalogue: cannot read " << args[1] << "\n";
    return kFileError;
  }
  const std::string templatePath = ProgramPaths{FolderArgument(args[0])}.Template();
  const ResourceSiteDomains domains{ResourceSiteDomain(1, templatePath), ResourceSiteDomain(2, templatePath)};
  const std::string& address = args[2];
  std::string title = address.substr(address.rfind('/') + 1);
  out << StoredText{BuildResourcePage(title, ExtractResourceInfo(address, NormalizePage(std::move(page)), domains))};
  return kDone;
}

// Appends `gbk` to `text` as `out << StoredText` prints it, with TAB, CR
// and LF as spaces: a field of one output line, and labels taken from a page
// may hold line breaks. A page's thousands of rows go out in one write.
void AppendOnOneLine(std::string& text, std::ostream& out, std::string_view gbk) {
  if (out.iword(ReaderFlag()) == 0) {
    AppendFlattened(text, gbk);
    return;
  }
  std::string flat(gbk);
  FlattenWhitespace(flat);
  text += GbkToCodeset(flat, nl_langinfo(CODESET));
}

int Scrape(const Arguments& args, std::ostream& out, std::ostream& err) {
  const ProgramPaths paths = ProgramFolder(args[0]);
  // A page over the play window's cap is a failed fetch there, and here.
  const MappedFile page(args[1], static_cast<off_t>(kShowPageLimit));
  if (!page.Ok() && errno != EFBIG) {
    err << "tavelo-catalogue: cannot read " << args[1] << "\n";
    return kFileError;
  }
  MakeDirectories(paths.In(kEpisodeCacheFolder));
  const std::string showHost = VideoShowHost(paths.Template());
  EpisodeFetchResult result = FinishSavedPageFetch(page.Bytes(), args[2], paths, showHost);
  if (result.failed) {
    err << GbkToUtf8(FetchFailedMessage()) << "\n";
    return kFileError;
  }
  std::string lines;
  size_t size = 0;
  for (const EpisodeRow& row : result.rows) size += row.label.size() + row.address.size() + 2;
  lines.reserve(size);
  for (const EpisodeRow& row : result.rows) {
    AppendOnOneLine(lines, out, row.label);
    lines += '\t';
    AppendOnOneLine(lines, out, row.address);
    lines += '\n';
  }
  if (result.preselected >= 0) {
    lines += "last ";
    AppendOnOneLine(lines, out, result.rows[static_cast<size_t>(result.preselected)].label);
    lines += '\n';
  }
  out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
  return kDone;
}

// Texts go out in UTF-8 when a person reads them on a terminal.
int Progress(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  return RunProgressCommand(arguments, out, err, &out == &std::cout && isatty(STDOUT_FILENO) == 1);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, StoredText text) {
  if (out.iword(ReaderFlag()) == 0) return out << text.gbk;
  return out << GbkToCodeset(text.gbk, nl_langinfo(CODESET));
}

void PrintStoredTextForReader(std::ostream& out) { out.iword(ReaderFlag()) = 1; }

ProgramPaths ProgramFolder(std::string directory) {
  if (!directory.starts_with('/')) {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) != nullptr) directory = std::string(cwd) + "/" + directory;
  }
  return ProgramPaths{FolderArgument(directory)};
}

int RunCatalogueCommand(Arguments arguments, std::ostream& out, std::ostream& err, bool toTerminal,
                        CommandHandler (*networkHandler)(std::string_view name)) {
  // The help table says which commands exist and how many arguments each
  // takes; this one only says who runs them.
  static const std::map<std::string, CommandHandler, std::less<>> kHandlers = {
      {"scramble", Scramble}, {"check", Check},    {"digest", Digest},
      {"template", Template}, {"pack", Pack},      {"unzip", Unzip},
      {"resource", Resource}, {"scrape", Scrape},  {"lists", RunListsCommand},
      {"progress", Progress},
  };
  const help::ProgramHelp& help = CatalogueToolHelp();
  const bool raw = !arguments.empty() && arguments[0] == kRawSwitch;
  if (raw) arguments.erase(arguments.begin());
  if (toTerminal && !raw) PrintStoredTextForReader(out);
  if (arguments.size() == 1 && help::AsksForHelp(arguments[0])) {
    out << help::ProgramUsage(help);
    return kDone;
  }
  const help::Entry* command = arguments.empty() ? nullptr : help::FindEntry(help, arguments[0]);
  if (command == nullptr) {
    err << help::ProgramUsage(help);
    return kUsageError;
  }
  auto local = kHandlers.find(command->name);
  Arguments rest(arguments.begin() + 1, arguments.end());
  if (rest.size() == 1 && help::AsksForHelp(rest[0])) {
    out << help::EntryUsage(help, *command);
    return kDone;
  }
  const help::ArgumentCount count = help::CountArguments(*command);
  int status = kUsageError;
  if (rest.size() >= count.least && rest.size() <= count.most) {
    if (local != kHandlers.end()) {
      status = local->second(rest, out, err);
    } else {
      CommandHandler handler = networkHandler ? networkHandler(command->name) : nullptr;
      status = handler ? handler(rest, out, err) : kToolRunsElsewhere;
    }
  }
  if (status == kUsageError) {
    err << help::EntryUsageLines(help, *command)
        << "\"tavelo-catalogue " << command->name << " --help\" tells more.\n";
  }
  return status;
}

}  // namespace tavelo
