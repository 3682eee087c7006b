#pragma once
// The program's own look on top of the desktop theme, applied to its own
// widgets only (message boxes and pages keep the theme's): the dialog
// background colour, edit boxes that fit the 22-pixel rows the windows lay
// out, and the application icon.

#include <gtk/gtk.h>

namespace tavelo::gtkport {

// The window's background in the program's background colour, and its icon.
void ApplyWindowLook(GtkWindow* window);

// A new edit box in the dialog font whose frame and text fit 22 pixels: the
// theme's minimum height and padding would keep it at about 34. (The look
// must be there before the box joins a window, or GTK keeps its old size.)
GtkWidget* NewEditBox();

// The application icon (picture 128), made once; owned by this module.
GdkPixbuf* AppIcon();

}  // namespace tavelo::gtkport
