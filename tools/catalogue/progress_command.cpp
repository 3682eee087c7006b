#include "progress_command.h"

#include <ostream>

#include "base/program_paths.h"
#include "catalogue/progress_store.h"
#include "text/encoding.h"
#include "tool_common.h"

namespace tavelo {

int RunProgressCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                       bool terminal) {
  const std::string path = ProgramPaths{FolderArgument(arguments[0])}.Progress();
  const std::string& verb = arguments[1];
  if (verb == "clear") {
    const ProgressEdit edit = ClearProgress(path);
    return edit.saved ? kToolDone : FileError(err, edit.readable ? "write" : "read", path);
  }
  if (verb != "show") return kToolUsageError;
  std::optional<std::vector<EpisodeProgress>> records = LoadProgress(path);
  if (!records) return FileError(err, "read", path);
  auto text = [terminal](const std::string& gbk) { return terminal ? GbkToUtf8(gbk) : gbk; };
  // Newest first, as the history window lists videos.
  for (auto record = records->rbegin(); record != records->rend(); ++record) {
    out << text(ProgressSummary(*record)) << '\t' << text(record->address) << '\t' << text(record->video) << '\n';
  }
  return kToolDone;
}

}  // namespace tavelo
