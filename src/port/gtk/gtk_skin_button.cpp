#include "port/gtk/gtk_skin_button.h"

#include <gtk/gtk-a11y.h>

#include <initializer_list>

namespace tavelo::gtkport {

namespace {

struct SkinButtonArea {
  GtkDrawingArea parent;
  gboolean selected;
};
struct SkinButtonAreaClass {
  GtkDrawingAreaClass parent_class;
};

struct SkinButtonAccessible {
  GtkWidgetAccessible parent;
};
struct SkinButtonAccessibleClass {
  GtkWidgetAccessibleClass parent_class;
};

void skin_button_accessible_action_init(AtkActionIface* iface);

G_DEFINE_TYPE_WITH_CODE(SkinButtonAccessible, skin_button_accessible, GTK_TYPE_WIDGET_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, skin_button_accessible_action_init))
G_DEFINE_TYPE(SkinButtonArea, skin_button_area, GTK_TYPE_DRAWING_AREA)

SkinButtonArea* AreaOf(GtkWidget* widget) {
  return G_TYPE_CHECK_INSTANCE_TYPE(widget, skin_button_area_get_type()) ? reinterpret_cast<SkinButtonArea*>(widget)
                                                                          : nullptr;
}

GtkWidget* WidgetOf(AtkObject* accessible) { return gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible)); }

gint ActionCount(AtkAction*) { return 1; }
const gchar* ActionName(AtkAction*, gint i) { return i == 0 ? "click" : nullptr; }

// The click runs from the main loop, as a GTK button's does: a screen
// reader's call returns before a dialog the click opens waits for the user.
gboolean DoAction(AtkAction* action, gint i) {
  GtkWidget* widget = WidgetOf(ATK_OBJECT(action));
  if (i != 0 || widget == nullptr || !gtk_widget_is_sensitive(widget)) return FALSE;
  g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      +[](gpointer w) -> gboolean {
        gtk_widget_activate(GTK_WIDGET(w));
        return G_SOURCE_REMOVE;
      },
      g_object_ref(widget), g_object_unref);
  return TRUE;
}

void skin_button_accessible_action_init(AtkActionIface* iface) {
  iface->get_n_actions = ActionCount;
  iface->get_name = ActionName;
  iface->do_action = DoAction;
}

AtkStateSet* RefStateSet(AtkObject* accessible) {
  AtkStateSet* states = ATK_OBJECT_CLASS(skin_button_accessible_parent_class)->ref_state_set(accessible);
  SkinButtonArea* area = AreaOf(WidgetOf(accessible));
  if (area != nullptr && area->selected) {
    atk_state_set_add_state(states, ATK_STATE_SELECTED);
    atk_state_set_add_state(states, ATK_STATE_CHECKED);
  }
  return states;
}

void skin_button_accessible_class_init(SkinButtonAccessibleClass* klass) {
  ATK_OBJECT_CLASS(klass)->ref_state_set = RefStateSet;
}
void skin_button_accessible_init(SkinButtonAccessible*) {}

void skin_button_area_class_init(SkinButtonAreaClass* klass) {
  GtkWidgetClass* widgetClass = GTK_WIDGET_CLASS(klass);
  widgetClass->activate_signal = g_signal_new("activate", G_TYPE_FROM_CLASS(klass),
                                              static_cast<GSignalFlags>(G_SIGNAL_RUN_FIRST | G_SIGNAL_ACTION), 0,
                                              nullptr, nullptr, nullptr, G_TYPE_NONE, 0);
  GtkBindingSet* bindings = gtk_binding_set_by_class(klass);
  for (guint key : {GDK_KEY_space, GDK_KEY_KP_Space, GDK_KEY_Return, GDK_KEY_ISO_Enter, GDK_KEY_KP_Enter}) {
    gtk_binding_entry_add_signal(bindings, key, static_cast<GdkModifierType>(0), "activate", 0);
  }
  gtk_widget_class_set_accessible_type(widgetClass, skin_button_accessible_get_type());
  gtk_widget_class_set_accessible_role(widgetClass, ATK_ROLE_PUSH_BUTTON);
}
void skin_button_area_init(SkinButtonArea* area) { gtk_widget_set_can_focus(GTK_WIDGET(area), TRUE); }

}  // namespace

GtkWidget* NewSkinButtonArea() { return GTK_WIDGET(g_object_new(skin_button_area_get_type(), nullptr)); }

bool IsSkinButtonArea(GtkWidget* widget) { return widget != nullptr && AreaOf(widget) != nullptr; }

void SetSkinButtonSelected(GtkWidget* widget, bool selected) {
  SkinButtonArea* area = AreaOf(widget);
  if (area == nullptr || area->selected == selected) return;
  area->selected = selected;
  AtkObject* accessible = gtk_widget_get_accessible(widget);
  atk_object_notify_state_change(accessible, ATK_STATE_SELECTED, selected);
  atk_object_notify_state_change(accessible, ATK_STATE_CHECKED, selected);
}

}  // namespace tavelo::gtkport
