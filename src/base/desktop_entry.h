#pragma once
// Desktop entries (.desktop files) that start a program, written through
// GLib's key files so that every value is escaped as the format wants.

#include <string>

namespace tavelo {

// Texts are UTF-8, as desktop entries are.
struct DesktopEntry {
  std::string name;
  std::string comment;
  std::string program;     // the full path the entry starts
  std::string folder;      // the folder it starts in
  std::string icon;        // a picture's full path; none when empty
  std::string categories;  // e.g. "AudioVideo;Video;"
};

// Writes `entry` to `file` and marks the file executable, since desktops
// start only entries that are. False when the file could not be written.
bool WriteDesktopEntry(const std::string& file, const DesktopEntry& entry);

}  // namespace tavelo
