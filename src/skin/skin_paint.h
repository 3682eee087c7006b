#pragma once
// Cairo painters of the skinned controls. Each paints from the control's
// state into any cairo_t (a window's off-screen surface, or an image surface
// in tests), so what a control looks like can be checked pixel by pixel.

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>

#include "port/geometry.h"
#include "skin/app_fonts.h"
#include "skin/face_bitmap_button.h"
#include "skin/flat_text_button.h"
#include "skin/info_tag_panel.h"
#include "skin/skin_list_ctrl.h"

namespace tavelo {

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

struct CairoDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// The program's pictures, by their resource number (224-226 button faces,
// 177/231/230 row pictures, 128 the application icon), decoded from the
// resources compiled into the program. Each is drawn at 1x and at 2x; the
// 2x drawing (scale 2) has device scale 2, so it covers the same box as the
// 1x one at twice the resolution. Null for an unknown number or scale.
SurfacePtr LoadPicture(int id, int scale = 1);
// The 1x picture, decoded once and kept for the life of the process. It
// carries its 2x drawing: every painter here draws that one instead on a
// surface of device scale 2 or more (a window on a HiDPI screen), and the
// 1x picture itself elsewhere.
cairo_surface_t* SharedPicture(int id);

// Draws `picture` scaled to fill `box`; nothing for a null picture.
void PaintPicture(cairo_t* cr, Rect box, cairo_surface_t* picture);

enum class HAlign { kLeft, kCenter };

// One line of GBK text in an AppFonts slot, vertically centred in `box` and
// cut at its edges. Line breaks and "&" are drawn as they are.
void DrawTextLine(cairo_t* cr, std::string_view gbk, int fontSlot, Rgb colour, Rect box, HAlign align);
// Width in pixels of GBK text in an AppFonts slot.
int MeasureText(std::string_view gbk, int fontSlot);

inline constexpr Rgb kFlatFill{238, 238, 238};
inline constexpr Rgb kFlatSelectedFill{51, 102, 153};
inline constexpr Rgb kFlatText{51, 102, 153};
inline constexpr Rgb kFlatHoverText{255, 0, 0};
inline constexpr Rgb kFlatSelectedText{255, 255, 255};

void PaintFlatTextButton(cairo_t* cr, Size client, const FlatTextButton& button);

struct FacePictures {
  cairo_surface_t* normal = nullptr;    // 224
  cairo_surface_t* hot = nullptr;       // 225
  cairo_surface_t* disabled = nullptr;  // 226
  static FacePictures Shared();
};
inline constexpr int kFaceWidth = 300;
inline constexpr int kFaceHeight = 22;
inline constexpr Rgb kFaceBackground{240, 240, 240};
inline constexpr Rgb kFaceNormalText{16, 16, 16};
inline constexpr Rgb kFaceHotText{51, 51, 51};
inline constexpr Rgb kFaceDisabledText{165, 165, 165};

void PaintFaceBitmapButton(cairo_t* cr, Rect item, int state, bool disabled, std::string_view text,
                           const FacePictures& faces);

inline constexpr Rgb kInfoLabelText{0, 0, 0};
inline constexpr Rgb kInfoValueText{51, 102, 153};

void PaintInfoTagPanel(cairo_t* cr, Size client, const InfoTagPanel& panel);
// Text width in the panel's measuring font; what InfoTagPanel's layout needs.
InfoTagPanel::Measure PangoMeasure();

struct RowPictures {
  cairo_surface_t* video = nullptr;    // 177
  cairo_surface_t* seed = nullptr;     // 231
  cairo_surface_t* episode = nullptr;  // 230
  static RowPictures Shared();
};

inline constexpr Rgb kCatalogueSelectedFill{224, 224, 224};
inline constexpr Rgb kCatalogueSelectedText{51, 102, 153};
inline constexpr Rgb kCatalogueEvenFill{255, 255, 255};
inline constexpr Rgb kCatalogueOddFill{240, 240, 240};
inline constexpr Rgb kCatalogueLinkSelected{51, 102, 153};
inline constexpr Rgb kCatalogueLink{51, 153, 153};
inline constexpr Rgb kCatalogueTitle{16, 16, 240};
inline constexpr Rgb kCatalogueActors{0, 128, 0};
inline constexpr Rgb kEpisodeSelectedFill{51, 102, 240};
inline constexpr Rgb kEpisodeLink{51, 144, 159};

// Draws one row of the list into `rowRect` (the row's rectangle in the
// surface's coordinates). Nothing when the list has no rows.
void PaintListRow(cairo_t* cr, const SkinListCtrl& list, int row, Rect rowRect, const RowPictures& pictures);

// The header row: raised buttons with the column titles, shifted with the
// list's horizontal scroll, filling (0, 0) to (width, kHeaderHeight).
inline constexpr Rgb kHeaderFill = kAppBackgroundBrush;
inline constexpr Rgb kHeaderHighlight{255, 255, 255};
inline constexpr Rgb kHeaderShadow{160, 160, 160};
inline constexpr Rgb kHeaderText{0, 0, 0};
// Titles start this far right of their column's edge.
inline constexpr int kHeaderTextIndent = 6;
void PaintListHeader(cairo_t* cr, const SkinListCtrl& list, int width);

}  // namespace tavelo
