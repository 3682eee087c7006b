#include "base/desktop_entry.h"

#include <glib.h>
#include <sys/stat.h>

#include <memory>

#include "base/desktop_identity.h"

namespace tavelo {

namespace {

constexpr const char* kGroup = G_KEY_FILE_DESKTOP_GROUP;

// Exec= holds the program path quoted, inside which " ` $ and \ take a
// backslash and % is doubled; the key file then escapes the whole as a string.
std::string QuotedProgram(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

bool WriteDesktopEntry(const std::string& file, const DesktopEntry& entry) {
  std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> keys(g_key_file_new(), &g_key_file_free);
  auto set = [&](const char* key, const std::string& value) {
    g_key_file_set_string(keys.get(), kGroup, key, value.c_str());
  };
  set(G_KEY_FILE_DESKTOP_KEY_TYPE, G_KEY_FILE_DESKTOP_TYPE_APPLICATION);
  set(G_KEY_FILE_DESKTOP_KEY_VERSION, "1.0");
  set(G_KEY_FILE_DESKTOP_KEY_NAME, entry.name);
  set(G_KEY_FILE_DESKTOP_KEY_COMMENT, entry.comment);
  set(G_KEY_FILE_DESKTOP_KEY_EXEC, QuotedProgram(entry.program));
  set(G_KEY_FILE_DESKTOP_KEY_PATH, entry.folder);
  if (!entry.icon.empty()) set(G_KEY_FILE_DESKTOP_KEY_ICON, entry.icon);
  g_key_file_set_boolean(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_TERMINAL, FALSE);
  // The windows' class is the program name: the desktop groups them under this entry.
  set(G_KEY_FILE_DESKTOP_KEY_STARTUP_WM_CLASS, kProgramName);
  // A list already in the format's own form: set as it stands, not escaped.
  g_key_file_set_value(keys.get(), kGroup, G_KEY_FILE_DESKTOP_KEY_CATEGORIES, entry.categories.c_str());

  gsize length = 0;
  std::unique_ptr<gchar, decltype(&g_free)> text(g_key_file_to_data(keys.get(), &length, nullptr), &g_free);
  if (!g_file_set_contents(file.c_str(), text.get(), static_cast<gssize>(length), nullptr)) return false;
  return chmod(file.c_str(), 0755) == 0;
}

}  // namespace tavelo
