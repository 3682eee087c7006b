#pragma once
// The drawing area that shows a skinned list's rows. It takes the keyboard
// focus, and tells assistive technology it is a list with one item per
// row, named by the row's text and selected as the row is.

#include <gtk/gtk.h>

#include <string>

namespace tavelo::gtkport {

// What the list's accessible objects read.
class ListAreaRows {
 public:
  virtual ~ListAreaRows() = default;
  virtual int RowCount() const = 0;
  virtual std::string RowName(int row) const = 0;  // UTF-8
  virtual bool RowSelected(int row) const = 0;
};

GtkWidget* NewSkinListArea();
bool IsSkinListArea(GtkWidget* widget);
// `rows` outlives its use here; nullptr before it goes.
void SetSkinListRows(GtkWidget* area, const ListAreaRows* rows);
// The rows were replaced: their accessible objects are made anew.
void SkinListRowsChanged(GtkWidget* area);
// The keyboard moved the selection to `row`: a screen reader reads it.
void AnnounceSkinListRow(GtkWidget* area, int row);

}  // namespace tavelo::gtkport
