#include "skin/skin_paint.h"

#include <gio/gio.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "text/encoding.h"
#include "text/splitters.h"
#include "text/url_text.h"

extern "C" GResource* tavelo_get_resource(void);

namespace tavelo {

namespace {

struct GObjectDeleter {
  void operator()(gpointer object) const { g_object_unref(object); }
};
struct BytesDeleter {
  void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};

// Font descriptions are made once per slot; Pango copies what it needs.
const PangoFontDescription* SlotFont(int slot) {
  static std::array<PangoFontDescription*, AppFonts::kSlots> fonts{};
  if (slot < 0 || slot >= AppFonts::kSlots) slot = 0;
  PangoFontDescription*& font = fonts[static_cast<size_t>(slot)];
  if (font == nullptr) {
    const FontSpec& face = AppFonts::Slot(slot);
    font = pango_font_description_from_string(AppFonts::Families());
    pango_font_description_set_absolute_size(font, (face.pixelHeight > 0 ? face.pixelHeight : 12) * PANGO_SCALE);
    pango_font_description_set_weight(font, static_cast<PangoWeight>(face.weight));
  }
  return font;
}

void SetupLayout(PangoLayout* layout, std::string_view gbk, int slot) {
  pango_layout_set_font_description(layout, SlotFont(slot));
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  std::string utf8 = GbkToUtf8(gbk);
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  if (AppFonts::Slot(slot).underline) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
}

// Shaping a text (finding fonts along the fallback chain, placing glyphs) is
// most of what drawing it costs, and a list repaints the same texts again and
// again as it scrolls. The layouts of the texts drawn last are kept, made for
// one context that follows the surface being painted: when its font options
// or transformation change, Pango lays the kept layouts out anew. Pango
// counts any update of the context as a change, so it is updated only when
// what it takes from the surface differs.
class LayoutCache {
 public:
  // A layout of `gbk` in the slot's font, ready for `cr`.
  PangoLayout* Get(cairo_t* cr, std::string_view gbk, int slot) {
    const SurfaceState state = StateOf(cr);
    if (!context_ || !(state == state_)) {
      if (!context_) context_.reset(pango_font_map_create_context(pango_cairo_font_map_get_default()));
      pango_cairo_update_context(cr, context_.get());
      state_ = state;
    }
    key_.assign(1, static_cast<char>(slot));
    key_.append(gbk);
    auto found = layouts_.find(key_);
    if (found != layouts_.end()) return found->second.get();
    // Rows are a screenful or two of texts; past that, starting over costs
    // less than keeping track of which to drop.
    if (layouts_.size() >= kMaxLayouts) layouts_.clear();
    std::unique_ptr<PangoLayout, GObjectDeleter> layout(pango_layout_new(context_.get()));
    SetupLayout(layout.get(), gbk, slot);
    return layouts_.emplace(key_, std::move(layout)).first->second.get();
  }

 private:
  // What pango_cairo_update_context reads from a cairo context.
  struct SurfaceState {
    cairo_surface_t* target = nullptr;
    unsigned long fontOptions = 0;
    // A window's next surface may come at the same address on a screen of
    // another scale.
    double deviceScaleX = 0, deviceScaleY = 0;
    double xx = 0, yx = 0, xy = 0, yy = 0;
    bool operator==(const SurfaceState&) const = default;
  };

