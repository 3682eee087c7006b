#include "port/gtk/gtk_skin_item_area.h"

#include <gtk/gtk-a11y.h>

#include <initializer_list>

namespace tavelo::gtkport {

namespace {

struct SkinItemArea {
  GtkDrawingArea parent;
  SkinAreaItems* items;
  SkinItemRoles roles;
};
struct SkinItemAreaClass {
  GtkDrawingAreaClass parent_class;
};

// One item; it asks the area for its name and state each time.
struct ItemAccessible {
  AtkObject parent;
  int item;
  gchar* name;
};
struct ItemAccessibleClass {
  AtkObjectClass parent_class;
};

// The area; it keeps the item objects it handed out until the items change.
struct AreaAccessible {
  GtkWidgetAccessible parent;
  GPtrArray* items;
};
struct AreaAccessibleClass {
  GtkWidgetAccessibleClass parent_class;
};

void item_accessible_action_init(AtkActionIface* iface);

G_DEFINE_TYPE_WITH_CODE(ItemAccessible, item_accessible, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, item_accessible_action_init))
G_DEFINE_TYPE(AreaAccessible, area_accessible, GTK_TYPE_WIDGET_ACCESSIBLE)
G_DEFINE_TYPE(SkinItemArea, skin_item_area, GTK_TYPE_DRAWING_AREA)

SkinItemArea* AreaOf(GtkWidget* widget) {
  return widget != nullptr && G_TYPE_CHECK_INSTANCE_TYPE(widget, skin_item_area_get_type())
             ? reinterpret_cast<SkinItemArea*>(widget)
             : nullptr;
}

SkinItemArea* AreaOfItem(AtkObject* object) {
  AtkObject* area = atk_object_get_parent(object);
  return area != nullptr ? AreaOf(gtk_accessible_get_widget(GTK_ACCESSIBLE(area))) : nullptr;
}

// The items of the area an item belongs to, while the item is one of them.
SkinAreaItems* ItemsOf(AtkObject* object) {
  SkinItemArea* area = AreaOfItem(object);
  const int item = reinterpret_cast<ItemAccessible*>(object)->item;
  return area != nullptr && area->items != nullptr && item < area->items->ItemCount() ? area->items : nullptr;
}

const gchar* ItemName(AtkObject* object) {
  auto* item = reinterpret_cast<ItemAccessible*>(object);
  SkinAreaItems* items = ItemsOf(object);
  g_free(item->name);
  item->name = g_strdup(items != nullptr ? items->ItemName(item->item).c_str() : "");
  return item->name;
}

gint ItemIndex(AtkObject* object) { return reinterpret_cast<ItemAccessible*>(object)->item; }

AtkStateSet* ItemStates(AtkObject* object) {
  AtkStateSet* states = atk_state_set_new();
  SkinAreaItems* items = ItemsOf(object);
  if (items == nullptr) {
    atk_state_set_add_state(states, ATK_STATE_DEFUNCT);
    return states;
  }
  for (AtkStateType state : {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE, ATK_STATE_SELECTABLE}) {
    atk_state_set_add_state(states, state);
  }
  if (items->ItemSelected(reinterpret_cast<ItemAccessible*>(object)->item)) {
    atk_state_set_add_state(states, ATK_STATE_SELECTED);
  }
  return states;
}

void ItemFinalize(GObject* object) {
  g_free(reinterpret_cast<ItemAccessible*>(object)->name);
  G_OBJECT_CLASS(item_accessible_parent_class)->finalize(object);
}

gint ActionCount(AtkAction*) { return 1; }

const gchar* ActionName(AtkAction* action, gint i) {
  SkinItemArea* area = AreaOfItem(ATK_OBJECT(action));
  return i == 0 && area != nullptr ? area->roles.action : nullptr;
}

// Run from the main loop, as a GTK button's click is: a screen reader's call
// returns before a dialog the action opens waits for the user.
struct PendingAction {
  GtkWidget* area;
  int item;
};

gboolean DoAction(AtkAction* action, gint i) {
  SkinItemArea* area = AreaOfItem(ATK_OBJECT(action));
  if (i != 0 || ItemsOf(ATK_OBJECT(action)) == nullptr) return FALSE;
  auto* pending = new PendingAction{GTK_WIDGET(g_object_ref(area)), reinterpret_cast<ItemAccessible*>(action)->item};
  g_idle_add(+[](gpointer data) -> gboolean {
    auto* p = static_cast<PendingAction*>(data);
    SkinItemArea* target = AreaOf(p->area);
    if (target->items != nullptr && p->item < target->items->ItemCount()) target->items->ActivateItem(p->item);
    g_object_unref(p->area);
    delete p;
    return G_SOURCE_REMOVE;
  }, pending);
  return TRUE;
}

void item_accessible_action_init(AtkActionIface* iface) {
  iface->get_n_actions = ActionCount;
  iface->get_name = ActionName;
  iface->do_action = DoAction;
}

void item_accessible_class_init(ItemAccessibleClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = ItemFinalize;
  AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
  atk->get_name = ItemName;
  atk->get_index_in_parent = ItemIndex;
  atk->ref_state_set = ItemStates;
}
void item_accessible_init(ItemAccessible*) {}

SkinItemArea* AreaOfAccessible(AtkObject* accessible) {
  return AreaOf(gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible)));
}

