#include "content/companion_install.h"

#include <sys/stat.h>

#include <array>

#include "base/atomic_write.h"
#include "base/program_paths.h"
#include "content/install_description.h"
#include "text/encoding.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr const char* kInstalledVersion = "1.00";
constexpr const char* kOutdatedCommand = "不能运行此功能,请下载最新版本";

struct ProductPageRow {
  const char* productKey;
  const char* path;
};

// The maker's products that have a page of their own.
constexpr std::array<ProductPageRow, 2> kProductPages = {{
    {"quillo", "/soft/quillo.htm"},
    {"tavelo", "/soft/tavelo.htm"},
}};

// What a page may name: a product key of letters, digits, "_" and "-", which
// goes into the setup server's address as it is, and a program that is one
// file name.
bool AcceptableCompanion(const CompanionProgram& program) {
  constexpr size_t kMaxKey = 49;
  const std::string& key = program.productKey;
  if (key.empty() || key.size() > kMaxKey) return false;
  for (char c : key) {
    const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letterOrDigit && c != '_' && c != '-') return false;
  }
  const std::string name = LocalProgramName(program.programFile);
  constexpr std::string_view kSeparators("/\\\0", 3);
  return !name.empty() && name != "." && name != ".." && name.find_first_of(kSeparators) == std::string::npos;
}

// Whether the folders between `root` and `path` are plain folders where they
// exist, and `path` itself is no symbolic link: a link planted in the
// program or programs folder must not carry a download elsewhere.
bool LinkFreeBeneath(const std::string& root, const std::string& path) {
  if (!path.starts_with(root)) return false;
  for (size_t slash = path.find('/', root.size()); ; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    struct stat info;
    if (lstat(part.c_str(), &info) != 0) return true;  // the rest is yet to be made
    if (S_ISLNK(info.st_mode)) return false;
    if (slash == std::string::npos) return true;
    if (!S_ISDIR(info.st_mode)) return false;
  }
}

bool LinkFreeInstall(const InstallDescription& description, const CompanionPlaces& places) {
  const std::string programFolder = GbkToUtf8(places.programFolder);
  const std::string programFiles = GbkToUtf8(places.programFiles);
  for (const InstallFile& file : description.files) {
    const std::string path = GbkToUtf8(file.localPath);
    const std::string& root = path.starts_with(programFolder) ? programFolder : programFiles;
    if (!LinkFreeBeneath(root, path)) return false;
  }
  return true;
}

// A program that is there but would not run must not fail in silence.
void TellNotStarted(const CompanionProgram& program, CompanionHost& host) {
  host.ShowMessage(Gbk("启动程序失败《") + program.displayName + Gbk("》"));
}

bool Exists(const std::string& gbkPath) {
  struct stat info;
  return lstat(GbkToUtf8(gbkPath).c_str(), &info) == 0;
}

// The install makes the main program runnable (FileKind::kProgram); one that
// was there before may have arrived as a plain file and needs the right to run.
bool MakeExecutable(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (info.st_mode & S_IXUSR) return true;
  mode_t mode = info.st_mode & 07777;
  mode |= S_IXUSR;
  if (mode & S_IRGRP) mode |= S_IXGRP;
  if (mode & S_IROTH) mode |= S_IXOTH;
  return mode == (info.st_mode & 07777) || chmod(path.c_str(), mode) == 0;
}

// A text file of the list: written once it has arrived, and never over a
// file that appeared meanwhile. A fetch that gave nothing writes nothing, so
// the next installation tries again instead of skipping an empty file.
void FetchTextFile(const InstallFile& file, FileKind kind, const std::string& status, CompanionHost& host) {
  TransferResult fetched = host.RunTransfer(status, TransferRequest::TextFetch(file.url));
  if (fetched.stopped || fetched.text.empty()) return;
  PendingFile out(GbkToUtf8(file.localPath), kind);
  if (out.Write(fetched.text)) out.CommitWithoutReplacing();
}

void FetchPackage(const InstallFile& file, FileKind kind, const std::string& status, const CompanionPlaces& places,
                  CompanionHost& host) {
  host.RunTransfer(status, TransferRequest::PackageInstall(file.url, file.digest, GbkToUtf8(file.localPath),
                                                          GbkToUtf8(places.programFolder) + std::string(kDataFolder),
                                                          kind));
}