  static SurfaceState StateOf(cairo_t* cr) {
    SurfaceState state;
    state.target = cairo_get_target(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_surface_get_font_options(state.target, options);
    state.fontOptions = cairo_font_options_hash(options);
    cairo_font_options_destroy(options);
    cairo_surface_get_device_scale(state.target, &state.deviceScaleX, &state.deviceScaleY);
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    state.xx = matrix.xx;
    state.yx = matrix.yx;
    state.xy = matrix.xy;
    state.yy = matrix.yy;
    return state;
  }

  static constexpr size_t kMaxLayouts = 512;
  SurfaceState state_;
  std::unique_ptr<PangoContext, GObjectDeleter> context_;
  std::unordered_map<std::string, std::unique_ptr<PangoLayout, GObjectDeleter>> layouts_;
  std::string key_;
};

void SetColour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

void FillRect(cairo_t* cr, Rect r, Rgb colour) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  SetColour(cr, colour);
  cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
  cairo_fill(cr);
}

// A shared picture's 2x drawing hangs on the 1x surface, so that the face
// and row picture sets stay one pointer per picture.
const cairo_user_data_key_t kSharpPictureKey{};

// Device pixels to each of ours; both directions scale alike here.
double ScaleOf(cairo_surface_t* surface) {
  double x = 1, y = 1;
  cairo_surface_get_device_scale(surface, &x, &y);
  return std::min(x, y);
}

// The drawing of `picture` for what `cr` paints on: the 2x one where there
// are two device pixels or more to each of ours.
cairo_surface_t* PictureFor(cairo_t* cr, cairo_surface_t* picture) {
  if (picture == nullptr || ScaleOf(cairo_get_group_target(cr)) < 2) return picture;
  auto* sharp = static_cast<cairo_surface_t*>(cairo_surface_get_user_data(picture, &kSharpPictureKey));
  return sharp != nullptr ? sharp : picture;
}

// Copies the picture's pixels (srcX, 0) onwards to `dest`, cut at `dest`.
void CopyPicture(cairo_t* cr, cairo_surface_t* picture, int srcX, Rect dest) {
  picture = PictureFor(cr, picture);
  if (picture == nullptr || dest.Width() <= 0 || dest.Height() <= 0) return;
  cairo_save(cr);
  cairo_rectangle(cr, dest.left, dest.top, dest.Width(), dest.Height());
  cairo_clip(cr);
  cairo_set_source_surface(cr, picture, dest.left - srcX, dest.top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

// Sizes in our pixels: a 2x drawing measures as its 1x picture does.
int PictureWidth(cairo_surface_t* p) { return p ? static_cast<int>(cairo_image_surface_get_width(p) / ScaleOf(p)) : 0; }
int PictureHeight(cairo_surface_t* p) {
  return p ? static_cast<int>(cairo_image_surface_get_height(p) / ScaleOf(p)) : 0;
}

struct PngReader {
  const unsigned char* data;
  size_t size;
  size_t offset;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->size - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

SurfacePtr LoadPicture(int id, int scale) {
  if (scale != 1 && scale != 2) return nullptr;
  std::string path = "/org/tavelo/res/" + std::to_string(id) + (scale == 2 ? "@2x" : "") + ".png";
  std::unique_ptr<GBytes, BytesDeleter> bytes(
      g_resource_lookup_data(tavelo_get_resource(), path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (!bytes) return nullptr;
  gsize size = 0;
  const auto* data = static_cast<const unsigned char*>(g_bytes_get_data(bytes.get(), &size));
  PngReader reader{data, size, 0};
  SurfacePtr surface(cairo_image_surface_create_from_png_stream(ReadPng, &reader));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_set_device_scale(surface.get(), scale, scale);
  return surface;
}

cairo_surface_t* SharedPicture(int id) {
  static std::map<int, SurfacePtr> cache;
  auto it = cache.find(id);
  if (it == cache.end()) {
    SurfacePtr picture = LoadPicture(id);
    if (picture) {
      if (SurfacePtr sharp = LoadPicture(id, 2)) {
        cairo_surface_set_user_data(picture.get(), &kSharpPictureKey, sharp.release(),
                                    [](void* s) { cairo_surface_destroy(static_cast<cairo_surface_t*>(s)); });
      }
    }
    it = cache.emplace(id, std::move(picture)).first;
  }
  return it->second.get();
}

void PaintPicture(cairo_t* cr, Rect box, cairo_surface_t* picture) {
  picture = PictureFor(cr, picture);
  if (picture == nullptr || box.Width() <= 0 || box.Height() <= 0) return;
  cairo_save(cr);
  cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
  cairo_clip(cr);
  cairo_translate(cr, box.left, box.top);
  cairo_scale(cr, static_cast<double>(box.Width()) / PictureWidth(picture),
              static_cast<double>(box.Height()) / PictureHeight(picture));
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
}

void DrawTextLine(cairo_t* cr, std::string_view gbk, int fontSlot, Rgb colour, Rect box, HAlign align) {
  if (gbk.empty() || box.Width() <= 0 || box.Height() <= 0) return;
  // Painting happens on the thread of the windows; each thread would have its own.
  thread_local LayoutCache layouts;
  PangoLayout* layout = layouts.Get(cr, gbk, fontSlot);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  int x = box.left;
  if (align == HAlign::kCenter) x += (box.Width() - logical.width) / 2;
  int y = box.top + (box.Height() - logical.height) / 2;
  cairo_save(cr);
  cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
  cairo_clip(cr);
  SetColour(cr, colour);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
}

int MeasureText(std::string_view gbk, int fontSlot) {
  static PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  std::unique_ptr<PangoLayout, GObjectDeleter> layout(pango_layout_new(context));
  SetupLayout(layout.get(), gbk, fontSlot);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
  return logical.width;
}

void PaintFlatTextButton(cairo_t* cr, Size client, const FlatTextButton& button) {
  constexpr int kFontSlot = 2;
  Rgb fill = kFlatFill;
  Rgb text = kFlatText;
  if (button.Selected() == 1) {
    fill = kFlatSelectedFill;
    text = kFlatSelectedText;
  } else if (button.Hover() == 1) {
    text = kFlatHoverText;
  }
  Rect all = Rect::FromSize(0, 0, client.width, client.height);
  FillRect(cr, all, fill);
  DrawTextLine(cr, button.Text(), kFontSlot, text, all, HAlign::kCenter);
}

FacePictures FacePictures::Shared() { return {SharedPicture(224), SharedPicture(225), SharedPicture(226)}; }

void PaintFaceBitmapButton(cairo_t* cr, Rect item, int state, bool disabled, std::string_view text,
                           const FacePictures& faces) {
  constexpr int kFontSlot = 0;
  FillRect(cr, item, kFaceBackground);
  cairo_surface_t* face = faces.normal;
  Rgb colour = kFaceNormalText;
  if (disabled) {
    face = faces.disabled;
    colour = kFaceDisabledText;
  } else if (state == FaceBitmapButton::kHot) {
    face = faces.hot;
    colour = kFaceHotText;
  }
  int w = item.Width();
  int half = w / 2;
  // Rows and columns the picture does not have are left in the background
  // colour rather than read from outside the picture.
  int h = std::min(item.Height(), PictureHeight(face));
  int faceWidth = PictureWidth(face);
  CopyPicture(cr, face, 0, Rect::FromSize(item.left, item.top, std::min(half, faceWidth), h));
  int rightColumns = w - half;
  int srcX = faceWidth - rightColumns;
  Rect rightPart = Rect::FromSize(item.left + half, item.top, rightColumns, h);
  if (srcX < 0) {
    rightPart.left -= srcX;
    srcX = 0;
  }
  CopyPicture(cr, face, srcX, rightPart);
  Rect textBox = item;
  if (textBox.Height() > kFaceHeight) textBox.bottom = textBox.top + kFaceHeight;
  DrawTextLine(cr, text, kFontSlot, colour, textBox, HAlign::kCenter);
}

void PaintInfoTagPanel(cairo_t* cr, Size client, const InfoTagPanel& panel) {
  FillRect(cr, Rect::FromSize(0, 0, client.width, client.height), kAppBackgroundBrush);
  for (int i = 0; i < panel.Count(); ++i) {
    const InfoTagItem& item = panel.Item(i);
    if (item.kind == InfoTagItem::kLineBreak) continue;
    bool value = item.kind == InfoTagItem::kValue;
    DrawTextLine(cr, item.text, value ? 7 : 2, value ? kInfoValueText : kInfoLabelText, item.rect, HAlign::kLeft);
  }
}

InfoTagPanel::Measure PangoMeasure() {
  return [](std::string_view text, int slot) { return MeasureText(text, slot); };
}

RowPictures RowPictures::Shared() { return {SharedPicture(177), SharedPicture(231), SharedPicture(230)}; }

namespace {

void PaintCatalogueRow(cairo_t* cr, const SkinListCtrl& list, int row, Rect r, const RowPictures& pictures) {
  bool selected = list.IsSelected(row);
  Rgb fill = selected ? kCatalogueSelectedFill : (row % 2 == 0 ? kCatalogueEvenFill : kCatalogueOddFill);
  Rgb text = selected ? kCatalogueSelectedText : Rgb{0, 0, 0};
  int x = r.left - list.ScrollX();
  FillRect(cr, {x, r.top, r.right, r.bottom}, fill);
  for (int i = 0; i < list.ColumnCount(); ++i) {
    const std::string& raw = list.Cell(row, i);
    std::string cell = CleanHtmlText(raw);
    int right = x + list.ColumnWidth(i);
    if (i == 0) {
      bool seed = raw.find(Gbk("种子")) != std::string::npos;
      cairo_surface_t* picture = seed ? pictures.seed : pictures.video;
      CopyPicture(cr, picture, 0, Rect::FromSize(x + 6, r.top + 3, PictureWidth(picture), PictureHeight(picture)));
      DrawTextLine(cr, cell, 0, text, {x, r.top + 36, x + 45, r.bottom}, HAlign::kCenter);
    } else if (i == 1) {
      FieldList lines;
      lines.Split(cell, '\n');
      std::string second = std::string(lines[4]) + " " + std::string(lines[3]);
      if (!lines[2].empty()) second += Gbk(" 年代:") + std::string(lines[2]);
      DrawTextLine(cr, lines[0], 0, kCatalogueTitle, {x, r.top + 2, right, r.top + 20}, HAlign::kLeft);
      DrawTextLine(cr, second, 0, Rgb{0, 0, 0}, {x, r.top + 20, right, r.top + 38}, HAlign::kLeft);
      DrawTextLine(cr, lines[5], 0, kCatalogueActors, {x, r.top + 38, right, r.top + 56}, HAlign::kLeft);
    } else {
      DrawTextLine(cr, cell, 1, selected ? kCatalogueLinkSelected : kCatalogueLink, {x + 5, r.top, right, r.bottom},
                   HAlign::kLeft);
    }
    x = right;
  }
}

void PaintEpisodeRow(cairo_t* cr, const SkinListCtrl& list, int row, Rect r, const RowPictures& pictures) {
  bool selected = list.IsSelected(row);
  Rgb fill = selected ? kEpisodeSelectedFill : Rgb{255, 255, 255};
  Rgb text = selected ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
  int x = r.left - list.ScrollX();
  // The picture column keeps the list's own background.
  FillRect(cr, {x + 20, r.top, r.right, r.bottom}, fill);
  for (int i = 0; i < list.ColumnCount(); ++i) {
    // Columns 2 and 3 carry the windows' hidden data.
    std::string cell = (i == 2 || i == 3) ? std::string() : CleanHtmlText(list.Cell(row, i));
    int right = x + list.ColumnWidth(i);
    if (i == 0) {
      cairo_surface_t* picture = pictures.episode;
      CopyPicture(cr, picture, 0, Rect::FromSize(x, r.top + 1, PictureWidth(picture), PictureHeight(picture)));
      DrawTextLine(cr, cell, 0, text, {x + 20, r.top, right, r.bottom}, HAlign::kLeft);
    } else if (i == 1) {
      DrawTextLine(cr, cell, 1, selected ? Rgb{255, 255, 255} : kEpisodeLink, {x + 5, r.top, right, r.bottom},
                   HAlign::kLeft);
    } else {
      DrawTextLine(cr, cell, 0, text, {x + 5, r.top, right, r.bottom}, HAlign::kLeft);
    }
    x = right;
  }
}

}  // namespace

namespace {

// A raised header button: light on its top and left edges, dark on its right
// and bottom ones.
void PaintHeaderItem(cairo_t* cr, Rect item) {
  FillRect(cr, item, kHeaderFill);
  FillRect(cr, {item.left, item.top, item.right, item.top + 1}, kHeaderHighlight);
  FillRect(cr, {item.left, item.top, item.left + 1, item.bottom}, kHeaderHighlight);
  FillRect(cr, {item.right - 1, item.top, item.right, item.bottom}, kHeaderShadow);
  FillRect(cr, {item.left, item.bottom - 1, item.right, item.bottom}, kHeaderShadow);
}

}  // namespace

void PaintListHeader(cairo_t* cr, const SkinListCtrl& list, int width) {
  const int height = SkinListCtrl::kHeaderHeight;
  cairo_save(cr);
  int x = -list.ScrollX();
  for (int i = 0; i < list.ColumnCount(); ++i) {
    int right = x + list.ColumnWidth(i);
    if (right > x) {
      PaintHeaderItem(cr, {x, 0, right, height});
      DrawTextLine(cr, list.ColumnTitle(i), 0, kHeaderText, {x + kHeaderTextIndent, 0, right - 2, height},
                   HAlign::kLeft);
    }
    x = right;
  }
  // The rest of the row is an empty button, as wide as what is left.
  if (x < width) PaintHeaderItem(cr, {x, 0, width, height});
  cairo_restore(cr);
}

void PaintListRow(cairo_t* cr, const SkinListCtrl& list, int row, Rect rowRect, const RowPictures& pictures) {
  if (list.RowCount() == 0 || row < 0 || row >= list.RowCount()) return;
  cairo_save(cr);
  if (list.RowStyle() == SkinListCtrl::kCatalogueRows) {
    PaintCatalogueRow(cr, list, row, rowRect, pictures);
  } else if (list.RowStyle() == SkinListCtrl::kEpisodeRows) {
    PaintEpisodeRow(cr, list, row, rowRect, pictures);
  }
  cairo_restore(cr);
}

}  // namespace tavelo
