#include "port/gtk/gtk_window_menu.h"

#include <memory>

#include "text/encoding.h"

namespace tavelo::gtkport {

namespace {

std::string Escaped(std::string_view utf8) {
  gchar* escaped = g_markup_escape_text(utf8.data(), static_cast<gssize>(utf8.size()));
  std::string out = escaped;
  g_free(escaped);
  return out;
}

// Walks a menu text in UTF-8, where an ASCII "&" never sits inside a
// character (in GBK a trail byte may look like "_"), and hands each piece to
// `plain` (literal text) or `mnemonic` (the marked character).
template <typename Plain, typename Mnemonic>
void WalkMenuText(std::string_view gbk, Plain plain, Mnemonic mnemonic) {
  std::string utf8 = GbkToUtf8(gbk);
  std::string_view text = utf8;
  size_t i = 0;
  while (i < text.size()) {
    size_t amp = text.find('&', i);
    if (amp == std::string_view::npos || amp + 1 >= text.size()) {
      plain(text.substr(i));
      return;
    }
    plain(text.substr(i, amp - i));
    if (text[amp + 1] == '&') {
      plain("&");
      i = amp + 2;
      continue;
    }
    // The marked character, whole even when it takes several bytes.
    const char* next = g_utf8_next_char(text.data() + amp + 1);
    size_t end = static_cast<size_t>(next - text.data());
    mnemonic(text.substr(amp + 1, end - amp - 1));
    i = end;
  }
}

std::string DoubledUnderscores(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '_') out += '_';
    out += c;
  }
  return out;
}

// A heap callback a signal owns and frees with itself. A menu item's
// "activate" passes the item; an action's passes its parameter as well.
using Action = std::function<void()>;
void RunItemAction(GtkMenuItem*, gpointer data) { (*static_cast<Action*>(data))(); }
void RunAction(GSimpleAction*, GVariant*, gpointer data) { (*static_cast<Action*>(data))(); }
void DeleteAction(gpointer data, GClosure*) { delete static_cast<Action*>(data); }
template <typename Handler>
void ConnectAction(gpointer instance, Handler handler, Action action) {
  g_signal_connect_data(instance, "activate", G_CALLBACK(handler), new Action(std::move(action)), DeleteAction,
                        GConnectFlags(0));
}

void AppendItem(GtkWidget* menu, std::string_view gbkText, Action action) {
  GtkWidget* item = gtk_menu_item_new();
  GtkWidget* label = gtk_label_new(nullptr);
  gtk_label_set_markup_with_mnemonic(GTK_LABEL(label), MenuLabelMarkup(gbkText).c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_container_add(GTK_CONTAINER(item), label);
  ConnectAction(item, RunItemAction, std::move(action));
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
}

}  // namespace

std::string MenuLabelMarkup(std::string_view gbk) {
  std::string markup;
  WalkMenuText(
      gbk, [&](std::string_view text) { markup += DoubledUnderscores(Escaped(text)); },
      [&](std::string_view mark) { markup += "<u>_" + DoubledUnderscores(Escaped(mark)) + "</u>"; });
  return markup;
}

std::string MenuMnemonicLabel(std::string_view gbk) {
  std::string label;
  WalkMenuText(
      gbk, [&](std::string_view text) { label += DoubledUnderscores(text); },
      [&](std::string_view mark) { label += "_" + DoubledUnderscores(mark); });
  return label;
}

void PopUpWindowMenu(GtkWindow* window, const std::vector<WindowMenuItem>& items, const MenuCommand& command,
                     const GdkEvent* trigger) {
  GtkWidget* menu = gtk_menu_new();
  // The window's own commands, as a window menu begins.
  AppendItem(menu, Gbk("最小化(&N)"), [window] { gtk_window_iconify(window); });
  if (gtk_window_get_resizable(window)) {
    if (gtk_window_is_maximized(window)) {
      AppendItem(menu, Gbk("还原(&R)"), [window] { gtk_window_unmaximize(window); });
    } else {
      AppendItem(menu, Gbk("最大化(&X)"), [window] { gtk_window_maximize(window); });
    }
  }
  // As the close box does: the window decides what closing means.
  AppendItem(menu, Gbk("关闭(&C)"), [window] { gtk_window_close(window); });
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
  for (const WindowMenuItem& item : items) {
    AppendItem(menu, item.text, [command, id = item.id] { command(id); });
  }
  gtk_widget_show_all(menu);
  gtk_menu_attach_to_widget(GTK_MENU(menu), GTK_WIDGET(window), nullptr);
  // A fresh menu each time: it goes once it has been used or dismissed, after
  // the chosen item has run.
  g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkMenuShell* shell, gpointer) {
                     g_idle_add(+[](gpointer widget) -> gboolean {
                       gtk_widget_destroy(GTK_WIDGET(widget));
                       return G_SOURCE_REMOVE;
                     }, shell);
                   }),
                   nullptr);
  if (trigger != nullptr) {
    gtk_menu_popup_at_pointer(GTK_MENU(menu), trigger);
  } else {
    gtk_menu_popup_at_widget(GTK_MENU(menu), GTK_WIDGET(window), GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST,
                             nullptr);
  }
}

void AppendToPageMenu(WebKitContextMenu* menu, const std::vector<WindowMenuItem>& items, const MenuCommand& command) {
  if (items.empty()) return;
  webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
  for (const WindowMenuItem& item : items) {
    std::string name = "tavelo-window-" + std::to_string(item.id);
    GSimpleAction* action = g_simple_action_new(name.c_str(), nullptr);
    ConnectAction(action, RunAction, [command, id = item.id] { command(id); });
    webkit_context_menu_append(
        menu, webkit_context_menu_item_new_from_gaction(G_ACTION(action), MenuMnemonicLabel(item.text).c_str(), nullptr));
    g_object_unref(action);
  }
}

}  // namespace tavelo::gtkport
