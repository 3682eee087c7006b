#pragma once
// The drawing area of a skinned control made of items a screen reader reads
// one by one: a list's rows, an information panel's links. It takes the
// keyboard focus, and its accessible object has one child per item, named
// by the item's text, selected as the item is, with one action.

#include <gtk/gtk.h>

#include <string>

namespace tavelo::gtkport {

// What the accessible objects read and do.
class SkinAreaItems {
 public:
  virtual ~SkinAreaItems() = default;
  virtual int ItemCount() const = 0;
  virtual std::string ItemName(int item) const = 0;  // UTF-8
  virtual bool ItemSelected(int item) const = 0;
  // The item's action, run from the main loop.
  virtual void ActivateItem(int item) = 0;
};

struct SkinItemRoles {
  AtkRole area;
  AtkRole item;
  const char* action;
};

GtkWidget* NewSkinItemArea(SkinItemRoles roles);
bool IsSkinItemArea(GtkWidget* widget);
// `items` outlives its use here; nullptr before it goes.
void SetSkinAreaItems(GtkWidget* area, SkinAreaItems* items);
// The items were replaced: their accessible objects are made anew.
void SkinAreaItemsChanged(GtkWidget* area);
// The keyboard moved to `item`: a screen reader reads it.
void AnnounceSkinAreaItem(GtkWidget* area, int item);

}  // namespace tavelo::gtkport
