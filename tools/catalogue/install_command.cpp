#include "install_command.h"

#include <unistd.h>

#include <utility>

#include <ostream>

#include "content/companion_install.h"
#include "port/process.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

// Prints every text a transfer window would show, one line each.
class LinePrinter : public StatusSink, public ProgressSink {
 public:
  explicit LinePrinter(std::ostream& out) : out_(out) {}
  void SetStatusText(const std::string& gbk) override { out_ << GbkToUtf8(gbk) << '\n' << std::flush; }
  // The byte counts carry the progress; the bar adds nothing on a terminal.
  void SetRange(int, int) override {}
  void SetPosition(int) override {}

 private:
  std::ostream& out_;
};

class ConsoleHost : public CompanionHost {
 public:
  ConsoleHost(std::ostream& out, std::ostream& err, std::string folder)
      : err_(err), printer_(out), folder_(std::move(folder)) {}

  TransferResult RunTransfer(const std::string& statusText, const TransferRequest& request) override {
    printer_.SetStatusText(statusText);
    TransferJob job(request);
    job.Run(&printer_, &printer_);
    return job.Result();
  }
  void ShowMessage(const std::string& text) override { err_ << GbkToUtf8(text) << '\n'; }
  // As the portal would: in the folder whose data the companion belongs to.
  bool StartProcess(const std::vector<std::string>& argv) override { return port::SpawnDetached(argv, folder_); }

 private:
  std::ostream& err_;
  LinePrinter printer_;
  std::string folder_;
};

std::string AbsoluteFolder(std::string folder) {
  if (!folder.starts_with('/')) {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) != nullptr) folder = std::string(cwd) + "/" + folder;
  }
  return folder;
}

}  // namespace

int RunInstallCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const std::string folder = AbsoluteFolder(arguments[0]);
  ConsoleHost host(out, err, folder);
  CompanionProgram program{Utf8ToGbk(arguments[1]), Utf8ToGbk(arguments[2]), Utf8ToGbk(arguments[3])};
  bool started = StartCompanion(program, CompanionPlaces::ForProgram(folder), host);
  return started ? 0 : 1;
}

}  // namespace tavelo