gint ChildCount(AtkObject* accessible) {
  SkinItemArea* area = AreaOfAccessible(accessible);
  return area != nullptr && area->items != nullptr ? area->items->ItemCount() : 0;
}

AtkObject* Child(AtkObject* accessible, gint i) {
  if (i < 0 || i >= ChildCount(accessible)) return nullptr;
  GPtrArray* made = reinterpret_cast<AreaAccessible*>(accessible)->items;
  if (static_cast<guint>(i) >= made->len) g_ptr_array_set_size(made, i + 1);
  if (g_ptr_array_index(made, i) == nullptr) {
    auto* item = static_cast<ItemAccessible*>(g_object_new(item_accessible_get_type(), nullptr));
    item->item = i;
    atk_object_set_role(ATK_OBJECT(item), AreaOfAccessible(accessible)->roles.item);
    atk_object_set_parent(ATK_OBJECT(item), accessible);
    g_ptr_array_index(made, i) = item;
  }
  return ATK_OBJECT(g_object_ref(g_ptr_array_index(made, i)));
}

void AreaFinalize(GObject* object) {
  g_ptr_array_unref(reinterpret_cast<AreaAccessible*>(object)->items);
  G_OBJECT_CLASS(area_accessible_parent_class)->finalize(object);
}

void area_accessible_class_init(AreaAccessibleClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = AreaFinalize;
  ATK_OBJECT_CLASS(klass)->get_n_children = ChildCount;
  ATK_OBJECT_CLASS(klass)->ref_child = Child;
}
void area_accessible_init(AreaAccessible* area) { area->items = g_ptr_array_new_with_free_func(g_object_unref); }

void skin_item_area_class_init(SkinItemAreaClass* klass) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), area_accessible_get_type());
}
void skin_item_area_init(SkinItemArea* area) { gtk_widget_set_can_focus(GTK_WIDGET(area), TRUE); }

}  // namespace

GtkWidget* NewSkinItemArea(SkinItemRoles roles) {
  GtkWidget* widget = GTK_WIDGET(g_object_new(skin_item_area_get_type(), nullptr));
  AreaOf(widget)->roles = roles;
  atk_object_set_role(gtk_widget_get_accessible(widget), roles.area);
  return widget;
}

bool IsSkinItemArea(GtkWidget* widget) { return AreaOf(widget) != nullptr; }

void SetSkinAreaItems(GtkWidget* area, SkinAreaItems* items) {
  if (SkinItemArea* a = AreaOf(area)) a->items = items;
}

void SkinAreaItemsChanged(GtkWidget* area) {
  AtkObject* accessible = gtk_widget_get_accessible(area);
  g_ptr_array_set_size(reinterpret_cast<AreaAccessible*>(accessible)->items, 0);
  g_signal_emit_by_name(accessible, "visible-data-changed");
}

void AnnounceSkinAreaItem(GtkWidget* area, int item) {
  AtkObject* accessible = gtk_widget_get_accessible(area);
  AtkObject* child = atk_object_ref_accessible_child(accessible, item);
  if (child == nullptr) return;
  if (AreaOf(area)->items->ItemSelected(item)) atk_object_notify_state_change(child, ATK_STATE_SELECTED, TRUE);
  g_signal_emit_by_name(accessible, "active-descendant-changed", child);
  g_object_unref(child);
}

}  // namespace tavelo::gtkport
