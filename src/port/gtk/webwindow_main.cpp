// tavelo-webwindow URL: opens one web window on URL through the real port and
// leaves when the last web window (pop-ups included) has closed.

#include <gtk/gtk.h>

#include <cstdio>

#include "port/gtk/gtk_port.h"
#include "text/encoding.h"
#include "windows/web_window.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  gtk_init(&argc, &argv);
  tavelo::gtkport::GtkPlatform platform;
  tavelo::WebWindowContext context;
  context.platform = &platform;
  tavelo::OpenWebWindow(context, tavelo::Utf8ToGbk(argv[1]));
  while (tavelo::WebWindow::LiveCount() > 0) gtk_main_iteration();
  return 0;
}
