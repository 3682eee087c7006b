#pragma once
// A small registry of keys and string values, kept as one key file per root
// under the user's configuration folder ($XDG_CONFIG_HOME/tavelo/registry/).
// Companion programs find each other's installation folders here, and
// first-run setup records the installed product. Several processes use it at
// once: every change reloads the file and writes it back under a lock.

#include <string>
#include <string_view>

namespace tavelo {

enum class RegistryRoot : int {
  kClassesRoot = 0,
  kCurrentUser = 1,
  kLocalMachine = 2,
  kUsers = 3,
};

// The folder the root files live in, with a trailing "/".
std::string RegistryDirectory();

class RegistryKey {
 public:
  // Types a value can have, numbered as the platform registry numbers them.
  static constexpr int kTypeNone = 0;
  static constexpr int kTypeString = 1;
  static constexpr int kTypeExpandString = 2;
  static constexpr int kTypeNumber = 4;
  // Values are read into a 255-byte buffer with its terminating zero.
  static constexpr size_t kMaxValueLength = 254;

  RegistryKey() = default;
  // The folder holding the root files; tests give their own.
  explicit RegistryKey(std::string directory) : directory_(std::move(directory)) {}

  void Reset();
  // 1 for one of the four roots, else 0 with the root unchanged.
  int SetRoot(RegistryRoot root);
  // Selects the key (backslash-separated path, letter case ignored). With
  // `create`, a missing key is made empty; without it, a missing key fails.
  // 1 on success, 0 on failure (the old key stays selected).
  int SetKey(std::string_view path, bool create);
  int ValueType(std::string_view name);
  // The value when it is a string that fits the buffer, else `fallback`.
  std::string ReadString(std::string_view name, std::string_view fallback);
  // 1 when written; 0 for a value over 254 bytes or a key that cannot be written.
  int WriteString(std::string_view name, std::string_view value);
  // Stores a number value (used for values that are not strings).
  int WriteNumber(std::string_view name, long value);
  // Removes the key at `path` (letter case ignored) with its values; keys
  // below it are keys of their own and stay. True when the key is gone,
  // also when it never existed; the selected key stays selected.
  bool DeleteKey(std::string_view path);

  int LastError() const { return lastError_; }
  const std::string& SubKey() const { return subKey_; }

 private:
  std::string RootFile() const;
  int WriteTyped(std::string_view name, const std::string& stored);

  std::string directory_ = RegistryDirectory();
  RegistryRoot root_ = RegistryRoot::kCurrentUser;
  std::string subKey_;
  int lastError_ = 0;
};

}  // namespace tavelo
