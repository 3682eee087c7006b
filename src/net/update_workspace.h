#pragma once
// Where the data update does its work: every package is fetched and
// unpacked in a fresh folder of its own under data/, so a member's name can
// never meet a file already there, and a killed pass blocks no later one.
// What killed passes left is swept by the next pass, under the pass lock.

#include <string>

namespace tavelo {

class UpdateWorkFolder {
 public:
  // Makes the folder inside `dataFolder` (with its trailing "/"); Ok() tells
  // whether it could.
  explicit UpdateWorkFolder(const std::string& dataFolder);
  // Removes the folder with everything in it.
  ~UpdateWorkFolder();
  UpdateWorkFolder(const UpdateWorkFolder&) = delete;
  UpdateWorkFolder& operator=(const UpdateWorkFolder&) = delete;

  bool Ok() const { return !path_.empty(); }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;  // with its trailing "/"; empty when it could not be made
};

// Removes from `dataFolder` what update passes killed part way left: their
// work folders, the ".part-XXXXXX" members and the fixed download names
// "data_tmp1.dat" and "data_tmp2.dat" of earlier versions. Only while
// holding the pass lock: no live pass is then at work.
void RemoveUpdateLeftovers(const std::string& dataFolder);

}  // namespace tavelo
