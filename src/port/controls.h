#pragma once
// Abstract views of the controls a window places on itself. Window logic
// talks only to these; the GTK backend and the test fakes implement them.
// Every text that crosses this boundary is GBK, except where a member says
// otherwise (the browser view speaks the toolkit's UTF-8 addresses; the
// browser wrapper converts).

#include <functional>
#include <string>
#include <vector>

#include "port/geometry.h"

namespace tavelo::port {

// Common to every control: absolute placement in the parent's client area.
class Control {
 public:
  virtual ~Control() = default;
  virtual void SetBounds(Rect bounds) = 0;
  virtual Rect Bounds() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // The mouse cursor in this control's client coordinates (may lie outside).
  virtual Point CursorPos() const = 0;
};

// Which settings a browser view runs with. A fetching view only reads a
// document, so it loads neither scripts nor images.
enum class BrowserPolicy { kFull, kFetchOnly };

class BrowserView : public Control {
 public:
  // UTF-8 address. "about:" followed by HTML shows that HTML; "about:blank"
  // empties the view.
  virtual void Navigate(const std::string& utf8Address) = 0;
  // Reads the current document's body HTML (UTF-8) and hands it to `done` on
  // the user-interface thread; "" when there is no document.
  virtual void RequestBodyHtml(std::function<void(std::string utf8Html)> done) = 0;

  // A navigation is about to start; set *cancel to stop it. UTF-8 address as
  // the engine reports it (non-ASCII bytes may be percent-escaped).
  std::function<void(const std::string& utf8Address, bool* cancel)> on_before_navigate;
  // A page asks for a new window. Return the view that shall receive it, or
  // nullptr to refuse. The returned view must be fresh (not yet navigated).
  std::function<BrowserView*()> on_new_window;
  std::function<void(const std::string& utf8Address)> on_document_complete;
  // The link under the mouse, "" when the mouse leaves it.
  std::function<void(const std::string& utf8Text)> on_status_text;
};

class Button : public Control {
 public:
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  std::function<void()> on_click;
};

class Static : public Control {
 public:
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
};

class Edit : public Control {
 public:
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual void Focus() = 0;
  std::function<void()> on_change;
};

class ProgressBar : public Control {
 public:
  virtual void SetRange(int low, int high) = 0;
  virtual void SetPosition(int position) = 0;
  virtual int Position() const = 0;
};

// A report view: rows of column texts with a selection. Drawing is the
// owner's business (the skinned list painter); the view stores and reports.
class ListView : public Control {
 public:
  virtual void SetColumns(const std::vector<int>& widths) = 0;
  virtual int ColumnWidth(int column) const = 0;
  virtual void SetRowHeight(int pixels) = 0;
  virtual int InsertRow(int index, const std::string& column0) = 0;
  virtual void SetCell(int row, int column, const std::string& text) = 0;
  virtual std::string Cell(int row, int column) const = 0;
  virtual int RowCount() const = 0;
  virtual void DeleteAllRows() = 0;
  virtual void SelectRow(int row, bool selected) = 0;
  virtual bool IsSelected(int row) const = 0;
  virtual void EnsureVisible(int row) = 0;
  std::function<void(int row)> on_click;
  std::function<void(int row)> on_double_click;
};

}  // namespace tavelo::port
