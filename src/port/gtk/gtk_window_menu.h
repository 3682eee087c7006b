#pragma once
// The window menu of a window that adds items to it (the About item, the
// topmost items): the window's own commands, a separator and the program's
// items, with each "&" mnemonic shown underlined. The desktop's window
// manager keeps Alt+Space for its own menu, so a mouse user finds this one
// with the right button on the window outside its browser, and at the end of
// a page's context menu (the only place in a window that is all browser).

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo::gtkport {

struct WindowMenuItem {
  int id = 0;
  std::string text;  // GBK; "&" marks the mnemonic, "&&" is an "&"
};

// Runs the command of a program item.
using MenuCommand = std::function<void(int id)>;

// A GBK menu text as GTK markup (UTF-8) whose mnemonic is marked for GTK and
// underlined for good: "关于 Tavelo(&A)..." becomes "关于 Tavelo(<u>_A</u>)...".
std::string MenuLabelMarkup(std::string_view gbk);
// The same as a plain mnemonic label, "关于 Tavelo(_A)...", for menus that
// take no markup.
std::string MenuMnemonicLabel(std::string_view gbk);

// Pops the menu up: at the pointer for the event that asked for it, at the
// window's top-left corner without one. The menu goes once it has been used
// or dismissed.
void PopUpWindowMenu(GtkWindow* window, const std::vector<WindowMenuItem>& items, const MenuCommand& command,
                     const GdkEvent* trigger);

// Appends a separator and the program's items to a page's context menu.
void AppendToPageMenu(WebKitContextMenu* menu, const std::vector<WindowMenuItem>& items, const MenuCommand& command);

}  // namespace tavelo::gtkport
