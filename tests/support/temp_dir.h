#pragma once
// A fresh temporary folder per test, removed with everything in it afterwards.

#include <string>
#include <vector>

namespace tavelo::testing {

class TempDir {
 public:
  TempDir();
  // Inside `parent` when that folder exists, else where the other ones go.
  explicit TempDir(const std::string& parent);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's path with a trailing "/".
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// A folder in memory (/dev/shm), where flushing a file to disk costs
// nothing: for tests of many saves in a row that are not about the disk.
inline constexpr const char* kMemoryFolder = "/dev/shm";

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// The names in `folder`, sorted.
std::vector<std::string> FolderNames(const std::string& folder);

}  // namespace tavelo::testing
