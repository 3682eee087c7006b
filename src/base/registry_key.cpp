#include "base/registry_key.h"

#include <glib.h>

#include <cerrno>
#include <memory>

#include "base/atomic_write.h"
#include "base/file_lock.h"
#include "base/program_paths.h"
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
// Entry that keeps a key without values; escaped names never look like it.
constexpr const char* kKeyMarker = "@";

struct KeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

struct StringListDeleter {
  void operator()(gchar** list) const { g_strfreev(list); }
};
using StringList = std::unique_ptr<gchar*[], StringListDeleter>;

// Key files cannot hold every byte in a group or key name, so names are
// stored as written with every byte but ASCII letters and digits escaped as
// "%XX": two different names never share a stored form.
std::string StoredName(std::string_view name) { return UrlEncode(name); }

// The stored name among `stored` that is `name` without regard to letter
// case, as registry names compare; "" when there is none.
std::string FindStored(gchar** stored, std::string_view name) {
  for (gchar** at = stored; at != nullptr && *at != nullptr; ++at) {
    if (std::string_view(*at) == kKeyMarker) continue;
    if (EqualsIgnoreCaseGbk(UrlDecode(*at), name)) return *at;
  }
  return {};
}

std::string FindGroup(GKeyFile* file, std::string_view keyPath) {
  return FindStored(StringList(g_key_file_get_groups(file, nullptr)).get(), keyPath);
}

std::string FindEntry(GKeyFile* file, const std::string& group, std::string_view valueName) {
  return FindStored(StringList(g_key_file_get_keys(file, group.c_str(), nullptr, nullptr)).get(),
                    valueName);
}

// The root's key file; a missing or damaged file reads as an empty root.
// Null when the file is there but cannot be read: writing then would
// replace every key in it with the one change.
KeyFilePtr LoadRoot(const std::string& rootFile) {
  KeyFilePtr file(g_key_file_new());
  GError* error = nullptr;
  if (!g_key_file_load_from_file(file.get(), rootFile.c_str(), G_KEY_FILE_KEEP_COMMENTS, &error)) {
    bool unreadable = error->domain == G_FILE_ERROR && error->code != G_FILE_ERROR_NOENT;
    g_error_free(error);
    if (unreadable) return nullptr;
    file.reset(g_key_file_new());
  }
  return file;
}

bool SaveRoot(GKeyFile* file, const std::string& rootFile) {
  gsize length = 0;
  std::unique_ptr<gchar, decltype(&g_free)> data(g_key_file_to_data(file, &length, nullptr), &g_free);
  return data && AtomicWriteFile(rootFile, std::string_view(data.get(), length));
}

// The stored text of a value, or nothing when the key or value is missing.
bool ReadStored(GKeyFile* file, std::string_view keyPath, std::string_view name,
                std::string& stored) {
  if (file == nullptr || keyPath.empty() || name.empty()) return false;
  const std::string group = FindGroup(file, keyPath);
  const std::string entry = group.empty() ? std::string() : FindEntry(file, group, name);
  if (entry.empty()) return false;
  std::unique_ptr<gchar, decltype(&g_free)> value(
      g_key_file_get_string(file, group.c_str(), entry.c_str(), nullptr), &g_free);
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
  SaveLock lock(rootFile);
  KeyFilePtr file = LoadRoot(rootFile);
  if (!file) {
    lastError_ = EACCES;
    return 0;
  }
  if (FindGroup(file.get(), path).empty()) {
    if (!create) {
      lastError_ = ENOENT;
      return 0;
    }
    // An empty group is not written by GKeyFile; a marker entry keeps the key.
    g_key_file_set_string(file.get(), StoredName(path).c_str(), kKeyMarker, "");
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
  if (!ReadStored(file.get(), subKey_, name, stored)) {
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
  if (!ReadStored(file.get(), subKey_, name, stored)) return std::string(fallback);
  std::string_view prefix = stored.starts_with(kStringPrefix)         ? kStringPrefix
                            : stored.starts_with(kExpandStringPrefix) ? kExpandStringPrefix
                                                                      : std::string_view();
  if (prefix.empty()) return std::string(fallback);
  std::string value = Utf8ToGbk(std::string_view(stored).substr(prefix.size()));
  if (value.size() > kMaxValueLength) return std::string(fallback);
  return value;
}

int RegistryKey::WriteTyped(std::string_view name, const std::string& stored) {
  if (name.empty() || subKey_.empty()) return 0;
  const std::string rootFile = RootFile();
  SaveLock lock(rootFile);
  KeyFilePtr file = LoadRoot(rootFile);
  if (!file) return 0;
  const std::string group = FindGroup(file.get(), subKey_);
  if (group.empty()) return 0;
  // A value keeps the name it was first written with, as registry values do.
  std::string entry = FindEntry(file.get(), group, name);
  if (entry.empty()) entry = StoredName(name);
  // set_string escapes line breaks and the like, so any value stays on its line.
  g_key_file_set_string(file.get(), group.c_str(), entry.c_str(), stored.c_str());
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
  SaveLock lock(rootFile);
  KeyFilePtr file = LoadRoot(rootFile);
  if (!file) {
    lastError_ = EACCES;
    return false;
  }
  const std::string group = FindGroup(file.get(), path);
  if (group.empty() || !g_key_file_remove_group(file.get(), group.c_str(), nullptr)) return true;
  if (!SaveRoot(file.get(), rootFile)) {
    lastError_ = EACCES;
    return false;
  }
  return true;
}

}  // namespace tavelo
