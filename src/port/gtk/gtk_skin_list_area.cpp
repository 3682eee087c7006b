#include "port/gtk/gtk_skin_list_area.h"

#include <gtk/gtk-a11y.h>

namespace tavelo::gtkport {

namespace {

struct SkinListArea {
  GtkDrawingArea parent;
  const ListAreaRows* rows;
};
struct SkinListAreaClass {
  GtkDrawingAreaClass parent_class;
};

// One row; it asks the list for its name and state each time.
struct ListRowAccessible {
  AtkObject parent;
  int row;
  gchar* name;
};
struct ListRowAccessibleClass {
  AtkObjectClass parent_class;
};

// The list; it keeps the row objects it handed out until the rows change.
struct SkinListAccessible {
  GtkWidgetAccessible parent;
  GPtrArray* rows;
};
struct SkinListAccessibleClass {
  GtkWidgetAccessibleClass parent_class;
};

G_DEFINE_TYPE(ListRowAccessible, list_row_accessible, ATK_TYPE_OBJECT)
G_DEFINE_TYPE(SkinListAccessible, skin_list_accessible, GTK_TYPE_WIDGET_ACCESSIBLE)
G_DEFINE_TYPE(SkinListArea, skin_list_area, GTK_TYPE_DRAWING_AREA)

SkinListArea* AreaOf(GtkWidget* widget) {
  return widget != nullptr && G_TYPE_CHECK_INSTANCE_TYPE(widget, skin_list_area_get_type())
             ? reinterpret_cast<SkinListArea*>(widget)
             : nullptr;
}

// The rows of the list a row or list object belongs to; nullptr once gone.
const ListAreaRows* RowsOf(AtkObject* listAccessible) {
  SkinListArea* area = AreaOf(gtk_accessible_get_widget(GTK_ACCESSIBLE(listAccessible)));
  return area != nullptr ? area->rows : nullptr;
}

const ListAreaRows* RowsOfRow(ListRowAccessible* row) {
  AtkObject* list = atk_object_get_parent(ATK_OBJECT(row));
  return list != nullptr ? RowsOf(list) : nullptr;
}

const gchar* RowGetName(AtkObject* object) {
  auto* row = reinterpret_cast<ListRowAccessible*>(object);
  const ListAreaRows* rows = RowsOfRow(row);
  g_free(row->name);
  row->name = g_strdup(rows != nullptr && row->row < rows->RowCount() ? rows->RowName(row->row).c_str() : "");
  return row->name;
}

gint RowIndex(AtkObject* object) { return reinterpret_cast<ListRowAccessible*>(object)->row; }

AtkStateSet* RowStates(AtkObject* object) {
  auto* row = reinterpret_cast<ListRowAccessible*>(object);
  AtkStateSet* states = atk_state_set_new();
  const ListAreaRows* rows = RowsOfRow(row);
  if (rows == nullptr || row->row >= rows->RowCount()) {
    atk_state_set_add_state(states, ATK_STATE_DEFUNCT);
    return states;
  }
  for (AtkStateType state : {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE, ATK_STATE_SELECTABLE}) {
    atk_state_set_add_state(states, state);
  }
  if (rows->RowSelected(row->row)) atk_state_set_add_state(states, ATK_STATE_SELECTED);
  return states;
}

void RowFinalize(GObject* object) {
  g_free(reinterpret_cast<ListRowAccessible*>(object)->name);
  G_OBJECT_CLASS(list_row_accessible_parent_class)->finalize(object);
}

void list_row_accessible_class_init(ListRowAccessibleClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = RowFinalize;
  AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
  atk->get_name = RowGetName;
  atk->get_index_in_parent = RowIndex;
  atk->ref_state_set = RowStates;
}
void list_row_accessible_init(ListRowAccessible*) {}

gint ListChildCount(AtkObject* list) {
  const ListAreaRows* rows = RowsOf(list);
  return rows != nullptr ? rows->RowCount() : 0;
}

AtkObject* ListChild(AtkObject* list, gint i) {
  if (i < 0 || i >= ListChildCount(list)) return nullptr;
  GPtrArray* made = reinterpret_cast<SkinListAccessible*>(list)->rows;
  if (static_cast<guint>(i) >= made->len) g_ptr_array_set_size(made, i + 1);
  if (g_ptr_array_index(made, i) == nullptr) {
    auto* row = static_cast<ListRowAccessible*>(g_object_new(list_row_accessible_get_type(), nullptr));
    row->row = i;
    atk_object_set_role(ATK_OBJECT(row), ATK_ROLE_LIST_ITEM);
    atk_object_set_parent(ATK_OBJECT(row), list);
    g_ptr_array_index(made, i) = row;
  }
  return ATK_OBJECT(g_object_ref(g_ptr_array_index(made, i)));
}

void ListFinalize(GObject* object) {
  g_ptr_array_unref(reinterpret_cast<SkinListAccessible*>(object)->rows);
  G_OBJECT_CLASS(skin_list_accessible_parent_class)->finalize(object);
}

void skin_list_accessible_class_init(SkinListAccessibleClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = ListFinalize;
  ATK_OBJECT_CLASS(klass)->get_n_children = ListChildCount;
  ATK_OBJECT_CLASS(klass)->ref_child = ListChild;
}
void skin_list_accessible_init(SkinListAccessible* list) { list->rows = g_ptr_array_new_with_free_func(g_object_unref); }

void skin_list_area_class_init(SkinListAreaClass* klass) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), skin_list_accessible_get_type());
  gtk_widget_class_set_accessible_role(GTK_WIDGET_CLASS(klass), ATK_ROLE_LIST);
}
void skin_list_area_init(SkinListArea* area) { gtk_widget_set_can_focus(GTK_WIDGET(area), TRUE); }

}  // namespace

GtkWidget* NewSkinListArea() { return GTK_WIDGET(g_object_new(skin_list_area_get_type(), nullptr)); }

bool IsSkinListArea(GtkWidget* widget) { return AreaOf(widget) != nullptr; }

void SetSkinListRows(GtkWidget* area, const ListAreaRows* rows) {
  if (SkinListArea* list = AreaOf(area)) list->rows = rows;
}

void SkinListRowsChanged(GtkWidget* area) {
  AtkObject* list = gtk_widget_get_accessible(area);
  g_ptr_array_set_size(reinterpret_cast<SkinListAccessible*>(list)->rows, 0);
  g_signal_emit_by_name(list, "visible-data-changed");
}

void AnnounceSkinListRow(GtkWidget* area, int row) {
  AtkObject* list = gtk_widget_get_accessible(area);
  AtkObject* child = atk_object_ref_accessible_child(list, row);
  if (child == nullptr) return;
  atk_object_notify_state_change(child, ATK_STATE_SELECTED, TRUE);
  g_signal_emit_by_name(list, "active-descendant-changed", child);
  g_object_unref(child);
}

}  // namespace tavelo::gtkport
