// The commands that reach the network, and RunCatalogueTool, which runs
// them in-process: kept apart so that tavelo-catalogue itself links neither.

#include <map>
#include <ostream>

#include "catalogue/catalogue_store.h"
#include "catalogue_tool.h"
#include "install_command.h"
#include "net/data_update.h"
#include "net/http_downloader.h"
#include "text/template_file.h"
#include "tool_common.h"

namespace tavelo {

namespace {

using Arguments = std::vector<std::string>;

int Update(const Arguments& args, std::ostream& out, std::ostream& err) {
  const std::string directory = ProgramFolder(args[0]).folder;
  // The pass itself goes quietly past a template it cannot read, as the
  // portal's must; the operator is told.
  TemplateFile templates;
  const std::string templatePath = ProgramPaths{directory}.Template();
  if (templates.Load(templatePath) != 0) return FileError(err, "read", templatePath);
  CatalogueCategory videoNew;
  CatalogueCategory p2pNew;
  RunDataUpdatePass(ProgramPaths{directory}, videoNew, p2pNew);
  out << "videonew " << videoNew.Records().Count() << '\n';
  out << "p2pnew " << p2pNew.Records().Count() << '\n';
  return kToolDone;
}

int Fetch(const Arguments& args, std::ostream& out, std::ostream& err) {
  HttpDownloader downloader;
  // An error page is no download: OUT keeps what it held.
  downloader.SetFailOnErrorStatus(true);
  int result = downloader.DownloadToFile(args[0], args[1]);
  out << result << '\n';
  if (result == kDownloadDone) return kToolDone;
  if (result == kDownloadFileError) return FileError(err, "write", args[1]);
  err << "tavelo-catalogue: cannot fetch " << args[0];
  if (downloader.ResponseStatus() >= 400) err << ": HTTP status " << downloader.ResponseStatus();
  err << "\n";
  return kToolFileError;
}

CommandHandler NetworkHandler(std::string_view name) {
  static const std::map<std::string, CommandHandler, std::less<>> kHandlers = {
      {"update", Update}, {"fetch", Fetch}, {"install", RunInstallCommand}};
  auto handler = kHandlers.find(name);
  return handler == kHandlers.end() ? nullptr : handler->second;
}

}  // namespace

int RunCatalogueTool(Arguments arguments, std::ostream& out, std::ostream& err, bool toTerminal) {
  return RunCatalogueCommand(std::move(arguments), out, err, toTerminal, NetworkHandler);
}

}  // namespace tavelo
