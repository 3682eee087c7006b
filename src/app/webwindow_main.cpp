// tavelo-webwindow URL: opens one web window on URL through the real port and
// leaves when the last web window (pop-ups included) has closed.

#include <gtk/gtk.h>

#include <cstdio>

#include "base/desktop_identity.h"
#include "browser/command_protocol.h"
#include "port/gtk/gtk_port.h"
#include "text/encoding.h"
#include "windows/web_window.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  tavelo::SetDesktopIdentity();
  gtk_init(&argc, &argv);
  tavelo::gtkport::GtkPlatform platform;
  tavelo::WindowSet windows(platform, tavelo::OpenPopupWebWindow);
  tavelo::PageHookup hookup;
  // Without the portal nothing can carry out a page command: it is refused
  // (never fetched as a page) and named on stderr.
  hookup.run_page_command = [](const tavelo::PageNavigation& navigation) {
    if (!tavelo::IsCommandAddress(navigation.address)) return false;
    std::fprintf(stderr, "tavelo-webwindow: page command not carried out: %s\n",
                 tavelo::GbkToUtf8(navigation.address).c_str());
    return true;
  };
  tavelo::OpenWebWindow(windows, hookup, tavelo::Utf8ToGbk(argv[1]));
  while (windows.Count() > 0) gtk_main_iteration();
  return 0;
}