void Record(const CompanionProgram& program, const std::string& registryPath, const CompanionPlaces& places) {
  if (registryPath.empty()) return;
  std::optional<RegistryKey> key = CompanionKey(program.productKey, places.registryDirectory);
  if (!key) return;
  key->WriteString("ver", kInstalledVersion);
  key->WriteString("path", registryPath);
}

}  // namespace

std::string EscapeForAddress(const std::string& text) {
  return PercentEscape(text, [](unsigned char byte) { return byte > 0x20 && byte < 0x7F; });
}

std::string DescriptionAddress(const CompanionProgram& program, const std::string& setupServer) {
  const std::string key = EscapeForAddress(program.productKey);
  return setupServer + "/setup/" + key + "/getinfo_" + key + ".asp?v=2&id=" + key +
         "&name=" + EscapeForAddress(program.displayName);
}

std::string ProductPage(const std::string& productKey, const std::string& makerSite) {
  for (const ProductPageRow& row : kProductPages) {
    if (productKey == row.productKey) return makerSite + row.path;
  }
  return makerSite + "/";
}

InstallOutcome InstallCompanion(const CompanionProgram& program, const CompanionPlaces& places,
                                CompanionHost& host) {
  if (!AcceptableCompanion(program)) {
    host.ShowMessage(Gbk(kOutdatedCommand));
    return InstallOutcome::kFailed;
  }
  const StartProgram start = [&host](const std::vector<std::string>& argv) { return host.StartProcess(argv); };
  TransferResult fetched = host.RunTransfer(Gbk("首次使用《") + program.displayName + Gbk("》,下载相关数据"),
                                            TransferRequest::TextFetch(DescriptionAddress(program, places.setupServer)));

  InstallDescription description = ParseInstallDescription(
      std::move(fetched.text), InstallPlaces{places.programFolder, places.programFiles, program.productKey});
  if (!description.recognised) {
    std::string page = ProductPage(program.productKey, places.makerSite);
    host.ShowMessage(Gbk("请到Qori软件官网去下载安装《") + program.displayName + Gbk("》\r\n") + page);
    OpenWithQuillo(page, places, start);
    return InstallOutcome::kSentAway;
  }
  if (description.noSetup) {
    host.ShowMessage(description.message);
    if (!description.url.empty()) OpenWithQuillo(description.url, places, start);
    return InstallOutcome::kSentAway;
  }

  if (description.refused || !LinkFreeInstall(description, places)) {
    host.ShowMessage(Gbk("下载文件出错,请稍候再试"));
    return InstallOutcome::kFailed;
  }

  const std::string status = Gbk("下载 ") + program.displayName + Gbk(" 相关文件");
  for (const InstallFile& file : description.files) {
    // Files already there are kept as they are, checked or not.
    if (Exists(file.localPath)) continue;
    MakeDirectories(GbkToUtf8(file.localPath));
    const FileKind kind = file.localPath == description.mainProgram ? FileKind::kProgram : FileKind::kDocument;
    if (file.fetchText) {
      FetchTextFile(file, kind, status, host);
    } else {
      FetchPackage(file, kind, status, places, host);
    }
  }

  const std::string mainProgram = GbkToUtf8(description.mainProgram);
  if (!description.mainProgram.empty() && MakeExecutable(mainProgram)) {
    // Only a program that runs is recorded as installed.
    if (!host.StartProcess({mainProgram})) {
      TellNotStarted(program, host);
      return InstallOutcome::kFailed;
    }
    Record(program, description.registryPath, places);
    return InstallOutcome::kStarted;
  }
  host.ShowMessage(Gbk("下载文件出错,请稍候再试"));
  return InstallOutcome::kFailed;
}

bool StartCompanion(const CompanionProgram& program, const CompanionPlaces& places, CompanionHost& host) {
  bool started = false;
  const StartProgram start = [&](const std::vector<std::string>& argv) { return started = host.StartProcess(argv); };
  // Checked before the registry store is even opened: the key names a key there.
  if (!AcceptableCompanion(program)) {
    host.ShowMessage(Gbk(kOutdatedCommand));
    return false;
  }
  if (StartInstalledCompanion(program.productKey, program.programFile, start, places.registryDirectory) == 0) {
    if (!started) TellNotStarted(program, host);
    return started;
  }
  return InstallCompanion(program, places, host) == InstallOutcome::kStarted;
}

}  // namespace tavelo
