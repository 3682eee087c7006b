#pragma once
// The widget behind a skinned button: a drawing area that takes the keyboard
// focus and tells assistive technology it is a push button. Space and Enter
// emit its "activate" signal, as on a GTK button, and so does the accessible
// object's one action, "click".

#include <gtk/gtk.h>

namespace tavelo::gtkport {

GtkWidget* NewSkinButtonArea();
bool IsSkinButtonArea(GtkWidget* widget);
// The accessible object reports selected and checked while this holds: the
// category button of the page shown.
void SetSkinButtonSelected(GtkWidget* area, bool selected);

}  // namespace tavelo::gtkport
