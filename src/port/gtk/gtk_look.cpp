#include "port/gtk/gtk_look.h"

#include <string>

#include "skin/app_fonts.h"
#include "skin/skin_paint.h"

namespace tavelo::gtkport {

namespace {

constexpr int kAppIconPicture = 128;

std::string RgbCss(Rgb c) {
  return "rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

// The font list of AppFonts as a CSS family list: "a","b",serif.
std::string CssFamilies() {
  std::string families = AppFonts::Families();
  std::string css;
  size_t start = 0;
  while (start <= families.size()) {
    size_t end = families.find(',', start);
    if (end == std::string::npos) end = families.size();
    std::string name = families.substr(start, end - start);
    if (!css.empty()) css += ",";
    css += name == "serif" ? name : "\"" + name + "\"";
    start = end + 1;
  }
  return css;
}

// One provider per rule set, made once and kept for the process.
GtkCssProvider* Provider(const std::string& css) {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
  return provider;
}

void AddProvider(GtkWidget* widget, GtkCssProvider* provider) {
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(provider),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace

void ApplyWindowLook(GtkWindow* window) {
  static GtkCssProvider* background =
      Provider("window { background-color: " + RgbCss(kAppBackgroundBrush) + "; background-image: none; }");
  AddProvider(GTK_WIDGET(window), background);
  gtk_window_set_icon(window, AppIcon());
}

GtkWidget* NewEditBox() {
  GtkWidget* entry = gtk_entry_new();
  // The frame stays the theme's; the text sits in the dialog font with a
  // pixel of room above and below.
  static GtkCssProvider* edit = Provider(
      "entry { min-height: 0; padding: 1px 3px; font-family: " + CssFamilies() + "; font-size: " +
      std::to_string(AppFonts::Slot(0).pixelHeight) + "px; }");
  AddProvider(entry, edit);
  return entry;
}

GdkPixbuf* AppIcon() {
  static GdkPixbuf* icon = [] {
    SurfacePtr picture = LoadPicture(kAppIconPicture);
    if (!picture) return static_cast<GdkPixbuf*>(nullptr);
    return gdk_pixbuf_get_from_surface(picture.get(), 0, 0, cairo_image_surface_get_width(picture.get()),
                                       cairo_image_surface_get_height(picture.get()));
  }();
  return icon;
}

}  // namespace tavelo::gtkport
