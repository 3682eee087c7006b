#include "base/registry_key.h"

#include <glib.h>

#include <cerrno>
#include <memory>

#include "base/program_paths.h"
#include "base/file_lock.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                      "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
// Stored values carry their type in front: "sz:text" or "dword:123".
constexpr std::string_view kStringPrefix = "sz:";
constexpr std::string_view kExpandStringPrefix = "expand_sz:";
constexpr std::string_view kNumberPrefix = "dword:";
// Entry that keeps a key without values; hex-escaped names never look like it.
constexpr const char* kKeyMarker = "@";

struct KeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

// Key paths and value names compare without regard to letter case, as
// registry names do; they are stored lower-cased and hex-escaped so that any
// byte is safe in a key file.
std::string GroupName(std::string_view keyPath) { return HexName(LowerGbk(keyPath)); }
std::string EntryName(std::string_view valueName) { return HexName(LowerGbk(valueName)); }

KeyFilePtr LoadRoot(const std::string& rootFile) {
  KeyFilePtr file(g_key_file_new());
  // A missing or damaged file reads as an empty root.
  g_key_file_load_from_file(file.get(), rootFile.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr);
  return file;
}

bool SaveRoot(GKeyFile* file, const std::string& rootFile) {
  // g_key_file_save_to_file writes a temporary file and renames it over the old one.
  return g_key_file_save_to_file(file, rootFile.c_str(), nullptr);
}

// The stored text of a value, or nothing when the key or value is missing.
bool ReadStored(GKeyFile* file, std::string_view keyPath, std::string_view name,
                std::string& stored) {
  std::unique_ptr<gchar, decltype(&g_free)> value(
      g_key_file_get_string(file, GroupName(keyPath).c_str(), EntryName(name).c_str(), nullptr),
      &g_free);
  if (!value) return false;
  stored = value.get();
  return true;
}

}  // namespace

std::string RegistryDirectory() { return std::string(g_get_user_config_dir()) + "/tavelo/registry/"; }

void RegistryKey::Reset() {
  subKey_.clear();
  root_ = RegistryRoot::kCurrentUser;
}

int RegistryKey::SetRoot(RegistryRoot root) {
  int value = static_cast<int>(root);
  if (value < 0 || value > static_cast<int>(RegistryRoot::kUsers)) return 0;
  root_ = root;
  return 1;
}

std::string RegistryKey::RootFile() const {
  return directory_ + kRootNames[static_cast<int>(root_)] + ".ini";
}

int RegistryKey::SetKey(std::string_view path, bool create) {
  if (path.empty()) {
    subKey_.clear();
    return 1;
  }
  MakeDirectories(directory_);
  const std::string rootFile = RootFile();
  FileLock lock(rootFile);
  KeyFilePtr file = LoadRoot(rootFile);
  const std::string group = GroupName(path);
  if (!g_key_file_has_group(file.get(), group.c_str())) {
    if (!create) {
      lastError_ = ENOENT;
      return 0;
    }
    // An empty group is not written by GKeyFile; a marker entry keeps the key.
    g_key_file_set_string(file.get(), group.c_str(), kKeyMarker, "");
    if (!SaveRoot(file.get(), rootFile)) {
      lastError_ = EACCES;
      return 0;
    }
  }
  lastError_ = 0;
  subKey_ = path;
  return 1;
}

int RegistryKey::ValueType(std::string_view name) {
  KeyFilePtr file = LoadRoot(RootFile());
  std::string stored;
  // The empty name is the key's own marker, not a value.
  if (name.empty() || !ReadStored(file.get(), subKey_, name, stored)) {
    lastError_ = ENOENT;
    return kTypeNone;
  }
  lastError_ = 0;
  if (stored.starts_with(kStringPrefix)) return kTypeString;
  if (stored.starts_with(kExpandStringPrefix)) return kTypeExpandString;
  if (stored.starts_with(kNumberPrefix)) return kTypeNumber;
  return kTypeNone;
}

std::string RegistryKey::ReadString(std::string_view name, std::string_view fallback) {
  KeyFilePtr file = LoadRoot(RootFile());
  std::string stored;
  if (name.empty() || !ReadStored(file.get(), subKey_, name, stored)) return std::string(fallback);
  std::string_view prefix = stored.starts_with(kStringPrefix)         ? kStringPrefix
                            : stored.starts_with(kExpandStringPrefix) ? kExpandStringPrefix
                                                                      : std::string_view();
  if (prefix.empty()) return std::string(fallback);
  std::string value = Utf8ToGbk(std::string_view(stored).substr(prefix.size()));
  if (value.size() > kMaxValueLength) return std::string(fallback);
  return value;
}

int RegistryKey::WriteTyped(std::string_view name, const std::string& stored) {
  if (name.empty()) return 0;
  const std::string rootFile = RootFile();
  FileLock lock(rootFile);
  KeyFilePtr file = LoadRoot(rootFile);
  const std::string group = GroupName(subKey_);
  if (subKey_.empty() || !g_key_file_has_group(file.get(), group.c_str())) return 0;
  // set_string escapes line breaks and the like, so any value stays on its line.
  g_key_file_set_string(file.get(), group.c_str(), EntryName(name).c_str(), stored.c_str());
  return SaveRoot(file.get(), rootFile) ? 1 : 0;
}

int RegistryKey::WriteString(std::string_view name, std::string_view value) {
  if (value.size() > kMaxValueLength) return 0;
  // Key files hold UTF-8; the program works in GBK.
  return WriteTyped(name, std::string(kStringPrefix) + GbkToUtf8(value));
}

int RegistryKey::WriteNumber(std::string_view name, long value) {
  return WriteTyped(name, std::string(kNumberPrefix) + std::to_string(value));
}

bool RegistryKey::DeleteKey(std::string_view path) {
  if (path.empty()) return false;
  const std::string rootFile = RootFile();
  FileLock lock(rootFile);
  KeyFilePtr file = LoadRoot(rootFile);
  const std::string group = GroupName(path);
  if (!g_key_file_remove_group(file.get(), group.c_str(), nullptr)) return true;
  if (!SaveRoot(file.get(), rootFile)) {
    lastError_ = EACCES;
    return false;
  }
  return true;
}

}  // namespace tavelo
