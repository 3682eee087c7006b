// Draws the program's pictures (button faces, row pictures, the icon) as PNG
// files, each twice: N.png at 1x and N@2x.png at twice the resolution for
// screens at scale 2. Both come from the same drawing, so they show the same
// shapes. Run by hand when the artwork changes; the PNGs are kept in res/ so
// that builds do not depend on the fonts of the building machine.
//   tavelo-make-artwork <res folder>

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// An RGB24 canvas of `width` x `height` picture pixels at `scale` device
// pixels each: what is drawn on it uses the 1x coordinates.
struct Canvas {
  Canvas(int width, int height, int scale)
      : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width * scale, height * scale)),
        cr(cairo_create(surface)) {
    cairo_scale(cr, scale, scale);
  }
  ~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  void Save(const std::string& path) { cairo_surface_write_to_png(surface, path.c_str()); }

  cairo_surface_t* surface;
  cairo_t* cr;
};

std::string PictureFile(const std::string& dir, int id, int scale) {
  return dir + std::to_string(id) + (scale == 1 ? "" : "@" + std::to_string(scale) + "x") + ".png";
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

struct Face {
  double top[3];
  double bottom[3];
  double border[3];
  bool glow;
};

// A 300 x 22 face: light rounded rectangle shaded top to bottom, 1 px border.
void DrawFace(const std::string& path, int scale, const Face& f) {
  Canvas canvas(300, 22, scale);
  cairo_t* cr = canvas.cr;
  cairo_set_source_rgb(cr, 240 / 255.0, 240 / 255.0, 240 / 255.0);
  cairo_paint(cr);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, 22);
  cairo_pattern_add_color_stop_rgb(shade, 0, f.top[0], f.top[1], f.top[2]);
  cairo_pattern_add_color_stop_rgb(shade, 1, f.bottom[0], f.bottom[1], f.bottom[2]);
  RoundedRect(cr, 0.5, 0.5, 299, 21, 5);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  if (f.glow) {
    cairo_set_line_width(cr, 3);
    cairo_set_source_rgba(cr, 0.45, 0.7, 1.0, 0.5);
    cairo_stroke_preserve(cr);
  }
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, f.border[0], f.border[1], f.border[2]);
  cairo_stroke(cr);
  canvas.Save(path);
}

// The play picture: a white triangle on a rounded square framed in four
// coloured quarters.
void DrawPlay(const std::string& path, int scale, int size) {
  Canvas canvas(size, size, scale);
  cairo_t* cr = canvas.cr;
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  double k = size / 32.0;
  const double quarters[4][3] = {{0.86, 0.16, 0.16}, {0.2, 0.7, 0.2}, {0.2, 0.35, 0.85}, {0.95, 0.8, 0.1}};
  for (int q = 0; q < 4; ++q) {
    cairo_save(cr);
    cairo_rectangle(cr, (q % 2) * size / 2.0, (q / 2) * size / 2.0, size / 2.0, size / 2.0);
    cairo_clip(cr);
    RoundedRect(cr, 1 * k, 1 * k, 30 * k, 30 * k, 6 * k);
    cairo_set_source_rgb(cr, quarters[q][0], quarters[q][1], quarters[q][2]);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  RoundedRect(cr, 5 * k, 5 * k, 22 * k, 22 * k, 4 * k);
  cairo_set_source_rgb(cr, 0.25, 0.25, 0.3);
  cairo_fill(cr);
  cairo_move_to(cr, 12 * k, 9 * k);
  cairo_line_to(cr, 23 * k, 16 * k);
  cairo_line_to(cr, 12 * k, 23 * k);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  canvas.Save(path);
}

void DrawSeed(const std::string& path, int scale) {
  Canvas canvas(32, 32, scale);
  cairo_t* cr = canvas.cr;
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("AR PL UMing CN,Noto Serif CJK SC,serif");
  pango_font_description_set_absolute_size(font, 14 * PANGO_SCALE);
  pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
  pango_layout_set_font_description(layout, font);
  cairo_set_source_rgb(cr, 0.1, 0.3, 0.85);
  const char* lines[2] = {"种子", "资源"};
  for (int i = 0; i < 2; ++i) {
    pango_layout_set_text(layout, lines[i], -1);
    cairo_move_to(cr, 2, 1 + i * 15);
    pango_cairo_show_layout(cr, layout);
  }
  pango_font_description_free(font);
  g_object_unref(layout);
  canvas.Save(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <res folder>\n", argv[0]);
    return 2;
  }
  std::string dir = std::string(argv[1]) + "/";
  for (int scale : {1, 2}) {
    DrawFace(PictureFile(dir, 224, scale), scale, {{0.97, 0.98, 1.0}, {0.84, 0.88, 0.94}, {0.55, 0.62, 0.72}, false});
    DrawFace(PictureFile(dir, 225, scale), scale, {{0.95, 0.98, 1.0}, {0.80, 0.88, 0.98}, {0.2, 0.45, 0.85}, true});
    DrawFace(PictureFile(dir, 226, scale), scale, {{0.96, 0.96, 0.96}, {0.88, 0.88, 0.88}, {0.65, 0.65, 0.65}, false});
    DrawPlay(PictureFile(dir, 177, scale), scale, 32);
    DrawPlay(PictureFile(dir, 230, scale), scale, 16);
    DrawPlay(PictureFile(dir, 128, scale), scale, 128);
    DrawSeed(PictureFile(dir, 231, scale), scale);
  }
  return 0;
}
