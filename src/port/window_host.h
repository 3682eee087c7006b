#pragma once
// The top-level window as window logic sees it, and the process-wide services
// (message box, clipboard, process start, modal run) that come with a desktop.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "port/controls.h"
#include "port/geometry.h"

namespace tavelo::port {

// The keys window logic tells apart; letters are named by their unshifted
// Latin letter.
enum class Key { kEscape, kEnter, kOther, kLeft, kRight, kF5, kF, kL, kW };

// The modifier keys held down with a key.
struct Modifiers {
  bool control = false;
  bool alt = false;
  bool shift = false;
  bool operator==(const Modifiers&) const = default;
};
inline constexpr Modifiers kNoModifiers{};
inline constexpr Modifiers kControl{.control = true};
inline constexpr Modifiers kAlt{.alt = true};

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  // The desktop's work area in screen pixels (panels excluded).
  virtual Rect WorkArea() const = 0;
  // Outer placement on the screen.
  virtual void Place(Rect screen) = 0;
  virtual Size ClientSize() const = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Shows the window in front of the others, restored if it was minimised:
  // for a window the user has just asked for again.
  virtual void Present() = 0;
  // Destroys the window: on_destroyed runs, then the host and every control
  // it made are gone.
  virtual void Close() = 0;
  virtual void SetTopmost(bool topmost) = 0;
  // The desktop's window menu cannot take items, so the window has a menu of
  // its own: its own commands, a separator, then these items in the order
  // added, with "&" marking the mnemonic. It opens with the right button on
  // the window outside a browser, and the items end every page's context
  // menu; a choice reports through on_system_command with the item's id.
  virtual void AddSystemMenuItem(int id, const std::string& text) = 0;

  // One-shot timers by id: starting an id that runs restarts it; a tick
  // arrives once unless the handler starts it again.
  virtual void StartTimer(int id, int milliseconds) = 0;
  virtual void KillTimer(int id) = 0;

  // Runs `task` on the user-interface thread. Callable from any thread; the
  // task is dropped when the window is gone by then.
  virtual void Post(std::function<void()> task) = 0;

  // Controls at absolute client positions; owned by the host.
  virtual BrowserView* AddBrowser(int id, BrowserPolicy policy) = 0;
  virtual ListView* AddList(int id) = 0;
  virtual Button* AddButton(int id, const std::string& text) = 0;
  virtual Static* AddStatic(int id, const std::string& text) = 0;
  virtual Edit* AddEdit(int id) = 0;
  virtual ProgressBar* AddProgressBar(int id) = 0;
  // Skinned controls, painted by the program rather than the toolkit.
  virtual FlatButton* AddFlatButton(int id, const std::string& text) = 0;
  virtual FaceButton* AddFaceButton(int id, const std::string& text) = 0;
  virtual InfoPanel* AddInfoPanel(int id) = 0;
  // One of the program's pictures (skin_paint.h numbers them), scaled to the
  // control's size.
  virtual Control* AddPicture(int id, int picture) = 0;

  // The user asks to close; the default (no handler) closes.
  std::function<void()> on_close_request;
  std::function<void(Size client)> on_resize;
  std::function<void(int id)> on_timer;
  // A key pressed anywhere in the window, before the focused control (a
  // page, a list) sees it; return true to swallow it.
  std::function<bool(Key key, Modifiers modifiers)> on_key;
  std::function<void(int id)> on_system_command;
  // The window is destroyed and no other handler will run. It belongs to
  // whoever owns the window logic (the window set), not to the logic itself.
  std::function<void()> on_destroyed;
};

struct WindowOptions {
  bool modal = false;
  bool taskbarButton = true;
  bool resizable = true;
  // A window that belongs to `owner`: kept in front of it, without minimise
  // and maximise boxes.
  WindowHost* owner = nullptr;
};

// Reports the changes of one file while it lives; destroying it stops them.
class FileWatch {
 public:
  virtual ~FileWatch() = default;
};

class Platform {
 public:
  virtual ~Platform() = default;
  // The window stays alive until it is closed; the platform owns the host.
  virtual WindowHost& CreateWindow(const WindowOptions& options) = 0;
  // Runs until `window` is destroyed. Runs nest: the About and transfer
  // windows run inside the main window's run, which goes on after them.
  virtual void RunModal(WindowHost& window) = 0;
  // Message boxes carry the program's own Chinese button labels ("确定",
  // "取消") whatever the desktop's language.
  virtual void MessageBox(WindowHost* owner, const std::string& text, const std::string& caption) = 0;
  // Asks with "确定" and "取消"; true for "确定" (closing the box is "取消").
  virtual bool AskOkCancel(WindowHost* owner, const std::string& text, const std::string& caption) = 0;
  // Asks with "是" (the default button) and "否"; true for "是" (Escape and
  // closing the box are "否").
  virtual bool AskYesNo(WindowHost* owner, const std::string& text, const std::string& caption) = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::string ClipboardText() = 0;
  // Starts a program with an argument vector (argv[0] is the program, looked
  // up on PATH when it has no "/"); never through a shell. It runs in the
  // working folder. True when it started.
  virtual bool StartProcess(const std::vector<std::string>& argv) = 0;
  // Whether a mouse button is held down, wherever the pointer is.
  virtual bool MouseButtonDown() = 0;
  // Whether the desktop has a program for addresses of `scheme` ("magnet").
  virtual bool HandlesScheme(const std::string& scheme) = 0;
  // The full path of `program` when it is on PATH, else "".
  virtual std::string FindProgram(const std::string& program) = 0;
  // The executable of the desktop's default program for files of
  // `mediaType` ("video/webm"), "" when there is none.
  virtual std::string DefaultProgramFor(const std::string& mediaType) = 0;
  // The folder started programs run in: the program folder of a portable
  // copy, the data root of an installed one. Until it is set, the folder of
  // the running program.
  virtual void SetWorkingFolder(const std::string& folder) = 0;
  // Calls `on_change` on the user-interface thread soon after `path` is
  // written, replaced (a save renames a new file over it), made or removed,
  // by this process or another. nullptr when the file cannot be watched.
  virtual std::unique_ptr<FileWatch> WatchFile(const std::string& path, std::function<void()> on_change) = 0;
};

}  // namespace tavelo::port
