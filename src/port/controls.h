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

// A navigation about to start, as the engine reports it.
struct NavigationRequest {
  // UTF-8; non-ASCII bytes may be percent-escaped.
  std::string utf8Address;
  // From the user (a click or a key) rather than from a script or a frame.
  bool byUser = false;
  // The page that navigates (UTF-8), as the view reports it: for a pop-up
  // that has no page yet, its opener's. "" when the page is the program's
  // own: nothing shown yet, or HTML the program handed the view.
  std::string pageAddress;
  // The user's last press of a mouse button or key in the view (or in the
  // view that opened it), numbered process-wide from 1; 0 before any. Tells
  // one click from the next, so that a click can be spent once.
  unsigned long long gesture = 0;
};

// Which settings a browser view runs with. A fetching view only reads a
// document, so it loads neither scripts nor images. A view of pages the
// program writes from outside content runs no scripts but shows images.
// Player views are full views that share one engine process: their pages
// come from the one player site, and a process each would weigh as much as
// the play window around it.
enum class BrowserPolicy { kFull, kFetchOnly, kWrittenPage, kPlayer };

// Why a page could not be loaded, as far as the program tells users apart.
// kPageEnded: the engine's process that showed the page ended unasked.
enum class LoadFailure { kHostNotFound, kConnectionRefused, kTimedOut, kFileNotFound, kPageEnded, kOther };

// What a script run in a page evaluated to; text in UTF-8.
struct ScriptValue {
  enum class Kind { kNone, kString, kNumber };
  Kind kind = Kind::kNone;
  std::string text;
  double number = 0;
};

class BrowserView : public Control {
 public:
  // UTF-8 address. "about:" followed by HTML shows that HTML under the
  // policy of written pages (text/written_page.h); "about:blank" empties
  // the view.
  virtual void Navigate(const std::string& utf8Address) = 0;
  // The view will soon navigate to `utf8Address`: start what loading it
  // needs (the engine's processes, the host's name lookup) without loading it.
  virtual void Prepare(const std::string& utf8Address) = 0;
  // Reads the current document's body element as HTML, its own tags
  // included (UTF-8), and hands it to `done` on the user-interface thread;
  // "" when there is no document.
  virtual void RequestBodyHtml(std::function<void(std::string utf8Html)> done) = 0;
  // Runs `utf8Script` in the current document and hands its value to `done`
  // on the user-interface thread; kNone for anything but a string or a
  // number, a script error, or no document. Never waits for the page.
  virtual void EvaluateScript(const std::string& utf8Script, std::function<void(ScriptValue value)> done) = 0;
  // The view's own history, as a browser's buttons use it; nothing happens
  // where there is no page to go to.
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual void Reload() = 0;
  // A navigation is about to start; set *cancel to stop it.
  std::function<void(const NavigationRequest& request, bool* cancel)> on_before_navigate;
  // A page asks for a new window. Return the view that shall receive it, or
  // nullptr to refuse. The returned view must be fresh (not yet navigated):
  // the engine may replace what it shows by a view related to the page that
  // asked, which the window then shows once the engine says it is ready.
  std::function<BrowserView*()> on_new_window;
  std::function<void(const std::string& utf8Address)> on_document_complete;
  // The link under the mouse, "" when the mouse leaves it.
  std::function<void(const std::string& utf8Text)> on_status_text;
  // A page could not be loaded (not for navigations that were cancelled or
  // replaced). With a handler the engine shows no error page of its own.
  std::function<void(const std::string& utf8Address, LoadFailure failure)> on_load_failed;
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
  // Selects the whole text, so that typing replaces it.
  virtual void SelectAll() = 0;
  // What a screen reader calls the box, whatever text it holds.
  virtual void SetAccessibleName(const std::string& name) = 0;
  std::function<void()> on_change;
  // Enter pressed in the box; it never reaches the window's on_key.
  std::function<void()> on_enter;
};

class ProgressBar : public Control {
 public:
  virtual void SetRange(int low, int high) = 0;
  virtual void SetPosition(int position) = 0;
  virtual int Position() const = 0;
};

// A flat button with centred text: red under the mouse, filled when selected.
class FlatButton : public Control {
 public:
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  // Redraws at once; 1 draws the selected colours whatever the mouse does.
  virtual void SetSelected(int selected) = 0;
  virtual int Selected() const = 0;
  std::function<void()> on_click;
};

// A button painted from a face picture; it greys out when disabled.
class FaceButton : public Control {
 public:
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual bool Enabled() const = 0;
  std::function<void()> on_click;
};

// A video's information as clickable words. A click reports nothing by
// itself: the window asks which word lies under the cursor.
class InfoPanel : public Control {
 public:
  enum WordKind { kLabel = 1, kValue = 2, kLineBreak = 3 };
  // Info text: GBK lines separated by "\n" (title, -, -, area, type, actors).
  virtual void ShowRecordInfo(const std::string& infoText) = 0;
  virtual void ShowRecordInfoCompact(const std::string& infoText) = 0;
  // Appends a word after what the Show calls made; Relayout makes it appear.
  virtual void AddWord(WordKind kind, const std::string& text) = 0;
  virtual void Relayout() = 0;
  // "" for gaps and line breaks; labels come back like values.
  virtual std::string WordAt(Point client) const = 0;
  // The word the click chose: the one under the cursor, or the value a key
  // or a screen reader pressed, where the panel lets them reach its values.
  virtual std::string WordAtCursor() const { return WordAt(CursorPos()); }
  std::function<void()> on_click;
};

// Where a click on a list landed; -1 for no row (or no column).
struct ListHit {
  int row = -1;
  int column = -1;
};

// One column of a report list: the title its header shows and its width.
struct ListColumn {
  std::string title;  // GBK
  int width = 0;
};

// How a list draws its rows; the row styles are the skinned list's own
// (skin/skin_list_ctrl.h).
struct ListSkin {
  int columnCount = 0;
  int rowStyle = 0;
};

// A report view: a header row of column titles over rows of column texts
// with a selection. Drawing is the owner's business (the skinned list
// painter); the view stores and reports. Client coordinates include the
// header, as a report view's do.
class ListView : public Control {
 public:
  // Set once, right after the list is made and before rows are added.
  virtual void SetSkin(const ListSkin& skin) = 0;
  virtual void SetColumns(const std::vector<ListColumn>& columns) = 0;
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
  // The row and column under a point in the list's client coordinates.
  virtual ListHit HitTest(Point client) const = 0;
  // The first selected row from the top, or -1.
  int FirstSelectedRow() const {
    for (int row = 0; row < RowCount(); ++row) {
      if (IsSelected(row)) return row;
    }
    return -1;
  }
  // A click selects the row under the mouse first, then reports where it hit
  // (row -1 when it hit no row, which leaves the selection).
  std::function<void(ListHit hit)> on_click;
  std::function<void(ListHit hit)> on_double_click;
  // With the keyboard focus, the list moves its selection by Up, Down, Home,
  // End, Page Up and Page Down and reports each move as a click on the row
  // in column -1, away from its cells' actions; Enter on the selected row is
  // reported as a double-click on it, and Delete as on_delete.
  std::function<void(int row)> on_delete;
};

}  // namespace tavelo::port
